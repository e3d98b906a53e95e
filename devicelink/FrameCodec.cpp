#include "FrameCodec.h"

#include "Protocol.h"

namespace varnex {

using namespace protocol;

std::vector<uint8_t> EncodeFrame(const uint8_t* message, size_t count) {
  std::vector<uint8_t> frame;
  frame.reserve(count * 2 + 2);
  frame.push_back(FrameDelimiter);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t b = message[i];
    if (b == FrameDelimiter || b == FrameEscape) {
      frame.push_back(FrameEscape);
      frame.push_back(b == FrameDelimiter ? EscapedDelimiter : EscapedEscape);
    } else {
      frame.push_back(b);
    }
  }
  frame.push_back(FrameDelimiter);
  return frame;
}

void AppendChecksum(std::vector<uint8_t>& message) {
  unsigned sum = 0;
  for (uint8_t b : message) sum += b;
  message.push_back(static_cast<uint8_t>(256u - (sum & 0xFFu)));
}

}  // namespace varnex
