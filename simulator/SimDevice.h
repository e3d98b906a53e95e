// The device side of the serial protocol, as a byte-in/bytes-out state machine. PtyServer puts
// it on a pseudo-terminal and adds timing.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "DeviceConfig.h"

namespace varnex::sim {

// The transfers a fault can be put into. Version: the version queries, counted as blocks.
enum class SimTransfer { None, ConfigRead, ConfigWrite, Firmware, Flash, Version };

// A fault in one transfer: in its prepare step, or in one of its blocks (counted from 0 in the
// order they arrive).
struct SimFault {
  SimTransfer on = SimTransfer::None;
  bool prepareRefused = false;  // the prepare is answered with status 1
  bool prepareSilent = false;   // the prepare gets no answer
  int prepareDelayMs = 0;       // the prepare is answered this late (a flash erase: up to 25 s)
  int block = -1;               // the block that the fields below concern
  int status = -1;              // answer this status byte
  int replyBlock = -1;          // flash: answer with this block number
  int replyCode = -1;           // flash: answer with this reply code
  bool silent = false;          // no answer
  int cutBytes = 0;             // the answer's frame loses this many bytes at its end
  bool badChecksum = false;     // the answer's checksum byte is one off
  bool extraByte = false;       // the answer has one more message byte (checksum still right)
  std::vector<uint8_t> noise;   // bytes sent before the answer
  bool hangUp = false;          // hang the line up instead of answering
};

// Faults and identity of the simulated device. Changed between or during exchanges by tests.
struct SimOptions {
  // Identity.
  uint8_t major = 2;
  uint8_t minor = 5;
  int16_t value1 = 0;  // version reply words; 0x00FA puts a delimiter byte into the reply
  int16_t value2 = 0;
  int16_t value3 = 0;
  // The version the device reports after a firmware update (unchanged when not set).
  std::optional<std::pair<uint8_t, uint8_t>> versionAfterUpdate;
  bool silentAfterUpdate = false;     // the new firmware never answers the wake-up
  bool noVersionAfterUpdate = false;  // the new firmware ignores the version query

  // Handshake.
  bool busy = false;           // answer ENQ with NAK
  bool silent = false;         // answer nothing at all
  std::vector<uint8_t> noise;  // bytes sent before every answer
  int noiseGapMs = 0;          // pause between noise and answer; 0 = one write

  // Replies.
  std::vector<uint8_t> replyNoise;  // bytes sent before every framed reply
  int cutReplyBytes = 0;            // drop this many bytes at the end of each framed reply
  bool replyExtraByte = false;      // one more message byte (a zero: checksum still right)

  // Stored configuration. It starts as configFile when that file exists, else as a new record
  // with its defaults; every complete write replaces it (and the file, when named).
  std::string configFile;
  bool noConfig = false;        // answer reads as a device with no configuration stored
  int16_t compat = 0;           // compatibility word served with it; non-zero = unusable
  uint16_t imageLength = 3010;  // image length served with it (shorter: the image is cut)

  // Received images are kept (FirmwareImage, FlashImage) and, when named, written to a file
  // once complete.
  std::string firmwareOut;
  std::string flashOut;

  SimFault fault;
};

// One piece of output: send `bytes` after waiting `delayMs` from the previous piece.
struct SimChunk {
  int delayMs = 0;
  std::vector<uint8_t> bytes;
};

class SimDevice {
 public:
  explicit SimDevice(SimOptions options = {});

  SimOptions& Options() { return options_; }
  bool InCommandMode() const { return commandMode_; }
  // Every request message (unframed, checksum included) the device has taken, in order.
  const std::vector<std::vector<uint8_t>>& Requests() const { return requests_; }
  int EnqCount() const { return enqCount_; }
  int EotCount() const { return eotCount_; }

  // Why configFile could not be taken at start (empty when it was, or none was named).
  const std::string& ConfigFileError() const { return configFileError_; }
  const TDeviceConfig& StoredConfig() const { return config_; }
  // The bytes of the last firmware or flash upload so far, and whether it completed.
  const std::vector<uint8_t>& FirmwareImage() const { return firmware_.bytes; }
  bool FirmwareComplete() const { return firmware_.complete; }
  const std::vector<uint8_t>& FlashImage() const { return flash_.bytes; }
  bool FlashComplete() const { return flash_.complete; }
  int Restarts() const { return restarts_; }

  // Takes one byte from the line; appends what the device answers.
  void OnByte(uint8_t byte, std::vector<SimChunk>& out);
  // True once (then false) when a fault asks for the line to be hung up.
  bool TakeHangUp();

 private:
  // An upload in progress or done.
  struct Upload {
    bool prepared = false;
    bool complete = false;
    size_t blocks = 0;    // blocks taken since the prepare
    size_t expected = 0;  // image length when the image tells it, else 0
    std::vector<uint8_t> bytes;
  };
  struct Reply {
    std::vector<uint8_t> message;  // without checksum
    int delayMs = 0;
    bool silent = false;
    int cutBytes = 0;            // the frame loses this many bytes at its end
    bool badChecksum = false;    // the checksum byte is one off
    bool extraByte = false;      // one more message byte
    std::vector<uint8_t> noise;  // sent before the frame
  };

  void OnFrame(std::vector<SimChunk>& out);
  // Answers one checked request message in command mode.
  Reply HandleRequest(const std::vector<uint8_t>& request);
  Reply ReadBlock(uint8_t k);
  Reply WriteBlock(uint8_t k, const uint8_t* data, size_t count);
  Reply FirmwareBlock(uint8_t k, const uint8_t* data, size_t count);
  Reply FlashBlock(uint16_t k, const uint8_t* data, size_t count);
  Reply Prepare(uint8_t code, Upload* upload, SimTransfer transfer);
  std::vector<uint8_t> StoredImage() const;
  // Applies the fault's block fields to the answer of block `block` of `transfer`; true when
  // they concern that block.
  bool ApplyBlockFault(SimTransfer transfer, size_t block, Reply& reply);
  // One block of an upload: `handle` takes it; a faulted answer undoes that, a completed upload
  // is written to its file.
  Reply UploadBlock(SimTransfer transfer, Upload& upload, size_t block,
                    const std::function<Reply()>& handle);
  void Restart();
  void SendReply(const Reply& reply, std::vector<SimChunk>& out);

  SimOptions options_;
  bool commandMode_ = false;
  bool inFrame_ = false;
  bool escape_ = false;
  std::vector<uint8_t> frame_;
  std::vector<std::vector<uint8_t>> requests_;
  int enqCount_ = 0;
  int eotCount_ = 0;
  int restarts_ = 0;
  bool hangUp_ = false;
  bool versionSilent_ = false;
  size_t versionQueries_ = 0;

  TDeviceConfig config_;
  std::string configFileError_;
  Upload configWrite_;
  Upload firmware_;
  Upload flash_;
};

}  // namespace varnex::sim
