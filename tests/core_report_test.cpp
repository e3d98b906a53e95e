// The configuration report, the DTMF command list and its exports, the order form and update
// pages, the help pages, the alarm message words, and `varnexctl report`.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "AlarmTexts.h"
#include "Cp1252.h"
#include "DtmfCommands.h"
#include "Exports.h"
#include "Golden.h"
#include "ProgramHome.h"
#include "Report.h"
#include "TestPaths.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

void SetEntry(uint8_t* list, size_t k, const char* name, const char* country, const char* area,
              const char* subscriber, bool active) {
  const TPhoneEntry entry(list + k * phone_entry::Size);
  ASSERT_TRUE(entry.SetName(name));
  ASSERT_TRUE(entry.Phone().SetCountry(country));
  ASSERT_TRUE(entry.Phone().SetArea(area));
  ASSERT_TRUE(entry.Phone().SetSubscriber(subscriber));
  entry.SetActive(active);
}

void SetSwitch(TDeviceConfig& c, size_t i, const char* msn, uint8_t action, uint8_t param) {
  ASSERT_TRUE(c.SwitchMsn(i).SetMsn(msn));
  c.SwitchMsn(i).SetAction(action);
  c.SwitchMsn(i).SetParam(param);
}

std::vector<DtmfCommandRow> ShippedIniRows() {
  std::vector<DtmfCommandRow> rows;
  EXPECT_TRUE(LoadDtmfCommands(std::string(VARNEX_SOURCE_DIR) + "/data/" + DtmfCommandsIni, rows));
  return rows;
}

// A new configuration as the configurator makes one, with the device number set.
ReportInput NewInput() {
  ReportInput in;
  in.config.ApplyDefaults();
  EXPECT_TRUE(in.config.SetMsn("5551234"));
  in.dtmfRows = ShippedDtmfCommands();
  in.time = Time(2024, 3, 5, 14, 7, 9);
  return in;
}

std::string Bytes(const ReportInput& in) {
  return HtmlBytes(ConfigurationReportLines(in));
}

struct ReportCase {
  const char* golden;
  std::function<void(ReportInput&)> build;
};

std::ostream& operator<<(std::ostream& os, const ReportCase& c) {
  return os << c.golden;
}

const ReportCase ReportCases[] = {
    // No administrator, both inputs "nie" (no separator between them), no switch MSN, the
    // built-in DTMF rows, no file name and a date at midnight.
    {"both_inputs_nie.html",
     [](ReportInput& in) {
       in.time = Time(2024, 3, 5, 0, 0, 0);
       SetSwitch(in.config, 0, "", 1, 0);
     }},
    // PBX, administrators (an inactive one, an active one without name), any caller allowed,
    // input 1 with both outputs and two summary lines, a separator before input 2's "nie",
    // output 2 without MSN but with an action, DTMF rows of the shipped INI file.
    {"input1_only.html",
     [](ReportInput& in) {
       TDeviceConfig& c = in.config;
       c.SetPbxMode(true);
       ASSERT_TRUE(c.SetPbxPrefix("0"));
       SetEntry(c.Admins(), 0, "Müller & <Sohn>", "49", "30", "1234567", true);
       SetEntry(c.Admins(), 1, "Inaktiv", "49", "30", "999", false);
       SetEntry(c.Admins(), 2, "", "49", "30", "888", true);
       SetEntry(c.Admins(), 3, "Wien \"Zentrale\"", "43", "1", "234", true);
       c.SetAnyCallerAllowed(true);
       ASSERT_TRUE(c.SetDtmfCode("123456"));
       c.Input(0).SetTrigger(1);
       c.Input(0).SetRunToEnd(true);
       c.Input(0).SetPasses(3);
       SetEntry(c.Input(0).CallList(), 0, "Anna", "49", "40", "555", true);
       SetEntry(c.Input(0).CallList(), 1, "Bernd", "", "", "112", false);
       c.InputSwitch(0).SetOutputs(3);
       in.summaries[0] = "Alarm Eingang eins \nzweite Zeile";
       SetSwitch(c, 0, "22", 1, 0);
       SetSwitch(c, 1, "", 3, 2);
       in.dtmfRows = ShippedIniRows();
       in.configFileName = "/home/nutzer/Konfigurationen/Haus & Hof.vnx";
     }},
    // Input 2 only, with Passes 7, no active call list entry (head row only) and output 2; the
    // set-state actions "on" and "off"; a summary character outside Windows-1252; DTMF rows
    // with an empty value and markup in a key.
    {"input2_only.html",
     [](ReportInput& in) {
       TDeviceConfig& c = in.config;
       SetEntry(c.Input(0).CallList(), 0, "Nicht gezeigt", "", "", "1", true);
       c.Input(1).SetTrigger(2);
       c.Input(1).SetPasses(7);
       SetEntry(c.Input(1).CallList(), 0, "Carla", "", "30", "777", false);
       c.InputSwitch(1).SetOutputs(2);
       in.summaries[1] = "Alarm, Łódź ";
       SetSwitch(c, 0, "31", 2, 1);
       SetSwitch(c, 1, "32", 2, 2);
       in.dtmfRows = {{"*10#", "Ausgang 1 aus"}, {"*11#", ""}, {"<b>", "fett & klar"}};
       in.configFileName = "/tmp/x.vnx";
     }},
    // Both inputs (3 and 7 passes), output 1 on input 1, an empty summary for input 2, a
    // 5000 ms pulse and an MSN without action.
    {"both_inputs.html",
     [](ReportInput& in) {
       TDeviceConfig& c = in.config;
       c.Input(0).SetTrigger(2);
       c.Input(0).SetPasses(3);
       SetEntry(c.Input(0).CallList(), 0, "Dora", "43", "", "555", true);
       c.InputSwitch(0).SetOutputs(1);
       c.Input(1).SetTrigger(1);
       c.Input(1).SetPasses(7);
       SetEntry(c.Input(1).CallList(), 0, "Emil", "", "", "112", true);
       in.summaries[0] = "Alarm Eingang eins ";
       SetSwitch(c, 0, "41", 3, 4);
       SetSwitch(c, 1, "42", 0, 0);
       in.configFileName = "/srv/varnex/anlage.vnx";
     }},
};

