#include "IniFile.h"

#include "Cp1252.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  constexpr std::string_view blanks = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool StartsWithTextAscii(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

bool IniFile::Load(const std::string& path, std::string* errorText) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, errorText)) {
    sections_.clear();
    return false;
  }
  Parse(bytes);
  return true;
}

void IniFile::Parse(std::string_view bytes) {
  sections_.clear();
  const std::string text = bytes.substr(0, Utf8Bom.size()) == Utf8Bom
                               ? ValidUtf8(bytes.substr(Utf8Bom.size()))
                               : Cp1252ToUtf8(bytes);
  Section* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      sections_.push_back(
          {std::string(Trim(line.substr(
               1, close == std::string_view::npos ? std::string_view::npos : close - 1))),
           {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;  // lines before the first section belong to none
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      current->entries.emplace_back(std::string(line), std::string());
    } else {
      current->entries.emplace_back(std::string(Trim(line.substr(0, equals))),
                                    std::string(Unquote(Trim(line.substr(equals + 1)))));
    }
  }
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (SameTextAscii(s.name, section)) return &s;
  return nullptr;
}

bool IniFile::SectionExists(std::string_view section) const {
  return Find(section) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const auto& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = Find(section))
    for (const auto& entry : s->entries) keys.push_back(entry.first);
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(
    std::string_view section) const {
  const Section* s = Find(section);
  return s ? s->entries : std::vector<std::pair<std::string, std::string>>{};
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  if (const Section* s = Find(section))
    for (const auto& entry : s->entries)
      if (SameTextAscii(entry.first, key)) return entry.second;
  return std::string(defaultValue);
}

}  // namespace varnex
