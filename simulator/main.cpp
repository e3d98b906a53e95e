// varnex_sim: a simulated device on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

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
      "\n"
      "Stored data:\n"
      "  --config FILE       start with this configuration file (3001 bytes) when it exists;\n"
      "                      every complete write replaces it\n"
      "  --no-config         answer reads as a device with no configuration stored\n"
      "  --incompatible      report the stored configuration as unusable by the firmware\n"
      "  --image-length N    serve the stored configuration as an image of N bytes (3010)\n"
      "  --version-after-update MAJ.MIN  firmware version reported after an update\n"
      "  --firmware-out FILE write each completed firmware upload to FILE\n"
      "  --flash-out FILE    write each completed voice flash upload to FILE\n"
      "A firmware upload ends with its first short block, or at the length that bytes 4 to 7\n"
      "(little-endian) of the file give; a flash upload ends with its first short block, or\n"
      "where the sample directory of its 65536-byte header says the sample data ends.\n"
      "\n"
      "Faults (in the transfer --fault-on names: read, write, firmware or flash):\n"
      "  --prepare-refused   answer the prepare with status 1\n"
      "  --prepare-silent    answer the prepare with nothing\n"
      "  --prepare-delay MS  answer the prepare MS milliseconds late\n"
      "  --fault-block K     the block (from 0) that the following options concern\n"
      "  --fault-status S    answer it with status S\n"
      "  --fault-reply-block N  flash: answer it with block number N\n"
      "  --fault-reply-code C   flash: answer it with reply code C (0x.. or decimal)\n"
      "  --fault-silent      answer it with nothing\n"
      "  --fault-cut N       cut N bytes off the end of its answer\n"
      "  --fault-noise HEX   send these bytes (\"00fb7a\") before its answer\n"
      "  --hangup-at K       hang the line up when block K arrives\n"
      "  -h, --help          this text\n",
      to);
}

bool ParseVersion(const std::string& text, sim::SimOptions& options) {
  unsigned major = 0, minor = 0;
  char dot = 0;
  if (std::sscanf(text.c_str(), "%u%c%u", &major, &dot, &minor) != 3 || dot != '.' || major > 255 ||
      minor > 255)
    return false;
  options.major = static_cast<uint8_t>(major);
  options.minor = static_cast<uint8_t>(minor);
  return true;
}

// A whole number in decimal or, after "0x", in hexadecimal, within [low, high].
bool ParseNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  value = std::strtol(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
  return end && *end == '\0' && value >= low && value <= high;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    long v = 0;
    if (!ParseNumber("0x" + text.substr(i, 2), 0, 255, v)) return false;
    bytes.push_back(static_cast<uint8_t>(v));
  }
  return true;
}

bool ParseTransfer(const std::string& text, sim::SimTransfer& transfer) {
  const std::pair<const char*, sim::SimTransfer> names[] = {
      {"read", sim::SimTransfer::ConfigRead},
      {"write", sim::SimTransfer::ConfigWrite},
      {"firmware", sim::SimTransfer::Firmware},
      {"flash", sim::SimTransfer::Flash}};
  for (const auto& [name, value] : names) {
    if (text == name) {
      transfer = value;
      return true;
    }
  }
  return false;
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
    } else if (arg == "--config") {
      options.configFile = value();
    } else if (arg == "--no-config") {
      options.noConfig = true;
    } else if (arg == "--incompatible") {
      options.compat = 1;
    } else if (arg == "--version-after-update") {
      const std::string v = value();
      sim::SimOptions after;
      if (!ParseVersion(v, after)) {
        std::fprintf(stderr, "varnex_sim: %s takes MAJOR.MINOR, not '%s'\n", arg.c_str(),
                     v.c_str());
        return 2;
      }
      options.versionAfterUpdate = std::make_pair(after.major, after.minor);
    } else if (arg == "--firmware-out") {
      options.firmwareOut = value();
    } else if (arg == "--flash-out") {
      options.flashOut = value();
    } else if (arg == "--fault-on") {
      const std::string v = value();
      if (!ParseTransfer(v, options.fault.on)) {
        std::fprintf(stderr, "varnex_sim: --fault-on takes read, write, firmware or flash\n");
        return 2;
      }
    } else if (arg == "--prepare-refused") {
      options.fault.prepareRefused = true;
    } else if (arg == "--prepare-silent") {
      options.fault.prepareSilent = true;
    } else if (arg == "--fault-silent") {
      options.fault.silent = true;
    } else if (arg == "--fault-noise") {
      const std::string v = value();
      if (!ParseHexBytes(v, options.fault.noise)) {
        std::fprintf(stderr, "varnex_sim: --fault-noise takes hex bytes like 00fb7a\n");
        return 2;
      }
    } else if (arg == "--image-length" || arg == "--prepare-delay" || arg == "--fault-block" ||
               arg == "--fault-status" || arg == "--fault-reply-block" ||
               arg == "--fault-reply-code" || arg == "--fault-cut" || arg == "--hangup-at") {
      const std::string v = value();
      const bool isByte = arg == "--fault-status" || arg == "--fault-reply-code";
      const long high = arg == "--image-length" ? 65535 : isByte ? 255 : 65535L * 1000;
      long n = 0;
      if (!ParseNumber(v, 0, high, n)) {
        std::fprintf(stderr, "varnex_sim: %s takes a number 0 to %ld, not '%s'\n", arg.c_str(),
                     high, v.c_str());
        return 2;
      }
      const int i32 = static_cast<int>(n);
      if (arg == "--image-length") options.imageLength = static_cast<uint16_t>(n);
      if (arg == "--prepare-delay") options.fault.prepareDelayMs = i32;
      if (arg == "--fault-block") options.fault.block = i32;
      if (arg == "--fault-status") options.fault.status = i32;
      if (arg == "--fault-reply-block") options.fault.replyBlock = i32;
      if (arg == "--fault-reply-code") options.fault.replyCode = i32;
      if (arg == "--fault-cut") options.fault.cutBytes = i32;
      if (arg == "--hangup-at") {
        options.fault.block = i32;
        options.fault.hangUp = true;
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

  const sim::SimFault& f = options.fault;
  if (f.on == sim::SimTransfer::None &&
      (f.prepareRefused || f.prepareSilent || f.prepareDelayMs || f.block >= 0)) {
    std::fprintf(stderr, "varnex_sim: name the transfer of the fault with --fault-on\n");
    return 2;
  }
  sim::PtyServer server(options, paced);
  const std::string configError =
      server.WithDevice([](sim::SimDevice& d) { return d.ConfigFileError(); });
  if (!configError.empty()) {
    std::fprintf(stderr, "varnex_sim: --config: %s\n", configError.c_str());
    return 2;
  }
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
