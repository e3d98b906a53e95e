// varnexctl: the device link on the command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Cli.h"

using namespace varnex;
using namespace varnex::cli;

namespace {

void Usage(std::FILE* to) {
  std::fputs(
      "Usage: varnexctl [options] COMMAND [arguments]\n"
      "\n"
      "Options:\n"
      "  --port N         the device's COM number (see 'varnexctl ports')\n"
      "  --device PATH    talk to this device node or pseudo-terminal directly\n"
      "  --portmap FILE   COM port map (default $VARNEX_PORTMAP or ~/.config/Brelmo/...)\n"
      "  --accept-busy    go on when the device is busy with a call\n"
      "  --yes, --no      answer every question so (default: the safe answer)\n"
      "  --verbose        more detail\n"
      "  -h, --help       this text\n"
      "\n"
      "Commands:\n",
      to);
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(),
            [](const CommandInfo& a, const CommandInfo& b) { return std::string(a.name) < b.name; });
  for (const auto& c : commands) {
    const std::string head = std::string(c.name) + " " + c.usage;
    std::fprintf(to, "  %-28s %s\n", head.c_str(), c.help);
  }
  std::fputs(
      "\n"
      "Environment:\n"
      "  VARNEX_PORTMAP   the COM port map (default ~/.config/Brelmo/varnex-ports.conf)\n"
      "  VARNEX_HOME      the program folder with the language INI file and the prompts; default:\n"
      "                   beside varnexctl, or ~/.local/share/varnex filled from\n"
      "                   <prefix>/share/varnex on the first start\n"
      "\n"
      "Serial ports belong to the group \"dialout\": a user must be in it to reach the device.\n"
      "Exit status: 0 on success, 1 when the operation failed, 2 on wrong usage.\n",
      to);
}

}  // namespace

int main(int argc, char** argv) {
  CliContext ctx;
  std::string command;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "varnexctl: %s needs a value\n", arg.c_str());
        std::exit(ExitUsage);
      }
      return argv[++i];
    };
    if (!command.empty()) {
      // Options may also follow the command; everything else belongs to it.
      if (arg == "--port" || arg == "--device" || arg == "--portmap") {
        --i;
      } else if (arg != "--accept-busy" && arg != "--yes" && arg != "--no" && arg != "--verbose") {
        ctx.args.push_back(arg);
        continue;
      }
    }
    if (arg == "--port") {
      const std::string v = value();
      const int n = std::atoi(v.c_str());
      if (n < 1 || n > 255 || v.find_first_not_of("0123456789") != std::string::npos) {
        std::fprintf(stderr, "varnexctl: --port takes a COM number 1 to 255, not '%s'\n", v.c_str());
        return ExitUsage;
      }
      ctx.port = n;
    } else if (arg == "--device") {
      ctx.device = value();
    } else if (arg == "--portmap") {
      ctx.portmapFile = value();
    } else if (arg == "--accept-busy") {
      ctx.acceptBusy = true;
    } else if (arg == "--yes") {
      ctx.prompter.answer = true;
    } else if (arg == "--no") {
      ctx.prompter.answer = false;
    } else if (arg == "--verbose" || arg == "-v") {
      ctx.verbose = true;
    } else if (arg == "-h" || arg == "--help") {
      Usage(stdout);
      return ExitOk;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "varnexctl: unknown option '%s'\n", arg.c_str());
      return ExitUsage;
    } else {
      command = arg;
    }
  }
  if (command.empty()) {
    Usage(stderr);
    return ExitUsage;
  }
  for (const auto& c : Commands()) {
    if (command == c.name) {
      ScopedHost host(&ctx.prompter, nullptr);
      return c.run(ctx);
    }
  }
  std::fprintf(stderr, "varnexctl: unknown command '%s' (see varnexctl --help)\n", command.c_str());
  return ExitUsage;
}
