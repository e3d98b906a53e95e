#include "VoiceCatalogue.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "Host.h"
#include "IniFile.h"

namespace varnex {

std::array<TAlarm_struct, MaxCatalogueEntries + 1> Samples;
int32_t SampleCount = 0;
std::array<std::string, MaxCatalogueEntries + 1> CategoryNames;
std::array<uint8_t, MaxCatalogueEntries + 1> CategoryVisible{};
int32_t CategoryCount = 0;
int32_t ShortPauseId = DefaultShortPauseId;
std::vector<TFixNachricht> FixMessages;
uint16_t FixMessageCount = 0;
uint16_t FixMessageLength = 0;
int32_t FixMessageBytes = 0;

namespace {

constexpr std::string_view CategoriesSection = "Kategorien";
constexpr std::string_view GenericSection = "generic";
constexpr std::string_view FixMessagesSection = "FIXMSGS";
constexpr std::string_view CategoryKeyPrefix = "kategorie";
constexpr std::string_view SampleKeyPrefix = "sample_";
constexpr std::string_view SyntaxErrorText = "Syntax Error in INI File, Section 'Kategorien'! ";

// One load's error state: only the first reported error is shown.
class LoadErrors {
 public:
  void Report(const std::string& text) {
    if (!failed_) MessageBox(text, CatalogueCaption, MsgIcon::Error);
    failed_ = true;
  }
  // Shown whatever was reported before (duplicates, the aborting number).
  void ReportAlways(const std::string& text) {
    MessageBox(text, CatalogueCaption, MsgIcon::Error);
    failed_ = true;
  }
  bool Failed() const { return failed_; }

 private:
  bool failed_ = false;
};

// A whole decimal integer with an optional sign, as a 32-bit value; nothing otherwise.
std::optional<int32_t> ParseInteger(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!IsDecimalNumber(s)) return std::nullopt;
  int64_t value = 0;
  for (char c : s) {
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// The decimal digits' value modulo 2^bits (the digits are known to be decimal).
uint32_t LowBits(std::string_view digits, int bits) {
  const uint32_t modulus = 1u << bits;
  uint32_t value = 0;
  for (char c : digits) value = (value * 10 + static_cast<uint32_t>(c - '0')) % modulus;
  return value;
}

std::string InvalidIntegerText(std::string_view value, std::string_view section,
                               std::string_view key) {
  return "'" + std::string(value) + "' ist keine gültige ganze Zahl (Abschnitt '" +
         std::string(section) + "', Eintrag '" + std::string(key) +
         "'). Der Katalog wurde nur bis hierhin gelesen!";
}

void ClearCatalogue() {
  std::fill(Samples.begin(), Samples.end(), TAlarm_struct{});
  std::fill(CategoryNames.begin(), CategoryNames.end(), std::string());
  CategoryVisible.fill(0);
  SampleCount = 0;
  CategoryCount = 0;
  ShortPauseId = DefaultShortPauseId;
  FixMessages.clear();
  FixMessageCount = 0;
  FixMessageLength = 0;
  FixMessageBytes = 0;
}

// The samples of one category section. False when a sample number is no integer (the load
// ends there).
bool ReadCategorySamples(const IniFile& ini, int category, std::set<std::string>& textsSeen,
                         LoadErrors& errors) {
  const std::string& section = CategoryNames[static_cast<size_t>(category)];
  for (const auto& [key, value] : ini.ReadSectionValues(section)) {
    if (!StartsWithTextAscii(key, SampleKeyPrefix)) {
      errors.Report(std::string(SyntaxErrorText));
      continue;
    }
    const std::string_view digits = std::string_view(key).substr(SampleKeyPrefix.size());
    const auto number = ParseInteger(digits);
    if (!number) {
      errors.ReportAlways(InvalidIntegerText(digits, section, key));
      return false;
    }
    if (*number <= 0 || *number > MaxSampleKeyNumber) continue;
    if (*number > MaxCatalogueEntries) {
      errors.Report("Sample-Nummer " + std::to_string(*number) + " im Abschnitt '" + section +
                    "' ist zu groß: Sample-Nummern gehen von 1 bis 255. '" + key +
                    "' wird übergangen!");
      continue;
    }
    if (SampleCount >= MaxCatalogueEntries) {
      errors.Report("Zu viele Samples: der Katalog fasst höchstens 255. '" + key +
                    "' im Abschnitt '" + section + "' und alle folgenden werden übergangen!");
      continue;
    }
    TAlarm_struct& sample = Samples[static_cast<size_t>(++SampleCount)];
    sample.id = static_cast<uint8_t>(*number);
    sample.category = static_cast<uint8_t>(category);
    const size_t comma = value.find(',');
    if (comma == std::string::npos) {
      sample.filename = value;
    } else {
      sample.text = value.substr(0, comma);
      sample.filename = value.substr(comma + 1);
    }
    // Every duplicate is shown, whatever was reported before.
    if (!textsSeen.insert(sample.text).second)
      errors.ReportAlways("Syntax Error in INI File : '" + sample.text + "' used twice!");
  }
  return true;
}

// Parses one [FIXMSGS] value into `message`, marking the samples it speaks. False at the first
// entry that is empty, holds anything but digits and blanks, or names no possible sample id.
bool ParseFixMessageList(std::string_view value, TFixNachricht& message) {
  if (value.empty()) return true;
  size_t stored = 0;
  std::string entry;
  for (size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] != ',') {
      if (value[i] != ' ') entry += value[i];
      continue;
    }
    if (!IsDecimalNumber(entry)) return false;
    // An id above 255 would wrap onto another sample.
    uint32_t id = 0;
    for (char c : entry)
      id = std::min<uint32_t>(id * 10 + static_cast<uint32_t>(c - '0'), MaxCatalogueEntries + 1);
    if (id > MaxCatalogueEntries || stored >= message.nachricht.size()) return false;
    message.nachricht[stored++] = static_cast<uint8_t>(id);
    if (const uint8_t index = FindSampleById(static_cast<uint8_t>(id)))
      Samples[index].in_fix_message = 1;
    entry.clear();
  }
  return true;
}

void ReadFixMessages(const IniFile& ini, LoadErrors& errors) {
  const auto entries = ini.ReadSectionValues(FixMessagesSection);
  size_t longest = 0;
  for (const auto& entry : entries)
    longest = std::max<size_t>(
        longest,
        static_cast<size_t>(std::count(entry.second.begin(), entry.second.end(), ',')) + 1);
  const int64_t length = static_cast<int64_t>(longest) + 1;
  const int64_t bytes = (length + 2) * static_cast<int64_t>(entries.size());
  FixMessageCount = static_cast<uint16_t>(std::min<size_t>(entries.size(), UINT16_MAX));
  FixMessageLength = static_cast<uint16_t>(std::min<int64_t>(length, UINT16_MAX));
  FixMessageBytes = static_cast<int32_t>(std::min<int64_t>(bytes, INT32_MAX));

  if (bytes == 0) {
    errors.Report("keine Fixnachrichten definiert ?!?");
    return;
  }
  if (longest > MaxFixMessageEntries) {
    for (const auto& [key, value] : entries) {
      const auto count = static_cast<size_t>(std::count(value.begin(), value.end(), ',')) + 1;
      if (count == longest) {
        errors.Report("Fixnachricht '" + key + "' hat " + std::to_string(count) +
                      " Einträge, höchstens 255 sind möglich!");
        break;
      }
    }
    return;
  }
  if (bytes > FixMessageAreaBytes) {
    errors.Report("zu viel speicher fur die fixnachrichten benötigt!");
    return;
  }

  FixMessages.assign(entries.size(), TFixNachricht{0, std::vector<uint8_t>(FixMessageLength, 0)});
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& [key, value] = entries[i];
    const size_t underscore = key.find('_');
    const std::string_view number = underscore == std::string::npos
                                        ? std::string_view(key)
                                        : std::string_view(key).substr(underscore + 1);
    if (!IsDecimalNumber(number)) continue;  // stays number 0 with an all-zero list
    FixMessages[i].fixnachricht_id = static_cast<uint16_t>(LowBits(number, 16));
    if (!ParseFixMessageList(value, FixMessages[i])) errors.Report("Error at " + key + "!");
  }
}

}  // namespace

