#include "FrameReceiver.h"

#include <cstring>

#include "Ruvolt_Support.h"

namespace varnex {

using namespace protocol;

bool FrameReceiver::Take(const uint8_t* bytes, size_t count) {
  if (count > raw_.size() - count_) return false;
  for (size_t i = 0; i < count; ++i) {
    raw_[count_++] = bytes[i];
    if (bytes[i] == FrameEscape) ++escapes_;
  }
  return true;
}

FrameReceiver::Verdict FrameReceiver::Finish(uint8_t* buffer, size_t capacity) const {
  std::memset(buffer, 0, capacity);
  const size_t inner = count_ >= 3 ? count_ - 2 : 0;
  if (inner > capacity) return Verdict::Malformed;
  if (inner > 0) std::memcpy(buffer, raw_.data() + 1, inner);
  const size_t pairs = TRuvolt::UnescapeFrame(buffer, capacity, inner);
  if (!TRuvolt::ChecksumOk(buffer, inner - pairs)) return Verdict::ChecksumError;
  const bool framed = count_ == expected_ + 2 + pairs && raw_[0] == FrameDelimiter &&
                      raw_[count_ - 1] == FrameDelimiter;
  return framed ? Verdict::Accepted : Verdict::Malformed;
}

}  // namespace varnex
