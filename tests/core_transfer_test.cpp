// Configuration read and write, firmware update and voice flash upload against the simulated
// device on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>

#include "Protocol.h"
#include "TransferRig.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;

namespace {

const char* ChecksumBox = "Checksum error while receiving data burst!";
const char* Gone = "The device is gone: the serial line was hung up (adapter unplugged?).";

// A record that no device sends: shows whether a failed read touched Config.
TDeviceConfig Sentinel() {
  TDeviceConfig c;
  c.Bytes.fill(0x5A);
  return c;
}

sim::SimOptions WithFault(sim::SimTransfer on, std::function<void(sim::SimFault&)> set) {
  sim::SimOptions o;
  o.fault.on = on;
  set(o.fault);
  return o;
}

}  // namespace

// --- Configuration -------------------------------------------------------------------------------

TEST(ConfigWrite, SendsThePrepareAndTwelveBlocksOfTheImage) {
  TransferRig rig;
  rig.link.Config = FullConfig();
  rig.Connect();
  ASSERT_TRUE(rig.link.WriteConfiguration(rig.progress, rig.lines, rig.logs.Path()));
  rig.ExpectLog("config_write.txt", {"OK"});

  const auto requests = rig.Requests();
  ASSERT_EQ(requests.size(), 14u);  // version, prepare, twelve blocks
  EXPECT_EQ(requests[0], (Bytes{0x01, 0xFF}));
  EXPECT_EQ(requests[1], (Bytes{0x04, 0xFC}));
  Bytes image;
  for (size_t k = 0; k < 12; ++k) {
    const Bytes& block = requests[2 + k];
    ASSERT_EQ(block.size(), k < 11 ? 259u : 197u) << "block " << k;
    EXPECT_EQ(block[0], 0x05);
    EXPECT_EQ(block[1], k);
    image.insert(image.end(), block.begin() + 2, block.end() - 1);
  }
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 8),
            (Bytes{0x48, 0x29, 0x00, 0x00, 0x00, 0x00, 0xC2, 0x0B}));
  EXPECT_EQ(Bytes(image.begin() + 8, image.end() - 1),
            Bytes(rig.link.Config.Bytes.begin(), rig.link.Config.Bytes.end()));
  EXPECT_TRUE(TRuvolt::ChecksumOk(image.data(), image.size())) << "image checksum";
  EXPECT_EQ(rig.sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); }), FullConfig());
  EXPECT_EQ(rig.link.Config, FullConfig()) << "a write leaves Config as it was";
  EXPECT_EQ(rig.progress.maximum, 12);
  EXPECT_EQ(rig.progress.positions.back(), 12);
}

TEST(ConfigRead, TakesTwelveBlocksIntoConfig) {
  TempDir dir;
  TRuvolt source;
  source.Config = FullConfig();
  ASSERT_TRUE(source.SaveConfig(dir.File("device.vnx")));
  sim::SimOptions options;
  options.configFile = dir.File("device.vnx");
  TransferRig rig(options);
  rig.Connect();
  ASSERT_TRUE(rig.link.ReadConfiguration(rig.progress, rig.lines, rig.logs.Path()));
  rig.ExpectLog("config_read.txt", {"OK"});
  EXPECT_EQ(rig.link.Config, FullConfig());
  EXPECT_EQ(rig.link.HeaderMagic, 0x2948);
  EXPECT_EQ(rig.link.HeaderLength, 3010);
  const auto requests = rig.Requests();
  ASSERT_EQ(requests.size(), 12u);
  for (uint8_t k = 0; k < 12; ++k) {
    Bytes expected = {0x03, k};
    expected.push_back(static_cast<uint8_t>(0x100 - 0x03 - k));
    EXPECT_EQ(requests[k], expected);
  }
  EXPECT_EQ(rig.progress.maximum, 11);
  EXPECT_EQ(rig.progress.positions.back(), 11);
}

