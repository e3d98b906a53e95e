// The voice flash image: its bytes, the measuring of the prompt files, the capacity lines, the
// refusal of images the device cannot address, the fix message texts and C header, and
// `varnexctl build-flash`.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "FixMessageExport.h"
#include "FlashCatalogue.h"
#include "FlashImage.h"
#include "Golden.h"
#include "TestPaths.h"
#include "VoiceCatalogue.h"

using namespace varnex;
using namespace varnex::test;

namespace {

uint32_t U16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

uint32_t U32(const std::string& b, size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

// Directory entry of a sample id: position and length.
std::pair<uint32_t, uint32_t> Entry(const std::string& image, int id) {
  const size_t at = static_cast<size_t>(id) * SampleEntryBytes;
  return {U32(image, at), U16(image, at + 4)};
}

// True when every byte of [from, to) is `value`.
bool All(const std::string& b, size_t from, size_t to, uint8_t value) {
  for (size_t i = from; i < to; ++i)
    if (static_cast<uint8_t>(b[i]) != value) return false;
  return true;
}

const std::vector<std::pair<std::string, std::string>> OneFixMessage = {{"fixmsg_1", "1"}};

class FlashBuilder : public testing::Test {
 protected:
  void Load(const CatalogueSpec& catalogue) {
    WriteCatalogue(home.Path(), catalogue);
    ASSERT_TRUE(LoadVoiceCatalogue(home.File(DefaultLanguageIni)));
  }
  std::string FlashPath() const { return folders.flash + FlashFileName; }
  FlashBuildResult Build() { return BuildFlashFile(folders.alaw, FlashPath(), log); }
  std::string Image() const {
    std::string bytes;
    ReadFileBytes(FlashPath(), bytes);
    return bytes;
  }

  TempDir home;
  FlashFolders folders = FlashFoldersOf(home.Path());
  ScriptedPrompter prompter{GTestFailure()};
  NullPump pump;
  ScopedHost host{&prompter, &pump};
  LogLines log;
};

TEST_F(FlashBuilder, EmptyCatalogueIsTheBareHeader) {
  std::filesystem::create_directories(folders.flash);
  LoadVoiceCatalogue(home.File("none.ini"));  // empties the catalogue
  FixMessageLength = 1;                       // as a catalogue without fix messages sizes it
  const FlashBuildResult result = Build();
  EXPECT_EQ(result.outcome, FlashBuildOutcome::Created);
  const std::string image = Image();
  ASSERT_EQ(image.size(), FlashHeaderBytes);
  EXPECT_TRUE(All(image, 0, FixMessageLengthOffset, 0x00));
  EXPECT_EQ(U16(image, FixMessageLengthOffset), 1u);
  EXPECT_EQ(U16(image, FixMessageCountOffset), 0u);
  EXPECT_TRUE(All(image, FixMessageRecordsOffset, FlashHeaderBytes, 0xFF));
  EXPECT_EQ(GoldenDifference("flash/empty_catalogue.bin", image), "");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Creating " + FlashPath() + " ...",
                                                   FlashPath() + " created (64 kB)"}));
}

struct LayoutCase {
  const char* name;
  std::vector<SampleSpec> samples;
  std::map<int, std::pair<uint32_t, uint32_t>> entries;  // id: position, length
  std::vector<std::string> statuses;
  std::vector<std::string> missing;  // files named in warning lines
};

class FlashLayout : public FlashBuilder, public testing::WithParamInterface<LayoutCase> {};

