// Small helpers and the message tables.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "LogLines.h"
#include "Messages.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

TEST(Misc, TextHelpers) {
  EXPECT_EQ(TwoDigits(0), "00");
  EXPECT_EQ(TwoDigits(9), "09");
  EXPECT_EQ(TwoDigits(10), "10");
  EXPECT_EQ(HexByte(0x00), "00");
  EXPECT_EQ(HexByte(0xAF), "AF");
  EXPECT_EQ(HexByte(0x7C), "7C");
  EXPECT_EQ(RemoveDoubleSpaces("  a   b c  "), " a b c ");
  EXPECT_TRUE(IsDigit('0'));
  EXPECT_FALSE(IsDigit('a'));
}

TEST(Misc, WriteFileAtomicReplacesWholeOrNotAtAll) {
  TempDir dir;
  const std::string file = dir.File("config.vnx");
  ASSERT_TRUE(WriteFileAtomic(file, "old"));
  ASSERT_TRUE(WriteFileAtomic(file, std::string(5000, 'n')));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(file, bytes));
  EXPECT_EQ(bytes.size(), 5000u);
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir.File("missing/config.vnx"), "x", &error));
  EXPECT_NE(error.find("missing/config.vnx"), std::string::npos);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1u) << "no temporary files left behind";
}

TEST(Misc, TempDirIsPrivate) {
  const std::string dir = GetTempDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  struct stat st {};
  ASSERT_EQ(stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(Misc, DelayWaitsAndServesTheWindows) {
  struct CountingPump : IUiPump {
    int calls = 0;
    void ProcessMessages() override { ++calls; }
  } pump;
  ScopedHost host(nullptr, &pump);
  const auto start = std::chrono::steady_clock::now();
  Delay(50);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  EXPECT_GE(pump.calls, 5);
  EXPECT_LE(pump.calls, 60) << "sleeps between pumps instead of spinning";
}

TEST(LogLinesTest, SavesOneLineEach) {
  TempDir dir;
  LogLines lines;
  int changes = 0;
  lines.SetObserver([&](const LogLines&) { ++changes; });
  lines.Add("first");
  lines.Add("second");
  lines.Delete(0);
  EXPECT_EQ(changes, 3);
  ASSERT_TRUE(SaveLinesToFile(lines, dir.File("log.txt")));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(dir.File("log.txt"), bytes));
  EXPECT_EQ(bytes, "second\n");
}

TEST(MessageTables, FollowTheLanguageIndex) {
  const uint8_t saved = LanguageIndex;
  LanguageIndex = 0;
  EXPECT_EQ(Text(MsgReading), "Konfiguration wird gelesen, bitte warten...");
  LanguageIndex = 1;
  EXPECT_EQ(Text(MsgReading), "reading configuration...");
  LanguageIndex = 2;
  EXPECT_EQ(Text(MsgCaptionWrite), "Scrivi configurazione");
  LanguageIndex = 3;
  for (const MessageTable* t : {&MsgCaptionFirmware, &MsgCaptionWrite, &MsgCaptionRead,
                                &MsgReadingBeforeUpdate, &MsgFaultReading, &MsgFaultUpdating,
                                &MsgWritingBack, &MsgFaultWriting, &MsgWriting, &MsgVersionFailed,
                                &MsgReading})
    EXPECT_EQ(Text(*t), "");
  LanguageIndex = saved;
}
