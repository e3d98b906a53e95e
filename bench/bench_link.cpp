// Idleness and turnaround of the device link against the simulated device.
//   idle:       processor time of the PC side while ReceiveBurst waits 1 s for a silent device,
//               as a share of the wall time (bound: below 2 %)
//   turnaround: from the last byte of a reply leaving the device to the next request arriving,
//               median over many version queries against the unpaced simulator (bound: 2 ms)
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>

#include "PortMap.h"
#include "Protocol.h"
#include "PtyServer.h"
#include "Ruvolt_Support.h"

using namespace varnex;

namespace {

// This thread's processor time: the PC side only, not the simulator's thread.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Link {
  sim::PtyServer server;
  PortMap map{""};
  TRuvolt link;
  explicit Link(sim::SimOptions options) : server(options, false) {
    std::string error;
    if (!server.Start(&error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      std::exit(1);
    }
    server.RunInBackground();
    link.Port.SetPortMap(&map);
    link.Port.PortNumber = static_cast<uint8_t>(map.AddTransient(server.TerminalPath(), "sim"));
  }
};

}  // namespace

int main() {
  bool ok = true;
  {
    Link l({});
    if (l.link.Connect(false, false) != 1) return 1;
    std::array<uint8_t, 1024> reply{};
    // Nothing was asked, so nothing comes: a wait of the full time-out.
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    l.link.ReceiveBurst(reply.data(), reply.size(), 16, 1000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double share = (CpuSeconds() - cpu0) / wall;
    std::printf("idle wait: %.3f s wall, processor %.2f %% of wall (bound 2 %%)\n", wall,
                share * 100);
    ok = ok && share < 0.02;
    l.link.Disconnect();
  }
  {
    Link l({});
    if (l.link.Connect(false, false) != 1) return 1;
    LogLines lines;
    const int queries = 300;
    for (int i = 0; i < queries; ++i) l.link.ReadVersionInfo(l.link.Version, lines);
    auto samples = l.server.TurnaroundsMs();
    // The first sample is the handshake's ACK, not a framed reply.
    if (!samples.empty()) samples.erase(samples.begin());
    std::sort(samples.begin(), samples.end());
    const double median = samples.empty() ? 1e9 : samples[samples.size() / 2];
    const double p95 = samples.empty() ? 1e9 : samples[samples.size() * 95 / 100];
    std::printf("turnaround: median %.3f ms, 95th percentile %.3f ms over %zu replies (bound 2 ms)\n",
                median, p95, samples.size());
    ok = ok && median < 2.0 && lines.Count() == 0;
    l.link.Disconnect();
  }
  std::printf("%s\n", ok ? "bench_link: within bounds" : "bench_link: OUT OF BOUNDS");
  return ok ? 0 : 1;
}
