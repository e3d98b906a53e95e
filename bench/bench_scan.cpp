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

// Prints the median of several scans; false when it is over the bound.
bool Measure(const char* label, PortMap& map) {
  std::vector<double> times;
  size_t listed = 0, logLines = 0;
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
  const double median = times[times.size() / 2];
  std::printf(
      "scan, %s: median %.1f ms of %d (%zu ports usable, %zu log lines), %.3f of the %.0f ms "
      "bound\n",
      label, median, Runs, listed, logLines, median / BoundMs, BoundMs);
  return median < BoundMs;
}

}  // namespace

int main() {
  char folder[] = "/tmp/varnex-bench-scan-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string mapFile = std::string(folder) + "/ports.conf";
  PortMap map(mapFile);
  bool ok = Measure("bare machine", map);
  sim::PtyServer server;
  if (!server.Start()) return 1;
  map.Assign("varnex_sim:bench", server.TerminalPath(), "Varnex-Simulator (bench)");
  ok = Measure("simulator listed", map) && ok;

  unlink(mapFile.c_str());
  unlink((mapFile + ".lock").c_str());
  rmdir(folder);
  return ok ? 0 : 1;
}
