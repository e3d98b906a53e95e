// varnexctl version: the device's firmware version.
#include <cstdio>

#include "Cli.h"

namespace varnex::cli {

namespace {

int RunVersion(CliContext& ctx) {
  if (!ctx.args.empty()) return UsageError(ctx, "version", "takes no arguments");
  TRuvolt link;
  if (!ctx.ConnectDevice(link)) return ExitFailed;
  LogLines lines;
  const bool ok = link.ReadVersionInfo(link.Version, lines);
  link.Disconnect();
  if (!ok) {
    for (const auto& line : lines.Lines()) std::fprintf(stderr, "%s\n", line.c_str());
    std::fprintf(stderr, "varnexctl: the device did not answer the version query\n");
    return ExitFailed;
  }
  std::printf("Firmware Version : %u.%u\n", link.Version.Major, link.Version.Minor);
  return ExitOk;
}

const RegisterCommand reg({"version", "", "read the device's firmware version", RunVersion});

}  // namespace

}  // namespace varnex::cli
