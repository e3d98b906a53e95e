#include "DeviceConfig.h"

#include <algorithm>
#include <cstring>

#include "Cp1252.h"

namespace varnex {

bool PackText(std::string_view utf8, uint8_t* field, size_t w) {
  const auto bytes = Utf8ToCp1252(utf8);
  if (!bytes || bytes->size() > w + 1 || bytes->find('\0') != std::string::npos) return false;
  std::memset(field, 0, w + 1);
  std::memcpy(field, bytes->data(), bytes->size());
  return true;
}

std::string UnpackText(const uint8_t* field, size_t w) {
  const auto* begin = reinterpret_cast<const char*>(field);
  const size_t length = std::find(begin, begin + w + 1, '\0') - begin;
  return Cp1252ToUtf8(std::string_view(begin, length));
}

void TDeviceConfig::ApplyDefaults() {
  SetCountryCode("49");
  SetIntlPrefix("00");
  SetNationalPrefix("0");
  SetPowerFailNotify(false);
  SetFreeLinesOnAlarm(false);
  for (size_t i = 0; i < DefaultAlarmTexts.size(); ++i) {
    uint8_t* text = Input(i).AlarmText();
    std::memset(text, 0, alarm_input::AlarmTextSize);
    std::copy(DefaultAlarmTexts[i].begin(), DefaultAlarmTexts[i].end(), text);
  }
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) Input(i).SetPasses(DefaultPasses);
}

std::string TDeviceConfig::FormatNumber(TConstPhoneNumber number) const {
  std::string result;
  const std::string country = number.Country();
  if (!country.empty() && country != CountryCode()) result = IntlPrefix() + country + " ";
  const std::string area = number.Area();
  if (!area.empty()) result = result.empty() ? NationalPrefix() + area + " " : result + area + " ";
  return result + number.Subscriber();
}

int CountActive(const uint8_t* list) {
  int count = 0;
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    const TConstPhoneEntry entry(list + k * phone_entry::Size);
    if (entry.Used() && entry.Active()) ++count;
  }
  return count;
}

}  // namespace varnex