class ReportGolden : public testing::TestWithParam<ReportCase> {};

TEST_P(ReportGolden, MatchesTheGoldenFile) {
  ReportInput in = NewInput();
  GetParam().build(in);
  EXPECT_EQ(GoldenDifference(std::string("report/") + GetParam().golden, Bytes(in)), "");
}

INSTANTIATE_TEST_SUITE_P(Report, ReportGolden, testing::ValuesIn(ReportCases));

TEST(Report, WritesWindows1252WithCrLfAndEscapesUserTexts) {
  ReportInput in = NewInput();
  ReportCases[1].build(in);
  TempDir dir;
  const std::string path = dir.File(ReportFileName);
  std::string error;
  ASSERT_TRUE(WriteConfigurationReport(in, path, &error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, Bytes(in));
  for (const char* expected :
       {"<TD>M\xFCller &amp; &lt;Sohn&gt;</TD>\r\n", "<TD>Wien &quot;Zentrale&quot;</TD>\r\n",
        "/home/nutzer/Konfigurationen/Haus &amp; Hof.vnx<BR>\r\n",
        "Alle weiterein oder unbekannte Anrufer k\xF6nnen den Varnex"})
    EXPECT_NE(bytes.find(expected), std::string::npos) << expected;
  EXPECT_EQ(bytes.find("\n", bytes.find("<HTML>")), bytes.find("<HTML>") + 7);  // CR LF
  EXPECT_EQ(bytes.find(" & "), std::string::npos);

  EXPECT_FALSE(WriteConfigurationReport(in, dir.File("kein/Ordner.html"), &error));
  EXPECT_NE(error, "");
}

TEST(Report, HtmlCell) {
  struct {
    const char* align;
    int span, row;
    const char* text;
    const char* cell;
  } cases[] = {
      {"left", 1, 2, "&nbsp;",
       R"(<TD COLSPAN="1" ALIGN="left" BGCOLOR="#FAFAFA"><FONT FACE="Arial" SIZE="-1">&nbsp;</FONT></TD>)"},
      {"left", 1, 1, "*10#",
       R"(<TD COLSPAN="1" ALIGN="left" BGCOLOR="#F0F0F0"><FONT FACE="Arial" SIZE="-1">*10#</FONT></TD>)"},
      {"right", 12, 7, "",
       R"(<TD COLSPAN="12" ALIGN="right" BGCOLOR="#F0F0F0"><FONT FACE="Arial" SIZE="-1">&nbsp</FONT></TD>)"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlCell(c.align, c.span, c.row, c.text), c.cell);
  EXPECT_EQ(DtmfCellText("   "), "");
  EXPECT_EQ(DtmfCellText(" <a> "), " &lt;a&gt; ");
}

TEST(Report, EncodesWindows1252) {
  struct {
    std::string utf8;
    std::string reference, question;
  } cases[] = {
      {"Müller €", "M\xFCller \x80", "M\xFCller \x80"},
      {"Łódź",
       "&#321;\xF3"
       "d&#378;",
       "?\xF3"
       "d?"},
      {"a\xFF"
       "b\xC3",
       "a?b?", "a?b?"},  // not UTF-8
      {"\xF0\x9F\x98\x80!", "&#128512;!", "?!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeCp1252(c.utf8, Unencodable::CharacterReference), c.reference) << c.utf8;
    EXPECT_EQ(EncodeCp1252(c.utf8, Unencodable::QuestionMark), c.question) << c.utf8;
  }
}

TEST(Report, FootTime) {
  EXPECT_EQ(FormatReportTime(Time(2024, 3, 5, 0, 0, 0)), "05.03.2024");
  EXPECT_EQ(FormatReportTime(Time(2024, 12, 31, 0, 0, 1)), "31.12.2024 00:00:01");
  EXPECT_EQ(FormatReportTime(Time(1999, 1, 9, 23, 59, 59)), "09.01.1999 23:59:59");
}

// --- DTMF command list and its exports ------------------------------------------------------

TEST(DtmfCommands, LoadsCategoriesWithGrowingSeparators) {
  TempDir dir;
  const std::string ini =
      "[Kategorien]\r\nk1=Eins\r\nk2=Zwei\r\n[Eins]\r\n*10#=Ausgang aus\r\n*11#=an\r\n"
      "[Zwei]\r\n*20#=Ger\xE4t\r\n*10#=ersetzt\r\n";
  ASSERT_TRUE(WriteFileAtomic(dir.File("dtmf.ini"), ini));
  std::vector<DtmfCommandRow> rows = ShippedDtmfCommands();
  ASSERT_TRUE(LoadDtmfCommands(dir.File("dtmf.ini"), rows));
  const std::vector<DtmfCommandRow> expected = {
      {"*10#", "ersetzt"}, {"*11#", "an"}, {" ", "  "}, {"*20#", "Gerät"}, {"  ", "   "}};
  EXPECT_EQ(rows, expected);

  std::string error;
  EXPECT_FALSE(LoadDtmfCommands(dir.File("fehlt.ini"), rows, &error));
  EXPECT_EQ(rows, expected);
  EXPECT_NE(error, "");
  EXPECT_EQ(ProgramDtmfCommands(dir.Path()), ShippedDtmfCommands());
  EXPECT_EQ(ProgramDtmfCommands(std::string(VARNEX_SOURCE_DIR) + "/data/"), ShippedIniRows());
}

TEST(DtmfCommands, ValueFoundByTheFirstEqualKey) {
  const std::vector<DtmfCommandRow> rows = {{" ", ""}, {"*1#", "a"}, {" ", "zweite"}};
  EXPECT_EQ(DtmfValueByKey(rows, " "), "");
  EXPECT_EQ(DtmfValueByKey(rows, "*1#"), "a");
  EXPECT_EQ(DtmfValueByKey(rows, "*2#"), "");
}

TEST(DtmfExport, TextFile) {
  const std::string heading = "Varnex v1.1.3 - DTMF Kommandos\r\n\r\n";
  EXPECT_EQ(DtmfCommandsText({}), heading);
  EXPECT_EQ(DtmfCommandsText({{"*11#", ""}, {"*80#", "Gerät"}}),
            heading + "*11#    \r\n*80#    Ger\xE4t\r\n");
  const std::string shipped = DtmfCommandsText(ShippedIniRows());
  EXPECT_EQ(shipped.substr(0, heading.size() + 23), heading + "*10#    Ausgang 1 aus\r\n");
}

TEST(DtmfExport, HtmlPageOfTheShippedList) {
  EXPECT_EQ(GoldenDifference("report/dtmf_commands.html", DtmfCommandsHtml(ShippedIniRows())), "");
  EXPECT_EQ(DtmfCommandsHtml({}),
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<HTML>\r\n"
            "<HEAD><TITLE>Varnex - DTMF Kommandos</TITLE>\r\n"
            "<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">\r\n"
            "<meta name=\"author\" content=\"Varnex v1.1.3\">\r\n</HEAD>\r\n"
            "<BODY><FONT FACE=\"Arial\"><H3>Varnex - DTMF Kommandos</H3></FONT>\r\n"
            "<TABLE WIDTH=\"100%\" BORDER=0 CELLPADDING=1 CELLSPACING=0>\r\n</TABLE>\r\n"
            "</BODY></HTML>\r\n");
}

// The grid counted rows in a byte once; every row is written now.
TEST(DtmfExport, MoreThan255Rows) {
  std::vector<DtmfCommandRow> rows;
  for (int i = 1; i <= 300; ++i) rows.push_back({"*" + std::to_string(i) + "#", "Zeile"});
  const std::string text = DtmfCommandsText(rows);
  EXPECT_NE(text.find("\r\n*300#    Zeile\r\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 302);
  const std::string html = DtmfCommandsHtml(rows);
  EXPECT_NE(html.find("BGCOLOR=\"#FAFAFA\"><FONT FACE=\"Arial\" SIZE=\"-1\">*300#<"),
            std::string::npos);
  std::ptrdiff_t tableRows = 0;
  for (size_t at = html.find("<TR>\r\n"); at != std::string::npos;
       at = html.find("<TR>\r\n", at + 1))
    ++tableRows;
  EXPECT_EQ(tableRows, 300);
}

// --- Help pages, order form, update page ----------------------------------------------------

TEST(HelpPages, ByPageIndex) {
  const std::pair<int, const char*> cases[] = {
      {0, "grundeinstellungen.html"}, {1, "administratoren.html"}, {2, "alarm.html"},
      {3, "schaltausgang.html"},      {4, "index.html"},           {-1, "index.html"}};
  for (const auto& [index, page] : cases) {
    EXPECT_EQ(HelpPage(index), page) << index;
    EXPECT_TRUE(
        std::filesystem::exists(std::string(VARNEX_SOURCE_DIR) + "/data/hilfe_vnx/" + page));
  }
}

class TemplatePages : public testing::Test {
 protected:
  std::string Templates() const {
    return std::string(VARNEX_SOURCE_DIR) + "/data/hilfe_vnx/templates/";
  }
  std::vector<std::string> Written(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(out_.File(name), bytes));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
    return TemplateLines(bytes);
  }
  std::vector<std::string> Template(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(Templates() + name, bytes));
    return TemplateLines(bytes);
  }

  TempDir out_;
  ScriptedPrompter prompter_{GTestFailure()};
  MemorySettings settings_;
  ScopedHost host_{&prompter_, nullptr, &settings_};
};

TEST_F(TemplatePages, OrderFormCarriesTheThreeMsns) {
  TDeviceConfig config;
  ASSERT_TRUE(config.SetMsn("5551234"));
  ASSERT_TRUE(config.SwitchMsn(0).SetMsn("5551235"));
  const auto path = MakeOrderForm(Templates(), out_.Path(), config);
  ASSERT_EQ(path, out_.File(OrderFormFileName));
  const auto lines = Written(OrderFormFileName);
  auto expected = Template(OrderFormTemplate);
  ASSERT_EQ(lines.size(), expected.size());
  expected[31] += " VALUE=\"5551234\"";
  expected[33] += " VALUE=\"5551235\"";
  expected[35] += " VALUE=\"\"";
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(lines[35], "<input type=\"text\" name=\"msn_ausgang2\" maxlength=\"15\" VALUE=\"\"");
}

TEST_F(TemplatePages, UpdatePageAsksForTheKnownFirmware) {
  const std::string src =
      "src=\"http://www.brelmo.de/ruvolt/update/update.php?hid=5&fid0=2&fid1=5&sid0=1&sid1=1&"
      "sid2=1\"";
  ASSERT_EQ(MakeUpdatePage(Templates(), out_.Path(), 2, 5), out_.File(UpdateFileName));
  auto expected = Template(UpdateTemplate);
  expected[32] = src;
  EXPECT_EQ(Written(UpdateFileName), expected);

  settings_.WriteString(SettingsScope::Application, UpdateHostSetting, "updates.example.org:8080");
  ASSERT_TRUE(MakeUpdatePage(Templates(), out_.Path(), 0, 0));
  EXPECT_EQ(Written(UpdateFileName)[32],
            "src=\"http://updates.example.org:8080/ruvolt/update/update.php?hid=5&fid0=0&fid1=0&"
            "sid0=1&sid1=1&sid2=1\"");
}

// Every failure is told and leaves no file behind.
TEST_F(TemplatePages, FailuresWriteNothing) {
  TempDir templates;
  const auto writeLines = [&](const char* name, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += "<!-- " + std::to_string(i) + " -->\n";
    ASSERT_TRUE(WriteFileAtomic(templates.File(name), bytes));
  };
  const TDeviceConfig config;
  const auto order = [&] { return MakeOrderForm(templates.Path(), out_.Path(), config); };
  const auto update = [&] { return MakeUpdatePage(templates.Path(), out_.Path(), 1, 2); };

  prompter_.Expect("Datei '" + templates.Path() + "msn_order_tpl.html' nicht gefunden.",
                   "Varnex - Error");
  EXPECT_FALSE(order());
  prompter_.Expect("Datei '" + templates.Path() + "frame-varnex-autoupdates.htm' nicht gefunden.",
                   "Varnex - Error");
  EXPECT_FALSE(update());

  writeLines(OrderFormTemplate, 35);
  prompter_.Expect("Datei '" + templates.File(OrderFormTemplate) +
                       "': Die Vorlage hat 35 Zeilen; gebraucht werden mindestens 36.",
                   "Varnex - Error");
  EXPECT_FALSE(order());
  writeLines(UpdateTemplate, 32);
  prompter_.Expect("Datei '" + templates.File(UpdateTemplate) +
                       "': Die Vorlage hat 32 Zeilen; gebraucht werden mindestens 33.",
                   "Varnex - Error");
  EXPECT_FALSE(update());

  writeLines(UpdateTemplate, 33);
  settings_.WriteString(SettingsScope::Application, UpdateHostSetting, "x\" onload=\"alert(1)");
  prompter_.Expect(
      "Der Update-Server 'x\" onload=\"alert(1)' (Einstellung UpdateHost) ist kein gültiger "
      "Rechnername.",
      "Varnex - Error");
  EXPECT_FALSE(update());
  EXPECT_TRUE(std::filesystem::is_empty(out_.Path()));

  writeLines(OrderFormTemplate, 36);
  prompter_.ExpectContaining("konnte nicht geschrieben werden", "Varnex - Error");
  EXPECT_FALSE(MakeOrderForm(templates.Path(), out_.File("fehlt/"), config));
  prompter_.VerifyAllShown();
  EXPECT_EQ(prompter_.History().back().icon, MsgIcon::Error);
}

// --- Alarm message words -------------------------------------------------------------------

class AlarmWords : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    TempDir dir;
    const std::string ini =
        "[generic]\r\nkurzpause=50\r\n[Kategorien]\r\nkategorie1=Meldungen\r\n"
        "[Meldungen]\r\nsample_1=Alarm,alarm\r\nsample_2=T\xFCr,tuer\r\n"
        "sample_50=Pause kurz,pause_kurz\r\nsample_51=Pause lang,pause_lang\r\n"
        "[FIXMSGS]\r\nfix_1=1\r\n";
    ASSERT_TRUE(WriteFileAtomic(dir.File("sprache.ini"), ini));
    SilentPrompter quiet;
    ScopedHost host(&quiet, nullptr);
    ASSERT_TRUE(LoadVoiceCatalogue(dir.File("sprache.ini")));
  }
  static std::string Words(std::vector<uint8_t> codes) {
    codes.resize(std::max<size_t>(codes.size(), alarm_input::AlarmTextSize + 1), 0);
    return AlarmTextWords(codes.data());
  }
};

TEST_F(AlarmWords, AsTheSummaryShowsThem) {
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{1, 50, 51, 50, 2, 50}, "Alarm, Tür "},
      {{}, ""},
      {{0, 1}, ""},
      {{1, 99, 2}, "Alarm Tür "},
      {{99, 1}, " Alarm "},
      {{51, 1}, ", Alarm "},
      {{50, 50, 50}, ""},
  };
  for (const auto& [codes, words] : cases) EXPECT_EQ(Words(codes), words);
  std::vector<uint8_t> full(alarm_input::AlarmTextSize, 1);
  full.push_back(2);  // beyond the 50 codes
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "Alarm ";
  EXPECT_EQ(AlarmTextWords(full.data()), fifty);
}

TEST_F(AlarmWords, SummariesFollowTheTrigger) {
  TDeviceConfig config;
  config.ApplyDefaults();
  const uint8_t codes[alarm_input::AlarmTextSize] = {1, 50, 2};
  std::copy(std::begin(codes), std::end(codes), config.Input(0).AlarmText());
  std::copy(std::begin(codes), std::end(codes), config.Input(1).AlarmText());
  const std::pair<uint8_t, const char*> cases[] = {
      {0, ""}, {1, "Alarm Tür "}, {2, "Alarm Tür "}, {3, ""}};
  for (const auto& [trigger, summary] : cases) {
    config.Input(1).SetTrigger(trigger);
    EXPECT_EQ(AlarmTextSummaries(config)[1], summary) << static_cast<int>(trigger);
    EXPECT_EQ(AlarmTextSummaries(config)[0], "");
  }
  EXPECT_EQ(AlarmTextHint(""), "");
  EXPECT_EQ(AlarmTextHint("Alarm Tür "), "Alarm Tür ");
  EXPECT_EQ(AlarmTextHint("eins\nzwei\r\ndrei"), "eins\r\nzwei\r\ndrei");
}

// --- varnexctl report ---------------------------------------------------------------------

std::vector<std::string> LinesWithoutDate(const std::string& bytes, std::string* date) {
  auto lines = TemplateLines(bytes);
  // The date line follows the foot's rule.
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i - 1] == "<HR SIZE=1 noshade>") {
      *date = lines[i];
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  return lines;
}

TEST(CliReport, SameBytesAsTheConfiguratorApartFromTheDate) {
  TempDir dir;
  TRuvolt link;
  TDeviceConfig& c = link.Config;
  c.ApplyDefaults();
  ASSERT_TRUE(c.SetMsn("5551234"));
  c.Input(0).SetTrigger(1);
  SetEntry(c.Input(0).CallList(), 0, "Anna & Otto", "49", "40", "555", true);
  c.Input(1).SetTrigger(2);
  SetSwitch(c, 0, "22", 3, 1);
  ASSERT_TRUE(link.SaveConfig(dir.File("haus.vnx")));

  const auto result = RunCommand(ProgramPath("varnexctl") + " report " + dir.File("haus.vnx") +
                                 " -o " + dir.File("out.html"));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Report written to " + dir.File("out.html") + "\n");

  SilentPrompter quiet;
  ScopedHost host(&quiet, nullptr);
  ASSERT_TRUE(LoadVoiceCatalogue(ProgramPath(DefaultLanguageIni)));
  ReportInput in;
  in.config = c;
  in.summaries = AlarmTextSummaries(c);
  EXPECT_NE(in.summaries[0], "");
  in.dtmfRows = ProgramDtmfCommands(ProgramPath(""));
  in.configFileName = dir.File("haus.vnx");
  in.time = LocalTimeNow();
  std::string cli, dateCli, dateHere;
  ASSERT_TRUE(ReadFileBytes(dir.File("out.html"), cli));
  EXPECT_EQ(LinesWithoutDate(cli, &dateCli), LinesWithoutDate(Bytes(in), &dateHere));
  EXPECT_EQ(dateCli.size(), dateHere.size());
  EXPECT_EQ(dateCli.substr(0, 10), dateHere.substr(0, 10));
}

TEST(CliReport, RefusesBadArguments) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("kurz.vnx"), "abc"));
  const std::string ctl = ProgramPath("varnexctl") + " report";
  const struct {
    std::string args;
    int status;
    const char* message;
  } cases[] = {
      {"", 2, "takes one configuration file"},
      {dir.File("a.vnx") + " " + dir.File("b.vnx"), 2, "unexpected argument"},
      {dir.File("a.vnx") + " -o", 2, "-o needs a file"},
      {dir.File("fehlt.vnx"), 1, "no such file"},
      {dir.File("kurz.vnx"), 1, "3 bytes long"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(ctl + " " + c.args);
    EXPECT_EQ(result.status, c.status) << c.args;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
}

}  // namespace
