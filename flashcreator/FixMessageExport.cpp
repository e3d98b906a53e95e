#include "FixMessageExport.h"

#include <algorithm>
#include <utility>

#include "VoiceCatalogue.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr size_t HeaderIdWidth = 4;  // the message number is padded with blanks to this width

// "10, 50, 11, " : each id followed by a comma and a blank.
std::string IdList(const std::vector<uint8_t>& ids) {
  std::string list;
  for (uint8_t id : ids) list += std::to_string(id) + ", ";
  return list;
}

// The message's sample ids up to its first 0.
std::vector<uint8_t> IdsOf(const TFixNachricht& message) {
  return {message.nachricht.begin(),
          std::find(message.nachricht.begin(), message.nachricht.end(), 0)};
}

}  // namespace

std::string FixMessageItem(uint16_t number) {
  return "fixnachricht_" + std::to_string(number);
}

uint16_t FixMessageNumberOfItem(const std::string& item) {
  const size_t underscore = item.find('_');
  uint32_t number = 0;
  for (size_t i = underscore == std::string::npos ? item.size() : underscore + 1;
       i < item.size() && IsDigit(item[i]); ++i)
    number = std::min<uint32_t>(number * 10 + static_cast<uint32_t>(item[i] - '0'), 0xFFFFFu);
  return static_cast<uint16_t>(number & 0xFFFF);
}

std::vector<uint8_t> FixMessageWords(uint16_t number) {
  const auto message =
      std::find_if(FixMessages.begin(), FixMessages.end(),
                   [number](const TFixNachricht& m) { return m.fixnachricht_id == number; });
  return message == FixMessages.end() ? std::vector<uint8_t>{} : IdsOf(*message);
}

std::vector<std::string> FixMessageWordLines(uint16_t number) {
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t id : FixMessageWords(number)) {
    const bool lineBreak = id == LineBreakSampleA || id == LineBreakSampleB;
    if (lineBreak || IsShortPause(id)) {
      line += ' ';
    } else if (const uint8_t index = FindSampleById(id)) {
      line += Samples[index].text;
    }
    if (lineBreak) lines.push_back(std::exchange(line, {}));
  }
  lines.push_back(line);
  return lines;
}

std::vector<std::string> FixMessageCArray(uint16_t number) {
  const std::vector<uint8_t> ids = FixMessageWords(number);
  return {"const ", "  unsigned char fixnachricht_" + std::to_string(number) + "[" +
                        std::to_string(ids.size() + 1) + "] = {" + IdList(ids) + "0};"};
}

std::vector<std::string> FixMessageHeaderLines() {
  std::vector<std::string> lines = {
      "/*",
      "    fixnachrichten.h",
      "",
      "    definiert die festen Voice-Nachrichtem die bei",
      "    administrativen anrufen zum Varnex ",
      "    benoetigt werden",
      "",
      "*/",
      "",
      "",
      "#define MAX_FIXMSG_LEN " + std::to_string(FixMessageLength),
      "#define MAX_SAMPLE_COUNT " + std::to_string(FixMessageCount),
      "",
      "// typedef WORD u16;",
      "// typedef unsigned char u8;",
      "",
      "typedef  struct {",
      "  u16 fixnachricht_id;",
      "  u8  nachricht[MAX_FIXMSG_LEN];",
      "} TFixNachricht;",
      "",
      "",
      "",
      "const TFixNachricht fixnachrichten[MAX_SAMPLE_COUNT] = {",
  };
  for (size_t i = 0; i < FixMessages.size(); ++i) {
    const TFixNachricht& message = FixMessages[i];
    const std::string number = std::to_string(message.fixnachricht_id);
    const std::vector<uint8_t> ids = IdsOf(message);
    std::string line = "  {" + number + ",";
    if (number.size() < HeaderIdWidth) line += std::string(HeaderIdWidth - number.size(), ' ');
    line += "{" + IdList(ids);
    for (size_t k = ids.size() + 1; k < FixMessageLength; ++k) line += "0, ";
    line += "0}}";
    if (i + 1 < FixMessages.size()) line += ",";
    lines.push_back(line);
  }
  lines.push_back("};");
  return lines;
}

bool SaveLinesCrLf(const std::string& path, const std::vector<std::string>& lines,
                   std::string* errorText) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return WriteFileAtomic(path, text, errorText);
}

}  // namespace varnex