bool LoadVoiceCatalogue(const std::string& path) {
  ClearCatalogue();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return false;

  LoadErrors errors;
  IniFile ini;
  std::string reason;
  if (!ini.Load(path, &reason)) {
    errors.Report("Die Datei '" + path + "' kann nicht gelesen werden: " + reason);
    return false;
  }

  const std::string visible = ini.ReadString(GenericSection, "sichtbar", "kategorie1");
  std::set<std::string> textsSeen;
  for (const auto& [key, value] : ini.ReadSectionValues(CategoriesSection)) {
    if (!StartsWithTextAscii(key, CategoryKeyPrefix)) {
      errors.Report(std::string(SyntaxErrorText));
      continue;
    }
    if (CategoryCount >= MaxCatalogueEntries) {
      errors.Report("Zu viele Kategorien: der Katalog fasst höchstens 255. '" + key +
                    "' und alle folgenden werden übergangen!");
      break;
    }
    const int n = ++CategoryCount;
    if (visible.find(std::string(CategoryKeyPrefix) + std::to_string(n)) != std::string::npos)
      CategoryVisible[static_cast<size_t>(n)] = 1;
    CategoryNames[static_cast<size_t>(n)] = value;
    if (!ReadCategorySamples(ini, n, textsSeen, errors)) return false;
  }

  const std::string shortPause =
      ini.ReadString(GenericSection, "kurzpause", std::to_string(DefaultShortPauseId));
  const auto pauseId = ParseInteger(shortPause);
  if (!pauseId) {
    errors.ReportAlways(InvalidIntegerText(shortPause, GenericSection, "kurzpause"));
    return false;
  }
  if (*pauseId < 1 || *pauseId > MaxCatalogueEntries)
    errors.Report("kurzpause=" + shortPause +
                  ": die kurze Pause muss eine Sample-Nummer von 1 bis 255 sein!");
  else
    ShortPauseId = *pauseId;

  ReadFixMessages(ini, errors);
  return !errors.Failed();
}

uint8_t FindSampleById(uint8_t id) {
  for (int i = 1; i <= SampleCount; ++i)
    if (Samples[static_cast<size_t>(i)].id == id) return static_cast<uint8_t>(i);
  return 0;
}

uint8_t FindSampleByText(std::string_view text) {
  for (int i = 1; i <= SampleCount; ++i)
    if (Samples[static_cast<size_t>(i)].text == text) return static_cast<uint8_t>(i);
  return 0;
}

bool IsShortPause(uint8_t id) {
  return id == ShortPauseId;
}

bool IsPauseSample(uint8_t id) {
  const uint8_t index = FindSampleById(id);
  return index != 0 && Samples[index].filename.find("pause_") != std::string::npos &&
         !IsShortPause(id);
}

bool IsDecimalNumber(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace varnex