TEST(ConfigRead, WriteThenReadGivesTheSameBytes) {
  const TDeviceConfig full = FullConfig();
  ASSERT_EQ(full.Admin(9).Name(), "Admin Müller-Lüdenscheidt úû 9");
  ASSERT_EQ(full.Input(1).Call(9).Name(), "Ruf€ Müller-Lüdenscheidt úû 9");
  TransferRig rig;
  rig.link.Config = full;
  rig.Connect();
  ASSERT_TRUE(rig.link.WriteConfiguration(rig.progress, rig.lines, rig.logs.Path()));
  rig.link.Config = Sentinel();
  ASSERT_TRUE(rig.link.ReadConfiguration(rig.progress, rig.lines, rig.logs.Path()));
  EXPECT_EQ(rig.link.Config, full);
}

TEST(ConfigRead, FailuresLeaveConfigUntouched) {
  using sim::SimTransfer;
  struct Case {
    const char* name;
    sim::SimOptions options;
    bool connected;
    bool checksumBox;
    std::vector<std::string> log;
  };
  sim::SimOptions noConfig, incompatible, shortImage;
  noConfig.noConfig = true;
  incompatible.compat = 1;
  shortImage.imageLength = 2000;
  const Case cases[] = {
      {"port not open", {}, false, false, {"Varnex not connected."}},
      {"no configuration", noConfig, true, false, {"Keine Konfiguration geladen !"}},
      {"incompatible",
       incompatible,
       true,
       false,
       {"Konfiguration mit Firmware nicht mehr kompatibel !"}},
      {"first block missing",
       WithFault(SimTransfer::ConfigRead, [](sim::SimFault& f) { f.block = 0, f.silent = true; }),
       true,
       false,
       {"'Write Prepare' ist fehlgeschlagen"}},
      {"block 5 missing",
       WithFault(SimTransfer::ConfigRead, [](sim::SimFault& f) { f.block = 5, f.silent = true; }),
       true,
       false,
       {"Timeout on serial interface !"}},
      {"block 11 cut short",
       WithFault(SimTransfer::ConfigRead, [](sim::SimFault& f) { f.block = 11, f.cutBytes = 3; }),
       true,
       true,
       {"Timeout on serial interface !"}},
      {"noise before block 3",
       WithFault(SimTransfer::ConfigRead,
                 [](sim::SimFault& f) {
                   f.block = 3, f.noise = {0x06, 0x13};
                 }),
       true,
       true,
       {"Timeout on serial interface !"}},
      {"hung up at block 4",
       WithFault(SimTransfer::ConfigRead, [](sim::SimFault& f) { f.block = 4, f.hangUp = true; }),
       true,
       false,
       {"Timeout on serial interface !", Gone}},
      {"image too short for the record",
       shortImage,
       true,
       false,
       {"Configuration incomplete: the device sent 1992 of 3001 bytes."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig(c.options);
    if (c.checksumBox) rig.prompter.Expect(ChecksumBox, "receive");
    rig.link.Config = Sentinel();
    if (c.connected) rig.Connect();
    EXPECT_FALSE(rig.link.ReadConfiguration(rig.progress, rig.lines, rig.logs.Path()));
    rig.ExpectLog("config_read.txt", c.log);
    EXPECT_EQ(rig.link.Config, Sentinel());
  }
}

TEST(ConfigWrite, FailuresAreLoggedAndStopTheWrite) {
  using sim::SimTransfer;
  auto block = [](int k, std::function<void(sim::SimFault&)> more) {
    return WithFault(SimTransfer::ConfigWrite, [=](sim::SimFault& f) {
      f.block = k;
      more(f);
    });
  };
  struct Case {
    const char* name;
    sim::SimOptions options;
    bool connected;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"port not open", {}, false, {"Varnex not connected."}},
      {"prepare refused",
       WithFault(SimTransfer::ConfigWrite, [](sim::SimFault& f) { f.prepareRefused = true; }),
       true,
       {"CONFIG_WRITE_PREPARE_ERROR"}},
      {"prepare unanswered",
       WithFault(SimTransfer::ConfigWrite, [](sim::SimFault& f) { f.prepareSilent = true; }),
       true,
       {"CONFIG_WRITE_PREPARE_ERROR"}},
      {"status 1 on block 3",
       block(3, [](sim::SimFault& f) { f.status = 1; }),
       true,
       {"Error occured at Block 3"}},
      {"status 0 on the last block",
       block(11, [](sim::SimFault& f) { f.status = 0; }),
       true,
       {"Error occured at Block 11"}},
      {"block 4 unanswered",
       block(4, [](sim::SimFault& f) { f.silent = true; }),
       true,
       {"Timeout on serial interface !", "Error occured at Block 4"}},
      {"hung up at block 6",
       block(6, [](sim::SimFault& f) { f.hangUp = true; }),
       true,
       {"Timeout on serial interface !", "Error occured at Block 6", Gone}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig(c.options);
    const TDeviceConfig before = rig.sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); });
    rig.link.Config = FullConfig();
    if (c.connected) rig.Connect();
    EXPECT_FALSE(rig.link.WriteConfiguration(rig.progress, rig.lines, rig.logs.Path()));
    rig.ExpectLog("config_write.txt", c.log);
    EXPECT_EQ(rig.sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); }), before);
  }
}

