// WAV files to 16-bit PCM, so that prompts in A-law, mu-law or PCM all play the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

struct PcmSound {
  int sampleRate = 0;
  int channels = 0;
  std::vector<int16_t> samples;  // interleaved frames

  // Playing time in milliseconds.
  int64_t DurationMs() const;
};

// G.711 code word to linear 16-bit sample.
int16_t AlawToLinear(uint8_t code);
int16_t MulawToLinear(uint8_t code);

// Decodes a RIFF WAVE file holding PCM (8, 16, 24 or 32 bit), 32-bit float, A-law or mu-law.
// A data chunk cut short by the end of the file is decoded as far as it goes. False, with the
// reason in errorText, for anything else.
bool DecodeWav(std::string_view bytes, PcmSound& sound, std::string* errorText = nullptr);

}  // namespace varnex
