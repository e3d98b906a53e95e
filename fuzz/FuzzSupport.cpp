#include "FuzzSupport.h"

#include <unistd.h>

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