TEST(ConfigWrite, VersionQueryOnAVanishedLine) {
  TransferRig rig;
  rig.Connect();
  rig.sim.Server().HangUp();
  EXPECT_FALSE(rig.link.WriteConfiguration(rig.progress, rig.lines, rig.logs.Path()));
  rig.ExpectLog("config_write.txt", {"got 0 bytes: ", "0x00 ", Gone});
}

// --- Firmware
// --------------------------------------------------------------------------------------

TEST(Firmware, UploadsEveryBlockAndReadsTheNewVersion) {
  struct Case {
    size_t size;
    std::vector<size_t> blockSizes;  // of the first blocks; the rest are full except the last
    size_t blocks;
  };
  const Case cases[] = {
      {1000, {256, 256, 256, 232}, 4},
      {512, {256, 256}, 2},
      {70000, {256}, 274},  // block numbers wrap from 255 to 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    sim::SimOptions options;
    options.versionAfterUpdate = std::make_pair(uint8_t{3}, uint8_t{1});
    TransferRig rig(options);
    const std::string file = FirmwareFile(c.size);
    ASSERT_TRUE(WriteFileAtomic(rig.logs.File("fw.bin"), file));
    rig.Connect();
    ASSERT_TRUE(
        rig.link.UpdateFirmware(rig.logs.File("fw.bin"), rig.lines, rig.logs.Path(), rig.progress));

    const auto requests = rig.Requests();
    ASSERT_EQ(requests.size(), 1 + 1 + c.blocks + 1);  // version, prepare, blocks, version
    EXPECT_EQ(requests[1], (Bytes{0x70, 0x90}));
    for (size_t k = 0; k < c.blocks; ++k) {
      const Bytes& m = requests[2 + k];
      EXPECT_EQ(m[0], 0x71);
      EXPECT_EQ(m[1], k % 256) << "block " << k;
      const size_t expected = k < c.blockSizes.size() ? c.blockSizes[k]
                              : k + 1 < c.blocks      ? 256
                                                      : c.size - 256 * (c.blocks - 1);
      EXPECT_EQ(m.size(), expected + 3) << "block " << k;
    }
    const auto image = rig.sim.Device([](sim::SimDevice& d) { return d.FirmwareImage(); });
    EXPECT_EQ(std::string(image.begin(), image.end()), file);
    EXPECT_EQ(rig.sim.Device([](sim::SimDevice& d) { return d.EnqCount(); }), 2)
        << "woken again after the restart";

    const auto& lines = rig.lines.Lines();
    ASSERT_EQ(lines.size(), 3 + c.blocks + 1);
    EXPECT_EQ(lines[0], "Actual version : 2.5");
    EXPECT_EQ(lines[1], "Preparing device for firmware update ...");
    EXPECT_EQ(lines[2], "Update in Progress ...");
    EXPECT_EQ(lines[3], "Block 0) F1 00 00 0F");
    const std::string last = lines.back();
    EXPECT_EQ(last.rfind("\r\nSuccessfully updated firmware to\r\nversion 3.1 (", 0), 0u) << last;
    EXPECT_EQ(last.substr(last.size() - 11), " bytes/s) !");
    EXPECT_EQ(rig.LogFile("firmware.txt").size(), lines.size() + 2) << "two CR LF inside";
    EXPECT_EQ(rig.progress.maximum, static_cast<int>(c.blocks));
  }
}

