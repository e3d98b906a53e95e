// The program's home folder and its first-start filling.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramHome.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

TEST(ProgramHome, FillFolderCopiesWhatIsMissingAndKeepsUserEdits) {
  TempDir dir;
  const std::string from = dir.File("share/varnex/"), to = dir.File("home/varnex/");
  std::filesystem::create_directories(from + "tmp/wav");
  ASSERT_TRUE(WriteFileAtomic(from + DefaultLanguageIni, "installed"));
  ASSERT_TRUE(WriteFileAtomic(from + "tmp/wav/alarm.wav", "RIFF"));
  std::filesystem::create_directories(to);
  ASSERT_TRUE(WriteFileAtomic(to + DefaultLanguageIni, "edited by the user"));

  ASSERT_TRUE(FillFolder(from, to));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(to + DefaultLanguageIni, bytes));
  EXPECT_EQ(bytes, "edited by the user");
  ASSERT_TRUE(ReadFileBytes(to + "tmp/wav/alarm.wav", bytes));
  EXPECT_EQ(bytes, "RIFF");
}

TEST(ProgramHome, BuildTreeRunsFromTheExecutablesFolder) {
  // The test runs from the build tree, where the data lies beside the programs.
  EXPECT_EQ(ProgramDir(), std::string(VARNEX_BIN_DIR) + "/");
  EXPECT_EQ(InstalledDataDir(),
            std::filesystem::path(VARNEX_BIN_DIR).parent_path().string() + "/share/varnex/");
}
