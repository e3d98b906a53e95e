// The demo mode's simulated device: varnex_sim on a pseudo-terminal, listed in a port map of its
// own, for the lifetime of this object.
#pragma once

#include <QProcess>

#include <cstdint>
#include <string>

namespace varnex {

class DemoDevice {
 public:
  DemoDevice() = default;
  ~DemoDevice();
  DemoDevice(const DemoDevice&) = delete;
  DemoDevice& operator=(const DemoDevice&) = delete;

  // Starts `simulator`, which lists itself in the port map `portMapFile` and keeps the
  // configuration written into it in `configFile`. True when it runs and has its COM number.
  bool Start(const std::string& simulator, const std::string& portMapFile,
             const std::string& configFile, std::string* errorText = nullptr);
  uint8_t ComNumber() const { return com_; }
  // Ends the simulator (it removes its port map entry).
  void Stop();

 private:
  QProcess process_;
  uint8_t com_ = 0;
};

}  // namespace varnex
