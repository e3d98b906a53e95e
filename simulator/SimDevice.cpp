#include "SimDevice.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string_view>

#include "FrameCodec.h"
#include "Protocol.h"
#include "misc_functions.h"

namespace varnex::sim {

using namespace protocol;

namespace {

// Reply codes the PC does not examine; a device answers with the command's code + 0x80.
constexpr uint8_t ReplyReadBlock = 0x83;
constexpr uint8_t ReplyWriteBlock = 0x85;
constexpr uint8_t ReplyFirmwareBlock = 0xF1;
constexpr uint8_t ReplyVersion = 0x81;

// A firmware image may tell its length (little-endian) at this offset of its first block.
constexpr size_t FirmwareLengthOffset = 4;
// A voice flash image: its sample directory tells where the sample data ends.
constexpr size_t FlashHeaderSize = 65536;
constexpr size_t FlashDirectoryEntries = 1024;
constexpr size_t FlashDirectoryEntrySize = 6;

uint32_t Le(const uint8_t* p, size_t bytes) {
  uint32_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = (v << 8) | p[i];
  return v;
}

// The end of the sample data the directory of a complete flash header describes.
size_t FlashImageLength(const std::vector<uint8_t>& header) {
  size_t end = 0;
  for (size_t k = 0; k < FlashDirectoryEntries; ++k) {
    const uint8_t* entry = header.data() + k * FlashDirectoryEntrySize;
    end = std::max<size_t>(end, Le(entry, 4) + Le(entry + 4, 2));
  }
  return FlashHeaderSize + end;
}

void SaveImage(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return;
  WriteFileAtomic(path,
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

SimDevice::SimDevice(SimOptions options) : options_(std::move(options)) {
  config_.ApplyDefaults();
  if (options_.configFile.empty()) return;
  std::error_code ec;
  if (!std::filesystem::exists(options_.configFile, ec)) return;  // created by the first write
  std::string bytes;
  if (!ReadFileBytes(options_.configFile, bytes, &configFileError_)) return;
  if (bytes.size() != ConfigSize) {
    configFileError_ = options_.configFile + " is " + std::to_string(bytes.size()) +
                       " bytes long, not " + std::to_string(ConfigSize);
    return;
  }
  std::copy(bytes.begin(), bytes.end(), config_.Bytes.begin());
}

bool SimDevice::TakeHangUp() {
  return std::exchange(hangUp_, false);
}

void SimDevice::OnByte(uint8_t byte, std::vector<SimChunk>& out) {
  if (inFrame_) {
    if (byte == FrameDelimiter) {
      inFrame_ = false;
      OnFrame(out);
    } else if (escape_) {
      escape_ = false;
      frame_.push_back(byte == EscapedDelimiter ? FrameDelimiter
                       : byte == EscapedEscape  ? FrameEscape
                                                : 0x00);
    } else if (byte == FrameEscape) {
      escape_ = true;
    } else {
      frame_.push_back(byte);
    }
    return;
  }
  if (byte == FrameDelimiter && commandMode_) {
    inFrame_ = true;
    escape_ = false;
    frame_.clear();
    return;
  }
  if (byte == ENQ) {
    ++enqCount_;
    if (options_.silent) return;
    if (!options_.noise.empty() && options_.noiseGapMs > 0) {
      out.push_back({0, options_.noise});
      out.push_back({options_.noiseGapMs, {options_.busy ? NAK : ACK}});
    } else {
      std::vector<uint8_t> answer = options_.noise;
      answer.push_back(options_.busy ? NAK : ACK);
      out.push_back({0, answer});
    }
    // A busy device still takes commands from a PC that accepts it busy.
    commandMode_ = true;
    return;
  }
  if (byte == EOT) {
    ++eotCount_;
    commandMode_ = false;
  }
}

void SimDevice::OnFrame(std::vector<SimChunk>& out) {
  unsigned sum = 0;
  for (uint8_t b : frame_) sum += b;
  // A garbled request gets no answer, as on the real line: the PC times out.
  if (frame_.empty() || (sum & 0xFF) != 0) return;
  requests_.push_back(frame_);
  const Reply reply = HandleRequest(frame_);
  if (!reply.silent) SendReply(reply, out);
  // The new firmware runs once its last block has been confirmed.
  if (firmware_.complete && firmware_.prepared) Restart();
}

SimDevice::Reply SimDevice::HandleRequest(const std::vector<uint8_t>& request) {
  // Message bytes between the code (and block number) and the checksum.
  const uint8_t code = request[0];
  const size_t size = request.size();
  if (code == CmdVersion && size == 2 && !versionSilent_) {
    Reply r;
    auto word = [&](int16_t v) {
      r.message.push_back(static_cast<uint8_t>(v & 0xFF));
      r.message.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    };
    r.message = {ReplyVersion, options_.major, options_.minor};
    word(options_.value1);
    word(options_.value2);
    word(options_.value3);
    r.message.insert(r.message.end(), 6, 0);
    ApplyBlockFault(SimTransfer::Version, versionQueries_++, r);
    return r;
  }
  if (code == CmdReadConfigBlock && size == 3) return ReadBlock(request[1]);
  if (code == CmdWritePrepare && size == 2)
    return Prepare(ReplyWritePrepare, &configWrite_, SimTransfer::ConfigWrite);
  if (code == CmdWriteConfigBlock && size >= 3)
    return UploadBlock(SimTransfer::ConfigWrite, configWrite_, request[1],
                       [&] { return WriteBlock(request[1], request.data() + 2, size - 3); });
  if (code == CmdFirmwarePrepare && size == 2)
    return Prepare(ReplyFirmwarePrepare, &firmware_, SimTransfer::Firmware);
  if (code == CmdFirmwareBlock && size >= 3)
    return UploadBlock(SimTransfer::Firmware, firmware_, firmware_.blocks,
                       [&] { return FirmwareBlock(request[1], request.data() + 2, size - 3); });
  if (code == CmdFlashPrepare && size == 2)
    return Prepare(ReplyFlashPrepare, &flash_, SimTransfer::Flash);
  if (code == CmdFlashBlock && size >= 4) {
    const auto k = static_cast<uint16_t>(request[1] | (request[2] << 8));
    return UploadBlock(SimTransfer::Flash, flash_, k,
                       [&] { return FlashBlock(k, request.data() + 3, size - 4); });
  }
  Reply unknown;
  unknown.silent = true;
  return unknown;
}

std::vector<uint8_t> SimDevice::StoredImage() const {
  std::vector<uint8_t> image(ConfigImageSize, 0);
  const uint16_t header[4] = {ConfigMagic, static_cast<uint16_t>(options_.compat), 0,
                              options_.imageLength};
  for (size_t i = 0; i < 4; ++i) {
    image[2 * i] = static_cast<uint8_t>(header[i] & 0xFF);
    image[2 * i + 1] = static_cast<uint8_t>(header[i] >> 8);
  }
  std::copy(config_.Bytes.begin(), config_.Bytes.end(), image.begin() + ConfigHeaderSize);
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < image.size(); ++i) sum += image[i];
  image.back() = static_cast<uint8_t>(0x100 - (sum & 0xFF));
  image.resize(options_.imageLength, 0);
  return image;
}

SimDevice::Reply SimDevice::ReadBlock(uint8_t k) {
  Reply r;
  if (options_.noConfig) {
    r.message.assign(ReadBlockReplyLength - 1, 0);
    r.message[0] = ReplyReadBlock;
    r.message[2] = k;
  } else {
    const std::vector<uint8_t> image = StoredImage();
    const size_t blocks =
        std::max<size_t>(1, (image.size() + TransferBlockSize - 1) / TransferBlockSize);
    const size_t lastBlock = blocks - 1;
    const size_t offset = std::min(image.size(), size_t{k} * TransferBlockSize);
    const size_t count = std::min(TransferBlockSize, image.size() - offset);
    r.message = {ReplyReadBlock, static_cast<uint8_t>(lastBlock), k};
    r.message.insert(r.message.end(), image.begin() + static_cast<long>(offset),
                     image.begin() + static_cast<long>(offset + count));
  }
  ApplyBlockFault(SimTransfer::ConfigRead, k, r);
  return r;
}

SimDevice::Reply SimDevice::Prepare(uint8_t code, Upload* upload, SimTransfer transfer) {
  const SimFault& f = options_.fault;
  const bool faulted = f.on == transfer;
  Reply r;
  r.message = {code, static_cast<uint8_t>(faulted && f.prepareRefused ? 1 : 0)};
  r.delayMs = faulted ? f.prepareDelayMs : 0;
  r.silent = faulted && f.prepareSilent;
  *upload = Upload{};
  upload->prepared = !r.silent && r.message[1] == 0;
  return r;
}

SimDevice::Reply SimDevice::WriteBlock(uint8_t k, const uint8_t* data, size_t count) {
  Upload& u = configWrite_;
  const size_t expectedCount =
      std::min(TransferBlockSize,
               ConfigImageSize - std::min(ConfigImageSize, size_t{k} * TransferBlockSize));
  uint8_t status = BlockStored;
  if (!u.prepared) {
    status = BlockNotPrepared;
  } else if (k != u.blocks) {
    status = BlockBadSequence;
  } else if (count != expectedCount || count == 0) {
    status = BlockBadSize;
  } else {
    u.bytes.insert(u.bytes.end(), data, data + count);
    ++u.blocks;
    if (u.bytes.size() == ConfigImageSize) {
      unsigned sum = 0;
      for (uint8_t b : u.bytes) sum += b;
      const bool valid = (sum & 0xFF) == 0 && Le(u.bytes.data(), 2) == ConfigMagic &&
                         Le(u.bytes.data() + 6, 2) == ConfigImageSize;
      status = valid ? BlockComplete : BlockBadImage;
      if (valid) {
        std::copy(u.bytes.begin() + ConfigHeaderSize,
                  u.bytes.begin() + ConfigHeaderSize + ConfigSize, config_.Bytes.begin());
        u.complete = true;
      }
    }
  }
  if (status != BlockStored) u.prepared = false;
  Reply r;
  r.message = {ReplyWriteBlock, k, status};
  return r;
}

SimDevice::Reply SimDevice::FirmwareBlock(uint8_t k, const uint8_t* data, size_t count) {
  Upload& u = firmware_;
  uint8_t status = BlockStored;
  const size_t index = u.blocks;
  if (!u.prepared || u.complete) {
    status = BlockNotPrepared;
  } else if (k != (index & 0xFF)) {
    status = BlockBadSequence;
  } else if (count == 0 || count > TransferBlockSize) {
    status = BlockBadSize;
  } else if (index == 0 && data[0] != FirmwareFileMark) {
    status = BlockBadImage;
  } else {
    if (index == 0 && count >= FirmwareLengthOffset + 4) {
      const uint32_t length = Le(data + FirmwareLengthOffset, 4);
      if (length >= TransferBlockSize) u.expected = length;
    }
    u.bytes.insert(u.bytes.end(), data, data + count);
    ++u.blocks;
    const bool last = u.expected ? u.bytes.size() >= u.expected : count < TransferBlockSize;
    if (u.expected && u.bytes.size() > u.expected) {
      status = BlockBadSize;
    } else if (last) {
      status = BlockComplete;
      u.complete = true;
    }
  }
  Reply r;
  r.message = {ReplyFirmwareBlock, k, status};
  if (status != BlockStored && status != BlockComplete) u.prepared = false;
  return r;
}

SimDevice::Reply SimDevice::FlashBlock(uint16_t k, const uint8_t* data, size_t count) {
  Upload& u = flash_;
  uint8_t status = BlockStored;
  if (!u.prepared || u.complete) {
    status = BlockNotPrepared;
  } else if (k != u.blocks) {
    status = BlockBadSequence;
  } else if (count == 0 || count > TransferBlockSize) {
    status = BlockBadSize;
  } else {
    u.bytes.insert(u.bytes.end(), data, data + count);
    ++u.blocks;
    if (u.bytes.size() == FlashHeaderSize) u.expected = FlashImageLength(u.bytes);
    const bool last = count < TransferBlockSize || (u.expected && u.bytes.size() >= u.expected);
    if (last) {
      status = BlockComplete;
      u.complete = true;
    }
  }
  if (status != BlockStored && status != BlockComplete) u.prepared = false;
  Reply r;
  r.message = {ReplyFlashBlock, static_cast<uint8_t>(k & 0xFF), static_cast<uint8_t>(k >> 8),
               status};
  return r;
}

SimDevice::Reply SimDevice::UploadBlock(SimTransfer transfer, Upload& upload, size_t block,
                                        const std::function<Reply()>& handle) {
  const Upload before{upload.prepared, upload.complete, upload.blocks, upload.expected, {}};
  const size_t size = upload.bytes.size();
  const TDeviceConfig config = config_;
  Reply r = handle();
  if (ApplyBlockFault(transfer, block, r)) {
    // A block answered wrongly was not taken, and the transfer is broken off.
    upload.prepared = false;
    upload.complete = before.complete;
    upload.blocks = before.blocks;
    upload.expected = before.expected;
    upload.bytes.resize(size);
    config_ = config;
  } else if (upload.complete && !before.complete) {
    const std::string& path = transfer == SimTransfer::ConfigWrite ? options_.configFile
                              : transfer == SimTransfer::Firmware  ? options_.firmwareOut
                                                                   : options_.flashOut;
    if (transfer == SimTransfer::ConfigWrite)
      SaveImage(path, std::vector<uint8_t>(config_.Bytes.begin(), config_.Bytes.end()));
    else
      SaveImage(path, upload.bytes);
  }
  return r;
}

bool SimDevice::ApplyBlockFault(SimTransfer transfer, size_t block, Reply& reply) {
  const SimFault& f = options_.fault;
  if (f.on != transfer || f.block < 0 || static_cast<size_t>(f.block) != block) return false;
  std::vector<uint8_t>& m = reply.message;
  const size_t statusAt = transfer == SimTransfer::Flash ? 3 : 2;
  const bool hasStatus = transfer != SimTransfer::ConfigRead && transfer != SimTransfer::Version;
  if (f.status >= 0 && hasStatus) m[statusAt] = static_cast<uint8_t>(f.status);
  if (transfer == SimTransfer::Flash && f.replyBlock >= 0) {
    m[1] = static_cast<uint8_t>(f.replyBlock & 0xFF);
    m[2] = static_cast<uint8_t>((f.replyBlock >> 8) & 0xFF);
  }
  if (transfer == SimTransfer::Flash && f.replyCode >= 0) m[0] = static_cast<uint8_t>(f.replyCode);
  if (f.silent) reply.silent = true;
  if (f.hangUp) {
    reply.silent = true;
    hangUp_ = true;
  }
  reply.cutBytes = f.cutBytes;
  reply.badChecksum = f.badChecksum;
  reply.extraByte = f.extraByte;
  reply.noise = f.noise;
  return true;
}

void SimDevice::Restart() {
  ++restarts_;
  firmware_.prepared = false;
  commandMode_ = false;
  inFrame_ = false;
  if (options_.silentAfterUpdate) options_.silent = true;
  if (options_.noVersionAfterUpdate) versionSilent_ = true;
  if (options_.versionAfterUpdate) {
    options_.major = options_.versionAfterUpdate->first;
    options_.minor = options_.versionAfterUpdate->second;
  }
}

void SimDevice::SendReply(const Reply& reply, std::vector<SimChunk>& out) {
  std::vector<uint8_t> message = reply.message;
  AppendChecksum(message);
  if (reply.badChecksum) ++message.back();
  if (options_.replyExtraByte || reply.extraByte) message.push_back(0x00);
  std::vector<uint8_t> frame = EncodeFrame(message);
  const size_t cut = static_cast<size_t>(std::max(0, options_.cutReplyBytes + reply.cutBytes));
  frame.resize(cut >= frame.size() ? 0 : frame.size() - cut);
  frame.insert(frame.begin(), reply.noise.begin(), reply.noise.end());
  frame.insert(frame.begin(), options_.replyNoise.begin(), options_.replyNoise.end());
  out.push_back({reply.delayMs, std::move(frame)});
}

}  // namespace varnex::sim
