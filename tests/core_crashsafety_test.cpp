// Files survive a writer killed at any moment: a child process saves a file over and over and is
// killed with SIGKILL at a random point; the file is then either the old or a complete new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "AlarmLog_parse.h"
#include "FlashCatalogue.h"
#include "FlashImage.h"
#include "LogLines.h"
#include "Report.h"
#include "Ruvolt_Support.h"
#include "TestPaths.h"
#include "TransferRig.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

// One kind of file a program saves: `save` writes version v (0 or 1) of it, `bytes` is what
// version v holds on disk.
struct Writer {
  const char* name;
  std::function<bool(const std::string& path, int v)> save;
  std::function<std::string(int v)> bytes;
};

TDeviceConfig Version(int v) {
  return v ? FullConfig() : [] {
    TDeviceConfig c;
    c.ApplyDefaults();
    return c;
  }();
}

ReportInput ReportOf(int v) {
  ReportInput in;
  in.config = Version(v);
  in.configFileName = v ? "full.vnx" : "";
  return in;
}

std::vector<std::string> LogOf(int v) {
  std::vector<std::string> lines(v ? 4000 : 10, v ? "Block 1 written : 0xE1 0x01" : "OK");
  return lines;
}

std::vector<Writer> Writers() {
  return {
      {"configuration",
       [](const std::string& path, int v) {
         TRuvolt link;
         link.Config = Version(v);
         return link.SaveConfig(path);
       },
       [](int v) {
         const TDeviceConfig c = Version(v);
         return std::string(c.Bytes.begin(), c.Bytes.end());
       }},
      {"report",
       [](const std::string& path, int v) { return WriteConfigurationReport(ReportOf(v), path); },
       [](int v) { return HtmlBytes(ConfigurationReportLines(ReportOf(v))); }},
      {"transfer log",
       [](const std::string& path, int v) {
         LogLines lines;
         for (const std::string& line : LogOf(v)) lines.Add(line);
         return SaveLinesToFile(lines, path);
       },
       [](int v) {
         std::string text;
         for (const std::string& line : LogOf(v)) text += line + "\n";
         return text;
       }},
      {"alarm log list",
       [](const std::string& path, int v) { return SaveAlarmLogLines(LogOf(v), path); },
       [](int v) {
         std::string text;
         for (const std::string& line : LogOf(v)) text += line + "\r\n";
         return text;
       }},
  };
}

// The flash image of a catalogue of eight samples and the short pause loaded from home + "0/";
// version v builds from the A-law files below home + v (small ones for 0, large ones for 1).
Writer FlashWriter(const std::string& home) {
  for (int v = 0; v < 2; ++v) {
    CatalogueSpec catalogue{{{50, "", "pause_kurz", 5, 10}}, {{"fixmsg_1", "1,50,2"}}};
    for (int id = 1; id <= 8; ++id)
      catalogue.samples.push_back(
          {id, "s" + std::to_string(id), "s" + std::to_string(id), 1, v ? 40000 : 500});
    WriteCatalogue(home + std::to_string(v) + "/", catalogue);
  }
  EXPECT_TRUE(LoadVoiceCatalogue(home + "0/" + DefaultLanguageIni));
  auto build = [home](const std::string& path, int v) {
    LogLines log;
    const std::string alaw = FlashFoldersOf(home + std::to_string(v) + "/").alaw;
    return BuildFlashFile(alaw, path, log).outcome == FlashBuildOutcome::Created;
  };
  return {"flash image", build, [home, build](int v) {
            const std::string path = home + "reference" + std::to_string(v);
            std::string bytes;
            EXPECT_TRUE(build(path, v) && ReadFileBytes(path, bytes));
            return bytes;
          }};
}

// Starts a child that saves version 1, 0, 1, ... of the file until it is killed.
pid_t StartSaving(const Writer& w, const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (int v = 1;; v ^= 1)
      if (!w.save(path, v)) _exit(2);
  }
  return pid;
}

}  // namespace

TEST(CrashSafety, AKilledWriterLeavesTheOldOrTheWholeNewFile) {
  constexpr int Kills = 25;
  std::mt19937 random(20261211);
  TempDir flashHome;
  std::vector<Writer> writers = Writers();
  writers.push_back(FlashWriter(flashHome.Path()));
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    const std::string versions[2] = {w.bytes(0), w.bytes(1)};
    ASSERT_NE(versions[0], versions[1]);
    TempDir dir;
    const std::string path = dir.File("saved");
    int replaced = 0;
    for (int k = 0; k < Kills; ++k) {
      ASSERT_TRUE(w.save(path, 0));
      const pid_t pid = StartSaving(w, path);
      ASSERT_GT(pid, 0) << "fork failed";
      // Mostly early kills; every fifth waits long enough for a slow (sanitized, loaded) writer
      // to finish saves, so that completed replacements are tested too.
      const auto delayUs = k % 5 == 4 ? 300000 + random() % 30000 : random() % 30000;
      std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
      ASSERT_EQ(kill(pid, SIGKILL), 0);
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed by itself";
      std::string bytes;
      ASSERT_TRUE(ReadFileBytes(path, bytes));
      const bool old = bytes == versions[0];
      EXPECT_TRUE(old || bytes == versions[1])
          << "kill " << k << ": a file of " << bytes.size() << " bytes is neither version";
      replaced += old ? 0 : 1;
    }
    EXPECT_GT(replaced, 0) << "no save completed before a kill: nothing was tested";
  }
}
