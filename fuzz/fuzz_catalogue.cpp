// The language INI catalogue: arbitrary file bytes through the INI reader and LoadVoiceCatalogue,
// then every lookup over the tables it left, loaded or not.
#include <string>

#include "FuzzSupport.h"
#include "IniFile.h"
#include "VoiceCatalogue.h"

using namespace varnex;
using varnex::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  IniFile ini;
  ini.Parse(bytes);
  for (const std::string& section : ini.ReadSections()) {
    Check(ini.SectionExists(section), "a listed section exists");
    Check(fuzz::IsUtf8(section), "section names are UTF-8");
    for (const auto& [key, value] : ini.ReadSectionValues(section)) {
      Check(fuzz::IsUtf8(key) && fuzz::IsUtf8(value), "keys and values are UTF-8");
      ini.ReadString(section, key);
    }
  }

  const bool loaded = LoadVoiceCatalogue(fuzz::ScratchFile("catalogue.ini", bytes));
  Check(loaded || quiet.prompter.shown > 0 || SampleCount == 0, "a failed load says why");
  Check(SampleCount >= 0 && SampleCount <= MaxCatalogueEntries, "sample count in range");
  Check(CategoryCount >= 0 && CategoryCount <= MaxCatalogueEntries, "category count in range");
  for (int id = 0; id < 256; ++id) {
    const auto b = static_cast<uint8_t>(id);
    FindSampleById(b);
    IsShortPause(b);
    IsPauseSample(b);
  }
  if (!loaded) return 0;
  Check(FixMessages.size() == FixMessageCount, "fix message count matches the table");
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    Check(fuzz::IsUtf8(s.text) && fuzz::IsUtf8(s.filename), "sample texts are UTF-8");
    const uint8_t found = FindSampleById(s.id);
    Check(found >= 1 && found <= i && Samples[found].id == s.id, "every sample's id is found");
    Check(FindSampleByText(s.text) != 0, "every sample's text is found");
  }
  for (const TFixNachricht& m : FixMessages)
    Check(m.nachricht.size() <= FixMessageLength, "fix message within its record length");
  return 0;
}
