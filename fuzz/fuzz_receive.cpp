// The receive path: line bytes in chunks of any size into FrameReceiver, as ReceiveBurst feeds
// it. Two shapes of input: arbitrary line bytes (floods, FB at the end, partial frames), and a
// well-formed reply cut into arbitrary chunks, which must come out exactly as it went in.
#include <algorithm>
#include <vector>

#include "FrameCodec.h"
#include "FrameReceiver.h"
#include "FuzzSupport.h"
#include "Protocol.h"
#include "Ruvolt_Support.h"

using namespace varnex;
using varnex::fuzz::Check;

namespace {

// Chunk sizes as reads might return them: mostly a few bytes, sometimes hundreds at once.
class ChunkSizes {
 public:
  explicit ChunkSizes(uint16_t seed) : state_(seed * 2654435761u + 1) {}
  size_t Next() {
    state_ = state_ * 1103515245u + 12345u;
    const uint32_t r = state_ >> 8;
    return r % 4 == 0 ? 1 + r / 4 % 1100 : 1 + r / 4 % 8;
  }

 private:
  uint32_t state_;
};

// Feeds `line` in chunks as the poll loop does: until the frame is complete or a chunk would
// overrun. False on an overrun.
bool Feed(FrameReceiver& receiver, std::string_view line, ChunkSizes sizes) {
  size_t at = 0;
  while (receiver.WantsMore() && at < line.size()) {
    const size_t n = std::min(line.size() - at, sizes.Next());
    if (!receiver.Take(reinterpret_cast<const uint8_t*>(line.data() + at), n)) return false;
    at += n;
  }
  return true;
}

void ArbitraryLine(fuzz::Input& in) {
  const size_t expected = in.Word() % 1100;
  const size_t capacity = std::max<size_t>(1, in.Word() % 1100);
  const ChunkSizes sizes(in.Word());
  const std::string_view line = in.Rest();
  if (expected > capacity) return;  // ReceiveBurst refuses these before reading
  FrameReceiver receiver(expected);
  if (!Feed(receiver, line, sizes)) {
    Check(receiver.RawCount() <= protocol::FrameBufferSize, "raw count within its buffer");
    return;
  }
  Check(receiver.RawCount() <= protocol::FrameBufferSize, "raw count within its buffer");
  std::vector<uint8_t> buffer(capacity, 0xEE);
  const auto verdict = receiver.Finish(buffer.data(), buffer.size());
  if (verdict == FrameReceiver::Verdict::Accepted) {
    Check(TRuvolt::ChecksumOk(buffer.data(), expected), "an accepted message sums to 0");
    Check(std::all_of(buffer.begin() + static_cast<long>(expected), buffer.end(),
                      [](uint8_t b) { return b == 0; }),
          "zeros behind an accepted message");
  }
}

void CutReply(fuzz::Input& in) {
  const ChunkSizes sizes(in.Word());
  const size_t length = 1 + in.Byte() % 255;
  std::vector<uint8_t> message;
  for (size_t i = 0; i < length; ++i) message.push_back(in.Byte());
  AppendChecksum(message);
  const std::vector<uint8_t> frame = EncodeFrame(message);
  const std::string_view line(reinterpret_cast<const char*>(frame.data()), frame.size());
  FrameReceiver receiver(message.size());
  Check(Feed(receiver, line, sizes), "a reply of at most 256 bytes fits");
  Check(!receiver.WantsMore(), "a whole frame completes the receive");
  std::vector<uint8_t> buffer(protocol::ReplyBufferSize, 0xEE);
  Check(receiver.Finish(buffer.data(), buffer.size()) == FrameReceiver::Verdict::Accepted,
        "a well-formed reply is accepted");
  Check(std::equal(message.begin(), message.end(), buffer.begin()), "the reply comes out whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  fuzz::Input in(data, size);
  if (in.Byte() & 1)
    CutReply(in);
  else
    ArbitraryLine(in);
  return 0;
}
