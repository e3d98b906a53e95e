// FrameReceiver, the receive path without the port: the same line bytes in every chunking.
#include <gtest/gtest.h>

#include <vector>

#include "FrameReceiver.h"

using namespace varnex;
using Bytes = std::vector<uint8_t>;
using Verdict = FrameReceiver::Verdict;

namespace {

constexpr size_t ChunkDependent = SIZE_MAX;

// Feeds the line in chunks of `chunk` bytes while the receiver wants more, then judges it.
Verdict Receive(const Bytes& line, size_t expected, size_t chunk, Bytes& message, size_t& raw) {
  FrameReceiver receiver(expected);
  for (size_t at = 0; at < line.size() && receiver.WantsMore(); at += chunk)
    EXPECT_TRUE(receiver.Take(line.data() + at, std::min(chunk, line.size() - at)));
  raw = receiver.RawCount();
  message.assign(16, 0xEE);
  return receiver.Finish(message.data(), message.size());
}

}  // namespace

TEST(FrameReceiver, JudgesTheSameLineAlikeInEveryChunking) {
  struct Case {
    const char* name;
    Bytes line;
    size_t expected;
    Verdict verdict;
    Bytes message;  // the buffer's start after Finish
    size_t raw;     // ChunkDependent: how far past the frame reading goes (and what the message
                    // holds) depends on the chunks
  };
  const Case cases[] = {
      {"prepare reply",
       {0xFA, 0x84, 0x00, 0x7C, 0xFA},
       3,
       Verdict::Accepted,
       {0x84, 0x00, 0x7C},
       5},
      {"escaped FB",
       {0xFA, 0x05, 0xFB, 0x7B, 0x00, 0xFA},
       3,
       Verdict::Accepted,
       {0x05, 0xFB, 0x00},
       6},
      {"noise before the frame",
       {0x06, 0xFA, 0x84, 0x00, 0x7C, 0xFA},
       3,
       Verdict::ChecksumError,
       {},
       ChunkDependent},
      {"cut short", {0xFA, 0x84, 0x00}, 3, Verdict::ChecksumError, {0x84}, 3},
      {"FB at the end waits for its pair",
       {0xFA, 0x84, 0x7C, 0xFB},
       3,
       Verdict::Malformed,
       {0x84, 0x7C},
       4},
      {"one byte too long",
       {0xFA, 0x84, 0x00, 0x7C, 0x00, 0xFA},
       3,
       Verdict::Malformed,
       {},
       ChunkDependent},
      {"nothing", {}, 3, Verdict::Malformed, {}, 0},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{2}, size_t{1024}}) {
      SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
      Bytes message;
      size_t raw = 0;
      EXPECT_EQ(Receive(c.line, c.expected, chunk, message, raw), c.verdict);
      if (c.raw == ChunkDependent) continue;
      EXPECT_EQ(raw, c.raw);
      Bytes expected = c.message;
      expected.resize(16, 0x00);
      EXPECT_EQ(message, expected);
    }
  }
}

TEST(FrameReceiver, RefusesAFloodAndABufferTooSmall) {
  const Bytes flood(1025, 0xFB);  // every FB asks for one more byte
  FrameReceiver receiver(3);
  EXPECT_FALSE(receiver.Take(flood.data(), flood.size()));
  EXPECT_EQ(receiver.RawCount(), 0u);
  EXPECT_TRUE(receiver.Take(flood.data(), 1024));
  EXPECT_FALSE(receiver.Take(flood.data(), 1));
  EXPECT_TRUE(receiver.WantsMore());

  FrameReceiver small(3);
  const Bytes frame = {0xFA, 0x84, 0x00, 0x7C, 0xFA};
  ASSERT_TRUE(small.Take(frame.data(), frame.size()));
  Bytes buffer(2, 0xEE);
  EXPECT_EQ(small.Finish(buffer.data(), buffer.size()), Verdict::Malformed);
  EXPECT_EQ(buffer, (Bytes{0, 0}));
}
