#include "FlashImage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Host.h"
#include "SoundPlayer.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

namespace varnex {

std::array<uint8_t, FlashHeaderBytes> FlashImage{};

namespace {

constexpr const char* ErrorCaption = "Varnex - Error";
// The samples of this category are spoken only in fix messages.
constexpr uint8_t FixMessageCategory = 6;

void PutU16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

void PutU32(uint8_t* at, uint32_t value) {
  PutU16(at, value & 0xFFFF);
  PutU16(at + 2, value >> 16);
}

std::string AlawPath(const std::string& alawFolder, const TAlarm_struct& sample) {
  return alawFolder + sample.filename + AlawExtension;
}

// The sample's A-law file as it exists (a name differing only in letter case counts).
std::string FoundAlawFile(const std::string& alawFolder, const TAlarm_struct& sample) {
  return ExistingFile(AlawPath(alawFolder, sample));
}

// Why the device could not address an image of these samples; empty when it can.
std::vector<std::string> RefusalReasons(const std::string& alawFolder, int64_t total) {
  std::vector<std::string> reasons;
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    if (s.alaw_size > MaxSampleBytes)
      reasons.push_back("sample " + std::to_string(s.id) + " (" + AlawPath(alawFolder, s) +
                        ") has " + std::to_string(s.alaw_size) + " bytes, a sample may have " +
                        std::to_string(MaxSampleBytes) + " at most");
  }
  if (total > SampleAreaBytes)
    reasons.push_back("the samples take " + std::to_string(total) + " bytes, the flash holds " +
                      std::to_string(SampleAreaBytes));
  if (FixMessageBytes > FixMessageAreaBytes ||
      FixMessages.size() != static_cast<size_t>(FixMessageCount))
    reasons.push_back("the fix messages take " + std::to_string(FixMessageBytes) +
                      " bytes, the flash holds " + std::to_string(FixMessageAreaBytes));
  return reasons;
}

void BuildHeader() {
  FlashImage.fill(0xFF);
  std::fill_n(FlashImage.begin(), SampleDirectoryEntries * SampleEntryBytes, 0);
  PutU16(&FlashImage[FixMessageLengthOffset], FixMessageLength);
  PutU16(&FlashImage[FixMessageCountOffset], FixMessageCount);
  WriteFixMessageTable(FlashImage.data());
  uint32_t position = 0;
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    uint8_t* entry = &FlashImage[s.id * SampleEntryBytes];
    const auto size = static_cast<uint32_t>(std::max<int32_t>(s.alaw_size, 0));
    // A later sample with the same id takes the entry; the data of both stay in the file.
    PutU32(entry, size ? position : 0);
    PutU16(entry + 4, size & 0xFFFF);
    position += size;
  }
}

}  // namespace

FlashFolders FlashFoldersOf(const std::string& programDir) {
  return {programDir + "tmp/alaw/", programDir + "tmp/wav/", programDir + "tmp/flash/"};
}

std::string SampleStatus(const TAlarm_struct& sample) {
  return sample.alaw_size > 0 ? "OK" : "";
}

std::vector<std::string> UnusedFixMessageSamples() {
  std::vector<std::string> lines;
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    if (s.category == FixMessageCategory && s.in_fix_message == 0)
      lines.push_back("WARNING: sample " + std::to_string(s.id) +
                      " ist definiert in Kategorie Fixnachrichten, wird aber nicht verwendet!");
  }
  return lines;
}

SampleMeasure MeasureSamples(const std::string& alawFolder) {
  SampleMeasure result;
  for (int i = 1; i <= SampleCount; ++i) {
    TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    const std::string found = FoundAlawFile(alawFolder, s);
    std::error_code ec;
    const uintmax_t size = found.empty() ? 0 : std::filesystem::file_size(found, ec);
    if (found.empty() || ec) {
      s.alaw_size = 0;
      result.statuses.emplace_back();
      result.warnings.push_back("WARNING: " + AlawPath(alawFolder, s) +
                                " not found, file skipped !");
      continue;
    }
    s.alaw_size = static_cast<int32_t>(std::min<uintmax_t>(size, INT32_MAX));
    result.total += s.alaw_size;
    result.statuses.push_back(SampleStatus(s));
  }
  return result;
}

