// Every device operation against every line fault the simulated device can stage: each ends in
// time with its log lines, keeps the windows served, leaves Config alone and writes its log whole.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "Protocol.h"
#include "TransferRig.h"

using namespace varnex;
using namespace varnex::test;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

namespace {

enum class Op { Version, Read, Write, Firmware, Flash };
enum class Fault { Noise, Cut, Checksum, Length, Silence, Refused, HangUp };

const char* OpName(Op op) {
  constexpr const char* names[] = {"version", "read", "write", "firmware", "flash"};
  return names[static_cast<int>(op)];
}
const char* FaultName(Fault f) {
  constexpr const char* names[] = {
      "noise before reply", "reply cut short", "wrong checksum", "wrong length", "silence",
      "refused block",      "hung up"};
  return names[static_cast<int>(f)];
}

// Where each operation is hit (its second block; the version query's only reply), how long that
// exchange may wait, and the log file it writes.
struct OpFacts {
  sim::SimTransfer transfer;
  int block;
  uint32_t timeoutMs;
  const char* logFile;
  int refusedStatus;  // the block status that refuses; -1 where a block has none
};
OpFacts Facts(Op op) {
  using namespace protocol;
  switch (op) {
    case Op::Version:
      return {sim::SimTransfer::Version, 0, VersionTimeoutMs, nullptr, -1};
    case Op::Read:
      return {sim::SimTransfer::ConfigRead, 1, ReadBlockTimeoutMs, "config_read.txt", -1};
    case Op::Write:
      return {sim::SimTransfer::ConfigWrite, 1, WriteBlockTimeoutMs, "config_write.txt",
              BlockComplete};
    case Op::Firmware:
      return {sim::SimTransfer::Firmware, 1, FirmwareBlockTimeoutMs, "firmware.txt", BlockBadImage};
    case Op::Flash:
      return {sim::SimTransfer::Flash, 1, FlashBlockTimeoutMs, "flash_write.txt", BlockBadSequence};
  }
  return {};
}

sim::SimOptions Staged(Op op, Fault fault) {
  const OpFacts facts = Facts(op);
  sim::SimOptions o;
  sim::SimFault& f = o.fault;
  f.on = facts.transfer;
  f.block = facts.block;
  switch (fault) {
    case Fault::Noise:
      f.noise = {0x06, 0x13};
      break;
    case Fault::Cut:
      f.cutBytes = 3;
      break;
    case Fault::Checksum:
      f.badChecksum = true;
      break;
    case Fault::Length:
      f.extraByte = true;
      break;
    case Fault::Silence:
      f.silent = true;
      break;
    case Fault::Refused:
      if (op == Op::Read)
        o.noConfig = true;  // a read is refused by a device with nothing stored
      else
        f.status = facts.refusedStatus;
      break;
    case Fault::HangUp:
      f.hangUp = true;
      break;
  }
  return o;
}

// Times between the windows being served.
class TimingPump : public IUiPump {
 public:
  void ProcessMessages() override { Mark(); }
  void Mark() {
    const auto now = Clock::now();
    if (last_ != Clock::time_point{}) longest = std::max(longest, now - last_);
    last_ = now;
  }
  Clock::duration longest{};

