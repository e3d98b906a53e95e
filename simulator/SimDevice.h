// The device side of the serial protocol, as a byte-in/bytes-out state machine. PtyServer puts
// it on a pseudo-terminal and adds timing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace varnex::sim {

// Faults and identity of the simulated device. Changed between or during exchanges by tests.
struct SimOptions {
  // Identity.
  uint8_t major = 2;
  uint8_t minor = 5;
  int16_t value1 = 0;  // version reply words; 0x00FA puts a delimiter byte into the reply
  int16_t value2 = 0;
  int16_t value3 = 0;

  // Handshake.
  bool busy = false;    // answer ENQ with NAK
  bool silent = false;  // answer nothing at all
  std::vector<uint8_t> noise;  // bytes sent before every answer
  int noiseGapMs = 0;          // pause between noise and answer; 0 = one write

  // Replies.
  std::vector<uint8_t> replyNoise;  // bytes sent before every framed reply
  int cutReplyBytes = 0;       // drop this many bytes at the end of each framed reply
  bool replyExtraByte = false;  // one more message byte (a zero: checksum still right)
};

// One piece of output: send `bytes` after waiting `delayMs` from the previous piece.
struct SimChunk {
  int delayMs = 0;
  std::vector<uint8_t> bytes;
};

class SimDevice {
 public:
  explicit SimDevice(SimOptions options = {}) : options_(std::move(options)) {}

  SimOptions& Options() { return options_; }
  bool InCommandMode() const { return commandMode_; }
  // Every request message (unframed, checksum included) the device has taken, in order.
  const std::vector<std::vector<uint8_t>>& Requests() const { return requests_; }
  int EnqCount() const { return enqCount_; }
  int EotCount() const { return eotCount_; }

  // Takes one byte from the line; appends what the device answers.
  void OnByte(uint8_t byte, std::vector<SimChunk>& out);

 private:
  // Answers one checked request message in command mode; returns the reply message without its
  // checksum, or nothing when the device stays silent.
  bool HandleRequest(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply,
                             int& delayMs);

  void SendReply(std::vector<uint8_t> reply, int delayMs, std::vector<SimChunk>& out);
  void OnFrame(std::vector<SimChunk>& out);

  SimOptions options_;
  bool commandMode_ = false;
  bool inFrame_ = false;
  bool escape_ = false;
  std::vector<uint8_t> frame_;
  std::vector<std::vector<uint8_t>> requests_;
  int enqCount_ = 0;
  int eotCount_ = 0;
};

}  // namespace varnex::sim
