// The long transfers against the simulated device paced at exactly 9600 baud.
//   line ratio: wall time of the transfer divided by the time its bytes need on a 9600-baud
//               8N1 line (both directions, frames and escapes, as the device counted them)
//     whole:    Connect + operation + Disconnect, with the handshake and the 200 ms release pause
//               that the protocol prescribes
//     transfer: the operation alone (the firmware update's own release pause taken out)
//               bound: at most 1.03
//   processor:  processor time of the PC thread during the operation as a share of its wall
//               time; bound: at most 3 %
#include <time.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "LogLines.h"
#include "PortMap.h"
#include "Protocol.h"
#include "PtyServer.h"
#include "Ruvolt_Support.h"
#include "misc_functions.h"

using namespace varnex;

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double Since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

double LineSeconds(const sim::PtyServer::LineBytes& b) {
  return static_cast<double>(b.in + b.out) * protocol::ByteTimeUs9600 / 1e6;
}

std::string Bytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 16);
  }
  return bytes;
}

struct Result {
  bool ok = false;
  double transferRatio = 0;
  double cpuShare = 0;
};

// Runs one operation between its own Connect and Disconnect and prints its figures.
Result Measure(const char* name, const std::function<bool(TRuvolt&, ILogLines&, IProgress&)>& op,
               double fixedWaitInsideS = 0) {
  sim::PtyServer server({}, true);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "simulator: %s\n", error.c_str());
    return {};
  }
  server.RunInBackground();
  PortMap map("");
  TRuvolt link;
  link.Port.SetPortMap(&map);
  link.Port.PortNumber = static_cast<uint8_t>(map.AddTransient(server.TerminalPath(), "sim"));
  LogLines lines;
  NullProgress progress;

  const auto start = Clock::now();
  if (link.Connect(false, false) != 1) {
    std::fprintf(stderr, "%s: no connection\n", name);
    return {};
  }
  const auto handshake = server.Counted();
  server.ResetCounted();
  const double cpu0 = CpuSeconds();
  const auto opStart = Clock::now();
  const bool ok = op(link, lines, progress);
  const double opWall = Since(opStart);
  const double cpu = CpuSeconds() - cpu0;
  const auto opBytes = server.Counted();
  link.Disconnect();
  const double wholeWall = Since(start);
  server.Stop();
  sim::PtyServer::LineBytes all = opBytes;
  all.in += handshake.in + 1;  // the EOT
  all.out += handshake.out;

  Result r;
  r.ok = ok;
  r.transferRatio = (opWall - fixedWaitInsideS) / LineSeconds(opBytes);
  r.cpuShare = cpu / opWall;
  std::printf(
      "%-22s %s  %7llu bytes  line %7.3f s  whole %7.3f s (ratio %.4f)  transfer %7.3f s "
      "(ratio %.4f)  processor %.2f %%\n",
      name, ok ? "ok    " : "FAILED", static_cast<unsigned long long>(all.in + all.out),
      LineSeconds(all), wholeWall, wholeWall / LineSeconds(all), opWall - fixedWaitInsideS,
      r.transferRatio, r.cpuShare * 100);
  if (!ok)
    for (const auto& line : lines.Lines()) std::fprintf(stderr, "  %s\n", line.c_str());
  return r;
}

}  // namespace

int main() {
  const std::string dir = GetTempDir();
  const std::string firmware = dir + "bench_firmware.bin";
  const std::string flash = dir + "bench_flash.bin";
  std::string fw = Bytes(65536, 3);
  fw[0] = 'G';
  for (int i = 0; i < 4; ++i) fw[4 + i] = static_cast<char>(65536 >> (8 * i));
  // A voice flash image of its header alone: an empty sample directory, so it ends at 64 KiB.
  std::string fl = Bytes(65536, 5);
  std::fill(fl.begin(), fl.begin() + 6144, '\0');
  if (!WriteFileAtomic(firmware, fw) || !WriteFileAtomic(flash, fl)) {
    std::fprintf(stderr, "cannot write the test files in %s\n", dir.c_str());
    return 1;
  }

  std::printf("Transfers against the simulated device paced at 9600 baud 8N1 (%.4f ms a byte)\n",
              protocol::ByteTimeUs9600 / 1000);
  const Result results[] = {
      Measure("WriteConfiguration",
              [&](TRuvolt& l, ILogLines& lines, IProgress& p) {
                l.Config.ApplyDefaults();
                return l.WriteConfiguration(p, lines, dir);
              }),
      Measure("ReadConfiguration",
              [&](TRuvolt& l, ILogLines& lines, IProgress& p) {
                return l.ReadConfiguration(p, lines, dir);
              }),
      Measure(
          "UpdateFirmware 64 KiB",
          [&](TRuvolt& l, ILogLines& lines, IProgress& p) {
            return l.UpdateFirmware(firmware, lines, dir, p);
          },
          protocol::DisconnectPauseMs / 1000.0),
      Measure("WriteFlash 64 KiB",
              [&](TRuvolt& l, ILogLines& lines, IProgress& p) {
                return l.WriteFlash(flash, lines, dir, p);
              }),
  };
  bool within = true;
  for (const Result& r : results)
    within = within && r.ok && r.transferRatio <= 1.03 && r.cpuShare <= 0.03;
  std::printf(
      "Bounds (transfer ratio <= 1.03, processor <= 3 %%) apply to the transfer figures; the "
      "whole\n"
      "figures add the prescribed handshake and 200 ms release pause.\n%s\n",
      within ? "bench_transfer: within bounds" : "bench_transfer: OUT OF BOUNDS");
  std::remove(firmware.c_str());
  std::remove(flash.c_str());
  return within ? 0 : 1;
}