 private:
  Clock::time_point last_{};
};

const char* Gone = "The device is gone: the serial line was hung up (adapter unplugged?).";
const char* Timeout = "Timeout on serial interface !";

// A pattern ending in "*" matches every line that begins with what comes before it.
bool LineMatches(const std::string& line, const std::string& pattern) {
  if (!pattern.empty() && pattern.back() == '*')
    return line.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
  return line == pattern;
}

struct Row {
  Op op;
  Fault fault;
  bool checksumBox;
  std::vector<std::string> log;
};

std::vector<Row> Matrix() {
  const std::vector<std::string> firmwareHead = {"Actual version : 2.5",
                                                 "Preparing device for firmware update ...",
                                                 "Update in Progress ...", "Block 0) F1 00 00 0F"};
  const std::vector<std::string> flashHead = {
      "Actual Firmware Version : 2.5",
      "Preparing device for writing flash, please wait (max. 25s) ...",
      "Prepare successfull (224,0,32), writing block 1 ...",
      "Block 0 written : 0xE1 0x00 0x00 0x00 0x1F"};
  auto with = [](std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const std::string flashFailed = "Error writing Flash file !";
  const std::string writeFailed = "Error occured at Block 1";
  std::vector<Row> rows = {
      // The version query logs the bytes it got (how many depends on how the line chunks them).
      {Op::Version, Fault::Noise, true, {"got *", "0x13 0xFA 0x81 *"}},
      {Op::Version, Fault::Cut, true, {"got 15 bytes: ", "0x81 0x02 0x05 0x00 *"}},
      {Op::Version, Fault::Checksum, true, {"got 18 bytes: ", "0x81 0x02 0x05 0x00 *"}},
      {Op::Version, Fault::Length, false, {"got *", "0x81 0x02 0x05 0x00 *"}},
      {Op::Version, Fault::Silence, false, {"got 0 bytes: ", "0x00 "}},
      {Op::Version, Fault::HangUp, false, {"got 0 bytes: ", "0x00 "}},

      {Op::Read, Fault::Noise, true, {Timeout}},
      {Op::Read, Fault::Cut, true, {Timeout}},
      {Op::Read, Fault::Checksum, true, {Timeout}},
      {Op::Read, Fault::Length, false, {Timeout}},
      {Op::Read, Fault::Silence, false, {Timeout}},
      {Op::Read, Fault::Refused, false, {"Keine Konfiguration geladen !"}},
      {Op::Read, Fault::HangUp, false, {Timeout, Gone}},

      {Op::Write, Fault::Noise, true, {Timeout, writeFailed}},
      {Op::Write, Fault::Cut, true, {Timeout, writeFailed}},
      {Op::Write, Fault::Checksum, true, {Timeout, writeFailed}},
      {Op::Write, Fault::Length, false, {Timeout, writeFailed}},
      {Op::Write, Fault::Silence, false, {Timeout, writeFailed}},
      {Op::Write, Fault::Refused, false, {writeFailed}},
      {Op::Write, Fault::HangUp, false, {Timeout, writeFailed, Gone}},

      {Op::Firmware, Fault::Noise, true, with(firmwareHead, {Timeout})},
      {Op::Firmware, Fault::Cut, true, with(firmwareHead, {Timeout})},
      {Op::Firmware, Fault::Checksum, true, with(firmwareHead, {Timeout})},
      {Op::Firmware, Fault::Length, false, with(firmwareHead, {Timeout})},
      {Op::Firmware, Fault::Silence, false, with(firmwareHead, {Timeout})},
      {Op::Firmware, Fault::Refused, false,
       with(firmwareHead,
            {"Error writing Block 1) firmware checksum or id invalid (2),  F1 01 02 0C",
             "Firmware Update canceled ..."})},
      {Op::Firmware, Fault::HangUp, false, with(firmwareHead, {Timeout, Gone})},

      {Op::Flash, Fault::Noise, true, with(flashHead, {Timeout, flashFailed})},
      {Op::Flash, Fault::Cut, true, with(flashHead, {Timeout, flashFailed})},
      {Op::Flash, Fault::Checksum, true, with(flashHead, {Timeout, flashFailed})},
      {Op::Flash, Fault::Length, false, with(flashHead, {Timeout, flashFailed})},
      {Op::Flash, Fault::Silence, false, with(flashHead, {Timeout, flashFailed})},
      {Op::Flash, Fault::Refused, false,
       with(flashHead, {"", "Block 1 NOT written : 0xE1 0x01 0x00 0x04 0x1A",
                        "Error writing Block 1) block sequence number error (4)", flashFailed})},
      {Op::Flash, Fault::HangUp, false, with(flashHead, {Timeout, Gone, flashFailed})},
  };
  return rows;
}

// Room for a loaded machine on top of the time-out of the exchange that fails.
constexpr Ms SlackMs(1500);
// The windows are served at least this often, whatever the line does.
constexpr Ms LongestUnservedMs(250);

}  // namespace

TEST(FaultMatrix, EveryOperationGivesUpInTimeWithItsLogAndTouchesNothing) {
  std::string table = "operation | fault | result | last log line | time to give up\n";
  for (const Row& row : Matrix()) {
    const OpFacts facts = Facts(row.op);
    const std::string name = std::string(OpName(row.op)) + " / " + FaultName(row.fault);
    SCOPED_TRACE(name);
    TransferRig rig(Staged(row.op, row.fault));
    if (row.checksumBox)
      rig.prompter.Expect("Checksum error while receiving data burst!", "receive");
    const std::string file = rig.logs.File("upload.bin");
    ASSERT_TRUE(
        WriteFileAtomic(file, row.op == Op::Firmware ? FirmwareFile(600) : Pattern(600, 5)));
    TDeviceConfig sentinel;
    sentinel.Bytes.fill(0x5A);
    rig.link.Config = sentinel;
    const TDeviceConfig stored = rig.sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); });
    rig.Connect();

    TimingPump pump;
    ScopedHost timed(&rig.prompter, &pump);
    pump.Mark();
    const auto start = Clock::now();
    bool ok = true;
    switch (row.op) {
      case Op::Version: {
        TVersionInfo version;
        ok = rig.link.ReadVersionInfo(version, rig.lines);
        EXPECT_EQ(version.Major, 0) << "a failed query leaves the version alone";
        break;
      }
      case Op::Read:
        ok = rig.link.ReadConfiguration(rig.progress, rig.lines, rig.logs.Path());
        break;
      case Op::Write:
        ok = rig.link.WriteConfiguration(rig.progress, rig.lines, rig.logs.Path());
        break;
      case Op::Firmware:
        ok = rig.link.UpdateFirmware(file, rig.lines, rig.logs.Path(), rig.progress);
        break;
      case Op::Flash:
        ok = rig.link.WriteFlash(file, rig.lines, rig.logs.Path(), rig.progress);
        break;
    }
    const auto took = std::chrono::duration_cast<Ms>(Clock::now() - start);
    pump.Mark();

    EXPECT_FALSE(ok);
    const Ms limit(facts.timeoutMs);
    const bool waitsItOut = row.fault == Fault::Cut || row.fault == Fault::Silence;
    if (waitsItOut) {
      EXPECT_GE(took, limit) << "gave up before the time-out";
    }
    EXPECT_LT(took, waitsItOut ? limit + SlackMs : limit) << "took " << took.count() << " ms";
    EXPECT_LT(pump.longest, LongestUnservedMs)
        << "windows unserved for " << std::chrono::duration_cast<Ms>(pump.longest).count() << " ms";

    const auto& lines = rig.lines.Lines();
    EXPECT_EQ(lines.size(), row.log.size()) << ::testing::PrintToString(lines);
    for (size_t i = 0; i < std::min(lines.size(), row.log.size()); ++i)
      EXPECT_TRUE(LineMatches(lines[i], row.log[i])) << lines[i] << " vs " << row.log[i];
    if (facts.logFile) {
      EXPECT_EQ(rig.LogFile(facts.logFile), lines) << "log file whole";
    }

    EXPECT_EQ(rig.link.Config, sentinel) << "Config untouched";
    rig.sim.Device([&](sim::SimDevice& d) {
      EXPECT_EQ(d.StoredConfig(), stored) << "no half-written configuration";
      EXPECT_FALSE(d.FirmwareComplete());
      EXPECT_FALSE(d.FlashComplete());
    });
    table += name + " | failed | " + (lines.empty() ? "" : lines.back()) + " | " +
             std::to_string(took.count()) + " ms\n";
  }
  std::printf("%s", table.c_str());
}
