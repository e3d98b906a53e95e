#include "ProgramHome.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace varnex {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

}  // namespace

std::string ExecutableDir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return WithSlash(fs::current_path(ec).string());
  return WithSlash(exe.parent_path().string());
}

std::string InstalledDataDir() {
  return WithSlash((fs::path(ExecutableDir()).parent_path().parent_path() / "share" / "varnex")
                       .lexically_normal()
                       .string());
}

bool FillFolder(const std::string& from, const std::string& to, std::string* errorText) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) {
    if (errorText) *errorText = to + ": " + ec.message();
    return false;
  }
  for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path target = fs::path(to) / fs::relative(it->path(), from);
    if (it->is_directory()) {
      fs::create_directories(target, ec);
    } else if (!fs::exists(target)) {
      fs::copy_file(it->path(), target, ec);
    }
    if (ec) {
      if (errorText) *errorText = target.string() + ": " + ec.message();
      return false;
    }
  }
  if (ec && errorText) *errorText = from + ": " + ec.message();
  return !ec;
}

std::string ProgramDir() {
  if (const char* home = std::getenv("VARNEX_HOME"); home && *home) return WithSlash(home);
  const std::string exeDir = ExecutableDir();
  std::error_code ec;
  if (fs::exists(exeDir + DefaultLanguageIni, ec)) return exeDir;

  std::string dataHome;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    dataHome = xdg;
  } else if (const char* userHome = std::getenv("HOME"); userHome && *userHome) {
    dataHome = std::string(userHome) + "/.local/share";
  } else {
    dataHome = "/tmp";
  }
  const std::string userDir = WithSlash(dataHome + "/varnex");
  const std::string installed = InstalledDataDir();
  if (fs::exists(installed + DefaultLanguageIni, ec)) FillFolder(installed, userDir);
  fs::create_directories(userDir, ec);
  return userDir;
}

}  // namespace varnex
