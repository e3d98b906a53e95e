// The long device operations of TRuvolt: configuration read and write, firmware update, voice
// flash upload, and the configuration file.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Host.h"
#include "Messages.h"
#include "Protocol.h"
#include "Ruvolt_Support.h"
#include "misc_functions.h"

namespace varnex {

using namespace protocol;

namespace {

using Clock = std::chrono::steady_clock;

const char* NotConnected = "Varnex not connected.";
const char* SerialTimeout = "Timeout on serial interface !";

struct FileRead {
  bool opened = false;
  bool readFailed = false;
  int error = 0;
  std::string bytes;
};

// Reads a whole file, keeping the system's error code of a failed open or read apart.
FileRead ReadWholeFile(const std::string& path) {
  FileRead result;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    result.error = errno;
    return result;
  }
  result.opened = true;
  char buffer[65536];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, f);
    result.bytes.append(buffer, n);
    if (n < sizeof buffer) {
      if (std::ferror(f)) {
        result.readFailed = true;
        result.error = errno;
      }
      break;
    }
  }
  std::fclose(f);
  return result;
}

size_t BlockCount(size_t bytes) {
  return (bytes + TransferBlockSize - 1) / TransferBlockSize;
}

// The reply bytes as hex pairs: "F1 03 00 0B" (separator " ") or "E1 05 00 00 15" (" 0x").
std::string HexList(const uint8_t* bytes, size_t count, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += separator;
    text += HexByte(bytes[i]);
  }
  return text;
}

std::string DecimalList(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += ",";
    text += std::to_string(bytes[i]);
  }
  return text;
}

// Bytes per second over the blocks sent since start (never a division by zero).
uint64_t Speed(size_t blocks, uint32_t bytesPerBlock, Clock::time_point start) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  return static_cast<uint64_t>(blocks) * bytesPerBlock * 1000 /
         static_cast<uint64_t>(std::max<int64_t>(ms.count(), 1));
}

std::string VersionText(const TVersionInfo& v) {
  return std::to_string(v.Major) + "." + std::to_string(v.Minor);
}

// A block message: command, block number bytes, up to 256 data bytes, checksum.
size_t BuildBlock(uint8_t* message, std::initializer_list<uint8_t> head, const uint8_t* data,
                  size_t count) {
  std::copy(head.begin(), head.end(), message);
  std::memcpy(message + head.size(), data, count);
  const size_t length = head.size() + count;
  message[length] = TRuvolt::ComputeChecksum(message, length, length);
  return length + 1;
}

}  // namespace

bool TRuvolt::Exchange(const uint8_t* request, size_t count, uint8_t* reply, size_t expected,
                       uint32_t timeoutMs) {
  sendFailed_ = !SendFrame(request, count, count);
  if (sendFailed_) {
    std::memset(reply, 0, ReplyBufferSize);
    return false;
  }
  return ReceiveBurst(reply, ReplyBufferSize, expected, timeoutMs);
}

TRuvolt::PrepareResult TRuvolt::Prepare(uint8_t command, uint8_t readyCode, uint32_t timeoutMs,
                                        uint8_t* reply) {
  uint8_t request[4];
  BuildCommand(request, sizeof request, {command});
  if (!Exchange(request, 2, reply, PrepareReplyLength, timeoutMs)) return PrepareResult::NoAnswer;
  return reply[0] == readyCode && reply[1] == 0 ? PrepareResult::Ready : PrepareResult::Refused;
}

bool TRuvolt::QueryVersion(ILogLines& lines, ILogLines& versionLines) {
  if (!Port.IsOpen()) {
    lines.Add(NotConnected);
    return false;
  }
  if (ReadVersionInfo(Version, versionLines)) return true;
  NoteLineFault(versionLines);
  return false;
}

void TRuvolt::NoteLineFault(ILogLines& lines) {
  if (Port.HungUp())
    lines.Add("The device is gone: the serial line was hung up (adapter unplugged?).");
  else if (sendFailed_)
    lines.Add("Sending to the device failed.");
  sendFailed_ = false;
}

