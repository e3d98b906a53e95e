// What fuzzing found, kept as cases: each input once crashed a reader or broke its promise.
#include <gtest/gtest.h>

#include "DtmfCommands.h"
#include "IniFile.h"
#include "TestPaths.h"
#include "WavDecoder.h"
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

// A 32-bit float WAV file holding NaN made the conversion to 16 bits undefined.
TEST(FuzzFindings, FloatWavWithNanDecodesToSilence) {
  auto le32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  const uint32_t samples[] = {0x7FC00000,   // NaN
                              0xFFC00000,   // NaN with the sign bit
                              0x7F800000,   // +infinity
                              0xFF800000,   // -infinity
                              0x3F000000};  // 0.5
  std::string data;
  for (uint32_t s : samples) data += le32(s);
  // fmt: format 3 (float), one channel, 8000 Hz, 32000 bytes/s, block 4, 32 bits.
  const std::string fmt = std::string("\x03\x00\x01\x00", 4) + le32(8000) + le32(32000) +
                          std::string("\x04\x00\x20\x00", 4);
  const std::string body = "WAVEfmt " + le32(16) + fmt + "data" + le32(data.size()) + data;
  PcmSound sound;
  ASSERT_TRUE(DecodeWav("RIFF" + le32(body.size()) + body, sound));
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{0, 0, 32767, -32768, 16384}));
}
