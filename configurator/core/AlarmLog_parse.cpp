#include "AlarmLog_parse.h"

#include <algorithm>
#include <cstring>

#include "Cp1252.h"
#include "Host.h"
#include "Report.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr int German = 0;
constexpr int DemonstrationYear = 3;
constexpr const char* DemonstrationNumbers[] = {"0301234567", "040987654"};

bool IsAlarmCall(uint8_t kind) {
  return (kind & (log_kind::AlarmInput1 | log_kind::AlarmInput2)) != 0;
}

// The alarm input a call was made for; "1+2" should a record name both.
std::string InputNumber(uint8_t kind) {
  const bool first = kind & log_kind::AlarmInput1;
  const bool second = kind & log_kind::AlarmInput2;
  return first && second ? "1+2" : first ? "1" : "2";
}

// The quoted number, or the list entry when the number field is empty.
std::string Who(const TAlarmLogRecord& record) {
  const std::string number = LogNumber(record);
  return number.empty() ? "user_no=" + std::to_string(record.user_no) : "'" + number + "'";
}

}  // namespace

const std::array<TDtmfFuntion, 27> DtmfFunctions = {{
    {0, {}},
    {10, {"Ausgang 1 aus (oeffnet)", "control output 1 opens"}},
    {11, {"Ausgang 1 ein (schliesst)", "control output 1 closes"}},
    {12, {"Ausgang 1 wechselt", "control output 1 toggles"}},
    {13, {"Ausgang 1 schaltet Impuls 1", "control output 1 gives impulse type-1"}},
    {14, {"Ausgang 1 schaltet Impuls 2", "control output 1 gives impulse type-2"}},
    {15, {"Ausgang 1 schaltet Impuls 3", "control output 1 gives impulse type-3"}},
    {16, {"Ausgang 1 schaltet Impuls 4", "control output 1 gives impulse type-4"}},
    {19, {"Status von Ausgang 1 wird abgefragt", "state of control output 1 is queried"}},
    {20, {"Ausgang 2 aus (oeffnet)", "control output 2 opens"}},
    {21, {"Ausgang 2 ein (schliesst)", "control output 2 closes"}},
    {22, {"Ausgang 2 wechselt", "control output 2 toggles"}},
    {23, {"Ausgang 2 schaltet Impuls 1", "control output 2 gives impulse type-1"}},
    {24, {"Ausgang 2 schaltet Impuls 2", "control output 2 gives impulse type-2"}},
    {25, {"Ausgang 2 schaltet Impuls 3", "control output 2 gives impulse type-3"}},
    {26, {"Ausgang 2 schaltet Impuls 4", "control output 2 gives impulse type-4"}},
    {29, {"Status von Ausgang 2 wird abgefragt", "state of control output 2 is queried"}},
    {80, {"Gerät wird komplett abgeschaltet", "device gets disabled"}},
    {90, {"alle Alarmeingänge werden abgeschaltet", "all alarm signalling inputs get disabled"}},
    {91, {"Alarmeingang 1 wird abgeschaltet", "all alarm signalling input 1 get disabled"}},
    {92, {"Alarmeingang 2 wird abgeschaltet", "all alarm signalling input 2 get disabled"}},
    {93, {"alle Alarmeingänge werden eingeschaltet", "all alarm signalling inputs get enabled"}},
    {94, {"Alarmeingang 1 wird eingeschaltet", "alarm signalling input 1 get enabled"}},
    {95, {"Alarmeingang 2 wird eingeschaltet", "alarm signalling input 2 get enabled"}},
    {96, {"Status Alarm 1 wird abgefragt", "state of alarm signalling input 1 is queried"}},
    {97, {"Status Alarm 2 wird abgefragt", "state of alarm signalling input 2 is queried"}},
    {99, {"Alarmabschaltung bei Alarmierung", "alarm call acknoledged"}},
}};

std::string FormatLogTime(const TAlarmLogRecord& r) {
  return TwoDigits(r.day) + "." + TwoDigits(r.month) + "." + std::to_string(2000 + r.year) + " - " +
         TwoDigits(r.hour) + ":" + TwoDigits(r.minute) + ":" + TwoDigits(r.second);
}

bool IsKnownLogKind(uint8_t kind) {
  constexpr uint8_t Known[] = {2, 3, 4, 5, 8, 16, 32};
  return std::find(std::begin(Known), std::end(Known), kind) != std::end(Known);
}

std::string DtmfFunctionText(uint8_t code, int language) {
  if (language < 0 || language >= 4) return {};
  for (const auto& f : DtmfFunctions)
    if (f.code == code) return std::string(f.texts[static_cast<size_t>(language)]);
  return {};
}