bool TRuvolt::ReadConfiguration(IProgress& progress, ILogLines& lines,
                                const std::string& logFolder) {
  progress.SetPosition(0);
  UiPump().ProcessMessages();
  auto run = [&]() -> bool {
    if (!Port.IsOpen()) {
      lines.Add(NotConnected);
      return false;
    }
    std::array<uint8_t, FrameBufferSize> request{};
    std::array<uint8_t, ReplyBufferSize> reply{};
    uint8_t first[4];
    BuildCommand(first, sizeof first, {CmdReadConfigBlock, 0});
    UiPump().ProcessMessages();
    if (!Exchange(first, 3, reply.data(), ReadBlockReplyLength, ReadFirstBlockTimeoutMs)) {
      lines.Add("'Write Prepare' ist fehlgeschlagen");
      NoteLineFault(lines);
      return false;
    }
    const uint8_t lastBlock = reply[1];
    if (lastBlock == 0) {
      lines.Add("Keine Konfiguration geladen !");
      return false;
    }
    auto word = [&](size_t at) { return static_cast<uint16_t>(reply[at] | (reply[at + 1] << 8)); };
    HeaderMagic = static_cast<int16_t>(word(3));
    HeaderCompat = static_cast<int16_t>(word(5));
    HeaderReserved = static_cast<int16_t>(word(7));
    HeaderLength = word(9);
    ImageBuffer.fill(0);
    if (HeaderCompat != 0) {
      lines.Add("Konfiguration mit Firmware nicht mehr kompatibel !");
      return false;
    }
    constexpr size_t FirstData = TransferBlockSize - ConfigHeaderSize;  // 248
    std::memcpy(ImageBuffer.data(), reply.data() + ReadReplyDataOffset + ConfigHeaderSize,
                FirstData);
    size_t p = FirstData;  // where the next block's bytes go in ImageBuffer
    size_t received = FirstData;
    progress.SetRange(0, lastBlock);
    for (unsigned k = 1; k <= lastBlock; ++k) {
      UiPump().ProcessMessages();
      const size_t length =
          k < lastBlock ? ReadBlockReplyLength
                        : static_cast<uint16_t>(HeaderLength - ConfigHeaderSize - p) % 256 + 4;
      BuildCommand(request.data(), request.size(), {CmdReadConfigBlock, static_cast<uint8_t>(k)});
      UiPump().ProcessMessages();
      if (!Exchange(request.data(), 3, reply.data(), length, ReadBlockTimeoutMs)) {
        lines.Add(SerialTimeout);
        NoteLineFault(lines);
        return false;
      }
      progress.SetPosition(static_cast<int>(k));
      const size_t data = length - 4;
      if (p < ImageBuffer.size())
        std::memcpy(ImageBuffer.data() + p, reply.data() + ReadReplyDataOffset,
                    std::min(data, ImageBuffer.size() - p));
      received = p + data;
      p += TransferBlockSize;
    }
    // The record and the image checksum behind it must both have come: a shorter image would
    // leave part of the old record standing as if it were the device's.
    if (received < ConfigSize + 1) {
      lines.Add("Configuration incomplete: the device sent " +
                std::to_string(std::min(received, ConfigSize)) + " of " +
                std::to_string(ConfigSize) + " bytes.");
      return false;
    }
    Config.Bytes = ImageBuffer;
    lines.Add("OK");
    return true;
  };
  const bool ok = run();
  SaveLinesToFile(lines, logFolder + "config_read.txt");
  return ok;
}

