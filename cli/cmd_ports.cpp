// varnexctl ports: the serial ports the device link can use, and why the others cannot be used.
#include <cstdio>

#include "Cli.h"

namespace varnex::cli {

namespace {

int RunPorts(CliContext& ctx) {
  if (!ctx.args.empty()) return UsageError(ctx, "ports", "takes no arguments");
  TComPort port;
  port.SetPortMap(&ctx.Map());
  const auto log = port.EnumeratePorts();
  if (ctx.verbose) {
    for (const auto& line : log) std::printf("%s\n", line.c_str());
    std::printf("\n");
  }
  for (const auto& name : port.PortList) {
    const std::string description = port.DescriptionOf(name);
    std::printf("%-6s  %s\n", name.c_str(), description.c_str());
  }
  for (const auto& scanned : port.ScannedPorts) {
    if (scanned.problem.empty()) continue;
    const std::string name = scanned.name.empty() ? "-" : scanned.name;
    std::printf("%-6s  not usable: %s\n", name.c_str(), scanned.problem.c_str());
  }
  if (port.PortList.empty()) {
    std::fprintf(stderr, "varnexctl: no usable serial port found%s\n",
                 ctx.verbose ? "" : " (--verbose shows the scan)");
    return ExitFailed;
  }
  return ExitOk;
}

const RegisterCommand reg({"ports", "",
                           "list the serial ports as COM numbers (--verbose: the scan log)",
                           RunPorts});

}  // namespace

}  // namespace varnex::cli
