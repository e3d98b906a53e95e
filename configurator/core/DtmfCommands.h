// The DTMF command list of the switch outputs page: reference rows that the report and the
// exports print. Not part of the configuration.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

constexpr const char* DtmfCommandsIni = "dtmf_commands_standart.ini";

// One row of the key/value grid (texts UTF-8).
struct DtmfCommandRow {
  std::string key;
  std::string value;
  bool operator==(const DtmfCommandRow&) const = default;
};

// The grid's rows as built into the program (the title row not included).
std::vector<DtmfCommandRow> ShippedDtmfCommands();

// Replaces `rows` by the command list of an INI file: section "Kategorien" names one section per
// category; each category's rows are followed by a separator row whose key is n blanks and whose
// value n + 1 blanks (n = 1, 2, ...). A key already in the grid gets the new value in its row.
// False with errorText, rows untouched, when the file cannot be read.
bool LoadDtmfCommands(const std::string& path, std::vector<DtmfCommandRow>& rows,
                      std::string* errorText = nullptr);

// The value of the first row with this key; empty when there is none.
std::string DtmfValueByKey(const std::vector<DtmfCommandRow>& rows, std::string_view key);

// The shipped rows, or those of `programDir` + DtmfCommandsIni when that file exists and reads.
std::vector<DtmfCommandRow> ProgramDtmfCommands(const std::string& programDir);

}  // namespace varnex
