// Where a program finds its data and writes its logs, backups and generated files.
#pragma once

#include <string>

namespace varnex {

constexpr const char* DefaultLanguageIni = "varnex_sprache_standard.ini";

// The folder of the running executable, with trailing "/".
std::string ExecutableDir();

// The program's home folder, with trailing "/": $VARNEX_HOME when set; else the executable's
// folder when the language INI file is there (build tree, unpacked bundle); else a per-user
// folder under the XDG data home, created and filled from the installed data (see
// InstalledDataDir) on first start, so that nothing is ever written into the installation.
std::string ProgramDir();

// <prefix>/share/varnex/ for an executable in <prefix>/bin/.
std::string InstalledDataDir();

// Copies every file of `from` that `to` does not have yet (user edits are kept). False with
// errorText when a file cannot be copied.
bool FillFolder(const std::string& from, const std::string& to, std::string* errorText = nullptr);

}  // namespace varnex
