// varnexctl write FILE [--verify]: a configuration file into the device.
#include <cstdio>

#include "Cli.h"
#include "Progress.h"
#include "Protocol.h"

namespace varnex::cli {

namespace {

// Reads the configuration back and compares it with what was written.
bool Verify(TRuvolt& link, const std::string& logFolder) {
  const TDeviceConfig written = link.Config;
  std::printf("Verifying ...\n");
  const bool read = RunOperation("verify", protocol::TransferBlockSize,
                                 [&](IProgress& progress, ILogLines& lines) {
                                   return link.ReadConfiguration(progress, lines, logFolder);
                                 });
  if (!read) {
    std::fprintf(stderr, "varnexctl write: verify: the configuration could not be read back\n");
    return false;
  }
  size_t differing = 0;
  size_t first = 0;
  for (size_t i = ConfigSize; i-- > 0;) {
    if (written.Bytes[i] != link.Config.Bytes[i]) {
      ++differing;
      first = i;
    }
  }
  if (differing) {
    std::fprintf(stderr,
                 "varnexctl write: verify: %zu bytes differ, the first at offset %zu (written "
                 "0x%02X, read 0x%02X)\n",
                 differing, first, written.Bytes[first], link.Config.Bytes[first]);
    return false;
  }
  std::printf("Verified: the device holds the configuration byte for byte.\n");
  return true;
}

int RunWrite(CliContext& ctx) {
  const auto args = ParseTransferArgs(ctx, "write", {"--verify"});
  if (!args) return ExitUsage;
  TRuvolt link;
  std::string error;
  if (!link.LoadConfig(args->file, &error)) {
    std::fprintf(stderr, "varnexctl write: %s\n", error.c_str());
    return ExitFailed;
  }
  bool verified = true;
  const int status =
      RunDeviceCommand(ctx, link, *args, "write", protocol::TransferBlockSize, "config_write.txt",
                       [&](IProgress& progress, ILogLines& lines) {
                         if (!link.WriteConfiguration(progress, lines, args->logFolder))
                           return false;
                         if (HasFlag(*args, "--verify")) verified = Verify(link, args->logFolder);
                         return true;
                       });
  return status == ExitOk && !verified ? ExitFailed : status;
}

const RegisterCommand reg({"write", "FILE [--verify] [--log-dir DIR]",
                           "write the configuration FILE into the device", RunWrite});

}  // namespace

}  // namespace varnex::cli
