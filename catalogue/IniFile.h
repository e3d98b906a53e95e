// A read-only INI file with the semantics of the Windows profile functions, as the programs'
// language and DTMF command files expect them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnex {

// Sections and keys are found without regard to case; keys keep their file order; keys and
// values are trimmed; lines starting with ";" are comments; a value enclosed in a pair of
// matching quotes loses them. Of two sections (or keys) with the same name, the first counts.
// The file's bytes are Windows-1252 (UTF-8 when they begin with a UTF-8 byte order mark); all
// texts handed out are UTF-8.
class IniFile {
 public:
  // Reads and parses the file. False, with the reason in errorText, when it cannot be read.
  bool Load(const std::string& path, std::string* errorText = nullptr);
  // Parses the file's bytes, replacing what was read before.
  void Parse(std::string_view bytes);

  bool SectionExists(std::string_view section) const;
  // Section names in file order.
  std::vector<std::string> ReadSections() const;
  // The section's key names in file order (a line without "=" is a key without value); empty
  // when the section does not exist.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // The section's lines as (key, value) pairs in file order.
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;
  // The value of the first key of that name, or defaultValue when there is none.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {}) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  const Section* Find(std::string_view section) const;

  std::vector<Section> sections_;
};

// Compares ASCII letters without regard to case, as the profile functions compare names.
bool SameTextAscii(std::string_view a, std::string_view b);

// True when `text` begins with `prefix`, ASCII letters compared without regard to case.
bool StartsWithTextAscii(std::string_view text, std::string_view prefix);

}  // namespace varnex
