// Playing a prompt's WAV copy through the PC's sound output. One player per process, like the
// window system's sound service; windows install the Qt player, tests a recording one.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace varnex {

class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // Plays the WAV file at `path`. With waitForEnd it returns when the sound has ended, else at
  // once while the sound goes on; a new sound replaces one still playing. No sound device or an
  // unreadable file means silence, never an error.
  virtual void PlayWave(const std::string& path, bool waitForEnd) = 0;
};

class SilentSoundPlayer final : public ISoundPlayer {
 public:
  void PlayWave(const std::string&, bool) override {}
};

// Keeps what it was asked to play; `onPlay` (optional) runs inside each request, so that a test
// can look at the windows while "the sound plays".
class RecordingSoundPlayer final : public ISoundPlayer {
 public:
  struct Played {
    std::string path;
    bool waited = false;
    bool operator==(const Played&) const = default;
  };
  std::function<void(const Played&)> onPlay;

  void PlayWave(const std::string& path, bool waitForEnd) override;
  const std::vector<Played>& History() const { return played_; }

 private:
  std::vector<Played> played_;
};

// The process-wide player (silent until a program installs one).
ISoundPlayer& SoundPlayer();

class ScopedSoundPlayer {
 public:
  explicit ScopedSoundPlayer(ISoundPlayer* player);
  ~ScopedSoundPlayer();
  ScopedSoundPlayer(const ScopedSoundPlayer&) = delete;
  ScopedSoundPlayer& operator=(const ScopedSoundPlayer&) = delete;

 private:
  ISoundPlayer* old_;
};

// The file as it exists: `path` itself, else a file in the same folder whose name differs only
// in the case of ASCII letters (prompt files copied from elsewhere); empty when there is none.
std::string ExistingFile(const std::string& path);

}  // namespace varnex