TEST(Firmware, FailuresAreLoggedAndStopTheUpdate) {
  using sim::SimTransfer;
  auto fault = [](std::function<void(sim::SimFault&)> set) {
    return WithFault(SimTransfer::Firmware, set);
  };
  const std::string good = FirmwareFile(1000);
  std::string notG = good;
  notG[0] = 'F';
  struct Case {
    const char* name;
    sim::SimOptions options;
    std::string file;  // empty: no file
    std::string box;
    std::vector<std::string> log;
  };
  sim::SimOptions silentAfter, noVersionAfter;
  silentAfter.silentAfterUpdate = true;
  noVersionAfter.noVersionAfterUpdate = true;
  const std::vector<std::string> head = {"Actual version : 2.5",
                                         "Preparing device for firmware update ..."};
  auto withHead = [&](std::vector<std::string> tail) {
    std::vector<std::string> all = head;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const std::vector<std::string> blocksOk = {"Update in Progress ...", "Block 0) F1 00 00 0F",
                                             "Block 1) F1 01 00 0E", "Block 2) F1 02 00 0D",
                                             "Block 3) F1 03 01 0B"};
  auto afterBlocks = [&](const std::string& line) {
    auto all = withHead(blocksOk);
    all.push_back(line);
    return all;
  };
  const Case cases[] = {
      {"file missing", {}, "", "", {"@ could not opened (2) ! "}},
      {"file too short",
       {},
       good.substr(0, 255),
       "",
       {"@ is no firmware file (it must begin with 'G' and hold at least 256 bytes) !"}},
      {"file not starting with G",
       {},
       notG,
       "",
       {"@ is no firmware file (it must begin with 'G' and hold at least 256 bytes) !"}},
      {"prepare refused", fault([](sim::SimFault& f) { f.prepareRefused = true; }), good, "",
       withHead({"Firmware write prepare refused (0xF0 0x01 0x0F) !"})},
      {"status 4 on block 2", fault([](sim::SimFault& f) { f.block = 2, f.status = 4; }), good, "",
       withHead({"Update in Progress ...", "Block 0) F1 00 00 0F", "Block 1) F1 01 00 0E",
                 "Error writing Block 2) block sequence number error (4),  F1 02 04 09",
                 "Firmware Update canceled ..."})},
      {"status 1 before the last block", fault([](sim::SimFault& f) { f.block = 0, f.status = 1; }),
       good, "",
       withHead({"Update in Progress ...",
                 "Error writing Block 0) firmware write complete (auto detected, no error, set on "
                 "last block) (1),  F1 00 01 0E",
                 "Firmware Update canceled ..."})},
      {"status 0 on the last block", fault([](sim::SimFault& f) { f.block = 3, f.status = 0; }),
       good, "",
       withHead({"Update in Progress ...", "Block 0) F1 00 00 0F", "Block 1) F1 01 00 0E",
                 "Block 2) F1 02 00 0D",
                 "Error writing Block 3) no error, block write successful (0),  F1 03 00 0C",
                 "Firmware Update canceled ..."})},
      {"status 9", fault([](sim::SimFault& f) { f.block = 0, f.status = 9; }), good, "",
       withHead({"Update in Progress ...",
                 "Error writing Block 0) unknown block status (9),  F1 00 09 06",
                 "Firmware Update canceled ..."})},
      {"block unanswered", fault([](sim::SimFault& f) { f.block = 1, f.silent = true; }), good, "",
       withHead(
           {"Update in Progress ...", "Block 0) F1 00 00 0F", "Timeout on serial interface !"})},
      {"hung up at block 1", fault([](sim::SimFault& f) { f.block = 1, f.hangUp = true; }), good,
       "",
       withHead({"Update in Progress ...", "Block 0) F1 00 00 0F", "Timeout on serial interface !",
                 Gone})},
      {"silent after the update", silentAfter, good, "No answer from device !", withHead(blocksOk)},
      {"no version after the update", noVersionAfter, good, "",
       afterBlocks("Error while verifying firmware version!")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig(c.options);
    const std::string path = rig.logs.File("fw.bin");
    if (!c.file.empty()) {
      ASSERT_TRUE(WriteFileAtomic(path, c.file));
    }
    if (!c.box.empty()) rig.prompter.Expect(c.box, "Connect v24");
    rig.Connect();
    EXPECT_FALSE(rig.link.UpdateFirmware(path, rig.lines, rig.logs.Path(), rig.progress));
    std::vector<std::string> log = c.log;
    for (auto& line : log) {
      if (line[0] == '@') line = path + line.substr(1);
    }
    if (c.name == std::string("no version after the update")) {
      // The failed version query's dump lines come before the verdict.
      ASSERT_GE(rig.lines.Count(), 3);
      log.insert(log.end() - 1, {"got 0 bytes: ", "0x00 "});
    }
    rig.ExpectLog("firmware.txt", log);
    if (c.file.size() < 256) {
      EXPECT_TRUE(rig.Requests().empty()) << "nothing sent for a file that is no firmware";
    }
  }
}

TEST(Firmware, UnreadableFileIsAnUnexpectedError) {
  TransferRig rig;
  rig.prompter.Expect("Unexpected Error: File '" + rig.logs.Path() + "' could not be opened (21) !",
                      "Varnex - Error");
  rig.Connect();
  EXPECT_FALSE(rig.link.UpdateFirmware(rig.logs.Path(), rig.lines, rig.logs.Path(), rig.progress));
  rig.ExpectLog("firmware.txt", {});
  EXPECT_TRUE(rig.Requests().empty());
}

TEST(Firmware, UnansweredPrepare) {
  sim::SimOptions options;
  options.fault.on = sim::SimTransfer::Firmware;
  options.fault.prepareSilent = true;
  TransferRig rig(options);
  ASSERT_TRUE(WriteFileAtomic(rig.logs.File("fw.bin"), FirmwareFile(300)));
  rig.Connect();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(
      rig.link.UpdateFirmware(rig.logs.File("fw.bin"), rig.lines, rig.logs.Path(), rig.progress));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(6000));
  rig.ExpectLog("firmware.txt", {"Actual version : 2.5", "Preparing device for firmware update ...",
                                 "Firmware write prepare failed ..."});
}

// --- Voice flash
// -----------------------------------------------------------------------------------

TEST(Flash, ThreeHundredBytesInTwoBlocks) {
  TransferRig rig;
  const std::string file = Pattern(300, 3);
  ASSERT_TRUE(WriteFileAtomic(rig.logs.File("flash.bin"), file));
  rig.Connect();
  ASSERT_TRUE(
      rig.link.WriteFlash(rig.logs.File("flash.bin"), rig.lines, rig.logs.Path(), rig.progress));
  const auto requests = rig.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1], (Bytes{0x60, 0xA0}));
  EXPECT_EQ(Bytes(requests[2].begin(), requests[2].begin() + 3), (Bytes{0x61, 0x00, 0x00}));
  EXPECT_EQ(requests[2].size(), 256u + 4);
  EXPECT_EQ(Bytes(requests[3].begin(), requests[3].begin() + 3), (Bytes{0x61, 0x01, 0x00}));
  EXPECT_EQ(requests[3].size(), 44u + 4);
  const auto image = rig.sim.Device([](sim::SimDevice& d) { return d.FlashImage(); });
  EXPECT_EQ(std::string(image.begin(), image.end()), file);
  const auto& lines = rig.lines.Lines();
  ASSERT_EQ(lines.size(), 6u);
  const std::vector<std::string> head = {
      "Actual Firmware Version : 2.5",
      "Preparing device for writing flash, please wait (max. 25s) ...",
      "Prepare successfull (224,0,32), writing block 1 ...",
      "Block 0 written : 0xE1 0x00 0x00 0x00 0x1F", "Block 1 written : 0xE1 0x01 0x00 0x01 0x1D"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), head);
  EXPECT_EQ(lines[5].rfind("\r\nSuccessfully updated FlashFile (", 0), 0u) << lines[5];
  EXPECT_EQ(rig.LogFile("flash_write.txt").size(), 7u);
}