bool TRuvolt::WriteConfiguration(IProgress& progress, ILogLines& lines,
                                 const std::string& logFolder) {
  progress.SetPosition(0);
  auto run = [&]() -> bool {
    if (!QueryVersion(lines, lines)) return false;
    std::array<uint8_t, FrameBufferSize> request{};
    std::array<uint8_t, ReplyBufferSize> reply{};
    UiPump().ProcessMessages();
    if (Prepare(CmdWritePrepare, ReplyWritePrepare, WritePrepareTimeoutMs, reply.data()) !=
        PrepareResult::Ready) {
      lines.Add("CONFIG_WRITE_PREPARE_ERROR");
      NoteLineFault(lines);
      return false;
    }
    UiPump().ProcessMessages();
    ImageBuffer = Config.Bytes;
    HeaderMagic = static_cast<int16_t>(ConfigMagic);
    HeaderCompat = 0;
    HeaderReserved = 0;
    HeaderLength = ConfigImageSize;
    std::array<uint8_t, ConfigImageSize> image{};
    const uint16_t header[4] = {static_cast<uint16_t>(HeaderMagic),
                                static_cast<uint16_t>(HeaderCompat),
                                static_cast<uint16_t>(HeaderReserved), HeaderLength};
    for (size_t i = 0; i < 4; ++i) {
      image[2 * i] = static_cast<uint8_t>(header[i] & 0xFF);
      image[2 * i + 1] = static_cast<uint8_t>(header[i] >> 8);
    }
    std::copy(ImageBuffer.begin(), ImageBuffer.end(), image.begin() + ConfigHeaderSize);
    image[ConfigImageSize - 1] = ComputeChecksum(image.data(), image.size(), image.size() - 1);

    progress.SetRange(0, static_cast<int>(ConfigWriteBlocks));
    for (size_t k = 0; k < ConfigWriteBlocks; ++k) {
      UiPump().ProcessMessages();
      const size_t offset = k * TransferBlockSize;
      const size_t count = std::min(TransferBlockSize, ConfigImageSize - offset);
      const size_t length =
          BuildBlock(request.data(), {CmdWriteConfigBlock, static_cast<uint8_t>(k)},
                     image.data() + offset, count);
      const bool answered = Exchange(request.data(), length, reply.data(), WriteBlockReplyLength,
                                     WriteBlockTimeoutMs);
      if (!answered) lines.Add(SerialTimeout);
      const uint8_t expected = k + 1 < ConfigWriteBlocks ? BlockStored : BlockComplete;
      if (!answered || reply[2] != expected) {
        lines.Add("Error occured at Block " + std::to_string(k));
        if (!answered) NoteLineFault(lines);
        return false;
      }
      progress.SetPosition(static_cast<int>(k + 1));
    }
    lines.Add("OK");
    return true;
  };
  const bool ok = run();
  SaveLinesToFile(lines, logFolder + "config_write.txt");
  return ok;
}

