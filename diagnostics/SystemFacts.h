// What the diagnostics program reports about the machine and an open port, without windows:
// the system line, the serial devices as sysfs shows them, the modem lines and the line
// settings of an open port.
#pragma once

#include <termios.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ComPort.h"

namespace varnex::diag {

// --- The system line --------------------------------------------------------------------------

// Names of the Windows kinds OsVersionKind tells apart (index = kind).
extern const std::array<const char*, 11> OsNames;
// " Fifo disabled", " Fifo enabled".
extern const std::array<const char*, 2> FifoText;

// A Windows version record as the system delivers it.
struct OsVersionRecord {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;  // 1 = Windows 9x, 2 = NT
  std::string servicePack;
};

// The Windows kind 0 to 10 of a version record (0 = none known); versionText gets
// "Version <major>.<minor>, Build <build>".
int OsVersionKind(const OsVersionRecord& record, std::string& versionText);

// The Linux system the program runs on.
struct LinuxSystem {
  std::string distribution;  // "Debian GNU/Linux 12 (bookworm)"; "Linux" when unknown
  std::string release;       // kernel release, uname -r
  std::string version;       // kernel build, uname -v
  std::string machine;       // uname -m
};

// The distribution's name from the text of an os-release file: PRETTY_NAME, else NAME and
// VERSION; empty when it names none.
std::string DistributionName(const std::string& osReleaseText);
// The kernel from uname and the distribution from the first os-release file that names one.
LinuxSystem ReadLinuxSystem(const std::vector<std::string>& osReleaseFiles = {
                                "/etc/os-release", "/usr/lib/os-release"});
// "<distribution> (Kernel <release>, Build <version>) (<machine>)".
std::string SystemLine(const LinuxSystem& system);

// --- The serial devices -----------------------------------------------------------------------

// One line for every port of a scan, as sysfs below sysfsRoot tells it: driver, UART type and
// FIFO sizes, USB ids, the node's owner, group and mode and whether this user may open it.
// Legacy nodes without a UART are counted in one line. Starts with an empty line.
std::vector<std::string> SerialDeviceReport(const std::vector<ScannedPort>& ports,
                                            const std::string& sysfsRoot);

// The name of a serial_core UART type number, "16550A"; "type <n>" for the others.
std::string UartTypeName(int type);

// --- An open port -----------------------------------------------------------------------------

// The names of the set modem status bits, each followed by a blank ("MS_CTS_ON MS_DSR_ON ").
std::string ModemStatusNames(uint32_t status);
// Raises DTR, reads the modem lines, raises RTS, reads them again:
// "LineStatus: <names>, raise RTS -> <names>". A port without modem lines says so.
std::string LineStatusLine(TComPort& port);

// Width of the labels of the line-settings block, blanks included.
constexpr size_t LabelWidth = 12;
// The termios fields, one line each: speeds in bit/s, the four flag words, the line
// discipline, VMIN, VTIME and the control characters, in decimal behind labels of LabelWidth.
std::vector<std::string> LineSettingsLines(const termios& settings);
// The line-settings block of the open port; one line saying why when it cannot be read.
std::vector<std::string> LineSettingsBlock(const TComPort& port);

}  // namespace varnex::diag
