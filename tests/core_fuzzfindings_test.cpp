// What fuzzing found, kept as cases: each input once crashed a reader or broke its promise.
#include <gtest/gtest.h>

#include "DtmfCommands.h"
#include "IniFile.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {
const std::string Bom = "\xEF\xBB\xBF";
const std::string Replacement = "\xEF\xBF\xBD";  // U+FFFD
}  // namespace

// A file with a UTF-8 byte order mark whose bytes are not all UTF-8 (the DTMF command file in
// the finding) handed its bytes on as they were; every text handed out must be UTF-8.
TEST(FuzzFindings, IniFileWithByteOrderMarkHandsOutUtf8Only) {
  struct Case {
    const char* name;
    std::string value;     // after "k=" in section [s]
    std::string expected;  // what ReadString gives
  };
  const Case cases[] = {
      {"well-formed", "Ger\xC3\xA4t", "Ger\xC3\xA4t"},
      {"stray byte", "x\xFFy", "x" + Replacement + "y"},
      {"sequence cut at the end", "ab\xC3", "ab" + Replacement},
      {"overlong", "\xE0\x80\x80", Replacement + Replacement + Replacement},
      {"surrogate", "\xED\xA0\x80", Replacement + Replacement + Replacement},
      {"four bytes", "\xF0\x9F\x94\x94", "\xF0\x9F\x94\x94"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile ini;
    ini.Parse(Bom + "[s]\nk=" + c.value + "\n");
    EXPECT_EQ(ini.ReadString("s", "k"), c.expected);
  }

  TempDir dir;
  const std::string path = dir.File("dtmf.ini");
  ASSERT_TRUE(
      WriteFileAtomic(path, Bom + "[Kategorien]\nkategorie1=Ger\x91t\n[Ger\x91t]\n*80#=aus\xFF\n"));
  std::vector<DtmfCommandRow> rows;
  ASSERT_TRUE(LoadDtmfCommands(path, rows));
  EXPECT_EQ(rows, (std::vector<DtmfCommandRow>{{"*80#", "aus" + Replacement}, {" ", "  "}}));
}
