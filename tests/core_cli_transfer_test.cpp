// varnexctl read, write, firmware, flash and show against the simulated device.
#include <gtest/gtest.h>

#include "TransferRig.h"

using namespace varnex;
using namespace varnex::test;

namespace {

std::string Ctl(SimFixture& sim, const std::string& args) {
  return ProgramPath("varnexctl") + " --device " + sim.Server().TerminalPath() + " " + args;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST(CliTransfer, WriteThenReadIsByteIdentical) {
  TempDir dir;
  sim::SimOptions options;
  options.configFile = dir.File("device.vnx");
  SimFixture sim(options);
  TRuvolt link;
  link.Config = FullConfig();
  ASSERT_TRUE(link.SaveConfig(dir.File("a.vnx")));
  const std::string logs = " --log-dir " + dir.Path();

  const auto write = RunCommand(Ctl(sim, "write " + dir.File("a.vnx") + " --verify" + logs));
  EXPECT_EQ(write.status, 0) << write.err;
  EXPECT_EQ(write.out,
            "OK\nVerifying ...\nOK\nVerified: the device holds the configuration byte "
            "for byte.\n");
  const auto read = RunCommand(Ctl(sim, "read " + dir.File("b.vnx") + logs));
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_TRUE(Contains(read.out, "OK\n")) << read.out;

  std::string a, b, device;
  ASSERT_TRUE(ReadFileBytes(dir.File("a.vnx"), a));
  ASSERT_TRUE(ReadFileBytes(dir.File("b.vnx"), b));
  ASSERT_TRUE(ReadFileBytes(dir.File("device.vnx"), device)) << "the simulator keeps its file";
  EXPECT_TRUE(a == b) << "read back differs";
  EXPECT_TRUE(a == device);
  std::string log;
  EXPECT_TRUE(ReadFileBytes(dir.File("config_write.txt"), log));
  EXPECT_TRUE(ReadFileBytes(dir.File("config_read.txt"), log));
}

TEST(CliTransfer, FirmwareAndFlashArriveByteIdentical) {
  TempDir dir;
  sim::SimOptions options;
  options.firmwareOut = dir.File("firmware.out");
  options.flashOut = dir.File("flash.out");
  options.versionAfterUpdate = std::make_pair(uint8_t{2}, uint8_t{6});
  SimFixture sim(options);
  const std::string logs = " --log-dir " + dir.Path();
  struct Case {
    std::string command, content, out, lastLine;
  };
  const Case cases[] = {
      {"firmware", FirmwareFile(70000), "firmware.out", "version 2.6 ("},
      {"flash", FlashFile(65536 + 5000), "flash.out", "Successfully updated FlashFile ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ASSERT_TRUE(WriteFileAtomic(dir.File("in.bin"), c.content));
    const auto run = RunCommand(Ctl(sim, c.command + " " + dir.File("in.bin") + logs));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, c.lastLine)) << run.out.substr(run.out.size() - 200);
    std::string arrived;
    ASSERT_TRUE(ReadFileBytes(dir.File(c.out), arrived));
    EXPECT_TRUE(arrived == c.content) << "the upload differs";
  }
}

TEST(CliTransfer, EveryFailureExitsNonZero) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("short.vnx"), std::string(3000, '\0')));
  ASSERT_TRUE(WriteFileAtomic(dir.File("good.vnx"), std::string(3001, '\0')));
  ASSERT_TRUE(WriteFileAtomic(dir.File("notg.bin"), std::string(600, 'F')));
  ASSERT_TRUE(WriteFileAtomic(dir.File("voice.bin"), Pattern(900, 4)));
  struct Case {
    const char* name;
    sim::SimOptions options;
    std::string args;
    int status;
    std::string out;  // a fragment of standard output or, failing that, of standard error
  };
  sim::SimOptions noConfig, busy, writeFault, flashRefused;
  noConfig.noConfig = true;
  busy.busy = true;
  writeFault.fault.on = sim::SimTransfer::ConfigWrite;
  writeFault.fault.block = 2;
  writeFault.fault.status = 3;
  flashRefused.fault.on = sim::SimTransfer::Flash;
  flashRefused.fault.prepareRefused = true;
  const Case cases[] = {
      {"no configuration", noConfig, "read @out.vnx", 1, "Keine Konfiguration geladen !"},
      {"file of 3000 bytes", {}, "write @short.vnx", 1, "3000 bytes long"},
      {"block refused", writeFault, "write @good.vnx", 1, "Error occured at Block 2"},
      {"no firmware file", {}, "firmware @notg.bin", 1, "is no firmware file"},
      {"flash prepare refused", flashRefused, "flash @voice.bin", 1, "ErrorCode : 224,1,31"},
      {"busy", busy, "read @out.vnx", 1, "busy with a call"},
      {"busy accepted", busy, "--accept-busy read @out.vnx", 0, "OK"},
      {"no file named", {}, "read", 2, "needs a file"},
      {"unknown option", {}, "write @good.vnx --force", 2, "unknown option '--force'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimFixture sim(c.options);
    std::string args = c.args;
    for (size_t at; (at = args.find('@')) != std::string::npos;) args.replace(at, 1, dir.Path());
    const auto run = RunCommand(Ctl(sim, args + " --log-dir " + dir.Path()));
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, c.out) || Contains(run.err, c.out)) << run.out << run.err;
  }
}

