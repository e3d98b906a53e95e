// TRuvolt: the device-link object. It owns the serial port, the configuration record and the
// transfer state, and speaks the device's framed protocol over the port.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "ComPort.h"
#include "DeviceConfig.h"
#include "Host.h"
#include "LogLines.h"

namespace varnex {

// The firmware version reply.
struct TVersionInfo {
  uint8_t Major = 0;
  uint8_t Minor = 0;
  int16_t Value1 = 0;
  int16_t Value2 = 0;
  int16_t Value3 = 0;
  std::array<uint8_t, 6> Tail{};
};

// The small animated window shown while SearchDevice tries the ports (a Qt window in the
// programs, nothing in the CLI).
class ISearchWindow {
 public:
  virtual ~ISearchWindow() = default;
  virtual void ShowPort(const std::string& portName) = 0;
  virtual void CloseWindow() = 0;
};

class TRuvolt {
 public:
  TRuvolt();

  std::array<uint8_t, ConfigSize> ImageBuffer{};  // staging copy of the transfer image body
  TComPort Port;
  int16_t HeaderMagic = 0;
  int16_t HeaderCompat = 0;
  int16_t HeaderReserved = 0;
  uint16_t HeaderLength = 0;
  TDeviceConfig Config;
  std::string ConfigFileName;
  TVersionInfo Version;

  // --- Frame codec ---------------------------------------------------------------------------
  // The byte that makes the first count bytes sum to 0 modulo 256; 0 when count > capacity.
  static uint8_t ComputeChecksum(const uint8_t* buffer, size_t capacity, size_t count);
  static bool ChecksumOk(const uint8_t* buffer, size_t count);
  // Zeroes the buffer, then puts the command bytes and their checksum at its start (the buffer
  // stays zero when they leave no room for the checksum).
  static void BuildCommand(uint8_t* buffer, size_t capacity,
                           std::initializer_list<uint8_t> command);
  static void BuildCommand(uint8_t* buffer, size_t capacity, const uint8_t* command, size_t count);
  // Undoes the byte stuffing in place; returns the number of escape pairs (0 and the buffer
  // unchanged when count > capacity).
  static size_t UnescapeFrame(uint8_t* buffer, size_t capacity, size_t count);
  // Frames the first count bytes and writes them in one go. False when the port is closed,
  // the frame does not fit the frame buffer, or the write fails.
  bool SendFrame(const uint8_t* buffer, size_t capacity, size_t count);
  // Waits up to timeoutMs for one framed reply of exactly `expected` message bytes and leaves
  // the unescaped message at the buffer's start. A checksum failure is shown to the user. The
  // number of raw line bytes received goes to rawCount.
  bool ReceiveBurst(uint8_t* buffer, size_t capacity, size_t expected, uint32_t timeoutMs,
                    uint32_t* rawCount = nullptr);

  // --- Connection ------------------------------------------------------------------------------
  // Wakes the device: 1 = ACK (or NAK when busy is accepted), 0 = busy, -1 = no answer/no port.
  int Connect(bool showMessages, bool acceptBusy);
  // Ends command mode (EOT) and releases the port; false when it was not open.
  bool Disconnect();

  // --- Device search (Ruvolt_Search.cpp) --------------------------------------------------------
  // Tries every port of a fresh scan until the device answers; saves "search_vnx.txt" in
  // logFolder. True when found: Port.PortNumber then names that port.
  bool SearchDevice(const std::string& logFolder, ISearchWindow* window = nullptr);

  // --- Operations ------------------------------------------------------------------------------
  // Each expects the device connected and leaves connecting and disconnecting to the caller
  // (UpdateFirmware reconnects after the update). They append their step lines to `lines`,
  // report blocks through `progress`, and save the lines as a log file in `logFolder` (a path
  // ending in "/", or empty for the current folder) on every path.

  // The firmware version; on failure two dump lines are logged and `version` is unchanged.
  bool ReadVersionInfo(TVersionInfo& version, ILogLines& lines);
  // Fetches the stored configuration; true when the whole record arrived, and only then is it
  // copied into Config. Log file "config_read.txt".
  bool ReadConfiguration(IProgress& progress, ILogLines& lines, const std::string& logFolder);
  // Stores Config in the device; true when every block was taken and the device reported the
  // image complete. Config is not changed. Log file "config_write.txt".
  bool WriteConfiguration(IProgress& progress, ILogLines& lines, const std::string& logFolder);
  // Writes a firmware file (at least 256 bytes, starting with 'G') and checks that the device
  // answers the version query after its restart. Log file "firmware.txt".
  bool UpdateFirmware(const std::string& fileName, ILogLines& lines, const std::string& logFolder,
                      IProgress& progress);
  // Writes a voice flash image; true when every block was taken, the last with status 1. Keeps
  // the log near FlashLogKeepLines lines. Log file "flash_write.txt".
  bool WriteFlash(const std::string& fileName, ILogLines& lines, const std::string& logFolder,
                  IProgress& progress);

  // --- Record ----------------------------------------------------------------------------------
  void ApplyDefaults() { Config.ApplyDefaults(); }
  static int CountActive(const uint8_t* list) { return varnex::CountActive(list); }
  std::string FormatNumber(TConstPhoneNumber number) const { return Config.FormatNumber(number); }
  // Writes Config as a 3001-byte file, whole or not at all; true when the file holds it.
  bool SaveConfig(const std::string& path, std::string* errorText = nullptr);
  // Takes a 3001-byte file into Config and remembers its path in ConfigFileName. A file that is
  // missing, unreadable or of another length is refused (errorText says why) and Config and
  // ConfigFileName stay as they were.
  bool LoadConfig(const std::string& path, std::string* errorText = nullptr);

 private:
  // Waits until input is queued or the time passes, serving the windows meanwhile. False when
  // the line is gone.
  bool WaitForInput(uint32_t milliseconds);
  // Sends one request and waits for its reply of `expected` bytes. False without waiting when
  // the request cannot be sent.
  bool Exchange(const uint8_t* request, size_t count, uint8_t* reply, size_t expected,
                uint32_t timeoutMs);
  // The port is open (else "Varnex not connected." is logged) and the version query answered
  // (its dump lines go to versionLines).
  bool QueryVersion(ILogLines& lines, ILogLines& versionLines);
  enum class PrepareResult { NoAnswer, Refused, Ready };
  // Sends a one-byte prepare command; Ready when its reply is readyCode and status 0. The reply
  // stays in `reply` (ReplyBufferSize bytes).
  PrepareResult Prepare(uint8_t command, uint8_t readyCode, uint32_t timeoutMs, uint8_t* reply);
  // After a failed exchange: says so plainly when the line is gone or a send failed.
  void NoteLineFault(ILogLines& lines);

  bool sendFailed_ = false;
};

}  // namespace varnex
