// Framing shared by the PC side and the simulated device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnex {

// FA, the bytes with FA and FB stuffed as pairs, FA.
std::vector<uint8_t> EncodeFrame(const uint8_t* message, size_t count);
inline std::vector<uint8_t> EncodeFrame(const std::vector<uint8_t>& message) {
  return EncodeFrame(message.data(), message.size());
}

// Appends the checksum byte that makes the message sum to 0 modulo 256.
void AppendChecksum(std::vector<uint8_t>& message);

}  // namespace varnex
