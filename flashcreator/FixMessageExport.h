// The fix messages of the catalogue as the viewer shows them (words, a C array) and as the
// C header "fixnachrichten.h" that the device firmware is built with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnex {

// Sample ids that end a line of the word display (and are shown as a blank, like the short
// pause).
constexpr uint8_t LineBreakSampleA = 51;
constexpr uint8_t LineBreakSampleB = 52;

constexpr const char* FixMessageHeaderName = "fixnachrichten.h";

// The list item of a fix message: "fixnachricht_" + number.
std::string FixMessageItem(uint16_t number);
// The number after the first "_" of an item (its leading digits; 0 when there are none).
uint16_t FixMessageNumberOfItem(const std::string& item);

// The sample ids of the first fix message with this number, up to its first 0; empty when no
// message has the number.
std::vector<uint8_t> FixMessageWords(uint16_t number);

// The message as lines of words: each sample's text without separators, the short pause and the
// line breaks 51 and 52 as a blank; 51 and 52 end a line. The last line is there even when empty.
std::vector<std::string> FixMessageWordLines(uint16_t number);

// The message as a C array, two lines: "const " and "  unsigned char fixnachricht_<n>[..] = {..};".
std::vector<std::string> FixMessageCArray(uint16_t number);

// The lines of "fixnachrichten.h": the table of every fix message, each initialiser holding
// exactly FixMessageLength numbers.
std::vector<std::string> FixMessageHeaderLines();

// Writes the lines, each ended by CR LF, whole or not at all. False with errorText on failure.
bool SaveLinesCrLf(const std::string& path, const std::vector<std::string>& lines,
                   std::string* errorText = nullptr);

}  // namespace varnex
