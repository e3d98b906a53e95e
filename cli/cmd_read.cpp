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
  if (!ctx.ConnectDevice(link)) return ExitFailed;
  const bool ok = RunOperation("read", protocol::TransferBlockSize,
                               [&](IProgress& progress, ILogLines& lines) {
                                 return link.ReadConfiguration(progress, lines, args->logFolder);
                               });
  link.Disconnect();
  if (!ok) {
    std::fprintf(stderr, "varnexctl read: the configuration could not be read (log: %s)\n",
                 (args->logFolder + "config_read.txt").c_str());
    return ExitFailed;
  }
  std::string error;
  if (!link.SaveConfig(args->file, &error)) {
    std::fprintf(stderr, "varnexctl read: cannot save %s: %s\n", args->file.c_str(),
                 error.c_str());
    return ExitFailed;
  }
  std::printf("Configuration saved to %s\n", args->file.c_str());
  return ExitOk;
}

const RegisterCommand reg({"read", "FILE [--log-dir DIR]",
                           "read the device's configuration into FILE", RunRead});

}  // namespace

}  // namespace varnex::cli
