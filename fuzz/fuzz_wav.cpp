// The WAV decoder behind playback: any file bytes either decode to a consistent sound or are
// refused with a reason.
#include <string>

#include "FuzzSupport.h"
#include "WavDecoder.h"

using namespace varnex;
using varnex::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  PcmSound sound;
  std::string why;
  if (!DecodeWav(bytes, sound, &why)) {
    Check(!why.empty(), "a refused file says why");
    return 0;
  }
  Check(sound.channels > 0 && sound.sampleRate > 0, "a decoded sound has channels and a rate");
  Check(sound.samples.size() % static_cast<size_t>(sound.channels) == 0, "whole frames");
  Check(sound.DurationMs() >= 0, "a playing time");
  return 0;
}
