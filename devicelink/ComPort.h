// The serial line under the device link: one COM port by number, raw bytes, never blocking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnex {

class PortMap;

// Modem status bits as GetModemStatus reports them.
constexpr uint32_t MS_CTS_ON = 0x10;
constexpr uint32_t MS_DSR_ON = 0x20;
constexpr uint32_t MS_RING_ON = 0x40;
constexpr uint32_t MS_RLSD_ON = 0x80;

// Result of WaitReadable.
enum class WaitResult { Readable, TimedOut, HungUp };

// The device's own USB serial adapter, as sysfs spells its ids (idVendor, idProduct).
constexpr const char* FtdiVendorId = "0403";
constexpr const char* VarnexUsbProductId = "D8E1";

// Where port discovery looks; tests point it at a tree they build.
struct PortDiscoveryRoots {
  std::string sysfs = "/sys";
  std::string dev = "/dev";
};

// One port the last scan looked at, usable or not.
struct ScannedPort {
  std::string name;         // "COM3"; empty when the port has no number
  std::string path;         // device node
  std::string description;  // "FTDI USB serial, /dev/ttyUSB0"
  std::string problem;      // why it is not in PortList; empty when it is
};

class TComPort {
 public:
  static constexpr int InvalidHandle = -1;

  TComPort();
  ~TComPort();
  TComPort(const TComPort&) = delete;
  TComPort& operator=(const TComPort&) = delete;

  // Line format; the device link sets 9600 8N1.
  uint32_t Baudrate = 9600;
  uint8_t Bytesize = 8;
  uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t Stopbits = 0;  // 0 one, 1 one and a half (two on Linux), 2 two

  std::vector<std::string> PortList;  // names found by the last scan, "COM3"
  int Handle = InvalidHandle;         // file descriptor of the open device node
  uint8_t PortNumber = 0;             // 1 to 255, 0 = none chosen
  std::string StatusText;             // outcome of the last open attempt
  std::string PortName;               // "COM" + PortNumber, set by Open, emptied by Close
  std::string FirstVirtualPort;       // first USB adapter of the last scan
  bool ProbeKeyInLocalMachine = false;

  // Why the last Open failed, in words a user can act on (permission, held by a program, gone).
  std::string ErrorDetail;

  PortDiscoveryRoots DiscoveryRoots;
  std::vector<ScannedPort> ScannedPorts;  // what the last scan found out, in scan order

  // Rescans the machine's serial ports: refills PortList (usable ports, scan order) and
  // ScannedPorts, sets FirstVirtualPort and numbers new devices in the port map. Returns the
  // scan log, every line prefixed with the tick count. Never disturbs a port in use.
  std::vector<std::string> EnumeratePorts();
  // The COM number of the first USB adapter with these sysfs ids ("0403", "D8E1"), numbering
  // it in the port map when it is new; 0 when no such adapter is plugged in.
  uint8_t FtdiPortNumber(const std::string& vid, const std::string& pid);
  // What the last scan knows about a port name, "FTDI USB serial, /dev/ttyUSB0"; empty if none.
  std::string DescriptionOf(const std::string& name) const;

  // The map that turns PortNumber into a device node; PortMap::Default() unless set.
  void SetPortMap(PortMap* map) { map_ = map; }
  PortMap& Map() const;

  bool IsOpen() const { return Handle != InvalidHandle; }
  // The device node behind PortNumber (empty for 0).
  std::string PortPath() const;

  // Opens and configures the port (raw, exclusive, DTR and RTS low). False when no port is
  // chosen, it is already open, the node cannot be opened, or the line settings are refused
  // (then the port stays open).
  bool Open();
  bool Close();
  // Takes every queued byte without waiting: the count, 0 when none, -1 when more are queued
  // than capacity (they stay queued), -2 when closed, -3 when the read fails (device gone).
  int32_t Read(uint8_t* buffer, uint32_t capacity);
  bool Write(const uint8_t* buffer, uint32_t capacity, uint32_t count);
  bool WriteByte(uint8_t value);
  // Raises RTS (rts true) or DTR (otherwise) and drops the other; false with both true or
  // when the port has no modem lines (a pseudo-terminal).
  bool SetControlLines(bool rts, bool dtr);
  bool GetModemStatus(uint32_t& status);

  // Blocks until a byte is queued, the time-out passes, or the line is gone.
  WaitResult WaitReadable(int timeoutMs);
  // True once the device behind the open port has gone (unplugged adapter, closed terminal).
  bool HungUp() const { return hungUp_; }

  // The number n of "COM<n>" (1 to 255, exact case), else 0.
  static uint8_t PortNumberFromName(const std::string& name);

 private:
  PortMap* map_ = nullptr;
  bool hungUp_ = false;
};

// The device node behind a port name "COM<n>": the port map's entry, else the legacy UART
// <devRoot>/ttyS<n-1>; empty for names that are not "COM1" to "COM255".
std::string DevicePath(const std::string& portName, const PortMap& map,
                       const std::string& devRoot = "/dev");

// "<tick count>: <text>", the form of every scan and search log line.
std::string TickLine(const std::string& text);

// Words for why a device node could not be opened: the system's text plus what to do about it.
std::string DescribeOpenError(const std::string& path, int error);
// The programs that have the device node open, "ModemManager (PID 712)", empty when unknown.
std::string FindPortHolders(const std::string& path);

// Who else uses the machine's device nodes, gathered in one pass over /proc (only the processes
// this user may look into; this process is left out).
class PortUsers {
 public:
  static PortUsers Gather();
  // The programs that hold the node (or the node a link points to) open, "brltty (PID 80)".
  std::string HoldersOf(const std::string& path) const;
  // The programs whose controlling terminal the node is: a terminal someone types into.
  std::string TerminalOf(const std::string& path) const;
  // Running programs known to take USB serial adapters for themselves, "ModemManager".
  std::string KnownGrabbers() const;

 private:
  struct Process {
    int pid = 0;
    std::string program;
    unsigned long long terminal = 0;  // tty_nr of /proc/<pid>/stat; 0 = none
    std::vector<std::string> devices;  // open files below /dev
  };
  std::vector<Process> processes_;
};

}  // namespace varnex
