// The voice prompt catalogue: INI reading, the load's edge cases, lookups, the shipped prompts,
// WAV decoding and `varnexctl catalogue`.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "Cp1252.h"
#include "IniFile.h"
#include "SoundPlayer.h"
#include "TestPaths.h"
#include "VoiceCatalogue.h"
#include "WavDecoder.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

constexpr int SampleAreaBytes = 983040;

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : separator) + p;
  return out;
}

// "Name+" for a visible category, "Name" for a hidden one.
std::string CategoriesText() {
  std::vector<std::string> parts;
  for (int c = 1; c <= CategoryCount; ++c)
    parts.push_back(CategoryNames[static_cast<size_t>(c)] +
                    (CategoryVisible[static_cast<size_t>(c)] ? "+" : ""));
  return Join(parts, " ");
}

// "id:text:file:category", "*" behind samples that a fix message speaks.
std::string SamplesText() {
  std::vector<std::string> parts;
  for (int i = 1; i <= SampleCount; ++i) {
    const auto& s = Samples[static_cast<size_t>(i)];
    parts.push_back(std::to_string(s.id) + ":" + s.text + ":" + s.filename + ":" +
                    std::to_string(s.category) + (s.in_fix_message ? "*" : ""));
  }
  return Join(parts, " | ");
}

// "id=b,b,b" with the whole list, trailing zeros included.
std::string FixMessagesText() {
  std::vector<std::string> parts;
  for (const auto& m : FixMessages) {
    std::vector<std::string> bytes;
    for (uint8_t b : m.nachricht) bytes.push_back(std::to_string(b));
    parts.push_back(std::to_string(m.fixnachricht_id) + "=" + Join(bytes, ","));
  }
  return Join(parts, " ");
}

// Loads `ini` from a file; returns the load's result and the texts of the boxes it showed,
// each of which must carry the caption "Varnex" and the error icon.
struct LoadOutcome {
  bool result = false;
  std::vector<std::string> messages;
};
LoadOutcome Load(const std::string& ini) {
  TempDir dir;
  const std::string path = dir.File("sprache.ini");
  // The file's bytes are Windows-1252, as the programs' INI files are.
  EXPECT_TRUE(WriteFileAtomic(path, Utf8ToCp1252(ini).value_or("not Windows-1252")));
  SilentPrompter prompter;
  ScopedHost host(&prompter, nullptr);
  LoadOutcome outcome;
  outcome.result = LoadVoiceCatalogue(path);
  for (const auto& shown : prompter.History()) {
    EXPECT_EQ(shown.caption, "Varnex");
    EXPECT_EQ(shown.icon, MsgIcon::Error);
    outcome.messages.push_back(shown.text);
  }
  return outcome;
}

std::string Lines(const std::string& first, int count,
                  const std::function<std::string(int)>& line) {
  std::string out = first;
  for (int i = 1; i <= count; ++i) out += line(i) + "\n";
  return out;
}

std::string Repeat(const std::string& part, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += part;
  return out;
}

const std::string OneFix = "[FIXMSGS]\nfix_1=1\n";
const std::string OneCategory = "[Kategorien]\nkategorie1=Meldungen\n[Meldungen]\n";
const std::string SyntaxError = "Syntax Error in INI File, Section 'Kategorien'! ";

struct LoadCase {
  const char* name;
  std::string ini;
  bool loads = true;
  std::vector<std::string> messages = {};
  const char* categories = nullptr;  // nullptr: not checked
  const char* samples = nullptr;
  const char* fixMessages = nullptr;
  int fixLength = -1;  // -1: not checked
  int fixBytes = -1;
  int sampleCount = -1;
  int categoryCount = -1;
  int shortPause = -1;
};

std::ostream& operator<<(std::ostream& os, const LoadCase& c) {
  return os << c.name;
}