TEST(Flash, ThousandsOfBlocksKeepTheLogNear250Lines) {
  TransferRig rig;
  const size_t blocks = 3000;
  const std::string file = FlashFile(blocks * 256);
  ASSERT_TRUE(WriteFileAtomic(rig.logs.File("flash.bin"), file));
  rig.Connect();
  ASSERT_TRUE(
      rig.link.WriteFlash(rig.logs.File("flash.bin"), rig.lines, rig.logs.Path(), rig.progress));
  const auto image = rig.sim.Device([](sim::SimDevice& d) { return d.FlashImage(); });
  EXPECT_TRUE(std::string(image.begin(), image.end()) == file) << "image differs";
  const auto requests = rig.Requests();
  ASSERT_EQ(requests.size(), 2 + blocks);
  EXPECT_EQ(requests[2 + 300][1], 0x2C);
  EXPECT_EQ(requests[2 + 300][2], 0x01);
  EXPECT_LE(rig.lines.Count(), 253);
  EXPECT_GE(rig.lines.Count(), 250);
  EXPECT_EQ(rig.lines.At(rig.lines.Count() - 2), "Block 2999 written : 0xE1 0xB7 0x0B 0x01 0x5C");
  EXPECT_EQ(rig.LogFile("flash_write.txt").size(), static_cast<size_t>(rig.lines.Count()) + 1);
  EXPECT_EQ(rig.progress.maximum, static_cast<int>(blocks));
  EXPECT_EQ(rig.progress.positions.back(), static_cast<int>(blocks - 1));
}

