// The receiving half of the frame codec without the port: gathers the raw line bytes of one
// framed reply of a known message length, chunk by chunk as they arrive, and checks them.
// ReceiveBurst feeds it from the serial port; the fuzzer feeds it directly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "Protocol.h"

namespace varnex {

class FrameReceiver {
 public:
  enum class Verdict {
    Accepted,       // exactly the expected message between two delimiters, checksum right
    ChecksumError,  // bytes came whose sum is not 0 (noise, a reply cut short)
    Malformed       // checksum right but wrong length, a missing delimiter, or no room
  };

  // `expected`: the message length (code, data and checksum byte).
  explicit FrameReceiver(size_t expected) : expected_(expected) {}

  // Appends a chunk of line bytes. False, taking nothing, when the chunk would overrun the raw
  // buffer: a line that keeps talking is no reply of ours.
  bool Take(const uint8_t* bytes, size_t count);
  // True while fewer raw bytes have come than the frame needs, counting every escape seen.
  bool WantsMore() const { return count_ < expected_ + escapes_ + 2; }
  size_t RawCount() const { return count_; }

  // Puts the unescaped message at the buffer's start (zeros behind it) and judges it. A buffer
  // too small for the bytes gathered is Malformed and stays zero.
  Verdict Finish(uint8_t* buffer, size_t capacity) const;

 private:
  std::array<uint8_t, protocol::FrameBufferSize> raw_{};
  size_t count_ = 0;
  size_t escapes_ = 0;
  size_t expected_;
};

}  // namespace varnex
