// varnex_sim: a simulated device on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "PortMap.h"
#include "PtyServer.h"

using namespace varnex;

namespace {

sim::PtyServer* runningServer = nullptr;

void OnSignal(int) {
  if (runningServer) runningServer->Stop();
}

void Usage(std::FILE* to) {
  std::fputs(
      "Usage: varnex_sim [options]\n"
      "A simulated Varnex device on a pseudo-terminal. Prints the terminal's path on the first\n"
      "line (and \"COM<n>\" on the second when registered), then answers until SIGTERM/SIGINT.\n"
      "\n"
      "  --paced             send and take bytes at exactly 9600 baud (default: unpaced)\n"
      "  --register          list the terminal in the port map under a COM number\n"
      "  --com N             list it as COM<N> (implies --register)\n"
      "  --name NAME         identity in the port map (default varnex_sim), keeps its number\n"
      "  --portmap FILE      port map file (default $VARNEX_PORTMAP or ~/.config/Brelmo/...)\n"
      "  --version MAJ.MIN   firmware version to report (default 2.5)\n"
      "  --busy              answer the wake-up with NAK (device in an ISDN call)\n"
      "  --silent            answer nothing\n"
      "  -h, --help          this text\n",
      to);
}

bool ParseVersion(const std::string& text, sim::SimOptions& options) {
  unsigned major = 0, minor = 0;
  char dot = 0;
  if (std::sscanf(text.c_str(), "%u%c%u", &major, &dot, &minor) != 3 || dot != '.' ||
      major > 255 || minor > 255)
    return false;
  options.major = static_cast<uint8_t>(major);
  options.minor = static_cast<uint8_t>(minor);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  sim::SimOptions options;
  bool paced = false;
  bool registerPort = false;
  int comNumber = 0;
  std::string name = "varnex_sim";
  std::string portmapFile;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "varnex_sim: %s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--paced") {
      paced = true;
    } else if (arg == "--register") {
      registerPort = true;
    } else if (arg == "--com") {
      const std::string v = value();
      comNumber = std::atoi(v.c_str());
      if (comNumber < 1 || comNumber > PortMap::MaxNumber) {
        std::fprintf(stderr, "varnex_sim: --com takes 1 to 255, not '%s'\n", v.c_str());
        return 2;
      }
      registerPort = true;
    } else if (arg == "--name") {
      name = value();
    } else if (arg == "--portmap") {
      portmapFile = value();
    } else if (arg == "--version") {
      const std::string v = value();
      if (!ParseVersion(v, options)) {
        std::fprintf(stderr, "varnex_sim: --version takes MAJOR.MINOR, not '%s'\n", v.c_str());
        return 2;
      }
    } else if (arg == "--busy") {
      options.busy = true;
    } else if (arg == "--silent") {
      options.silent = true;
    } else if (arg == "-h" || arg == "--help") {
      Usage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "varnex_sim: unknown option '%s'\n", arg.c_str());
      Usage(stderr);
      return 2;
    }
  }

  sim::PtyServer server(options, paced);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "varnex_sim: cannot open a pseudo-terminal: %s\n", error.c_str());
    return 1;
  }

  PortMap map(portmapFile.empty() ? PortMap::DefaultFile() : portmapFile);
  const std::string id = "varnex_sim:" + name;
  int registered = 0;
  if (registerPort) {
    const std::string description = "Varnex-Simulator (" + name + ")";
    if (comNumber > 0) {
      registered = map.Put(comNumber, id, server.TerminalPath(), description) ? comNumber : 0;
    } else {
      registered = map.Assign(id, server.TerminalPath(), description);
    }
    if (registered == 0) {
      std::fprintf(stderr, "varnex_sim: cannot write the port map %s\n", map.File().c_str());
      return 1;
    }
  }

  std::printf("%s\n", server.TerminalPath().c_str());
  if (registered) std::printf("COM%d\n", registered);
  std::fflush(stdout);

  runningServer = &server;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  server.Run();
  runningServer = nullptr;

  // Only our own entry: another simulator may have been given the number since.
  if (auto entry = map.Find(registered); registered && entry && entry->id == id)
    map.Remove(registered);
  return 0;
}
