// The switches each desktop program takes besides its own: --help, and --quit-after-start, which
// checks an installation by starting the program up to its shown window. The programs get this
// folder's path from packaging/CMakeLists.txt.
#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace varnex {

// True when argv holds `name`.
inline bool HasSwitch(int argc, char** argv, const char* name) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return true;
  return false;
}

// True, with `usage` printed to stdout, when argv asks for help ("--help" or "-h").
inline bool PrintedHelp(int argc, char** argv, const char* usage) {
  if (!HasSwitch(argc, argv, "--help") && !HasSwitch(argc, argv, "-h")) return false;
  std::fputs(usage, stdout);
  return true;
}

// Ends the event loop as soon as it runs. exit() rather than quit(): no window is closed, so no
// question is asked on the way out.
inline void QuitWhenStarted(QCoreApplication& app) {
  QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
}

}  // namespace varnex
