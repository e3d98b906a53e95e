#include "AlarmTexts.h"

#include "VoiceCatalogue.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr int TriggerItems = 3;  // "nie", "Öffner", "Schliesser"

// Drops the last UTF-8 character.
void PopCharacter(std::string& text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

}  // namespace

std::string AlarmTextWords(const uint8_t* codes) {
  std::string text;
  for (size_t i = 0; i < alarm_input::AlarmTextSize && codes[i] != 0; ++i) {
    const uint8_t code = codes[i];
    if (IsShortPause(code)) continue;
    if (IsPauseSample(code)) {
      PopCharacter(text);
      text += ", ";
      continue;
    }
    if (const uint8_t index = FindSampleById(code)) text += Samples[index].text;
    text += ' ';
  }
  return RemoveDoubleSpaces(text);
}

std::string AlarmTextSummary(int triggerIndex, const uint8_t* codes) {
  return triggerIndex > 0 ? AlarmTextWords(codes) : std::string();
}

std::string AlarmTextHint(std::string_view summary) {
  std::string hint;
  for (size_t start = 0; start < summary.size();) {
    size_t end = summary.find('\n', start);
    if (end == std::string_view::npos) end = summary.size();
    std::string_view line = summary.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (start != 0) hint += "\r\n";
    hint += line;
    start = end + 1;
  }
  return hint;
}

int TriggerListIndex(uint8_t trigger) {
  return trigger < TriggerItems ? trigger : -1;
}

std::array<std::string, 2> AlarmTextSummaries(const TDeviceConfig& config) {
  std::array<std::string, 2> summaries;
  for (size_t i = 0; i < summaries.size(); ++i)
    summaries[i] =
        AlarmTextSummary(TriggerListIndex(config.Input(i).Trigger()), config.Input(i).AlarmText());
  return summaries;
}

}  // namespace varnex
