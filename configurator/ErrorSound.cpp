#include "ErrorSound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>

#include "IntEdit.h"
#include "SoundPlayer.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr uint32_t SampleRateHz = 8000;
constexpr int ToneMs = 120;
constexpr double PitchHz = 880;
constexpr int FadeSamples = 80;  // keeps the tone from clicking at its ends

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

std::string ErrorToneWav() {
  constexpr uint32_t samples = SampleRateHz * ToneMs / 1000;
  constexpr uint32_t dataBytes = samples * 2;
  std::string wav = "RIFF";
  Put32(wav, 36 + dataBytes);
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 1);  // mono
  Put32(wav, SampleRateHz);
  Put32(wav, SampleRateHz * 2);
  Put16(wav, 2);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, dataBytes);
  for (uint32_t i = 0; i < samples; ++i) {
    const double edge = std::min({1.0, static_cast<double>(i) / FadeSamples,
                                  static_cast<double>(samples - i) / FadeSamples});
    const double v = 9000 * edge * std::sin(2 * std::numbers::pi * PitchHz * i / SampleRateHz);
    Put16(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))));
  }
  return wav;
}

void InstallErrorSound(const std::string& folder) {
  const std::string path = folder + ErrorSoundFile;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !WriteFileAtomic(path, ErrorToneWav())) return;
  TIntEdit::SetErrorSound([path] { SoundPlayer().PlayWave(path, false); });
}

}  // namespace varnex
