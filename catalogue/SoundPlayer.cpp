#include "SoundPlayer.h"

#include <filesystem>

#include "IniFile.h"

namespace varnex {

namespace {

SilentSoundPlayer silentPlayer;
ISoundPlayer* currentPlayer = &silentPlayer;

}  // namespace

void RecordingSoundPlayer::PlayWave(const std::string& path, bool waitForEnd) {
  played_.push_back({path, waitForEnd});
  if (onPlay) onPlay(played_.back());
}

ISoundPlayer& SoundPlayer() {
  return *currentPlayer;
}

ScopedSoundPlayer::ScopedSoundPlayer(ISoundPlayer* player) : old_(currentPlayer) {
  currentPlayer = player ? player : &silentPlayer;
}

ScopedSoundPlayer::~ScopedSoundPlayer() {
  currentPlayer = old_;
}

std::string ExistingFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty()) return {};
  if (fs::is_regular_file(path, ec)) return path;
  const fs::path wanted(path);
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  const std::string name = wanted.filename().string();
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
    if (SameTextAscii(it->path().filename().string(), name) && it->is_regular_file(ec))
      return wanted.has_parent_path() ? it->path().string() : it->path().filename().string();
  }
  return {};
}

}  // namespace varnex
