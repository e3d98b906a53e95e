// ReceiveBurst over a real pseudo-terminal: replies from the simulator and hand-made bytes.
#include <gtest/gtest.h>

#include <array>
#include <chrono>

#include "FrameCodec.h"
#include "Protocol.h"
#include "TestPaths.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;

namespace {

// Sends the version query and receives its 16-byte reply.
bool QueryVersion(TRuvolt& link, std::array<uint8_t, 1024>& reply, uint32_t& raw,
                  size_t expected = 16) {
  uint8_t request[1024];
  TRuvolt::BuildCommand(request, sizeof request, {protocol::CmdVersion});
  EXPECT_TRUE(link.SendFrame(request, sizeof request, 2));
  return link.ReceiveBurst(reply.data(), reply.size(), expected, 1000, &raw);
}

}  // namespace

TEST(ReceiveBurst, AcceptsTheVersionReplyAndAReplyHoldingADelimiter) {
  sim::SimOptions options;
  options.value1 = 0x00FA;  // the reply carries FA as data: FB 7A on the line
  SimFixture sim(options);
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  sim.Attach(link);
  ASSERT_EQ(link.Connect(false, false), 1);
  std::array<uint8_t, 1024> reply{};
  uint32_t raw = 0;
  ASSERT_TRUE(QueryVersion(link, reply, raw));
  EXPECT_EQ(raw, 16u + 2u + 1u) << "the escape pair counts as one more raw byte";
  EXPECT_EQ(reply[0], 0x81);
  EXPECT_EQ(reply[1], 2);
  EXPECT_EQ(reply[2], 5);
  EXPECT_EQ(reply[3], 0xFA);
  EXPECT_EQ(reply[16], 0) << "zeros behind the message";
  link.Disconnect();
}

TEST(ReceiveBurst, FailsOnBadReplies) {
  struct Case {
    const char* name;
    int cut;
    bool extra;
    bool checksumBox;
  };
  for (const Case c : {Case{"cut short", 5, false, true}, Case{"one byte too long", 0, true, false}}) {
    SCOPED_TRACE(c.name);
    sim::SimOptions options;
    options.cutReplyBytes = c.cut;
    options.replyExtraByte = c.extra;
    SimFixture sim(options);
    ScriptedPrompter prompter(GTestFailure());
    if (c.checksumBox) prompter.Expect("Checksum error while receiving data burst!", "receive");
    ScopedHost host(&prompter, nullptr);
    TRuvolt link;
    sim.Attach(link);
    ASSERT_EQ(link.Connect(false, false), 1);
    std::array<uint8_t, 1024> reply{};
    uint32_t raw = 0;
    EXPECT_FALSE(QueryVersion(link, reply, raw));
    EXPECT_EQ(raw, c.extra ? 19u : 18u - 5u);
    link.Disconnect();
  }
}

TEST(ReceiveBurst, SilenceEndsAtTheTimeOutWithoutAMessage) {
  RawLine line;
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  line.Attach(link);
  ASSERT_TRUE(link.Port.Open());
  std::array<uint8_t, 1024> reply{};
  uint32_t raw = 99;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.ReceiveBurst(reply.data(), reply.size(), 3, 300, &raw));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(raw, 0u);
  EXPECT_GE(took, std::chrono::milliseconds(295));
  EXPECT_LT(took, std::chrono::milliseconds(600));
}

TEST(ReceiveBurst, HandMadeLines) {
  struct Case {
    const char* name;
    Bytes line;
    size_t expected;
    bool result;
    uint32_t raw;
    Bytes message;
  };
  const Case cases[] = {
      {"prepare reply", {0xFA, 0x84, 0x00, 0x7C, 0xFA}, 3, true, 5, {0x84, 0x00, 0x7C}},
      {"odd escape gives zero", {0xFA, 0x84, 0xFB, 0x11, 0x7C, 0xFA}, 3, true, 6, {0x84, 0x00, 0x7C}},
      {"missing opening delimiter", {0x00, 0x84, 0x00, 0x7C, 0xFA}, 3, false, 5, {0x84, 0x00, 0x7C}},
      {"escape as the very last byte", {0xFA, 0x84, 0x7C, 0xFB}, 2, false, 4, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawLine line;
    ScriptedPrompter prompter(GTestFailure());
    ScopedHost host(&prompter, nullptr);
    TRuvolt link;
    line.Attach(link);
    ASSERT_TRUE(link.Port.Open());
    line.Send(c.line);
    std::array<uint8_t, 1024> reply{};
    uint32_t raw = 0;
    EXPECT_EQ(link.ReceiveBurst(reply.data(), reply.size(), c.expected, 300, &raw), c.result);
    EXPECT_EQ(raw, c.raw);
    if (!c.message.empty()) {
      EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 3), c.message);
    }
  }
}

TEST(ReceiveBurst, RefusesWhatCannotFitAndAFloodingLine) {
  RawLine line;
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  line.Attach(link);
  ASSERT_TRUE(link.Port.Open());
  std::array<uint8_t, 1024> reply{};
  uint32_t raw = 7;
  EXPECT_FALSE(link.ReceiveBurst(reply.data(), reply.size(), 1025, 1000, &raw));
  EXPECT_EQ(raw, 0u);

  // Every FB raises the expected total; a line full of them would never end on length.
  line.Send(Bytes(2000, 0xFB));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.ReceiveBurst(reply.data(), reply.size(), 260, 2000, &raw));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500))
      << "a flood ends the receive at once";
}

TEST(ReceiveBurst, EndsEarlyWhenTheDeviceHangsUp) {
  SimFixture sim;
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  sim.Attach(link);
  ASSERT_EQ(link.Connect(false, false), 1);
  sim.Server().HangUp();
  std::array<uint8_t, 1024> reply{};
  uint32_t raw = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.ReceiveBurst(reply.data(), reply.size(), 16, 2000, &raw));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_TRUE(link.Port.HungUp());
}