std::string LogNumber(const TAlarmLogRecord& record) {
  const auto* begin = reinterpret_cast<const char*>(record.number.data());
  return Cp1252ToUtf8(std::string_view(begin, strnlen(begin, record.number.size())));
}

TAlarmLogRecord LogRecordFromBytes(const uint8_t* bytes, size_t count) {
  TAlarmLogRecord record;
  std::memcpy(&record, bytes, std::min(count, sizeof record));
  return record;
}

void DecodeLogRecords(const TAlarmLogRecord* records, size_t count,
                      std::vector<std::string>& lines) {
  lines.clear();
  for (size_t i = 0; i < count; ++i) {
    const TAlarmLogRecord& r = records[i];
    std::string head = FormatLogTime(r) + " : ";
    std::string tail;
    if (IsAlarmCall(r.kind)) {
      head += "alarm signalling input " + InputNumber(r.kind) + ": ";
      tail = "call " + Who(r) + ", ";
      if (!(r.kind & log_kind::Connected))
        tail += "connection failed";
      else if (r.dtmf == LogAlarmTerminatedByDtmf)
        tail += "connection established, alarm terminated by DTMF code";
      else
        tail += "connection established";
    }
    if (r.kind & log_kind::Incoming) {
      tail = "incoming call from " + Who(r) + ", ";
      tail += r.dtmf != 0 ? "DTMF-Code *" + std::to_string(r.dtmf) + "# passed"
                          : "no valid DTMF-Code detected";
    }
    lines.push_back(head + tail);
  }
}

LogRecordDetails DescribeLogRecord(const TAlarmLogRecord& r) {
  LogRecordDetails d;
  d.date = FormatLogTime(r);
  const std::string number = LogNumber(r);
  d.number = number.empty() ? "user_no=" + std::to_string(r.user_no) : number;
  if (IsKnownLogKind(r.kind)) {
    if (IsAlarmCall(r.kind)) {
      const bool connected = r.kind & log_kind::Connected;
      d.arrow = "-->";
      d.arrowColour = connected ? ArrowGreen : ArrowRed;
      d.arrowHint = connected ? "ausgehender Ruf angenommen" : "ausgehender Ruf nicht angenommen";
      d.purpose = "Alarmbenachrichtung Alarmeingang " + InputNumber(r.kind);
    } else if (r.kind & log_kind::Incoming) {
      d.arrow = "<--";
      d.arrowColour = ArrowYellow;
      d.arrowHint = "eingehender Ruf angenommen";
      d.purpose = "administrativer Anruf";
    }
  }
  if (r.dtmf != 0) {
    d.dtmf = "*" + std::to_string(r.dtmf) + "#";
    d.dtmfHint = DtmfFunctionText(r.dtmf, German);
  }
  return d;
}

bool SaveAlarmLogLines(const std::vector<std::string>& lines, const std::string& path,
                       std::string* errorText) {
  std::string bytes;
  for (const auto& line : lines) bytes += EncodeCp1252(line, Unencodable::QuestionMark) + "\r\n";
  return WriteFileAtomic(path, bytes, errorText);
}

std::vector<TAlarmLogRecord> DemonstrationLogRecords() {
  struct Row {
    uint8_t day, kind, user_no, dtmf;
  };
  constexpr Row Rows[] = {{10, 5, 3, 0}, {11, 4, 0, 0}, {12, 5, 3, 99}, {13, 8, 3, 20}};
  std::vector<TAlarmLogRecord> records;
  for (const Row& row : Rows) {
    TAlarmLogRecord r;
    r.day = row.day;
    r.month = 7;
    r.year = DemonstrationYear;
    r.hour = 12;
    r.minute = 31;
    r.second = 4;
    r.kind = row.kind;
    r.user_no = row.user_no;
    r.dtmf = row.dtmf;
    const char* number = DemonstrationNumbers[records.empty() ? 0 : 1];
    std::memcpy(r.number.data(), number, std::strlen(number));
    records.push_back(r);
  }
  return records;
}

void ShowAlarmLogNotice() {
  MessageBox("Die Logfunktion wird in späteren Firmware Versionen verfügbar sein.", "Varnex",
             MsgIcon::Information);
}

void AskClearAlarmLog() {
  if (MessageBox("Sollen alle vorhandenen Log-Einträge im Varnex wirklich gelöscht werden?",
                 "Varnex", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
    MessageBox("Logbuch Einträge wurden erfolgreich gelöscht!", "Varnex - Information",
               MsgIcon::Information);
}

}  // namespace varnex