bool TRuvolt::UpdateFirmware(const std::string& fileName, ILogLines& lines,
                             const std::string& logFolder, IProgress& progress) {
  auto run = [&]() -> bool {
    const FileRead file = ReadWholeFile(fileName);
    if (!file.opened) {
      lines.Add(fileName + " could not opened (" + std::to_string(file.error) + ") ! ");
      return false;
    }
    if (file.readFailed) {
      MessageBox("Unexpected Error: File '" + fileName + "' could not be opened (" +
                     std::to_string(file.error) + ") !",
                 "Varnex - Error", MsgIcon::Error);
      return false;
    }
    if (file.bytes.size() < TransferBlockSize ||
        static_cast<uint8_t>(file.bytes[0]) != FirmwareFileMark) {
      lines.Add(fileName + " is no firmware file (it must begin with 'G' and hold at least " +
                std::to_string(TransferBlockSize) + " bytes) !");
      return false;
    }
    if (!QueryVersion(lines, lines)) return false;
    lines.Add("Actual version : " + VersionText(Version));
    lines.Add("Preparing device for firmware update ...");

    std::array<uint8_t, FrameBufferSize> request{};
    std::array<uint8_t, ReplyBufferSize> reply{};
    const auto prepared =
        Prepare(CmdFirmwarePrepare, ReplyFirmwarePrepare, FirmwarePrepareTimeoutMs, reply.data());
    if (prepared == PrepareResult::NoAnswer) {
      lines.Add("Firmware write prepare failed ...");
      NoteLineFault(lines);
      return false;
    }
    if (prepared == PrepareResult::Refused) {
      lines.Add("Firmware write prepare refused (0x" + HexList(reply.data(), 3, " 0x") + ") !");
      return false;
    }

    const auto* data = reinterpret_cast<const uint8_t*>(file.bytes.data());
    const size_t blocks = BlockCount(file.bytes.size());
    const auto start = Clock::now();
    progress.SetRange(0, static_cast<int>(blocks));
    lines.Add("Update in Progress ...");
    for (size_t k = 0; k < blocks; ++k) {
      const size_t offset = k * TransferBlockSize;
      const size_t count = std::min(TransferBlockSize, file.bytes.size() - offset);
      const size_t length = BuildBlock(
          request.data(), {CmdFirmwareBlock, static_cast<uint8_t>(k & 0xFF)}, data + offset, count);
      if (!Exchange(request.data(), length, reply.data(), FirmwareBlockReplyLength,
                    FirmwareBlockTimeoutMs)) {
        lines.Add(SerialTimeout);
        NoteLineFault(lines);
        return false;
      }
      const uint8_t status = reply[2];
      const uint8_t expected = k + 1 < blocks ? BlockStored : BlockComplete;
      const std::string replyText = HexList(reply.data(), FirmwareBlockReplyLength, " ");
      if (status != expected) {
        lines.Add("Error writing Block " + std::to_string(k) + ") " + BlockStatusText(status) +
                  ",  " + replyText);
        lines.Add("Firmware Update canceled ...");
        return false;
      }
      lines.Add("Block " + std::to_string(k) + ") " + replyText);
      progress.SetPosition(static_cast<int>(k));
      UiPump().ProcessMessages();
    }

    // The device restarts into the new firmware and must be woken again.
    Disconnect();
    if (Connect(true, true) != 1) {
      NoteLineFault(lines);
      return false;
    }
    if (!ReadVersionInfo(Version, lines)) {
      lines.Add("Error while verifying firmware version!");
      return false;
    }
    lines.Add("\r\nSuccessfully updated firmware to\r\nversion " + VersionText(Version) + " (" +
              std::to_string(Speed(blocks, FirmwareSpeedBlockBytes, start)) + " bytes/s) !");
    return true;
  };
  const bool ok = run();
  SaveLinesToFile(lines, logFolder + "firmware.txt");
  return ok;
}