const LoadCase LoadCases[] = {
    {.name = "CategoriesNumberedByKeyOrderNotByDigits",
     .ini = "[Kategorien]\nkategorie7=Sieben\nkategorie3=Drei\n[Sieben]\nsample_1=A,a\n"
            "[Drei]\nsample_2=B,b\n" +
            OneFix,
     .categories = "Sieben+ Drei",
     .samples = "1:A:a:1* | 2:B:b:2"},
    {.name = "VisibleIsAPlainSubstringTest",
     .ini =
         Lines("[generic]\nsichtbar=kategorie12\n[Kategorien]\n", 12,
               [](int n) { return "kategorie" + std::to_string(n) + "=K" + std::to_string(n); }) +
         OneFix,
     .categories = "K1+ K2 K3 K4 K5 K6 K7 K8 K9 K10 K11 K12+"},
    {.name = "NamesWithoutRegardToCase",
     .ini = "[GENERIC]\nSichtbar=kategorie1\nKurzPause=7\n[kategorien]\nKategorie1=Meldungen\n"
            "[MELDUNGEN]\nSAMPLE_5=Fünf,fuenf\n[fixmsgs]\nFix_1=5\n",
     .categories = "Meldungen+",
     .samples = "5:Fünf:fuenf:1*",
     .shortPause = 7},
    {.name = "SampleNumbersOutOfRangeSkippedSilently",
     .ini = OneCategory +
            "sample_0=Null,n\nsample_1025=Zu gross,z\nsample_-3=Negativ,m\n"
            "sample_1=A,a\nsample_0255=M,m\n" +
            OneFix,
     .samples = "1:A:a:1* | 255:M:m:1"},
    {.name = "SampleNumbersAboveOneByteRefused",
     .ini = OneCategory + "sample_300=B,b\nsample_1=A,a\nsample_256=C,c\n" + OneFix,
     .loads = false,
     .messages = {"Sample-Nummer 300 im Abschnitt 'Meldungen' ist zu groß: Sample-Nummern gehen "
                  "von 1 bis 255. 'sample_300' wird übergangen!"},
     .samples = "1:A:a:1*"},
    {.name = "TextsEndAtTheFirstComma",
     .ini = OneCategory +
            "sample_1=Text,datei,mit,kommas\nsample_2=nurdatei\nsample_3= a , b \n"
            "sample_4=,leer\n" +
            OneFix,
     .loads = false,
     .messages = {"Syntax Error in INI File : '' used twice!"},
     .samples = "1:Text:datei,mit,kommas:1* | 2::nurdatei:1 | 3:a : b:1 | 4::leer:1"},
    {.name = "EveryDuplicateShownAlsoAfterOtherErrors",
     .ini = "[Kategorien]\ngruppe=X\nkategorie1=Meldungen\n[Meldungen]\n"
            "sample_1=A,a\nsample_2=A,a2\nsample_3=A,a3\nsample_4=Alarm,b\nsample_5=alarm,c\n"
            "sample_6=Alarmanlage,d\nsample_7=a#b,e\nsample_8=b,f\nsample_9=b,g\n" +
            OneFix,
     .loads = false,
     .messages = {SyntaxError, "Syntax Error in INI File : 'A' used twice!",
                  "Syntax Error in INI File : 'A' used twice!",
                  "Syntax Error in INI File : 'b' used twice!"},
     .sampleCount = 9},
    {.name = "OnlyTheFirstErrorShown",
     .ini = "[Kategorien]\nkategorie1=Meldungen\n[Meldungen]\nsample_1=A,a\nprobe_2=B,b\n"
            "sample_3=C,c\n[Kategorien2]\n",
     .loads = false,
     .messages = {SyntaxError},
     .samples = "1:A:a:1 | 3:C:c:1"},
    {.name = "FixMessageListsAndSizing",
     .ini = OneCategory + "sample_12=Zwölf,z12\nsample_2=Zwei,z2\nsample_99=Frei,f\n"
                          "[FIXMSGS]\nfixmsg_1=12, 13,14\nfixmsg_7=1,2, 3 ,4,5\n",
     .samples = "12:Zwölf:z12:1* | 2:Zwei:z2:1* | 99:Frei:f:1",
     .fixMessages = "1=12,13,14,0,0,0 7=1,2,3,4,5,0",
     .fixLength = 6,
     .fixBytes = 16},
    {.name = "FixKeysWithoutNumberGiveAnEmptyRecord",
     .ini = OneCategory + "sample_1=A,a\n[FIXMSGS]\nabc=1,2\nfix_x=1\n17=1\nfix_2_3=1\n",
     .samples = "1:A:a:1*",
     .fixMessages = "0=0,0,0 0=0,0,0 17=1,0,0 0=0,0,0"},
    {.name = "BadEntriesEndTheirListOnly",
     .ini = "[FIXMSGS]\nfix_1=1,,2\nfix_2=3,x,4\nfix_3=5,6\nfix_4=7,300\nfix_5=8,\n"
            "fix_6=9,0,10\nfix_7=\n",
     .loads = false,
     .messages = {"Error at fix_1!"},
     .fixMessages = "1=1,0,0,0 2=3,0,0,0 3=5,6,0,0 4=7,0,0,0 5=8,0,0,0 6=9,0,10,0 7=0,0,0,0"},
    {.name = "NoFixMessages",
     .ini = OneCategory + "sample_1=A,a\n",
     .loads = false,
     .messages = {"keine Fixnachrichten definiert ?!?"},
     .fixMessages = "",
     .fixLength = 1,
     .fixBytes = 0},
    {.name = "FixMessagesFillingTheAreaExactly",
     .ini = Lines("[FIXMSGS]\n", 1023, [](int n) { return "f_" + std::to_string(n) + "=1"; }),
     .fixLength = 2,
     .fixBytes = 4092},
    {.name = "FixMessagesOverTheArea",
     .ini = Lines("[FIXMSGS]\n", 1024, [](int n) { return "f_" + std::to_string(n) + "=1"; }),
     .loads = false,
     .messages = {"zu viel speicher fur die fixnachrichten benötigt!"},
     .fixMessages = "",
     .fixLength = 2,
     .fixBytes = 4096},
    {.name = "FixMessageOf255Entries",
     .ini = "[FIXMSGS]\nfix_1=1" + Repeat(",1", 254) + "\n",
     .fixLength = 256,
     .fixBytes = 258},
    {.name = "FixMessageOver255EntriesRefused",
     .ini = "[FIXMSGS]\nfix_0=1\nfix_1=1" + Repeat(",1", 255) + "\n",
     .loads = false,
     .messages = {"Fixnachricht 'fix_1' hat 256 Einträge, höchstens 255 sind möglich!"},
     .fixMessages = ""},
    {.name = "InvalidSampleNumberEndsTheLoad",
     .ini = "[Kategorien]\nkategorie1=A\nkategorie2=B\n[A]\nsample_1=Eins,a\nsample_2x=Zwei,b\n"
            "sample_3=Drei,c\n[B]\nsample_4=Vier,d\n" +
            OneFix,
     .loads = false,
     .messages = {"'2x' ist keine gültige ganze Zahl (Abschnitt 'A', Eintrag 'sample_2x'). Der "
                  "Katalog wurde nur bis hierhin gelesen!"},
     .categories = "A+",
     .samples = "1:Eins:a:1",
     .fixMessages = "",
     .fixBytes = 0},
    {.name = "InvalidShortPauseEndsTheLoad",
     .ini = "[generic]\nkurzpause=fünfzig\n" + OneCategory + "sample_1=A,a\n" + OneFix,
     .loads = false,
     .messages = {"'fünfzig' ist keine gültige ganze Zahl (Abschnitt 'generic', Eintrag "
                  "'kurzpause'). Der Katalog wurde nur bis hierhin gelesen!"},
     .samples = "1:A:a:1",
     .fixMessages = ""},
    {.name = "ShortPauseBeyondOneByteRefused",
     .ini = "[generic]\nkurzpause=306\n" + OneFix,
     .loads = false,
     .messages = {"kurzpause=306: die kurze Pause muss eine Sample-Nummer von 1 bis 255 sein!"},
     .shortPause = DefaultShortPauseId},
    {.name = "MoreThan255SamplesRefused",
     .ini = "[Kategorien]\nkategorie1=A\nkategorie2=B\n" +
            Lines("[A]\n", 200,
                  [](int n) {
                    return "sample_" + std::to_string(n) + "=A" + std::to_string(n) + ",a";
                  }) +
            Lines("[B]\n", 60,
                  [](int n) {
                    return "sample_" + std::to_string(n) + "=B" + std::to_string(n) + ",b";
                  }) +
            OneFix,
     .loads = false,
     .messages = {"Zu viele Samples: der Katalog fasst höchstens 255. 'sample_56' im Abschnitt 'B' "
                  "und alle folgenden werden übergangen!"},
     .sampleCount = 255},
    {.name = "MoreThan255CategoriesRefused",
     .ini = Lines("[Kategorien]\n", 256,
                  [](int n) { return "kategorie" + std::to_string(n) + "=K"; }) +
            OneFix,
     .loads = false,
     .messages = {"Zu viele Kategorien: der Katalog fasst höchstens 255. 'kategorie256' und alle "
                  "folgenden werden übergangen!"},
     .categoryCount = 255},
};

class CatalogueLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(CatalogueLoad, TablesAndMessages) {
  const LoadCase& c = GetParam();
  const LoadOutcome outcome = Load(c.ini);
  EXPECT_EQ(outcome.result, c.loads);
  EXPECT_EQ(outcome.messages, c.messages);
  if (c.categories) {
    EXPECT_EQ(CategoriesText(), c.categories);
  }
  if (c.samples) {
    EXPECT_EQ(SamplesText(), c.samples);
  }
  if (c.fixMessages) {
    EXPECT_EQ(FixMessagesText(), c.fixMessages);
  }
  if (c.fixLength >= 0) {
    EXPECT_EQ(FixMessageLength, c.fixLength);
  }
  if (c.fixBytes >= 0) {
    EXPECT_EQ(FixMessageBytes, c.fixBytes);
  }
  if (c.sampleCount >= 0) {
    EXPECT_EQ(SampleCount, c.sampleCount);
  }
  if (c.categoryCount >= 0) {
    EXPECT_EQ(CategoryCount, c.categoryCount);
  }
  if (c.shortPause >= 0) {
    EXPECT_EQ(ShortPauseId, c.shortPause);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CatalogueLoad, ::testing::ValuesIn(LoadCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Catalogue, SecondLoadLeavesNothingBehind) {
  ASSERT_TRUE(Load("[generic]\nsichtbar=kategorie1 kategorie2\nkurzpause=3\n"
                   "[Kategorien]\nkategorie1=A\nkategorie2=B\n[A]\nsample_1=Eins,a\n"
                   "sample_2=Zwei,b\n[B]\nsample_3=Drei,c\n[FIXMSGS]\nf_1=1,2,3,2,1\nf_2=3\n")
                  .result);
  ASSERT_EQ(SampleCount, 3);
  ASSERT_TRUE(Load("[Kategorien]\nkategorie1=C\n[C]\nsample_9=Neun,n\n" + OneFix).result);
  EXPECT_EQ(CategoriesText(), "C+");
  EXPECT_EQ(SamplesText(), "9:Neun:n:1");
  EXPECT_EQ(FixMessagesText(), "1=1,0");
  EXPECT_EQ(ShortPauseId, DefaultShortPauseId);
  for (size_t i = 2; i < Samples.size(); ++i) {
    EXPECT_EQ(Samples[i].id, 0) << i;
    EXPECT_EQ(Samples[i].text, "") << i;
    EXPECT_EQ(CategoryNames[i], "") << i;
    EXPECT_EQ(CategoryVisible[i], 0) << i;
  }

  // A missing file: false, no message, nothing left.
  SilentPrompter prompter;
  ScopedHost host(&prompter, nullptr);
  TempDir dir;
  EXPECT_FALSE(LoadVoiceCatalogue(dir.File("fehlt.ini")));
  EXPECT_TRUE(prompter.History().empty());
  EXPECT_EQ(SampleCount, 0);
  EXPECT_EQ(CategoryCount, 0);
  EXPECT_EQ(Samples[1].text, "");
  EXPECT_TRUE(FixMessages.empty());
  EXPECT_EQ(FixMessageCount, 0);
}

TEST(Catalogue, Lookups) {
  ASSERT_TRUE(Load("[generic]\nkurzpause=50\n[Kategorien]\nkategorie1=A\nkategorie2=B\n"
                   "[A]\nsample_7=Tür,tuer\nsample_50=Pause kurz,pause_kurz\n"
                   "sample_51=Pause lang,pause_lang\nsample_52=Pause,stille\n"
                   "[B]\nsample_7=Tor,tor\n" +
                   OneFix)
                  .result);
  struct {
    uint8_t id;
    uint8_t index;
    bool shortPause, pause;
  } const byId[] = {{7, 1, false, false},  {50, 2, true, false},  {51, 3, false, true},
                    {52, 4, false, false}, {99, 0, false, false}, {0, 0, false, false}};
  for (const auto& c : byId) {
    EXPECT_EQ(FindSampleById(c.id), c.index) << int(c.id);
    EXPECT_EQ(IsShortPause(c.id), c.shortPause) << int(c.id);
    EXPECT_EQ(IsPauseSample(c.id), c.pause) << int(c.id);
  }
  const std::pair<const char*, uint8_t> byText[] = {{"Tür", 1},   {"Tor", 5},    {"tür", 0},
                                                    {"Pause", 4}, {"Pause ", 0}, {"", 0}};
  for (const auto& [text, index] : byText) EXPECT_EQ(FindSampleByText(text), index) << text;
  const std::pair<const char*, bool> decimals[] = {
      {"0", true}, {"0123456789", true}, {"", false}, {" 1", false}, {"-1", false}, {"1a", false}};
  for (const auto& [s, expected] : decimals) EXPECT_EQ(IsDecimalNumber(s), expected) << s;
}

TEST(IniFileTest, ProfileSyntax) {
  IniFile ini;
  ini.Parse(
      "vorher=ohne Abschnitt\r\n"
      "[Erster]\r\n"
      "  ; Kommentar=nein\r\n"
      "  b = zwei  \r\n"
      "A=eins\r\n"
      "b=doppelt\r\n"
      "Zitat=\"  in Anf\xFChrungszeichen \"\r\n"
      "Halb=\"offen\r\n"
      "Preis=5 \x80; kein Kommentar\r\n"
      "ohne Gleichheitszeichen\r\n"
      "[ zweiter ]\n"
      "x=1\n"
      "[ERSTER]\n"
      "c=nie gelesen\n");
  EXPECT_EQ(Join(ini.ReadSections(), "|"), "Erster|zweiter|ERSTER");
  EXPECT_EQ(Join(ini.ReadSection("erster"), "|"), "b|A|b|Zitat|Halb|Preis|ohne Gleichheitszeichen");
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } values[] = {
      {"Erster", "B", "zwei"},
      {"erster", "a", "eins"},
      {"Erster", "Zitat", "  in Anführungszeichen "},
      {"Erster", "Halb", "\"offen"},
      {"Erster", "Preis", "5 €; kein Kommentar"},
      {"Erster", "; Kommentar", "(fehlt)"},
      {"Erster", "c", "(fehlt)"},
      {"Zweiter", "x", "1"},
      {"Fehlt", "x", "(fehlt)"},
      {"Erster", "vorher", "(fehlt)"},
  };
  for (const auto& v : values)
    EXPECT_EQ(ini.ReadString(v.section, v.key, "(fehlt)"), v.expected) << v.section << "/" << v.key;

  ini.Parse("\xEF\xBB\xBF[A]\nk=T\xC3\xBCr\n");
  EXPECT_EQ(ini.ReadString("A", "k"), "Tür");

  TempDir dir;
  std::string error;
  EXPECT_FALSE(ini.Load(dir.File("fehlt.ini"), &error));
  EXPECT_NE(error.find("fehlt.ini"), std::string::npos) << error;
  EXPECT_TRUE(ini.ReadSections().empty());
}

TEST(Catalogue, FilesFoundWithoutRegardToCase) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("Alarm.WAV"), "x"));
  EXPECT_EQ(ExistingFile(dir.File("alarm.wav")), dir.File("Alarm.WAV"));
  EXPECT_EQ(ExistingFile(dir.File("Alarm.WAV")), dir.File("Alarm.WAV"));
  EXPECT_EQ(ExistingFile(dir.File("alarme.wav")), "");
  EXPECT_EQ(ExistingFile(dir.File("fehlt/alarm.wav")), "");
}

