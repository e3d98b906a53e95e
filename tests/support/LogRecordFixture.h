// Alarm log records for the tests, all dated 05.03.2004 09:07:02.
#pragma once

#include <algorithm>
#include <cstring>

#include "AlarmLog_parse.h"

namespace varnex::test {

inline TAlarmLogRecord LogRecord(uint8_t kind, const char* number, uint8_t userNo, uint8_t dtmf) {
  const uint8_t head[] = {5, 3, 4, 9, 7, 2, kind, userNo};
  TAlarmLogRecord r = LogRecordFromBytes(head, sizeof head);
  r.dtmf = dtmf;
  std::memcpy(r.number.data(), number, std::min(std::strlen(number), r.number.size()));
  return r;
}

}  // namespace varnex::test
