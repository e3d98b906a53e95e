// The alarm log decoder: any bytes as 32-byte log records (the last one possibly short) into the
// viewer's lines and detail fields.
#include <vector>

#include "AlarmLog_parse.h"
#include "FuzzSupport.h"

using namespace varnex;
using varnex::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  std::vector<TAlarmLogRecord> records;
  for (size_t at = 0; at < size && records.size() < LogBufferRecords; at += sizeof(TAlarmLogRecord))
    records.push_back(LogRecordFromBytes(data + at, std::min(sizeof(TAlarmLogRecord), size - at)));

  std::vector<std::string> lines = {"left over"};
  DecodeLogRecords(records.data(), records.size(), lines);
  Check(lines.size() == records.size(), "one line per record");
  for (const std::string& line : lines) Check(fuzz::IsUtf8(line), "lines are UTF-8");
  for (const TAlarmLogRecord& r : records) {
    const LogRecordDetails d = DescribeLogRecord(r);
    for (const std::string* text :
         {&d.date, &d.arrow, &d.arrowHint, &d.number, &d.purpose, &d.dtmf, &d.dtmfHint})
      Check(fuzz::IsUtf8(*text), "details are UTF-8");
    Check(fuzz::IsUtf8(FormatLogTime(r)) && fuzz::IsUtf8(LogNumber(r)), "time and number UTF-8");
  }
  return 0;
}
