// A small language INI file with its prompt files in a program folder, for the flash image
// builder's tests and the flash creator's window tests.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ProgramHome.h"
#include "misc_functions.h"

namespace varnex::test {

struct SampleSpec {
  int id = 0;
  std::string text;
  std::string file;
  int category = 1;    // 1 to 6; 6 holds the samples only fix messages speak
  int alawBytes = -1;  // size of its ".al" file; -1: no such file
  bool wav = true;     // whether its ".wav" file exists
};

struct CatalogueSpec {
  std::vector<SampleSpec> samples;
  std::vector<std::pair<std::string, std::string>> fixMessages;  // [FIXMSGS] key, value
};

// Distinct bytes for each sample, so that a sample's data found at a wrong place shows.
inline std::string AlawBytes(int id, int count) {
  std::string bytes(static_cast<size_t>(count), '\0');
  for (int i = 0; i < count; ++i)
    bytes[static_cast<size_t>(i)] = static_cast<char>((id * 37 + i) % 251);
  return bytes;
}

// Creates home/tmp/{alaw,wav,flash}/ and writes the INI file and the samples' files there.
inline void WriteCatalogue(const std::string& home, const CatalogueSpec& catalogue,
                           const std::string& iniName = DefaultLanguageIni) {
  static const char* const categories[] = {"Meldungen",  "Zahlen", "Orte",
                                           "Ereignisse", "Pausen", "Fixnachrichten"};
  for (const char* folder : {"tmp/alaw", "tmp/wav", "tmp/flash"})
    std::filesystem::create_directories(home + folder);
  std::string ini = "[generic]\r\nsichtbar=kategorie1\r\nkurzpause=50\r\n\r\n[Kategorien]\r\n";
  for (int c = 1; c <= 6; ++c)
    ini += "kategorie" + std::to_string(c) + "=" + categories[c - 1] + "\r\n";
  for (int c = 1; c <= 6; ++c) {
    ini += std::string("\r\n[") + categories[c - 1] + "]\r\n";
    for (const SampleSpec& s : catalogue.samples) {
      if (s.category != c) continue;
      ini += "sample_" + std::to_string(s.id) + "=" + s.text + "," + s.file + "\r\n";
      if (s.alawBytes >= 0)
        WriteFileAtomic(home + "tmp/alaw/" + s.file + ".al", AlawBytes(s.id, s.alawBytes));
      if (s.wav) WriteFileAtomic(home + "tmp/wav/" + s.file + ".wav", "RIFF");
    }
  }
  ini += "\r\n[FIXMSGS]\r\n";
  for (const auto& [key, value] : catalogue.fixMessages) ini += key + "=" + value + "\r\n";
  WriteFileAtomic(home + iniName, ini);
}

// A catalogue whose fix messages show every form of the viewer and the header: a line break
// (51), the short pause, an unknown sample, an empty list, a five-digit number, and numbers in
// INI order that is not their order (10 before 4).
inline CatalogueSpec ViewerCatalogue() {
  return {{{240, "Willkommen", "willkommen", 6, 10},
           {241, "Code eingeben", "code", 6, 10},
           {101, "eins", "eins", 2, 10},
           {50, "", "pause_kurz", 5, 10},
           {51, "Pause", "pause_lang", 5, 10, false},
           {52, "lange Pause", "pause_extra", 5, 10}},
          {{"fixmsg_1", "240,51,241"},
           {"fixmsg_2", "240,50,101"},
           {"fixmsg_10", "99"},
           {"fixmsg_4", "52"},
           {"fixmsg_12345", "101"},
           {"fixmsg_7", ""},
           {"fixmsg_8", "1,2,3,4,5"}}};
}

}  // namespace varnex::test
