// varnexctl firmware FILE: a firmware update.
#include <cstdio>

#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

int RunFirmware(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "firmware", {});
  if (!args) return ExitUsage;
  TRuvolt link;
  if (!ctx.ConnectDevice(link)) return ExitFailed;
  const bool ok = RunOperation("firmware", protocol::FirmwareSpeedBlockBytes,
                               [&](IProgress& progress, ILogLines& lines) {
                                 return link.UpdateFirmware(args->file, lines, args->logFolder,
                                                            progress);
                               });
  link.Disconnect();
  if (!ok)
    std::fprintf(stderr, "varnexctl firmware: the update failed (log: %s)\n",
                 (args->logFolder + "firmware.txt").c_str());
  return ok ? ExitOk : ExitFailed;
}

const RegisterCommand reg({"firmware", "FILE [--log-dir DIR]",
                           "write the firmware FILE into the device", RunFirmware});

}  // namespace

}  // namespace varnex::cli
