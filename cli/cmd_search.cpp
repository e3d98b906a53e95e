// varnexctl search: tries every usable port until the device answers; prints its COM number.
#include <cstdio>

#include "Cli.h"
#include "misc_functions.h"

namespace varnex::cli {

namespace {

int RunSearch(CliContext& ctx) {
  if (!ctx.args.empty()) return UsageError(ctx, "search", "takes no arguments");
  TRuvolt link;
  link.Port.SetPortMap(&ctx.Map());
  const std::string folder = GetTempDir();
  const bool found = link.SearchDevice(folder);
  if (ctx.verbose || !found) {
    std::string log;
    if (!folder.empty() && ReadFileBytes(folder + "search_vnx.txt", log))
      std::fputs(log.c_str(), ctx.verbose ? stdout : stderr);
  }
  if (!found) {
    std::fprintf(stderr, "varnexctl: no device answered on any port%s\n",
                 folder.empty() ? "" : (" (log: " + folder + "search_vnx.txt)").c_str());
    return ExitFailed;
  }
  std::printf("COM%u\n", link.Port.PortNumber);
  return ExitOk;
}

const RegisterCommand reg({"search", "", "find the port the device answers on", RunSearch});

}  // namespace

}  // namespace varnex::cli
