#include "ComPort.h"

#include "PortMap.h"
#include "misc_functions.h"

namespace varnex {

TComPort::TComPort() = default;

TComPort::~TComPort() { Close(); }

PortMap& TComPort::Map() const { return map_ ? *map_ : PortMap::Default(); }

std::string TComPort::PortPath() const {
  return PortNumber == 0 ? std::string() : DevicePath("COM" + std::to_string(PortNumber), Map(),
                                                      DiscoveryRoots.dev);
}

std::string TComPort::DescriptionOf(const std::string& name) const {
  for (const auto& p : ScannedPorts)
    if (p.name == name) return p.description;
  return {};
}

std::string DevicePath(const std::string& portName, const PortMap& map,
                       const std::string& devRoot) {
  const int n = TComPort::PortNumberFromName(portName);
  if (n == 0) return {};
  if (auto entry = map.Find(n)) return entry->path;
  return devRoot + "/ttyS" + std::to_string(n - 1);
}

std::string TickLine(const std::string& text) {
  return std::to_string(GetTickCount()) + ": " + text;
}

uint8_t TComPort::PortNumberFromName(const std::string& name) {
  if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0) return 0;
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  // "COM07" is not one of "COM1" ... "COM255".
  if (n < 1 || n > 255 || name != "COM" + std::to_string(n)) return 0;
  return static_cast<uint8_t>(n);
}

}  // namespace varnex
