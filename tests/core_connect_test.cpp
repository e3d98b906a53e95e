// The wake-up handshake and the release of the device.
#include <gtest/gtest.h>

#include <chrono>

#include "Protocol.h"
#include "TestPaths.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {
const char* BusyText =
    "Der Varnex führt gerade ein ISDN-Telefonat.\r\nBitte versuchen Sie es zu einen späteren "
    "Zeitpunkt noch einmal.";
}

TEST(Connect, AckOnTheFirstEnqLeavesThePortOpenInCommandMode) {
  SimFixture sim;
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  sim.Attach(link);
  EXPECT_EQ(link.Connect(true, false), 1);
  EXPECT_TRUE(link.Port.IsOpen());
  EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EnqCount(); }), 1);
  EXPECT_TRUE(sim.Device([](sim::SimDevice& d) { return d.InCommandMode(); }));

  EXPECT_TRUE(link.Disconnect());
  EXPECT_FALSE(link.Port.IsOpen());
  EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EotCount(); }), 1);
  EXPECT_FALSE(link.Disconnect()) << "a closed port sends nothing";
  EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EotCount(); }), 1);
}

TEST(Connect, BusyDevice) {
  for (bool acceptBusy : {false, true}) {
    SCOPED_TRACE(acceptBusy ? "busy accepted" : "busy refused");
    sim::SimOptions options;
    options.busy = true;
    SimFixture sim(options);
    ScriptedPrompter prompter(GTestFailure());
    if (!acceptBusy) prompter.Expect(BusyText, "Connect v24");
    ScopedHost host(&prompter, nullptr);
    TRuvolt link;
    sim.Attach(link);
    EXPECT_EQ(link.Connect(true, acceptBusy), acceptBusy ? 1 : 0);
    EXPECT_EQ(link.Port.IsOpen(), acceptBusy);
    EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EotCount(); }), 0)
        << "a refused busy device is left without EOT";
  }
}

TEST(Connect, SilentDeviceGetsTwoEnqsThenEot) {
  sim::SimOptions options;
  options.silent = true;
  SimFixture sim(options);
  ScriptedPrompter prompter(GTestFailure());
  prompter.Expect("No answer from device !", "Connect v24");
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  sim.Attach(link);
  const auto start = Clock::now();
  EXPECT_EQ(link.Connect(true, false), -1);
  const auto took = Clock::now() - start;
  EXPECT_FALSE(link.Port.IsOpen());
  EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EnqCount(); }), 2);
  EXPECT_EQ(sim.Device([](sim::SimDevice& d) { return d.EotCount(); }), 1);
  // Two attempts of five 100 ms polls and the 200 ms release pause.
  EXPECT_GE(took, std::chrono::milliseconds(1150));
  EXPECT_LT(took, std::chrono::milliseconds(2500));
}

TEST(Connect, NoiseBeforeTheAnswer) {
  // Noise in the same read hides the answer; noise in a read of its own does not.
  for (int gapMs : {0, 30}) {
    SCOPED_TRACE(gapMs);
    sim::SimOptions options;
    options.noise = {0x55, 0x00};
    options.noiseGapMs = gapMs;
    SimFixture sim(options);
    SilentPrompter prompter;
    ScopedHost host(&prompter, nullptr);
    TRuvolt link;
    sim.Attach(link);
    EXPECT_EQ(link.Connect(false, false), gapMs == 0 ? -1 : 1);
    EXPECT_TRUE(prompter.History().empty()) << "no messages when not asked for";
    link.Disconnect();
  }
}

TEST(Connect, NoPortOrAPortThatCannotBeOpened) {
  ScriptedPrompter prompter(GTestFailure());
  prompter.Expect("Sie müssen einen ComPort festlegen ! ", "Connect v24");
  prompter.ExpectContaining("Could not connect to ComPort !", "Connect v24");
  ScopedHost host(&prompter, nullptr);
  TempDir dir;
  PortMap map(dir.File("ports.conf"));
  ASSERT_TRUE(map.Put(4, "gone", dir.File("no-such-device"), ""));
  TRuvolt link;
  link.Port.SetPortMap(&map);
  EXPECT_EQ(link.Connect(true, false), -1);
  link.Port.PortNumber = 4;
  EXPECT_EQ(link.Connect(true, false), -1);
  EXPECT_EQ(link.Port.StatusText, "Error while opening handle to COM4.");
  EXPECT_NE(prompter.History().back().text.find("nicht vorhanden"), std::string::npos);
}

TEST(ReadVersionInfo, FillsTheRecordOrDumpsWhatCame) {
  sim::SimOptions options;
  options.major = 3;
  options.minor = 14;
  options.value2 = -2;
  SimFixture sim(options);
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  TRuvolt link;
  sim.Attach(link);
  ASSERT_EQ(link.Connect(false, false), 1);
  LogLines lines;
  TVersionInfo version;
  ASSERT_TRUE(link.ReadVersionInfo(version, lines));
  EXPECT_EQ(version.Major, 3);
  EXPECT_EQ(version.Minor, 14);
  EXPECT_EQ(version.Value2, -2);
  EXPECT_EQ(lines.Count(), 0);

  sim.Device([](sim::SimDevice& d) { d.Options().replyExtraByte = true; });
  version.Major = 77;
  EXPECT_FALSE(link.ReadVersionInfo(version, lines));
  EXPECT_EQ(version.Major, 77) << "a failed query keeps the old values";
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.At(0), "got 19 bytes: ");
  EXPECT_EQ(lines.At(1).rfind("0x81 0x03 0x0E ", 0), 0u);
  EXPECT_EQ(lines.At(1).size(), 20u * 5u) << "raw count plus one bytes";
  link.Disconnect();
}