// --- The shipped catalogue and its prompts ---------------------------------------------------

std::string ProgramFolder() {
  return std::string(VARNEX_BIN_DIR) + "/";
}

TEST(ShippedCatalogue, LoadsWithoutAnyMessage) {
  ScriptedPrompter prompter(GTestFailure());  // fails on every box
  ScopedHost host(&prompter, nullptr);
  ASSERT_TRUE(LoadVoiceCatalogue(ProgramFolder() + "varnex_sprache_standard.ini"));
  EXPECT_EQ(CategoryCount, 6);
  EXPECT_EQ(ShortPauseId, 50);
  for (uint8_t id : {6, 30, 50, 101, 102})
    EXPECT_NE(FindSampleById(id), 0) << "the configuration defaults use sample " << int(id);
  for (int i = 1; i <= SampleCount; ++i) {
    const auto& s = Samples[static_cast<size_t>(i)];
    EXPECT_FALSE(s.text.empty()) << i;
    EXPECT_TRUE(s.category != 6 || s.in_fix_message) << s.text << " is only for fix messages";
  }
  ASSERT_FALSE(FixMessages.empty());
  for (const auto& m : FixMessages)
    for (uint8_t b : m.nachricht)
      EXPECT_TRUE(b == 0 || FindSampleById(b) != 0) << "fixnachricht_" << m.fixnachricht_id;
}

