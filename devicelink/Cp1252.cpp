#include "Cp1252.h"

#include <array>
#include <cstdint>

namespace varnex {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::optional<uint8_t> ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  for (size_t i = 0; i < High.size(); ++i)
    if (High[i] == c) return static_cast<uint8_t>(0x80 + i);
  return std::nullopt;
}

// Decodes one UTF-8 sequence at pos (advancing it); nothing when malformed or overlong.
std::optional<char32_t> NextCodePoint(std::string_view s, size_t& pos) {
  const auto lead = static_cast<uint8_t>(s[pos]);
  size_t extra = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= s.size()) return std::nullopt;
  for (size_t i = 1; i <= extra; ++i) {
    const auto b = static_cast<uint8_t>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  constexpr char32_t Smallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < Smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  pos += extra + 1;
  return c;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char32_t{b});
  }
  return out;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    if (NextCodePoint(text, pos)) {
      out.append(text.substr(start, pos - start));
    } else {
      AppendUtf8(out, 0xFFFD);
      pos = start + 1;
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const auto c = NextCodePoint(utf8, pos);
    if (!c) return std::nullopt;
    const auto b = ByteOf(*c);
    if (!b) return std::nullopt;
    out += static_cast<char>(*b);
  }
  return out;
}

}  // namespace varnex
