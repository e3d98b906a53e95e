// Byte-exact golden files under tests/data/. They are rewritten only on request:
// VARNEX_UPDATE_GOLDEN=1 in the environment.
#pragma once

#include <cstdlib>
#include <string>

#include "misc_functions.h"

namespace varnex::test {

// Empty when `bytes` equal tests/data/<relativePath>, else where they first differ (offset and
// line). With VARNEX_UPDATE_GOLDEN=1 the golden file is rewritten instead.
inline std::string GoldenDifference(const std::string& relativePath, const std::string& bytes) {
  const std::string path = std::string(VARNEX_SOURCE_DIR) + "/tests/data/" + relativePath;
  if (const char* update = std::getenv("VARNEX_UPDATE_GOLDEN");
      update && std::string(update) == "1") {
    std::string error;
    return WriteFileAtomic(path, bytes, &error) ? "" : "cannot rewrite " + error;
  }
  std::string golden;
  if (!ReadFileBytes(path, golden)) return path + " is missing (VARNEX_UPDATE_GOLDEN=1 writes it)";
  if (golden == bytes) return "";
  size_t at = 0;
  while (at < golden.size() && at < bytes.size() && golden[at] == bytes[at]) ++at;
  size_t line = 1;
  for (size_t i = 0; i < at; ++i) line += golden[i] == '\n';
  const auto around = [at](const std::string& s) {
    const size_t start = s.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t from = start == std::string::npos ? 0 : start + 1;
    return s.substr(from, s.find('\n', from) - from);
  };
  return relativePath + ": " + std::to_string(bytes.size()) + " bytes against the golden " +
         std::to_string(golden.size()) + "; first difference at offset " + std::to_string(at) +
         ", line " + std::to_string(line) + ":\n  golden: " + around(golden) +
         "\n  actual: " + around(bytes);
}

}  // namespace varnex::test