bool TRuvolt::WriteFlash(const std::string& fileName, ILogLines& lines,
                         const std::string& logFolder, IProgress& progress) {
  auto run = [&]() -> bool {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) {
      lines.Add(fileName + " not found !");
      return false;
    }
    // Read before the prepare: an unreadable file must not leave the flash erased.
    const FileRead file = ReadWholeFile(fileName);
    if (!file.opened || file.readFailed) {
      lines.Add(fileName + " could not be read (" + ErrnoText(file.error) + ") !");
      return false;
    }
    LogLines versionDump;  // the upload's log leaves a failed version query's dump out
    if (!QueryVersion(lines, versionDump)) {
      if (Port.IsOpen()) lines.Add("The device did not answer the version query.");
      NoteLineFault(lines);
      return false;
    }
    lines.Add("Actual Firmware Version : " + VersionText(Version));
    lines.Add("Preparing device for writing flash, please wait (max. 25s) ...");

    std::array<uint8_t, FrameBufferSize> request{};
    std::array<uint8_t, ReplyBufferSize> reply{};
    const auto prepared =
        Prepare(CmdFlashPrepare, ReplyFlashPrepare, FlashPrepareTimeoutMs, reply.data());
    if (prepared == PrepareResult::NoAnswer) {
      lines.Add("FlashWrite write prepare failed (no Answer to PrepareCommand...) !");
      NoteLineFault(lines);
      return false;
    }
    const std::string prepareBytes = DecimalList(reply.data(), PrepareReplyLength);
    if (prepared == PrepareResult::Refused) {
      lines.Add("FlashWrite write prepare failed (ErrorCode : " + prepareBytes + ") !");
      return false;
    }
    lines.Add("Prepare successfull (" + prepareBytes + "), writing block 1 ...");

    const auto* data = reinterpret_cast<const uint8_t*>(file.bytes.data());
    const size_t blocks = BlockCount(file.bytes.size());
    const auto start = Clock::now();
    progress.SetRange(0, static_cast<int>(blocks));
    bool failed = false;
    for (size_t k = 0; k < blocks && !failed; ++k) {
      const size_t offset = k * TransferBlockSize;
      const size_t count = std::min(TransferBlockSize, file.bytes.size() - offset);
      const auto low = static_cast<uint8_t>(k & 0xFF);
      const auto high = static_cast<uint8_t>((k >> 8) & 0xFF);
      const size_t length =
          BuildBlock(request.data(), {CmdFlashBlock, low, high}, data + offset, count);
      const std::string block = std::to_string(k);
      if (!Exchange(request.data(), length, reply.data(), FlashBlockReplyLength,
                    FlashBlockTimeoutMs)) {
        lines.Add(SerialTimeout);
        NoteLineFault(lines);
        failed = true;
        break;
      }
      const uint8_t status = reply[3];
      const uint8_t expected = k + 1 < blocks ? BlockStored : BlockComplete;
      const bool wrongCode = reply[0] != ReplyFlashBlock;
      const bool wrongBlock = reply[1] != low || reply[2] != high;
      const std::string replyText = "0x" + HexList(reply.data(), FlashBlockReplyLength, " 0x");
      if (status != expected || wrongBlock || wrongCode) {
        lines.Add("");
        lines.Add("Block " + block + " NOT written : " + replyText);
        if (wrongCode)
          lines.Add("Error writing Block " + block + ") wrong answer '0x" + HexByte(reply[0]) +
                    "'");
        if (wrongBlock) lines.Add("Error writing Block " + block + ") block number mismatch");
        if (status != BlockStored)
          lines.Add("Error writing Block " + block + ") " + BlockStatusText(status));
        failed = true;
        break;
      }
      if (lines.Count() > FlashLogKeepLines) lines.Delete(0);
      lines.Add("Block " + block + " written : " + replyText);
      progress.SetPosition(static_cast<int>(k));
      UiPump().ProcessMessages();
    }
    if (failed) {
      lines.Add("Error writing Flash file !");
      return false;
    }
    lines.Add("\r\nSuccessfully updated FlashFile (" +
              std::to_string(Speed(blocks, FlashSpeedBlockBytes, start)) + " bytes/s) !");
    return true;
  };
  const bool ok = run();
  SaveLinesToFile(lines, logFolder + "flash_write.txt");
  return ok;
}

bool TRuvolt::SaveConfig(const std::string& path, std::string* errorText) {
  const std::string_view bytes(reinterpret_cast<const char*>(Config.Data()), ConfigSize);
  return WriteFileAtomic(path, bytes, errorText);
}

bool TRuvolt::LoadConfig(const std::string& path, std::string* errorText) {
  auto fail = [&](const std::string& why) {
    if (errorText) *errorText = why;
    return false;
  };
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return fail(path + ": no such file");
  if (!std::filesystem::is_regular_file(status)) return fail(path + " is not a file");
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size != ConfigSize)
    return fail(path + " is " + std::to_string(size) +
                " bytes long; a configuration file has exactly " + std::to_string(ConfigSize) +
                " bytes.");
  std::string bytes;
  std::string readError;
  if (!ReadFileBytes(path, bytes, &readError)) return fail(readError);
  if (bytes.size() != ConfigSize)
    return fail(path + " is " + std::to_string(bytes.size()) +
                " bytes long; a configuration file has exactly " + std::to_string(ConfigSize) +
                " bytes.");
  std::copy(bytes.begin(), bytes.end(), Config.Bytes.begin());
  ConfigFileName = path;
  return true;
}

}  // namespace varnex