TEST(CliTransfer, ShowPrintsEveryField) {
  TempDir dir;
  TRuvolt link;
  link.Config = FullConfig();
  ASSERT_TRUE(link.SaveConfig(dir.File("full.vnx")));
  const auto run = RunCommand(ProgramPath("varnexctl") + " show " + dir.File("full.vnx"));
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* part : {
           "Msn               : 123456789012345\n",
           "CountryCode       : 43\n",
           "PbxPrefix         : 0#\n",
           "RingTime          : 120 s\n",
           "DtmfCode          : 123456\n",
           "Admins (active: 6 of 10)\n",
           "  2  Admin Müller-Lüdenscheidt úû 1  49       31      555011           1\n",
           "  Trigger         : 2 (Schliesser)\n",
           "  AlarmDelay      : 20 s\n",
           "  Passes          : 4\n",
           "  InputSwitches   : 2 (Ausgang2)\n",
           "  CallList of input 2 (active: 6 of 10)\n",
           "  Action          : 3 (pulse)\n",
           "  Param           : 4\n",
           "Reserved 2745-3000: 255 of 256 bytes not zero\n",
           "Reserved 33-286   : all zero\n",
       }) {
    EXPECT_TRUE(Contains(run.out, part)) << part;
  }
  std::string message = "  AlarmText       : 200";
  for (int code = 201; code < 250; ++code) message += " " + std::to_string(code);
  EXPECT_TRUE(Contains(run.out, message + "\n")) << "all 50 codes, in order";

  const auto odd = RunCommand(ProgramPath("varnexctl") + " show " + dir.File("none.vnx"));
  EXPECT_EQ(odd.status, 1);
  EXPECT_TRUE(Contains(odd.err, "no such file")) << odd.err;
}

TEST(CliTransfer, SimulatorRefusesFaultsWithoutATransferAndBadConfigFiles) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("bad.vnx"), "0123456789"));
  const std::string sim = ProgramPath("varnex_sim");
  for (const std::string& args :
       {std::string("--fault-block 3"), "--config " + dir.File("bad.vnx"),
        std::string("--fault-on x"), std::string("--fault-on flash --fault-status 256")}) {
    SCOPED_TRACE(args);
    const auto run = RunCommand(sim + " " + args);
    EXPECT_EQ(run.status, 2);
    EXPECT_FALSE(run.err.empty());
  }
}
