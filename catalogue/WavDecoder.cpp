#include "WavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace varnex {

namespace {

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatFloat = 3;
constexpr uint16_t FormatAlaw = 6;
constexpr uint16_t FormatMulaw = 7;
constexpr uint16_t FormatExtensible = 0xFFFE;
constexpr size_t RiffHeaderBytes = 12;
constexpr size_t ChunkHeaderBytes = 8;
constexpr size_t FmtMinBytes = 16;
constexpr size_t FmtExtensibleBytes = 40;
constexpr size_t SubFormatOffset = 24;  // in the fmt chunk: the GUID's first two bytes

uint16_t Le16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) |
                               (static_cast<uint8_t>(b[at + 1]) << 8));
}

uint32_t Le32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(Le16(b, at)) | (static_cast<uint32_t>(Le16(b, at + 2)) << 16);
}

bool Fail(std::string* errorText, const char* why) {
  if (errorText) *errorText = why;
  return false;
}

int16_t Clamp16(double value) {
  if (std::isnan(value)) return 0;  // a float file may hold NaN: no number, so silence
  const double scaled = std::round(value * 32767.0);
  return static_cast<int16_t>(scaled > 32767.0 ? 32767.0 : scaled < -32768.0 ? -32768.0 : scaled);
}

// One sample of `bytesPerSample` little-endian bytes, as 16-bit PCM.
int16_t DecodeSample(std::string_view data, size_t at, uint16_t format, int bytesPerSample) {
  const auto byte = static_cast<uint8_t>(data[at]);
  switch (format) {
    case FormatAlaw:
      return AlawToLinear(byte);
    case FormatMulaw:
      return MulawToLinear(byte);
    case FormatFloat: {
      float value = 0;
      const uint32_t bits = Le32(data, at);
      std::memcpy(&value, &bits, sizeof value);
      return Clamp16(static_cast<double>(value));
    }
    default:
      break;
  }
  if (bytesPerSample == 1) return static_cast<int16_t>((byte - 128) << 8);
  // Wider PCM keeps its top 16 bits.
  const size_t top = at + static_cast<size_t>(bytesPerSample) - 2;
  return static_cast<int16_t>(Le16(data, top));
}

}  // namespace

int64_t PcmSound::DurationMs() const {
  if (sampleRate <= 0 || channels <= 0) return 0;
  return static_cast<int64_t>(samples.size()) * 1000 / channels / sampleRate;
}

int16_t AlawToLinear(uint8_t code) {
  code ^= 0x55;
  int value = (code & 0x0F) << 4;
  const int segment = (code & 0x70) >> 4;
  if (segment == 0) {
    value += 8;
  } else {
    value += 0x108;
    value <<= segment - 1;
  }
  return static_cast<int16_t>((code & 0x80) ? value : -value);
}

int16_t MulawToLinear(uint8_t code) {
  code = static_cast<uint8_t>(~code);
  int value = ((code & 0x0F) << 3) + 0x84;
  value <<= (code & 0x70) >> 4;
  return static_cast<int16_t>((code & 0x80) ? 0x84 - value : value - 0x84);
}

bool DecodeWav(std::string_view bytes, PcmSound& sound, std::string* errorText) {
  sound = {};
  if (bytes.size() < RiffHeaderBytes || bytes.substr(0, 4) != "RIFF" ||
      bytes.substr(8, 4) != "WAVE")
    return Fail(errorText, "not a RIFF WAVE file");

  uint16_t format = 0;
  int bitsPerSample = 0;
  bool haveFormat = false;
  size_t at = RiffHeaderBytes;
  while (at + ChunkHeaderBytes <= bytes.size()) {
    const std::string_view id = bytes.substr(at, 4);
    const size_t size = Le32(bytes, at + 4);
    const size_t body = at + ChunkHeaderBytes;
    const size_t available = std::min(size, bytes.size() - body);
    if (id == "fmt ") {
      if (available < FmtMinBytes) return Fail(errorText, "format chunk too short");
      format = Le16(bytes, body);
      sound.channels = Le16(bytes, body + 2);
      sound.sampleRate = static_cast<int>(Le32(bytes, body + 4));
      bitsPerSample = Le16(bytes, body + 14);
      if (format == FormatExtensible) {
        if (available < FmtExtensibleBytes) return Fail(errorText, "format chunk too short");
        format = Le16(bytes, body + SubFormatOffset);
      }
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) return Fail(errorText, "data before the format chunk");
      const bool companded = format == FormatAlaw || format == FormatMulaw;
      const bool supported = (companded && bitsPerSample == 8) ||
                             (format == FormatFloat && bitsPerSample == 32) ||
                             (format == FormatPcm && bitsPerSample % 8 == 0 && bitsPerSample >= 8 &&
                              bitsPerSample <= 32);
      if (!supported) return Fail(errorText, "unsupported sample format");
      if (sound.channels < 1 || sound.sampleRate < 1)
        return Fail(errorText, "no channels or no sample rate");
      const int width = bitsPerSample / 8;
      const size_t frameBytes = static_cast<size_t>(width) * static_cast<size_t>(sound.channels);
      const size_t frames = available / frameBytes;
      sound.samples.reserve(frames * static_cast<size_t>(sound.channels));
      for (size_t i = 0; i < frames * static_cast<size_t>(sound.channels); ++i)
        sound.samples.push_back(
            DecodeSample(bytes, body + i * static_cast<size_t>(width), format, width));
      return true;
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  return Fail(errorText, haveFormat ? "no data chunk" : "no format chunk");
}

}  // namespace varnex
