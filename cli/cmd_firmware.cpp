// varnexctl firmware FILE: a firmware update.
#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

int RunFirmware(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "firmware", {});
  if (!args) return ExitUsage;
  TRuvolt link;
  return RunDeviceCommand(ctx, link, *args, "firmware", protocol::FirmwareSpeedBlockBytes,
                          "firmware.txt", [&](IProgress& progress, ILogLines& lines) {
                            return link.UpdateFirmware(args->file, lines, args->logFolder,
                                                       progress);
                          });
}

const RegisterCommand reg({"firmware", "FILE [--log-dir DIR]",
                           "write the firmware FILE into the device", RunFirmware});

}  // namespace

}  // namespace varnex::cli
