// Small helpers shared by all programs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

// Waits the given milliseconds while letting the window system process messages. Sleeps in
// slices of a few milliseconds instead of spinning.
void Delay(uint16_t milliseconds);

// Milliseconds since the system started (wraps like a 32-bit tick count); log line prefixes.
uint32_t GetTickCount();

// A private per-user temporary folder (mode 0700, with trailing "/"); empty when none can be had.
std::string GetTempDir();

// Collapses runs of blanks into one blank.
std::string RemoveDoubleSpaces(std::string_view text);

bool IsDigit(char c);

// Decimal with a leading "0" below 10.
std::string TwoDigits(int value);

// Two upper-case hexadecimal digits.
std::string HexByte(uint8_t value);

// The older programs asked for the Windows NT family; on Linux there is none.
bool IsWinNT();

// Writes the file whole or not at all: a temporary file in the same folder, flushed, then
// renamed over the target. On failure the old file is untouched and errorText says why.
bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                     std::string* errorText = nullptr);

// Reads a whole file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* errorText = nullptr);

// The system's text for an errno value.
std::string ErrnoText(int error);

}  // namespace varnex
