// The voice prompt catalogue: the samples, categories and fix messages of a language INI file,
// held in module-level tables (one catalogue per program, all indices 1-based).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// One voice prompt sample.
struct TAlarm_struct {
  uint8_t id = 0;              // sample id in the device
  std::string text;            // display text (UTF-8)
  std::string filename;        // base name of the ".al" and ".wav" files
  uint8_t category = 0;        // 1-based category number
  int32_t alaw_size = 0;       // set by the flash creator's listing; 0 = file missing
  uint8_t in_fix_message = 0;  // 1 when a fix message speaks the sample
};

// One fixed announcement: sample ids in speaking order, then zeros up to FixMessageLength.
struct TFixNachricht {
  uint16_t fixnachricht_id = 0;
  std::vector<uint8_t> nachricht;
};

// Sample ids, category numbers and the lookups' indices are one byte.
constexpr int MaxCatalogueEntries = 255;
// Sample key numbers above this are skipped without a message; those from 256 up are refused.
constexpr int MaxSampleKeyNumber = 1024;
constexpr int MaxFixMessageEntries = 255;
// Room for the fix message records in the flash image.
constexpr int FixMessageAreaBytes = 4092;
constexpr int DefaultShortPauseId = 50;
constexpr const char* CatalogueCaption = "Varnex";

extern std::array<TAlarm_struct, MaxCatalogueEntries + 1> Samples;  // [1..SampleCount]
extern int32_t SampleCount;
extern std::array<std::string, MaxCatalogueEntries + 1> CategoryNames;  // [1..CategoryCount]
extern std::array<uint8_t, MaxCatalogueEntries + 1> CategoryVisible;    // 1 = in the composer
extern int32_t CategoryCount;
extern int32_t ShortPauseId;
extern std::vector<TFixNachricht> FixMessages;  // 0-based, in [FIXMSGS] key order
extern uint16_t FixMessageCount;
extern uint16_t FixMessageLength;  // longest list + 1
extern int32_t FixMessageBytes;    // (FixMessageLength + 2) * FixMessageCount

// Replaces the catalogue with the INI file's content. False when the file is missing (without
// a message) or when any error was found; errors are shown through the prompter, caption
// "Varnex", error icon. After a failed load the tables hold what was read up to the failure.
bool LoadVoiceCatalogue(const std::string& path);

// Index into Samples of the first sample with this id; 0 when there is none.
uint8_t FindSampleById(uint8_t id);
// Index of the first sample whose text equals `text` exactly; 0 when there is none.
uint8_t FindSampleByText(std::string_view text);
bool IsShortPause(uint8_t id);
// A longer pause: the sample's file name contains "pause_" and it is not the short pause.
bool IsPauseSample(uint8_t id);
// Non-empty and only the digits 0 to 9.
bool IsDecimalNumber(std::string_view s);

}  // namespace varnex