TEST(ShippedCatalogue, EveryPromptHasItsFilesAndAllFitTheDevice) {
  SilentPrompter prompter;
  ScopedHost host(&prompter, nullptr);
  ASSERT_TRUE(LoadVoiceCatalogue(ProgramFolder() + "varnex_sprache_standard.ini"));
  int64_t total = 0;
  for (int i = 1; i <= SampleCount; ++i) {
    const auto& s = Samples[static_cast<size_t>(i)];
    const std::string al = ProgramFolder() + "tmp/alaw/" + s.filename + ".al";
    const std::string wav = ProgramFolder() + "tmp/wav/" + s.filename + ".wav";
    std::error_code ec;
    const auto size = std::filesystem::file_size(al, ec);
    EXPECT_FALSE(ec) << al;
    EXPECT_GT(size, 0u) << al;
    EXPECT_LE(size, 65535u) << al << " exceeds one sample's 16-bit length";
    EXPECT_TRUE(std::filesystem::is_regular_file(wav)) << wav;
    if (!ec) total += static_cast<int64_t>(size);
  }
  std::printf("Prompts: %d samples, %lld bytes of A-law of %d (%.1f %%)\n", SampleCount,
              static_cast<long long>(total), SampleAreaBytes, 100.0 * total / SampleAreaBytes);
  EXPECT_LE(total, SampleAreaBytes * 9 / 10) << "leave room in the sample area";
}

