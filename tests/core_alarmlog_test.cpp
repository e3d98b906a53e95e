// The alarm log: record decoding into lines and details, the DTMF command texts, the
// demonstration records and the hidden menu entries' messages.
#include <gtest/gtest.h>

#include "AlarmLog_parse.h"
#include "LogRecordFixture.h"
#include "TestPaths.h"

using namespace varnex;
using namespace varnex::test;

namespace {

constexpr const char* Date = "05.03.2004 - 09:07:02";
constexpr const char* Head = "05.03.2004 - 09:07:02 : ";

struct LogCase {
  const char* name;
  TAlarmLogRecord record;
  std::string line;
  LogRecordDetails details;
};

std::ostream& operator<<(std::ostream& os, const LogCase& c) {
  return os << c.name;
}

const LogCase LogCases[] = {
    {"AlarmInput1Connected",
     LogRecord(3, "030123", 1, 0),
     std::string(Head) + "alarm signalling input 1: call '030123', connection established",
     {Date, "-->", ArrowGreen, "ausgehender Ruf angenommen", "030123",
      "Alarmbenachrichtung Alarmeingang 1", "", ""}},
    {"AlarmInput2Failed",
     LogRecord(4, "040", 2, 0),
     std::string(Head) + "alarm signalling input 2: call '040', connection failed",
     {Date, "-->", ArrowRed, "ausgehender Ruf nicht angenommen", "040",
      "Alarmbenachrichtung Alarmeingang 2", "", ""}},
    {"AlarmTerminatedByDtmf",
     LogRecord(5, "", 3, 1),
     std::string(Head) +
         "alarm signalling input 2: call user_no=3, connection established, alarm terminated "
         "by DTMF code",
     {Date, "-->", ArrowGreen, "ausgehender Ruf angenommen", "user_no=3",
      "Alarmbenachrichtung Alarmeingang 2", "*1#", ""}},
    {"IncomingWithDtmf",
     LogRecord(8, "0301234567", 3, 20),
     std::string(Head) + "incoming call from '0301234567', DTMF-Code *20# passed",
     {Date, "<--", ArrowYellow, "eingehender Ruf angenommen", "0301234567", "administrativer Anruf",
      "*20#", "Ausgang 2 aus (oeffnet)"}},
    {"IncomingWithoutDtmf",
     LogRecord(8, "", 7, 0),
     std::string(Head) + "incoming call from user_no=7, no valid DTMF-Code detected",
     {Date, "<--", ArrowYellow, "eingehender Ruf angenommen", "user_no=7", "administrativer Anruf",
      "", ""}},
    {"UnknownDtmfCode",
     LogRecord(8, "1", 0, 42),
     std::string(Head) + "incoming call from '1', DTMF-Code *42# passed",
     {Date, "<--", ArrowYellow, "eingehender Ruf angenommen", "1", "administrativer Anruf", "*42#",
      ""}},
    {"Kind16HeadOnly", LogRecord(16, "1", 0, 0), Head, {Date, "", ArrowWhite, "", "1", "", "", ""}},
    {"Kind32HeadOnly",
     LogRecord(32, "", 9, 96),
     Head,
     {Date, "", ArrowWhite, "", "user_no=9", "", "*96#", "Status Alarm 1 wird abgefragt"}},
    // Not a known kind: the line follows the bits, the details show no direction.
    {"UnknownKindWithAlarmBit",
     LogRecord(7, "2", 0, 0),
     std::string(Head) + "alarm signalling input 1+2: call '2', connection established",
     {Date, "", ArrowWhite, "", "2", "", "", ""}},
    {"NumberWithoutNul",
     LogRecord(8, "1234567890123456789012\xE4", 0, 0),
     std::string(Head) +
         "incoming call from '1234567890123456789012ä', no valid DTMF-Code detected",
     {Date, "<--", ArrowYellow, "eingehender Ruf angenommen", "1234567890123456789012ä",
      "administrativer Anruf", "", ""}},
};

class LogRecords : public testing::TestWithParam<LogCase> {};

TEST_P(LogRecords, LineAndDetails) {
  std::vector<std::string> lines = {"old line"};
  DecodeLogRecords(&GetParam().record, 1, lines);
  EXPECT_EQ(lines, std::vector<std::string>{GetParam().line});
  const LogRecordDetails d = DescribeLogRecord(GetParam().record);
  const LogRecordDetails& e = GetParam().details;
  EXPECT_EQ(d.date, e.date);
  EXPECT_EQ(d.arrow, e.arrow);
  EXPECT_EQ(d.arrowColour, e.arrowColour);
  EXPECT_EQ(d.arrowHint, e.arrowHint);
  EXPECT_EQ(d.number, e.number);
  EXPECT_EQ(d.purpose, e.purpose);
  EXPECT_EQ(d.dtmf, e.dtmf);
  EXPECT_EQ(d.dtmfHint, e.dtmfHint);
}

INSTANTIATE_TEST_SUITE_P(AlarmLog, LogRecords, testing::ValuesIn(LogCases));

TEST(AlarmLog, TimeKindsAndDtmfTexts) {
  const uint8_t time[] = {31, 12, 255, 23, 59, 0};
  EXPECT_EQ(FormatLogTime(LogRecordFromBytes(time, sizeof time)), "31.12.2255 - 23:59:00");
  EXPECT_EQ(FormatLogTime(LogRecord(0, "", 0, 0)), Date);

  for (int kind = 0; kind < 256; ++kind) {
    const bool known =
        kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 8 || kind == 16 || kind == 32;
    EXPECT_EQ(IsKnownLogKind(static_cast<uint8_t>(kind)), known) << kind;
  }

  const struct {
    int code, language;
    const char* text;
  } texts[] = {{10, 0, "Ausgang 1 aus (oeffnet)"},
               {10, 1, "control output 1 opens"},
               {80, 0, "Gerät wird komplett abgeschaltet"},
               {99, 1, "alarm call acknoledged"},
               {91, 1, "all alarm signalling input 1 get disabled"},
               {42, 0, ""},
               {0, 0, ""},
               {20, 2, ""},
               {20, 4, ""},
               {20, -1, ""}};
  for (const auto& t : texts)
    EXPECT_EQ(DtmfFunctionText(static_cast<uint8_t>(t.code), t.language), t.text)
        << t.code << "/" << t.language;
  EXPECT_EQ(DtmfFunctions.front().code, 0);
  EXPECT_EQ(DtmfFunctions.back().code, 99);
}

TEST(AlarmLog, RecordFromBytes) {
  uint8_t bytes[32] = {5, 3, 4, 9, 7, 2, 8, 3, '0', '4', '0'};
  bytes[31] = 20;
  const TAlarmLogRecord r = LogRecordFromBytes(bytes, sizeof bytes);
  EXPECT_EQ(LogNumber(r), "040");
  std::vector<std::string> lines;
  DecodeLogRecords(&r, 1, lines);
  EXPECT_EQ(lines.front(), std::string(Head) + "incoming call from '040', DTMF-Code *20# passed");
  EXPECT_EQ(LogRecordFromBytes(bytes, 7).kind, 8);
  EXPECT_EQ(LogRecordFromBytes(bytes, 6).kind, 0);
}

TEST(AlarmLog, DemonstrationRecords) {
  const auto records = DemonstrationLogRecords();
  std::vector<std::string> lines;
  DecodeLogRecords(records.data(), records.size(), lines);
  const std::vector<std::string> expected = {
      "10.07.2003 - 12:31:04 : alarm signalling input 2: call '0301234567', connection "
      "established",
      "11.07.2003 - 12:31:04 : alarm signalling input 2: call '040987654', connection failed",
      "12.07.2003 - 12:31:04 : alarm signalling input 2: call '040987654', connection "
      "established",
      "13.07.2003 - 12:31:04 : incoming call from '040987654', DTMF-Code *20# passed"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(records[2].dtmf, 99);
  EXPECT_EQ(records[3].user_no, 3);
}

TEST(AlarmLog, HiddenMenuEntriesOnlyTalk) {
  ScriptedPrompter prompter(GTestFailure());
  ScopedHost host(&prompter, nullptr);
  prompter.Expect("Die Logfunktion wird in späteren Firmware Versionen verfügbar sein.", "Varnex");
  ShowAlarmLogNotice();
  prompter.Expect("Sollen alle vorhandenen Log-Einträge im Varnex wirklich gelöscht werden?",
                  "Varnex", MsgResult::No);
  AskClearAlarmLog();
  prompter.Expect("Sollen alle vorhandenen Log-Einträge im Varnex wirklich gelöscht werden?",
                  "Varnex", MsgResult::Yes);
  prompter.Expect("Logbuch Einträge wurden erfolgreich gelöscht!", "Varnex - Information");
  AskClearAlarmLog();
  prompter.VerifyAllShown();
  const auto& shown = prompter.History();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(shown[1].icon, MsgIcon::Question);
  EXPECT_EQ(shown[1].buttons, MsgButtons::YesNo);
  EXPECT_EQ(shown[3].icon, MsgIcon::Information);
}

}  // namespace
