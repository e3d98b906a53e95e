// Checksums, command building, framing on the line and unescaping.
#include <gtest/gtest.h>

#include <vector>

#include "FrameCodec.h"
#include "Ruvolt_Support.h"
#include "TestPaths.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;

TEST(Checksum, MakesTheSumZeroAndIgnoresTrailingZeros) {
  const Bytes msg{0x03, 0x00, 0x00, 0x00};
  EXPECT_EQ(TRuvolt::ComputeChecksum(msg.data(), msg.size(), 2), 0xFD);
  EXPECT_EQ(TRuvolt::ComputeChecksum(msg.data(), msg.size(), 4), 0xFD);
  EXPECT_EQ(TRuvolt::ComputeChecksum(msg.data(), msg.size(), 5), 0) << "count above capacity";
  const Bytes zero{0x00};
  EXPECT_EQ(TRuvolt::ComputeChecksum(zero.data(), 1, 1), 0);
  EXPECT_TRUE(TRuvolt::ChecksumOk(Bytes{0x84, 0x00, 0x7C}.data(), 3));
  EXPECT_FALSE(TRuvolt::ChecksumOk(Bytes{0x84, 0x00, 0x7D}.data(), 3));
}

TEST(BuildCommand, PutsCommandAndChecksumIntoAZeroedBuffer) {
  uint8_t buffer[4] = {9, 9, 9, 9};
  TRuvolt::BuildCommand(buffer, 4, {0x03, 0x00});
  EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x03, 0x00, 0xFD, 0x00}));
  TRuvolt::BuildCommand(buffer, 4, {1, 2, 3, 4});
  EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0, 0, 0, 0})) << "no room for the checksum";
}

struct FrameCase {
  Bytes message;
  Bytes line;
};

class FrameOnTheLine : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameOnTheLine, IsWrittenExactly) {
  RawLine line;
  TRuvolt link;
  line.Attach(link);
  ASSERT_TRUE(link.Port.Open());
  const Bytes& msg = GetParam().message;
  ASSERT_TRUE(link.SendFrame(msg.data(), msg.size(), msg.size()));
  EXPECT_EQ(line.Received(500, GetParam().line.size()), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FrameOnTheLine,
    ::testing::Values(FrameCase{{0x03, 0x00, 0xFD}, {0xFA, 0x03, 0x00, 0xFD, 0xFA}},
                      FrameCase{{0x01, 0xFF}, {0xFA, 0x01, 0xFF, 0xFA}},
                      FrameCase{{0x05, 0xFB, 0x00}, {0xFA, 0x05, 0xFB, 0x7B, 0x00, 0xFA}},
                      FrameCase{{0xFA, 0xFB, 0xFA}, {0xFA, 0xFB, 0x7A, 0xFB, 0x7B, 0xFB, 0x7A, 0xFA}}));

TEST(SendFrame, EscapesHundredsOfBytesAndRefusesWhatDoesNotFit) {
  Bytes msg(300);
  for (size_t i = 0; i < msg.size(); ++i) msg[i] = i % 2 ? 0xFA : 0xFB;
  const Bytes frame = EncodeFrame(msg);
  EXPECT_EQ(frame.size(), 600u + 2u);

  RawLine line;
  TRuvolt link;
  line.Attach(link);
  EXPECT_FALSE(link.SendFrame(msg.data(), msg.size(), msg.size())) << "port closed";
  ASSERT_TRUE(link.Port.Open());
  ASSERT_TRUE(link.SendFrame(msg.data(), msg.size(), msg.size()));
  EXPECT_EQ(line.Received(500, frame.size()), frame);

  const Bytes tooMany(600, 0xFA);  // 1202 line bytes do not fit the 1024-byte frame buffer
  EXPECT_FALSE(link.SendFrame(tooMany.data(), tooMany.size(), tooMany.size()));
}

struct UnescapeCase {
  Bytes in;
  Bytes out;
  size_t pairs;
};

class Unescape : public ::testing::TestWithParam<UnescapeCase> {};

TEST_P(Unescape, UndoesPairsInPlace) {
  Bytes buffer = GetParam().in;
  buffer.resize(16, 0xEE);
  EXPECT_EQ(TRuvolt::UnescapeFrame(buffer.data(), buffer.size(), GetParam().in.size()),
            GetParam().pairs);
  Bytes expected = GetParam().out;
  expected.resize(16, 0x00);
  EXPECT_EQ(buffer, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Unescape,
    ::testing::Values(UnescapeCase{{0x84, 0x00, 0x7C}, {0x84, 0x00, 0x7C}, 0},
                      UnescapeCase{{0x01, 0xFB, 0x7A, 0x02}, {0x01, 0xFA, 0x02}, 1},
                      UnescapeCase{{0xFB, 0x7B, 0xFB, 0x7A}, {0xFB, 0xFA}, 2},
                      UnescapeCase{{0x05, 0xFB, 0x33, 0x07}, {0x05, 0x00, 0x07}, 1}));

TEST(Unescape, CountAboveCapacityLeavesTheBufferAlone) {
  Bytes buffer{0xFB, 0x7A, 0x01};
  EXPECT_EQ(TRuvolt::UnescapeFrame(buffer.data(), buffer.size(), 4), 0u);
  EXPECT_EQ(buffer, (Bytes{0xFB, 0x7A, 0x01}));
}
