// Puts a SimDevice on a pseudo-terminal: the PC side opens the terminal like a serial port.
// Runs its loop on the calling thread (varnex_sim) or on a thread of its own (tests, benches).
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "SimDevice.h"

namespace varnex::sim {

class PtyServer {
 public:
  explicit PtyServer(SimOptions options = {}, bool paced = false);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Opens the terminal; false with errorText when the system refuses.
  bool Start(std::string* errorText = nullptr);
  // The device node the PC side opens, /dev/pts/N.
  const std::string& TerminalPath() const { return terminalPath_; }

  void Run();              // until Stop
  void RunInBackground();  // Run on a thread of its own
  // Safe from a signal handler.
  void Stop();
  // Closes the terminal as an unplugged adapter would; the PC side's reads fail from then on.
  void HangUp();

  // Runs fn with the device under the server's lock (options, inspection).
  template <typename Fn>
  auto WithDevice(Fn fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    return fn(device_);
  }

  // Time between the last byte of a reply leaving and the first byte of the next request
  // arriving, for every request after a reply (benchmarks).
  std::vector<double> TurnaroundsMs();

  // Bytes the device has taken from and sent to the line since the last reset (benchmarks).
  struct LineBytes {
    uint64_t in = 0;
    uint64_t out = 0;
  };
  LineBytes Counted();
  void ResetCounted();

 private:
  using Clock = std::chrono::steady_clock;
  struct Timed {
    Clock::time_point at;
    uint8_t byte;
  };

  void ReadInput(std::vector<Timed>& input);
  void CloseAll();

  SimDevice device_;
  bool paced_;
  std::mutex mutex_;
  int master_ = -1;
  int slave_ = -1;  // kept open so that the PC closing its side never hangs the terminal up
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::string terminalPath_;
  std::thread thread_;
  volatile bool stop_ = false;
  volatile bool hangUp_ = false;
  Clock::time_point lastReplyEnd_{};
  bool replyPending_ = false;
  std::vector<double> turnarounds_;
  LineBytes counted_;
};

}  // namespace varnex::sim
