// varnexctl flash FILE: a voice flash image into the device.
#include <cstdio>

#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

int RunFlash(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "flash", {});
  if (!args) return ExitUsage;
  TRuvolt link;
  if (!ctx.ConnectDevice(link)) return ExitFailed;
  const bool ok = RunOperation("flash", protocol::FlashSpeedBlockBytes,
                               [&](IProgress& progress, ILogLines& lines) {
                                 return link.WriteFlash(args->file, lines, args->logFolder,
                                                        progress);
                               });
  link.Disconnect();
  if (!ok)
    std::fprintf(stderr, "varnexctl flash: the upload failed (log: %s)\n",
                 (args->logFolder + "flash_write.txt").c_str());
  return ok ? ExitOk : ExitFailed;
}

const RegisterCommand reg({"flash", "FILE [--log-dir DIR]",
                           "write the voice flash image FILE into the device", RunFlash});

}  // namespace

}  // namespace varnex::cli
