// The flash image builder over any language catalogue: the directory of a built image points at
// exactly the A-law bytes of each sample; a refused or failed build leaves the old image alone.
// Also the fix message views and the C header made from the same catalogue.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FixMessageExport.h"
#include "FlashImage.h"
#include "FuzzSupport.h"
#include "LogLines.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

using namespace varnex;
using varnex::fuzz::Check;

namespace {

std::string AlawFolder() {
  return fuzz::ScratchDir() + "alaw/";
}

uint32_t Le(const uint8_t* p, size_t bytes) {
  uint32_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = (v << 8) | p[i];
  return v;
}

}  // namespace

// A-law files for every sample the shipped catalogue names, and for one-letter names.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::LoadShippedCatalogue();
  std::vector<std::string> names;
  for (int i = 1; i <= SampleCount; ++i) names.push_back(Samples[static_cast<size_t>(i)].filename);
  for (char c = 'a'; c <= 'z'; ++c) names.emplace_back(1, c);
  std::string folder = AlawFolder();
  folder.pop_back();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) fuzz::Fail("no A-law folder");
  for (size_t k = 0; k < names.size(); ++k) {
    std::string bytes(1 + k * 37 % 300, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(k + i);
    fuzz::ScratchFile("alaw/" + names[k] + AlawExtension, bytes);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  const std::string_view ini(reinterpret_cast<const char*>(data), size);
  if (!LoadVoiceCatalogue(fuzz::ScratchFile("catalogue.ini", ini))) return 0;

  MeasureSamples(AlawFolder());
  UnusedFixMessageSamples();
  for (const TFixNachricht& m : FixMessages) {
    FixMessageWordLines(m.fixnachricht_id);
    FixMessageCArray(m.fixnachricht_id);
  }
  FixMessageHeaderLines();

  const std::string flashPath = fuzz::ScratchFile(FlashFileName, "old image");
  LogLines log;
  const FlashBuildResult result = BuildFlashFile(AlawFolder(), flashPath, log);
  CapacityReport(result.sampleBytes);
  std::string image;
  Check(ReadFileBytes(flashPath, image), "the image file is there");
  if (result.outcome != FlashBuildOutcome::Created) {
    Check(image == "old image", "a build that failed leaves the old image");
    Check(quiet.prompter.shown > 0, "a build that failed says why");
    return 0;
  }
  Check(image.size() == FlashHeaderBytes + static_cast<size_t>(result.sampleBytes) &&
            result.fileBytes == static_cast<int64_t>(image.size()),
        "the image is the header and the samples");
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
  Check(Le(bytes + FixMessageCountOffset, 2) == FixMessageCount, "fix message count in the header");
  for (int i = 1; i <= SampleCount; ++i) {
    const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
    bool last = true;  // a later sample with the same id owns the entry
    for (int j = i + 1; j <= SampleCount; ++j)
      last = last && Samples[static_cast<size_t>(j)].id != s.id;
    if (!last || s.alaw_size == 0) continue;
    const uint8_t* entry = bytes + s.id * SampleEntryBytes;
    const size_t at = Le(entry, 4);
    const size_t length = Le(entry + 4, 2);
    Check(length == static_cast<size_t>(s.alaw_size), "the entry holds the sample's length");
    Check(at + length <= static_cast<size_t>(result.sampleBytes), "the entry points into the data");
    std::string alaw;  // (the builder also finds a name in other letter case)
    if (!ReadFileBytes(AlawFolder() + s.filename + AlawExtension, alaw)) continue;
    Check(alaw.size() == length, "the entry holds the file's length");
    Check(std::memcmp(bytes + FlashHeaderBytes + at, alaw.data(), length) == 0,
          "the entry points at the sample's bytes");
  }
  return 0;
}
