// varnexctl read FILE: the device's configuration into a configuration file.
#include <cstdio>

#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

int RunRead(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "read", {});
  if (!args) return ExitUsage;
  TRuvolt link;
  const int status =
      RunDeviceCommand(ctx, link, *args, "read", protocol::TransferBlockSize, "config_read.txt",
                       [&](IProgress& progress, ILogLines& lines) {
                         return link.ReadConfiguration(progress, lines, args->logFolder);
                       });
  if (status != ExitOk) return status;
  std::string error;
  if (!link.SaveConfig(args->file, &error)) {
    std::fprintf(stderr, "varnexctl read: cannot save %s: %s\n", args->file.c_str(), error.c_str());
    return ExitFailed;
  }
  std::printf("Configuration saved to %s\n", args->file.c_str());
  return ExitOk;
}

const RegisterCommand reg({"read", "FILE [--log-dir DIR]",
                           "read the device's configuration into FILE", RunRead});

}  // namespace

}  // namespace varnex::cli
