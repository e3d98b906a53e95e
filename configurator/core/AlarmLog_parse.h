// The device's alarm log: 32-byte records, their English text lines and details, and the DTMF
// command descriptions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// Kind bits of a log record.
namespace log_kind {
constexpr uint8_t Connected = 0x01;
constexpr uint8_t AlarmInput1 = 0x02;
constexpr uint8_t AlarmInput2 = 0x04;
constexpr uint8_t Incoming = 0x08;
}  // namespace log_kind

constexpr size_t LogNumberSize = 23;  // at most 22 characters, NUL-padded
// Alarm call: the DTMF byte 1 means the alarm was switched off by DTMF.
constexpr uint8_t LogAlarmTerminatedByDtmf = 1;

struct TAlarmLogRecord {
  uint8_t day = 0;
  uint8_t month = 0;
  uint8_t year = 0;  // years since 2000
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint8_t second = 0;
  uint8_t kind = 0;
  uint8_t user_no = 0;
  std::array<uint8_t, LogNumberSize> number{};
  uint8_t dtmf = 0;
};
static_assert(sizeof(TAlarmLogRecord) == 32);

constexpr size_t LogBufferRecords = 1024;

// One DTMF command: its code and its texts by language (0 German, 1 English, 2 and 3 empty).
struct TDtmfFuntion {
  uint8_t code;
  std::array<std::string_view, 4> texts;
};
extern const std::array<TDtmfFuntion, 27> DtmfFunctions;

// "dd.mm.yyyy - hh:mm:ss".
std::string FormatLogTime(const TAlarmLogRecord& record);
// 2, 3, 4, 5, 8, 16 and 32.
bool IsKnownLogKind(uint8_t kind);
// The text in that language of the first entry with this code; empty when there is none.
std::string DtmfFunctionText(uint8_t code, int language);

// The record's number field (Windows-1252, up to its first NUL) as UTF-8.
std::string LogNumber(const TAlarmLogRecord& record);
// The record from its 32 bytes (fewer bytes leave the rest zero).
TAlarmLogRecord LogRecordFromBytes(const uint8_t* bytes, size_t count);

// Replaces `lines` by one English line per record.
void DecodeLogRecords(const TAlarmLogRecord* records, size_t count,
                      std::vector<std::string>& lines);

// Colours of the viewer's arrow field, as 0xRRGGBB.
constexpr uint32_t ArrowWhite = 0xFFFFFF;
constexpr uint32_t ArrowGreen = 0x2FBD03;  // the window framework's 0x3BD2F (blue-green-red)
constexpr uint32_t ArrowRed = 0xFF0000;
constexpr uint32_t ArrowYellow = 0xFFFF00;

// What the viewer's detail fields show for one record.
struct LogRecordDetails {
  std::string date;
  std::string arrow;
  uint32_t arrowColour = ArrowWhite;
  std::string arrowHint;
  std::string number;
  std::string purpose;
  std::string dtmf;
  std::string dtmfHint;
  bool operator==(const LogRecordDetails&) const = default;
};
LogRecordDetails DescribeLogRecord(const TAlarmLogRecord& record);

// Writes the list's lines to a file (Windows-1252, CR LF), whole or not at all. False with
// errorText when it cannot be written.
bool SaveAlarmLogLines(const std::vector<std::string>& lines, const std::string& path,
                       std::string* errorText = nullptr);

// The four records the viewer lists in place of a log read from the device.
std::vector<TAlarmLogRecord> DemonstrationLogRecords();

// The hidden menu entries "&anzeigen" and "&loeschen" of "Alarm &Logbuch": fixed messages
// through the prompter; nothing is read or deleted.
void ShowAlarmLogNotice();
void AskClearAlarmLog();

}  // namespace varnex
