#include "FuzzSupport.h"

#include <unistd.h>

#include "VoiceCatalogue.h"
#include "misc_functions.h"

namespace varnex::fuzz {

const std::string& ScratchDir() {
  static const std::string dir = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/varnex-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) Fail("no scratch folder");
    return pattern + "/";
  }();
  return dir;
}

void LoadShippedCatalogue() {
  QuietHost quiet;
  if (!LoadVoiceCatalogue(std::string(VARNEX_DATA_DIR) + "varnex_sprache_standard.ini"))
    Fail("the shipped catalogue does not load");
}

std::string ScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchDir() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Fail("scratch file not writable");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
    Fail("scratch file not written");
  std::fclose(f);
  return path;
}

}  // namespace varnex::fuzz

namespace varnex::fuzz {

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t more = b < 0x80         ? 0
                        : (b >> 5) == 6  ? 1
                        : (b >> 4) == 14 ? 2
                        : (b >> 3) == 30 ? 3
                                         : 9;
    if (more == 9 || (more && b < 0xC2) || i + more >= text.size() + (more ? 0 : 1)) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

}  // namespace varnex::fuzz