TEST_P(FlashLayout, DirectoryDescribesTheAppendedData) {
  const LayoutCase& c = GetParam();
  Load({c.samples, OneFixMessage});
  const SampleMeasure measure = MeasureSamples(folders.alaw);
  EXPECT_EQ(measure.statuses, c.statuses);
  std::vector<std::string> warnings;
  for (const std::string& file : c.missing)
    warnings.push_back("WARNING: " + folders.alaw + file + " not found, file skipped !");
  EXPECT_EQ(measure.warnings, warnings);

  ASSERT_EQ(Build().outcome, FlashBuildOutcome::Created);
  const std::string image = Image();
  std::string data;
  for (const SampleSpec& s : c.samples) data += AlawBytes(s.id, std::max(s.alawBytes, 0));
  EXPECT_EQ(static_cast<int64_t>(data.size()), measure.total);
  ASSERT_EQ(image.size(), FlashHeaderBytes + data.size());
  EXPECT_TRUE(image.compare(FlashHeaderBytes, std::string::npos, data) == 0);
  for (int id = 0; id < static_cast<int>(SampleDirectoryEntries); ++id) {
    const auto expected = c.entries.count(id) ? c.entries.at(id) : std::make_pair(0u, 0u);
    EXPECT_EQ(Entry(image, id), expected) << "entry " << id;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlashLayout,
    testing::Values(
        LayoutCase{"TwoSamples",
                   {{1, "eins", "a", 1, 1000}, {2, "zwei", "b", 1, 3000}},
                   {{1, {0, 1000}}, {2, {1000, 3000}}},
                   {"OK", "OK"},
                   {}},
        LayoutCase{"MissingFileShiftsNothing",
                   {{1, "eins", "a", 1, 1000}, {2, "zwei", "b", 1, -1}, {3, "drei", "c", 1, 500}},
                   {{1, {0, 1000}}, {3, {1000, 500}}},
                   {"OK", "", "OK"},
                   {"b.al"}},
        LayoutCase{"EmptyFileHasNoEntry",
                   {{1, "eins", "a", 1, 0}, {2, "zwei", "b", 1, 10}},
                   {{2, {0, 10}}},
                   {"", "OK"},
                   {}},
        // Catalogue order is category order: id 20 of the first category comes before id 5.
        LayoutCase{"CatalogueOrderNotIdOrder",
                   {{20, "zwanzig", "z", 1, 3}, {5, "fuenf", "f", 2, 7}},
                   {{20, {0, 3}}, {5, {3, 7}}},
                   {"OK", "OK"},
                   {}},
        LayoutCase{"SharedIdLaterEntryWins",
                   {{7, "sieben", "s1", 1, 4}, {7, "Sieben", "s2", 2, 9}},
                   {{7, {4, 9}}},
                   {"OK", "OK"},
                   {}}),
    [](const testing::TestParamInfo<LayoutCase>& p) { return p.param.name; });

TEST_F(FlashBuilder, FixMessageRecordsFollowTheHeaderWords) {
  Load({{{1, "eins", "a", 1, 1}, {2, "zwei", "b", 1, 1}, {3, "drei", "c", 1, 1}},
        {{"fixmsg_1", "1, 2,3"}, {"fixmsg_300", "2"}}});
  ASSERT_EQ(FixMessageLength, 4);
  ASSERT_EQ(Build().outcome, FlashBuildOutcome::Created);
  const std::string image = Image();
  EXPECT_EQ(U16(image, FixMessageLengthOffset), 4u);
  EXPECT_EQ(U16(image, FixMessageCountOffset), 2u);
  const std::string records = image.substr(FixMessageRecordsOffset, 12);
  EXPECT_EQ(records, std::string("\x01\x00\x01\x02\x03\x00\x2C\x01\x02\x00\x00\x00", 12));
  EXPECT_TRUE(All(image, FixMessageRecordsOffset + 12, FlashHeaderBytes, 0xFF));
}

TEST(FlashCapacity, PercentagesRoundHalvesToEven) {
  const struct {
    int64_t bytes, percent;
  } cases[] = {{0, 0},     {4915, 0},    {4916, 1},     {24576, 2},
               {73728, 8}, {122880, 12}, {983040, 100}, {983041, 100}};
  for (const auto& c : cases)
    EXPECT_EQ(PercentHalfEven(c.bytes, SampleAreaBytes), c.percent) << c.bytes << " bytes";
}

TEST_F(FlashBuilder, CapacityLines) {
  Load({{{1, "eins", "a", 1, 1}, {2, "zwei", "b", 1, 1}},
        {{"fixmsg_1", "1,2"}, {"fixmsg_2", "2"}, {"fixmsg_3", "1"}}});
  const auto lines = CapacityReport(24576);
  EXPECT_EQ(lines[0], "Info: 2 A-ALaw Samples verbrauchen 24576 bytes von 983040 (2%)");
  EXPECT_EQ(lines[1], "Info: 3 Fixnachrichten (Laenge: 3) verbrauchen 15 bytes von 4092 (0%)");
}

struct RefusalCase {
  const char* name;
  std::vector<int> sizes;
  const char* reason;  // empty: the image is built
};

class FlashRefusal : public FlashBuilder, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FlashRefusal, ImagesBeyondTheDeviceAreNotWritten) {
  const RefusalCase& c = GetParam();
  CatalogueSpec catalogue{{}, OneFixMessage};
  for (size_t i = 0; i < c.sizes.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    catalogue.samples.push_back({static_cast<int>(i + 1), "s" + n, "f" + n, 1, c.sizes[i]});
  }
  Load(catalogue);
  ASSERT_TRUE(WriteFileAtomic(FlashPath(), "older image"));
  if (*c.reason) prompter.ExpectContaining(c.reason, "Varnex - Error");
  const FlashBuildResult result = Build();
  if (!*c.reason) {
    EXPECT_EQ(result.outcome, FlashBuildOutcome::Created);
    EXPECT_EQ(Image().size(), static_cast<size_t>(result.fileBytes));
    return;
  }
  EXPECT_EQ(result.outcome, FlashBuildOutcome::Refused);
  EXPECT_EQ(Image(), "older image");
  EXPECT_EQ(log.Lines().at(1).rfind("ERROR: ", 0), 0u);
  EXPECT_NE(log.Lines().at(1).find(std::string(c.reason) + " !"), std::string::npos);
  EXPECT_EQ(log.Lines().back(), "ERROR: " + FlashPath() + " not created !");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlashRefusal,
    testing::Values(RefusalCase{"LongestSample", {65535}, ""},
                    RefusalCase{"SampleTooLong",
                                {10, 65536},
                                "f2.al) has 65536 bytes, a sample may have 65535 at most"},
                    RefusalCase{"FullSampleArea", std::vector<int>(16, 61440), ""},
                    RefusalCase{"SampleAreaExceeded",
                                [] {
                                  std::vector<int> sizes(16, 61440);
                                  sizes.back() += 1;
                                  return sizes;
                                }(),
                                "the samples take 983041 bytes, the flash holds 983040"}),
    [](const testing::TestParamInfo<RefusalCase>& p) { return p.param.name; });