TEST(Flash, FailuresAreLoggedAndStopTheUpload) {
  using sim::SimTransfer;
  auto fault = [](std::function<void(sim::SimFault&)> set) {
    return WithFault(SimTransfer::Flash, set);
  };
  const std::vector<std::string> head = {
      "Actual Firmware Version : 2.5",
      "Preparing device for writing flash, please wait (max. 25s) ...",
      "Prepare successfull (224,0,32), writing block 1 ..."};
  auto withHead = [&](std::vector<std::string> tail) {
    std::vector<std::string> all = head;
    all.insert(all.end(), tail.begin(), tail.end());
    all.push_back("Error writing Flash file !");
    return all;
  };
  struct Case {
    const char* name;
    sim::SimOptions options;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"prepare refused",
       fault([](sim::SimFault& f) { f.prepareRefused = true; }),
       {head[0], head[1], "FlashWrite write prepare failed (ErrorCode : 224,1,31) !"}},
      {"block number mismatch", fault([](sim::SimFault& f) { f.block = 4, f.replyBlock = 5; }),
       withHead({"Block 0 written : 0xE1 0x00 0x00 0x00 0x1F",
                 "Block 1 written : 0xE1 0x01 0x00 0x00 0x1E",
                 "Block 2 written : 0xE1 0x02 0x00 0x00 0x1D",
                 "Block 3 written : 0xE1 0x03 0x00 0x00 0x1C", "",
                 "Block 4 NOT written : 0xE1 0x05 0x00 0x00 0x1A",
                 "Error writing Block 4) block number mismatch"})},
      {"wrong reply code and status 1 early",
       fault([](sim::SimFault& f) { f.block = 0, f.replyCode = 0xE2, f.status = 1; }),
       withHead({"", "Block 0 NOT written : 0xE2 0x00 0x00 0x01 0x1D",
                 "Error writing Block 0) wrong answer '0xE2'",
                 "Error writing Block 0) firmware write complete (auto detected, no error, set on "
                 "last block) (1)"})},
      {"block unanswered", fault([](sim::SimFault& f) { f.block = 1, f.silent = true; }),
       withHead({"Block 0 written : 0xE1 0x00 0x00 0x00 0x1F", "Timeout on serial interface !"})},
      {"hung up at block 0", fault([](sim::SimFault& f) { f.block = 0, f.hangUp = true; }),
       withHead({"Timeout on serial interface !", Gone})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig(c.options);
    ASSERT_TRUE(WriteFileAtomic(rig.logs.File("flash.bin"), Pattern(1500, 5)));
    rig.Connect();
    EXPECT_FALSE(
        rig.link.WriteFlash(rig.logs.File("flash.bin"), rig.lines, rig.logs.Path(), rig.progress));
    rig.ExpectLog("flash_write.txt", c.log);
  }
}

