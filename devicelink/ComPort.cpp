#include "ComPort.h"

#include "PortMap.h"

namespace varnex {

TComPort::TComPort() = default;

TComPort::~TComPort() { Close(); }

PortMap& TComPort::Map() const { return map_ ? *map_ : PortMap::Default(); }

std::string TComPort::PortPath() const { return Map().DevicePathFor(PortNumber); }

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