TEST_F(FlashBuilder, BuildTakesTheFilesAsTheyAreNow) {
  Load({{{1, "eins", "a", 1, 1000}, {2, "zwei", "b", 1, 500}, {3, "drei", "c", 1, 20}},
        OneFixMessage});
  MeasureSamples(folders.alaw);
  ASSERT_TRUE(WriteFileAtomic(folders.alaw + "a.al", AlawBytes(1, 1200)));
  std::filesystem::remove(folders.alaw + "b.al");

  ASSERT_EQ(Build().outcome, FlashBuildOutcome::Created);
  const std::string image = Image();
  EXPECT_EQ(Entry(image, 1), std::make_pair(0u, 1200u));
  EXPECT_EQ(Entry(image, 2), std::make_pair(0u, 0u));
  EXPECT_EQ(Entry(image, 3), std::make_pair(1200u, 20u));
  EXPECT_EQ(image.size(), FlashHeaderBytes + 1220);
  EXPECT_EQ(Samples[1].alaw_size, 1200);
  EXPECT_EQ(Samples[2].alaw_size, 0);
}

TEST_F(FlashBuilder, UnwritableFolderLeavesNoSummary) {
  Load({{{1, "eins", "a", 1, 10}}, OneFixMessage});
  std::filesystem::remove_all(folders.flash);
  prompter.Expect("Could not create " + FlashPath() + "!", "Varnex - Error");
  EXPECT_EQ(Build().outcome, FlashBuildOutcome::NotWritten);
  EXPECT_EQ(log.Lines().at(1), "ERROR: resetting " + FlashPath() + " failed !");
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("created ("), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(FlashPath()));
}

TEST_F(FlashBuilder, ShippedPromptsFitAndEveryEntryNamesItsFile) {
  const std::string data = std::string(VARNEX_SOURCE_DIR) + "/data/";
  ASSERT_TRUE(LoadVoiceCatalogue(data + DefaultLanguageIni));
  const FlashFolders shipped = FlashFoldersOf(data);
  std::filesystem::create_directories(folders.flash);
  const SampleMeasure measure = MeasureSamples(shipped.alaw);
  EXPECT_TRUE(measure.warnings.empty());
  EXPECT_LT(PercentHalfEven(measure.total, SampleAreaBytes), 100);
  ASSERT_EQ(BuildFlashFile(shipped.alaw, FlashPath(), log).outcome, FlashBuildOutcome::Created);
  const std::string image = Image();
  ASSERT_EQ(image.size(), FlashHeaderBytes + static_cast<size_t>(measure.total));
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(shipped.alaw + s.filename + AlawExtension, bytes));
    const auto [position, length] = Entry(image, s.id);
    EXPECT_EQ(length, bytes.size()) << s.filename;
    EXPECT_TRUE(image.compare(FlashHeaderBytes + position, length, bytes) == 0) << s.filename;
  }
  EXPECT_EQ(U16(image, FixMessageCountOffset), FixMessageCount);
  EXPECT_EQ(U16(image, FixMessageRecordsOffset), FixMessages.front().fixnachricht_id);
}

// --- Fix message texts ---------------------------------------------------------------------

class FixMessageTexts : public FlashBuilder {
 protected:
  void SetUp() override { Load(ViewerCatalogue()); }
};

