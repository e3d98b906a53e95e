// Windows-1252 bytes (record texts, reports) to and from UTF-8 (everything the user sees).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnex {

// Every byte has a character: the five bytes that Windows-1252 leaves undefined stand for the
// control characters of the same value, so that bytes read from a device survive a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// The text with each byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// Nothing when the text is not valid UTF-8 or holds a character that has no Windows-1252 byte.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

}  // namespace varnex
