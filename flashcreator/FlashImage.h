// The voice flash image "flash.bin": a 65,536-byte header (sample directory and fix message
// table) followed by the A-law bytes of every sample of the catalogue, back to back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "LogLines.h"
#include "VoiceCatalogue.h"

namespace varnex {

// Header layout; numbers are little-endian.
constexpr size_t FlashHeaderBytes = 65536;
constexpr size_t SampleDirectoryEntries = 1024;  // entry k describes the sample with id k
constexpr size_t SampleEntryBytes = 6;           // 32-bit position, 16-bit length
constexpr size_t FixMessageLengthOffset = 6144;  // the two header words of the fix messages
constexpr size_t FixMessageCountOffset = 6146;
constexpr size_t FixMessageRecordsOffset = 6148;
constexpr size_t FixMessageTableEnd = 10240;

// What the device can address.
constexpr int64_t SampleAreaBytes = 983040;  // header and samples make 1,048,576 bytes
constexpr int64_t MaxSampleBytes = 65535;    // the directory's length field is 16 bits

constexpr const char* FlashFileName = "flash.bin";
constexpr const char* AlawExtension = ".al";
constexpr const char* WavExtension = ".wav";

// The working folders below a program folder, each with trailing "/".
struct FlashFolders {
  std::string alaw;   // "tmp/alaw/": the bytes that go into the flash
  std::string wav;    // "tmp/wav/": the copies for listening
  std::string flash;  // "tmp/flash/": where flash.bin is written
};
FlashFolders FlashFoldersOf(const std::string& programDir);

// The header of the image built last.
extern std::array<uint8_t, FlashHeaderBytes> FlashImage;

struct SampleMeasure {
  int64_t total = 0;                  // bytes of all A-law files found
  std::vector<std::string> statuses;  // per sample (Samples[1] first): "OK", or empty
  std::vector<std::string> warnings;  // one line per missing A-law file
};

// The "Status" of a sample in the list: "OK" when its A-law file has bytes, else empty.
std::string SampleStatus(const TAlarm_struct& sample);

// One warning line per sample of the fix message category (the sixth) that no fix message
// speaks, in sample order.
std::vector<std::string> UnusedFixMessageSamples();

// Measures every sample's A-law file in alawFolder (trailing "/") and stores its size in
// alaw_size (0 when it is missing).
SampleMeasure MeasureSamples(const std::string& alawFolder);

// The two capacity lines of the log for a sample total (percentages rounded, halves to even).
std::array<std::string, 2> CapacityReport(int64_t sampleBytes);

// Fills the fix message records of a header buffer (FlashHeaderBytes long) from FixMessages:
// the records from FixMessageRecordsOffset on, 0xFF after them up to FixMessageTableEnd.
void WriteFixMessageTable(uint8_t* image);

enum class FlashBuildOutcome {
  Created,    // the file holds the new image
  Refused,    // the device could not address it; nothing written
  NotWritten  // the file could not be written; an older file is untouched
};

struct FlashBuildResult {
  FlashBuildOutcome outcome = FlashBuildOutcome::NotWritten;
  int64_t sampleBytes = 0;  // sample data in the image
  int64_t fileBytes = 0;    // size of the written file
};

// Builds the image from the catalogue and the A-law files as they are now (each sample's
// alaw_size is set to what went in, so the directory describes exactly the appended bytes) and
// writes it to flashPath whole or not at all. Progress and errors go to `log`; failures are also
// shown in a message box (caption "Varnex - Error"). Images the device cannot address (sample
// data above SampleAreaBytes, a sample above MaxSampleBytes, fix messages above their area) are
// refused.
FlashBuildResult BuildFlashFile(const std::string& alawFolder, const std::string& flashPath,
                                ILogLines& log);

// x * 100 / total rounded to the nearest integer, halves to even (x, total >= 0, total > 0).
int64_t PercentHalfEven(int64_t x, int64_t total);

}  // namespace varnex