TEST_F(FixMessageTexts, WordsAndCArray) {
  const struct {
    uint16_t number;
    std::vector<std::string> words;
    std::string array;
  } cases[] = {
      {1, {"Willkommen ", "Code eingeben"}, "fixnachricht_1[4] = {240, 51, 241, 0};"},
      {2, {"Willkommen eins"}, "fixnachricht_2[4] = {240, 50, 101, 0};"},
      {10, {""}, "fixnachricht_10[2] = {99, 0};"},
      {4, {" ", ""}, "fixnachricht_4[2] = {52, 0};"},
      {77, {""}, "fixnachricht_77[1] = {0};"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FixMessageWordLines(c.number), c.words) << c.number;
    EXPECT_EQ(FixMessageCArray(c.number),
              (std::vector<std::string>{"const ", "  unsigned char " + c.array}))
        << c.number;
  }
  for (const auto& [item, number] : std::vector<std::pair<std::string, int>>{
           {"fixnachricht_10", 10}, {"fixnachricht_12345", 12345}, {"fixnachricht_", 0}, {"x", 0}})
    EXPECT_EQ(FixMessageNumberOfItem(item), number) << item;
}

TEST_F(FixMessageTexts, HeaderMatchesGoldenFile) {
  const std::vector<std::string> lines = FixMessageHeaderLines();
  EXPECT_EQ(lines.at(10), "#define MAX_FIXMSG_LEN 6");
  EXPECT_EQ(lines.at(11), "#define MAX_SAMPLE_COUNT 7");
  EXPECT_EQ(lines.at(24), "  {1,   {240, 51, 241, 0, 0, 0}},");
  EXPECT_EQ(lines.at(28), "  {12345,{101, 0, 0, 0, 0, 0}},");
  EXPECT_EQ(lines.at(30), "  {8,   {1, 2, 3, 4, 5, 0}}");
  EXPECT_EQ(lines.back(), "};");
  ASSERT_TRUE(SaveLinesCrLf(home.File(FixMessageHeaderName), lines));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(home.File(FixMessageHeaderName), bytes));
  EXPECT_EQ(GoldenDifference(std::string("flash/") + FixMessageHeaderName, bytes), "");
}

TEST_F(FixMessageTexts, HeaderWithLengthOne) {
  FixMessages = {{5, {0}}, {6, {0}}};
  FixMessageCount = 2;
  FixMessageLength = 1;
  const std::vector<std::string> lines = FixMessageHeaderLines();
  EXPECT_EQ(lines.at(10), "#define MAX_FIXMSG_LEN 1");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"  {5,   {0}},", "  {6,   {0}}", "};"}));
}

// --- varnexctl build-flash -----------------------------------------------------------------

TEST(FlashCli, BuildFlash) {
  const struct {
    const char* name;
    int secondSample;  // bytes of the second sample's A-law file
    std::string args;  // after "build-flash"; $ stands for the program folder
    int status;
    const char* output;  // expected in standard output and error
    const char* image;   // where the image must be, below the program folder; empty: none
  } cases[] = {
      {"defaults", 300, "", 0, "Info: 2 A-ALaw Samples verbrauchen 400 bytes von 983040 (0%)",
       "tmp/flash/flash.bin"},
      {"missing sample, output folder", -1, "-o $out/", 0,
       "WARNING: $tmp/alaw/b.al not found, file skipped !", "out/flash.bin"},
      {"other INI and folder", 300, "--ini $other.ini --alaw-dir $tmp/alaw -o $x.bin", 0,
       "x.bin created (64 kB)", "x.bin"},
      {"sample too long", 65536, "", 1, "was not created", ""},
      {"no such INI", 300, "--ini $none.ini", 1, "none.ini: no such file", ""},
      {"bad option", 300, "--what", 2, "unexpected argument '--what'", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir home;
    CatalogueSpec catalogue{{{1, "eins", "a", 1, 100}, {2, "zwei", "b", 1, c.secondSample}},
                            OneFixMessage};
    WriteCatalogue(home.Path(), catalogue);
    WriteCatalogue(home.Path(), {{}, OneFixMessage}, "other.ini");
    std::filesystem::create_directories(home.File("out"));
    auto expand = [&](std::string text) {
      for (size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, home.Path());
      return text;
    };
    const auto r = RunCommand("VARNEX_HOME=" + home.Path() + " " + ProgramPath("varnexctl") +
                              " build-flash " + expand(c.args));
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    EXPECT_NE((r.out + r.err).find(expand(c.output)), std::string::npos) << r.out << r.err;
    if (*c.image) {
      EXPECT_TRUE(std::filesystem::is_regular_file(home.File(c.image)));
    } else {
      EXPECT_FALSE(std::filesystem::exists(home.File("tmp/flash/flash.bin")));
    }
  }
}

}  // namespace
