// The whole port scan on this machine, as the configurator runs it before a search.
//   bare:      the machine's own ports (the fallback probing of COM1 to COM256 runs when none
//              of them can be used)
//   simulator: the same with a simulated device listed in the port map
// Median of several scans against the bound of one second.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ComPort.h"
#include "PortMap.h"
#include "PtyServer.h"

using namespace varnex;

namespace {

constexpr int Runs = 9;
constexpr double BoundMs = 1000.0;

double MedianScanMs(PortMap& map, size_t& listed, size_t& logLines) {
  std::vector<double> times;
  for (int i = 0; i < Runs; ++i) {
    TComPort port;
    port.SetPortMap(&map);
    const auto start = std::chrono::steady_clock::now();
    const auto log = port.EnumeratePorts();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    listed = port.PortList.size();
    logLines = log.size();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  char folder[] = "/tmp/varnex-bench-scan-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string mapFile = std::string(folder) + "/ports.conf";
  PortMap map(mapFile);
  bool ok = true;

  size_t listed = 0, lines = 0;
  const double bare = MedianScanMs(map, listed, lines);
  std::printf(
      "scan, bare machine: median %.1f ms of %d (%zu ports usable, %zu log lines), %.3f of "
      "the %.0f ms bound\n",
      bare, Runs, listed, lines, bare / BoundMs, BoundMs);
  ok = ok && bare < BoundMs;

  sim::PtyServer server;
  if (!server.Start()) return 1;
  map.Assign("varnex_sim:bench", server.TerminalPath(), "Varnex-Simulator (bench)");
  const double withSim = MedianScanMs(map, listed, lines);
  std::printf(
      "scan, simulator listed: median %.1f ms of %d (%zu ports usable, %zu log lines), "
      "%.3f of the %.0f ms bound\n",
      withSim, Runs, listed, lines, withSim / BoundMs, BoundMs);
  ok = ok && withSim < BoundMs;

  unlink(mapFile.c_str());
  unlink((mapFile + ".lock").c_str());
  rmdir(folder);
  return ok ? 0 : 1;
}