// --- WAV decoding ------------------------------------------------------------------------------

TEST(WavDecoding, G711CodeWords) {
  const struct {
    uint8_t code;
    int16_t alaw, mulaw;
  } words[] = {{0xD5, 8, 716},        {0x55, -8, -716},    {0xAA, 32256, 5372},
               {0x2A, -32256, -5372}, {0x80, 5504, 32124}, {0x00, -5504, -32124},
               {0xFF, 848, 0},        {0x7F, -848, 0}};
  for (const auto& w : words) {
    EXPECT_EQ(AlawToLinear(w.code), w.alaw) << int(w.code);
    EXPECT_EQ(MulawToLinear(w.code), w.mulaw) << int(w.code);
  }
}

// A WAV file of `format` with the given sample bytes; `extensible` wraps it in the extended
// format chunk; `cut` drops bytes from the end of the data.
std::string MakeWav(uint16_t format, uint16_t bits, uint16_t channels, const std::string& data,
                    bool extensible = false, size_t cut = 0) {
  auto le16 = [](uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
  auto le32 = [&](uint32_t v) { return le16(uint16_t(v & 0xFFFF)) + le16(uint16_t(v >> 16)); };
  const uint32_t rate = 8000;
  std::string fmt = le16(extensible ? 0xFFFE : format) + le16(channels) + le32(rate) +
                    le32(rate * channels * bits / 8) + le16(uint16_t(channels * bits / 8)) +
                    le16(bits);
  if (extensible)
    fmt += le16(22) + le16(bits) + le32(0) + le16(format) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  std::string chunks = "fmt " + le32(uint32_t(fmt.size())) + fmt + "LIST" + le32(3) + "abc" +
                       std::string(1, '\0') + "data" + le32(uint32_t(data.size())) + data;
  std::string file = "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks;
  return file.substr(0, file.size() - cut);
}

TEST(WavDecoding, Formats) {
  const std::string pcm16("\x01\x00\xFF\x7F\x00\x80\xFE\xFF", 8);
  const struct {
    const char* name;
    std::string file;
    std::vector<int16_t> samples;
    int channels;
  } cases[] = {
      {"A-law", MakeWav(6, 8, 1, "\xD5\x2A\xAA"), {8, -32256, 32256}, 1},
      {"mu-law", MakeWav(7, 8, 1, std::string("\xFF\x00\x80", 3)), {0, -32124, 32124}, 1},
      {"PCM 8 bit", MakeWav(1, 8, 1, std::string("\x80\x00\xFF", 3)), {0, -32768, 32512}, 1},
      {"PCM 16 bit stereo", MakeWav(1, 16, 2, pcm16), {1, 32767, -32768, -2}, 2},
      {"PCM 24 bit",
       MakeWav(1, 24, 1, std::string("\x12\x34\x56\x00\x00\x80", 6)),
       {0x5634, -32768},
       1},
      {"extensible A-law", MakeWav(6, 8, 1, "\xD5\x55", true), {8, -8}, 1},
      {"cut short", MakeWav(1, 16, 1, pcm16, false, 3), {1, 32767}, 1},
  };
  for (const auto& c : cases) {
    PcmSound sound;
    std::string error;
    ASSERT_TRUE(DecodeWav(c.file, sound, &error)) << c.name << ": " << error;
    EXPECT_EQ(sound.samples, c.samples) << c.name;
    EXPECT_EQ(sound.channels, c.channels) << c.name;
    EXPECT_EQ(sound.sampleRate, 8000) << c.name;
  }
  const std::pair<const char*, std::string> bad[] = {
      {"not a RIFF WAVE file", "RIFX...."},
      {"not a RIFF WAVE file", ""},
      {"unsupported sample format", MakeWav(2, 4, 1, "ab")},
      {"no data chunk", MakeWav(6, 8, 1, "").substr(0, 44)},
      {"format chunk too short", MakeWav(6, 8, 1, "x").substr(0, 24)},
  };
  for (const auto& [why, bytes] : bad) {
    PcmSound sound;
    std::string error;
    EXPECT_FALSE(DecodeWav(bytes, sound, &error)) << why;
    EXPECT_EQ(error, why);
  }
}

double Rms(const std::vector<int16_t>& samples) {
  double sum = 0;
  for (int16_t s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

TEST(WavDecoding, ShippedPromptIsSpeechAndMatchesItsFlashBytes) {
  std::string wav, al;
  ASSERT_TRUE(ReadFileBytes(ProgramFolder() + "tmp/wav/alarm.wav", wav));
  ASSERT_TRUE(ReadFileBytes(ProgramFolder() + "tmp/alaw/alarm.al", al));
  PcmSound sound;
  ASSERT_TRUE(DecodeWav(wav, sound));
  EXPECT_EQ(sound.sampleRate, 8000);
  EXPECT_EQ(sound.channels, 1);
  std::vector<int16_t> fromFlash;
  for (char b : al) fromFlash.push_back(AlawToLinear(static_cast<uint8_t>(b)));
  EXPECT_EQ(sound.samples, fromFlash) << "the WAV copy holds the same A-law bytes";
  EXPECT_GT(Rms(sound.samples), 1000.0) << "audible speech";

  ASSERT_TRUE(ReadFileBytes(ProgramFolder() + "tmp/wav/pause_kurz.wav", wav));
  ASSERT_TRUE(DecodeWav(wav, sound));
  EXPECT_GT(sound.DurationMs(), 0);
  EXPECT_LT(Rms(sound.samples), 50.0) << "a pause is silence";
}

// --- varnexctl catalogue ----------------------------------------------------------------------

TEST(VarnexctlCatalogue, ListsTheShippedCatalogue) {
  const auto r = RunCommand(ProgramPath("varnexctl") + " catalogue");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* part : {"Categories (6):", "Samples (139):", "\"Alarm\"", "pause_kurz",
                           "Fix messages (32, length 8, 320 of 4092 bytes):", "fixnachricht_52"})
    EXPECT_NE(r.out.find(part), std::string::npos) << part;
}

TEST(VarnexctlCatalogue, FailuresExitNonZeroWithTheirMessage) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("bad.ini"), OneCategory + "sample_1=A,a\nsample_2=A,b\n"));
  const struct {
    std::string args;
    int status;
    const char* inErr;
  } cases[] = {
      {"--ini " + dir.File("bad.ini"), 1,
       "[error] Varnex: Syntax Error in INI File : 'A' used twice!"},
      {"--ini " + dir.File("fehlt.ini"), 1, "fehlt.ini: no such file"},
      {"--ini", 2, "--ini needs a file"},
      {"extra", 2, "unexpected argument 'extra'"},
  };
  for (const auto& c : cases) {
    const auto r = RunCommand(ProgramPath("varnexctl") + " catalogue " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << c.args << ": " << r.err;
  }
}

}  // namespace
