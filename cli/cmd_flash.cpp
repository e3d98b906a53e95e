// varnexctl flash FILE: a voice flash image into the device.
#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

int RunFlash(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "flash", {});
  if (!args) return ExitUsage;
  TRuvolt link;
  return RunDeviceCommand(ctx, link, *args, "flash", protocol::FlashSpeedBlockBytes,
                          "flash_write.txt", [&](IProgress& progress, ILogLines& lines) {
                            return link.WriteFlash(args->file, lines, args->logFolder, progress);
                          });
}

const RegisterCommand reg({"flash", "FILE [--log-dir DIR]",
                           "write the voice flash image FILE into the device", RunFlash});

}  // namespace

}  // namespace varnex::cli
