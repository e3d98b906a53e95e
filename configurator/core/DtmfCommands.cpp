#include "DtmfCommands.h"

#include <filesystem>

#include "IniFile.h"

namespace varnex {

namespace {

constexpr const char* CategoriesSection = "Kategorien";

// Sets the value of `key`, appending a row when no row has that key yet.
void SetValue(std::vector<DtmfCommandRow>& rows, const std::string& key, const std::string& value) {
  for (auto& row : rows) {
    if (row.key == key) {
      row.value = value;
      return;
    }
  }
  rows.push_back({key, value});
}

}  // namespace

std::vector<DtmfCommandRow> ShippedDtmfCommands() {
  return {{"*10#", "Ausgang 1 aus"},
          {"*11#", "Ausgang 1 ein"},
          {"*12#", "Ausgang 1 wechselt"},
          {"*13#", "Ausgang 1 Impuls 1 (500ms)"},
          {"*14#", "Ausgang 1 Impuls 2 (1000ms)"},
          {"*15#", "Ausgang 1 Impuls 3 (2000ms)"},
          {"*16#", "Ausgang 1 Impuls 4 (5000ms)"},
          {"*19#", "Status von Ausgang 1 wird angesagt"},
          {" ", ""},
          {"*20#", "Ausgang 2 aus"},
          {"*21#", "Ausgang 2 ein"},
          {"*22#", "Ausgang 2 wechselt"},
          {"*23#", "Ausgang 2 Impuls 1 (500ms)"},
          {"*24#", "Ausgang 2 Impuls 2 (1000ms)"},
          {"*25#", "Ausgang 2 Impuls 3 (2000ms)"},
          {"*26#", "Ausgang 2 Impuls 4 (5000ms)"},
          {"*29#", "Status von Ausgang 2 wird angesagt"},
          {" ", ""},
          {"*80#", "Gerät komplett abschalten"},
          {"*90#", "alle Alarmeingänge werden abgeschaltet"},
          {"*91#", "Alarmeingang 1 wird abgeschaltet"},
          {"*92#", "Alarmeingang 2 wird abgeschaltet"},
          {"*93#", "alle Alarmeingänge werden eingeschaltet"},
          {"*94#", "Alarmeingang 1 wird eingeschaltet"},
          {"*95#", "Alarmeingang 2 wird eingeschaltet"},
          {"*96#", "Status Alarm 1 wird abgefragt"},
          {"*97#", "Status Alarm 2 wird abgefragt"},
          {"*99#", "Alarmabschaltung bei Alarmierung"}};
}

bool LoadDtmfCommands(const std::string& path, std::vector<DtmfCommandRow>& rows,
                      std::string* errorText) {
  IniFile ini;
  if (!ini.Load(path, errorText)) return false;
  rows.clear();
  std::string separator = " ";
  for (const std::string& category : ini.ReadSection(CategoriesSection)) {
    const std::string section = ini.ReadString(CategoriesSection, category);
    for (const std::string& key : ini.ReadSection(section))
      SetValue(rows, key, ini.ReadString(section, key));
    SetValue(rows, separator, separator + " ");
    separator += " ";
  }
  return true;
}

std::string DtmfValueByKey(const std::vector<DtmfCommandRow>& rows, std::string_view key) {
  for (const auto& row : rows)
    if (row.key == key) return row.value;
  return {};
}

std::vector<DtmfCommandRow> ProgramDtmfCommands(const std::string& programDir) {
  std::vector<DtmfCommandRow> rows = ShippedDtmfCommands();
  const std::string path = programDir + DtmfCommandsIni;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) LoadDtmfCommands(path, rows);
  return rows;
}

}  // namespace varnex
