// The 3001-byte configuration record: the configuration file and the body of the transfer image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varnex {

constexpr size_t ConfigSize = 3001;

struct TDeviceConfig {
  std::array<uint8_t, ConfigSize> Bytes{};

  uint8_t* Data() { return Bytes.data(); }
  const uint8_t* Data() const { return Bytes.data(); }
  bool operator==(const TDeviceConfig&) const = default;
};

}  // namespace varnex