TEST(Flash, MissingOrUnreadableFileOrClosedPort) {
  TransferRig rig;
  const std::string path = rig.logs.File("none.bin");
  rig.Connect();
  EXPECT_FALSE(rig.link.WriteFlash(path, rig.lines, rig.logs.Path(), rig.progress));
  EXPECT_FALSE(rig.link.WriteFlash(rig.logs.Path(), rig.lines, rig.logs.Path(), rig.progress));
  ASSERT_TRUE(WriteFileAtomic(path, Pattern(300, 1)));
  rig.link.Disconnect();
  EXPECT_FALSE(rig.link.WriteFlash(path, rig.lines, rig.logs.Path(), rig.progress));
  rig.ExpectLog("flash_write.txt",
                {path + " not found !", rig.logs.Path() + " could not be read (Is a directory) !",
                 "Varnex not connected."});
  EXPECT_EQ(rig.Requests().size(), 0u);
}

// The prepare may take the device up to 25 s (a flash erase): a slow answer is waited for, a
// missing one gives up after the 25 s.
TEST(Flash, SlowAndUnansweredPrepare) {
  for (bool answered : {true, false}) {
    SCOPED_TRACE(answered ? "slow" : "unanswered");
    sim::SimOptions options;
    options.fault.on = sim::SimTransfer::Flash;
    options.fault.prepareDelayMs = answered ? 3000 : 0;
    options.fault.prepareSilent = !answered;
    TransferRig rig(options);
    ASSERT_TRUE(WriteFileAtomic(rig.logs.File("flash.bin"), Pattern(300, 2)));
    rig.Connect();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        rig.link.WriteFlash(rig.logs.File("flash.bin"), rig.lines, rig.logs.Path(), rig.progress),
        answered);
    const auto took = std::chrono::steady_clock::now() - start;
    if (answered) {
      EXPECT_GE(took, std::chrono::milliseconds(3000));
      EXPECT_EQ(rig.lines.At(2), "Prepare successfull (224,0,32), writing block 1 ...");
    } else {
      EXPECT_GE(took, std::chrono::milliseconds(25000));
      EXPECT_LT(took, std::chrono::milliseconds(27000));
      EXPECT_EQ(rig.lines.At(2),
                "FlashWrite write prepare failed (no Answer to PrepareCommand...) !");
    }
  }
}