int64_t PercentHalfEven(int64_t x, int64_t total) {
  const int64_t scaled = x * 100;
  int64_t quotient = scaled / total;
  const int64_t twiceRest = (scaled % total) * 2;
  if (twiceRest > total || (twiceRest == total && quotient % 2 == 1)) ++quotient;
  return quotient;
}

std::array<std::string, 2> CapacityReport(int64_t sampleBytes) {
  return {"Info: " + std::to_string(SampleCount) + " A-ALaw Samples verbrauchen " +
              std::to_string(sampleBytes) + " bytes von " + std::to_string(SampleAreaBytes) + " (" +
              std::to_string(PercentHalfEven(sampleBytes, SampleAreaBytes)) + "%)",
          "Info: " + std::to_string(FixMessageCount) +
              " Fixnachrichten (Laenge: " + std::to_string(FixMessageLength) + ") verbrauchen " +
              std::to_string(FixMessageBytes) + " bytes von " +
              std::to_string(FixMessageAreaBytes) + " (" +
              std::to_string(PercentHalfEven(FixMessageBytes, FixMessageAreaBytes)) + "%)"};
}

void WriteFixMessageTable(uint8_t* image) {
  std::fill(image + FixMessageRecordsOffset, image + FixMessageTableEnd, 0xFF);
  const size_t recordBytes = FixMessageLength + 2u;
  size_t offset = FixMessageRecordsOffset;
  for (const TFixNachricht& message : FixMessages) {
    // The catalogue keeps the records inside the area; a table that would leave it is refused
    // before any image is written.
    if (offset + recordBytes > FixMessageTableEnd) break;
    PutU16(image + offset, message.fixnachricht_id);
    std::fill_n(image + offset + 2, FixMessageLength, 0);
    std::copy_n(message.nachricht.begin(),
                std::min<size_t>(message.nachricht.size(), FixMessageLength), image + offset + 2);
    offset += recordBytes;
  }
}

FlashBuildResult BuildFlashFile(const std::string& alawFolder, const std::string& flashPath,
                                ILogLines& log) {
  FlashBuildResult result;
  log.Add("Creating " + flashPath + " ...");

  // The files as they are now decide both the directory and the data.
  std::vector<std::string> data(static_cast<size_t>(SampleCount));
  for (int i = 1; i <= SampleCount; ++i) {
    TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    std::string& bytes = data[static_cast<size_t>(i - 1)];
    const std::string found = FoundAlawFile(alawFolder, s);
    std::string error;
    if (!found.empty() && !ReadFileBytes(found, bytes, &error)) {
      bytes.clear();
      log.Add("WARNING: " + error + ", file skipped !");
    }
    s.alaw_size = static_cast<int32_t>(std::min<size_t>(bytes.size(), INT32_MAX));
    result.sampleBytes += static_cast<int64_t>(bytes.size());
  }

  const std::vector<std::string> reasons = RefusalReasons(alawFolder, result.sampleBytes);
  if (!reasons.empty()) {
    std::string text = flashPath + " was not created, the device could not address it:";
    for (const std::string& reason : reasons) {
      log.Add("ERROR: " + reason + " !");
      text += "\n- " + reason;
    }
    log.Add("ERROR: " + flashPath + " not created !");
    MessageBox(text, ErrorCaption, MsgIcon::Error);
    result.outcome = FlashBuildOutcome::Refused;
    return result;
  }

  BuildHeader();
  std::string file(reinterpret_cast<const char*>(FlashImage.data()), FlashImage.size());
  file.reserve(FlashImage.size() + static_cast<size_t>(result.sampleBytes));
  for (const std::string& bytes : data) file += bytes;

  std::string error;
  if (!WriteFileAtomic(flashPath, file, &error)) {
    MessageBox("Could not create " + flashPath + "!", ErrorCaption, MsgIcon::Error);
    log.Add("ERROR: resetting " + flashPath + " failed !");
    log.Add("ERROR: " + error);
    return result;
  }
  result.outcome = FlashBuildOutcome::Created;
  result.fileBytes = static_cast<int64_t>(file.size());
  log.Add(flashPath + " created (" + std::to_string(file.size() / 1024) + " kB)");
  return result;
}

}  // namespace varnex
