// Building a full voice flash image: 255 samples filling the 983,040-byte sample area, read from
// their A-law files, with the header, written whole to flash.bin. Median of several builds
// against the bound of one second.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/FlashCatalogue.h"
#include "FlashImage.h"
#include "VoiceCatalogue.h"

using namespace varnex;

namespace {

constexpr int Runs = 9;
constexpr double BoundMs = 1000.0;
constexpr int FullSamples = 255;

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
      .count();
}

}  // namespace

int main() {
  char folder[] = "/tmp/varnex-bench-flash-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string home = std::string(folder) + "/";

  // 255 samples whose sizes add up to the whole sample area.
  test::CatalogueSpec catalogue;
  for (int id = 1; id <= FullSamples; ++id) {
    const int bytes = static_cast<int>(SampleAreaBytes / FullSamples) +
                      (id <= SampleAreaBytes % FullSamples ? 1 : 0);
    const std::string n = std::to_string(id);
    catalogue.samples.push_back({id, "Sample " + n, "s" + n, 1 + id % 6, bytes, false});
  }
  catalogue.fixMessages = {{"fixmsg_1", "1,2,3"}, {"fixmsg_2", "4,5"}};
  test::WriteCatalogue(home, catalogue);
  bool ok = LoadVoiceCatalogue(home + DefaultLanguageIni);

  const FlashFolders folders = FlashFoldersOf(home);
  const std::string image = folders.flash + FlashFileName;
  std::vector<double> times;
  int64_t fileBytes = 0;
  for (int i = 0; i < Runs && ok; ++i) {
    LogLines log;
    const auto start = std::chrono::steady_clock::now();
    MeasureSamples(folders.alaw);
    const FlashBuildResult result = BuildFlashFile(folders.alaw, image, log);
    times.push_back(Ms(start));
    ok = result.outcome == FlashBuildOutcome::Created;
    fileBytes = result.fileBytes;
  }
  std::filesystem::remove_all(folder);
  if (!ok || times.empty()) {
    std::printf("flash build: the full image was not built\n");
    return 1;
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf(
      "flash build, %d samples, %lld bytes of samples, %lld bytes written: median %.1f ms of %d "
      "(fastest %.1f, slowest %.1f), %.3f of the %.0f ms bound\n",
      SampleCount, static_cast<long long>(fileBytes) - static_cast<long long>(FlashHeaderBytes),
      static_cast<long long>(fileBytes), median, Runs, times.front(), times.back(),
      median / BoundMs, BoundMs);
  return median < BoundMs ? 0 : 1;
}
