// The sound player of the windows: decodes the WAV file itself (PCM, A-law, mu-law) and plays
// it through Qt Multimedia's default audio output.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <memory>

#include "SoundPlayer.h"

class QAudioSink;

namespace varnex {

class QtSoundPlayer final : public ISoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  QtSoundPlayer(const QtSoundPlayer&) = delete;
  QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

  // A waiting play keeps the windows painted but takes no user input until the sound ends.
  void PlayWave(const std::string& path, bool waitForEnd) override;
  // Ends the sound now (if one plays) and releases the audio device.
  void Stop();

 private:
  // Stops the sink once the device has played every byte, or when it has stalled too long.
  void CheckEnd();

  std::unique_ptr<QAudioSink> sink_;
  QByteArray pcm_;
  QBuffer buffer_;
  QTimer endCheck_;
  QElapsedTimer sinceStart_;
  int64_t durationUs_ = 0;
  int64_t giveUpMs_ = 0;
};

}  // namespace varnex
