#include "SystemFacts.h"

#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

#include "misc_functions.h"

namespace varnex::diag {

namespace fs = std::filesystem;

const std::array<const char*, 11> OsNames = {
    "unkown",      "Windows95",   "Windows 95OSR2", "Win98",      "Win98 SE",    "Windows ME",
    "Windows NT3", "Windows NT4", "Windows 2000",   "Windows XP", "Windows 2003"};

const std::array<const char*, 2> FifoText = {" Fifo disabled", " Fifo enabled"};

namespace {

constexpr uint32_t PlatformWin9x = 1;
constexpr uint32_t PlatformNt = 2;
// Windows ME reports version 4.90, build 3000 packed into one number.
constexpr uint32_t WindowsMeBuild = 0x045A0BB8;

// Pseudo-terminal slaves (UNIX98_PTY_SLAVE_MAJOR and the seven majors after it).
constexpr unsigned PtySlaveMajorFirst = 136;
constexpr unsigned PtySlaveMajorLast = 143;

std::string Attribute(const std::string& path) {
  std::string text;
  if (!ReadFileBytes(path, text)) return {};
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

bool IsDir(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::string Canonical(const std::string& path) {
  std::error_code ec;
  const fs::path real = fs::canonical(path, ec);
  return ec ? path : real.string();
}

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    const char quote = value.front();
    std::string plain;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
      if (quote == '"' && value[i] == '\\' && i + 2 < value.size()) ++i;
      plain += value[i];
    }
    return plain;
  }
  return value;
}

// The driver of a tty's device: the first bound driver up from it, passing over the
// "serial-base" port devices that new kernels put between a UART and its driver.
std::string DriverOf(const std::string& deviceDir, const std::string& sysfsRoot) {
  for (fs::path dir = Canonical(deviceDir); dir.string().size() > sysfsRoot.size();
       dir = dir.parent_path()) {
    const std::string d = dir.string();
    if (Exists(d + "/driver") && fs::path(Canonical(d + "/subsystem")).filename() != "serial-base")
      return fs::path(Canonical(d + "/driver")).filename().string();
  }
  return {};
}

// "USB 0403:6001 FTDI FT232R USB UART" for a tty on a USB device; empty for the others.
std::string UsbOf(const std::string& deviceDir, const std::string& sysfsRoot) {
  for (fs::path dir = Canonical(deviceDir); dir.string().size() > sysfsRoot.size();
       dir = dir.parent_path()) {
    const std::string d = dir.string();
    const std::string vid = Attribute(d + "/idVendor");
    if (vid.empty()) continue;
    std::string text = "USB " + vid + ":" + Attribute(d + "/idProduct");
    for (const char* name : {"/manufacturer", "/product"})
      if (const std::string value = Attribute(d + name); !value.empty()) text += " " + value;
    return text;
  }
  return {};
}

std::string ModeText(mode_t mode) {
  std::string text = S_ISCHR(mode) ? "c" : S_ISBLK(mode) ? "b" : S_ISDIR(mode) ? "d" : "-";
  const char* letters = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) text += (mode & (0400u >> bit)) ? letters[bit] : '-';
  return text;
}

// "crw-rw---- root dialout, this user: read/write".
std::string AccessText(const std::string& node, const struct stat& st) {
  const passwd* owner = getpwuid(st.st_uid);
  const group* grp = getgrgid(st.st_gid);
  return ModeText(st.st_mode) + " " + (owner ? owner->pw_name : std::to_string(st.st_uid)) + " " +
         (grp ? grp->gr_name : std::to_string(st.st_gid)) +
         ", this user: " + (access(node.c_str(), R_OK | W_OK) == 0 ? "read/write" : "no access");
}

}  // namespace

int OsVersionKind(const OsVersionRecord& r, std::string& versionText) {
  versionText = "Version " + std::to_string(r.major) + "." + std::to_string(r.minor) + ", Build ";
  if (r.platformId == PlatformWin9x) versionText += std::to_string(r.build & 0xFFFFu);
  if (r.platformId == PlatformNt) versionText += std::to_string(r.build);

  const char mark = r.servicePack.size() > 1 ? r.servicePack[1] : ' ';
  if (r.platformId == PlatformWin9x) {
    if (r.minor == 0) return mark == 'B' ? 2 : 1;
    if (r.minor == 10) return mark == 'A' ? 4 : 3;
    if (r.minor == 90) return r.build == WindowsMeBuild ? 5 : 0;
    return 0;
  }
  if (r.platformId == PlatformNt) {
    if (r.major == 3) return 6;
    if (r.major == 4) return 7;
    if (r.major == 5 && r.minor <= 2) return 8 + static_cast<int>(r.minor);
  }
  return 0;
}

std::string DistributionName(const std::string& osReleaseText) {
  std::string pretty, name, version;
  size_t start = 0;
  while (start < osReleaseText.size()) {
    size_t end = osReleaseText.find('\n', start);
    if (end == std::string::npos) end = osReleaseText.size();
    const std::string line = osReleaseText.substr(start, end - start);
    start = end + 1;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#') continue;
    const std::string key = line.substr(0, eq);
    const std::string value = Unquoted(line.substr(eq + 1));
    if (key == "PRETTY_NAME") pretty = value;
    if (key == "NAME") name = value;
    if (key == "VERSION") version = value;
  }
  if (!pretty.empty()) return pretty;
  if (!name.empty() && !version.empty()) return name + " " + version;
  return name;
}

LinuxSystem ReadLinuxSystem(const std::vector<std::string>& osReleaseFiles) {
  LinuxSystem system;
  for (const auto& file : osReleaseFiles) {
    std::string text;
    if (ReadFileBytes(file, text) && !(system.distribution = DistributionName(text)).empty()) break;
  }
  if (system.distribution.empty()) system.distribution = "Linux";
  utsname u{};
  if (uname(&u) == 0) {
    system.release = u.release;
    system.version = u.version;
    system.machine = u.machine;
  }
  return system;
}

std::string SystemLine(const LinuxSystem& s) {
  return s.distribution + " (Kernel " + s.release + ", Build " + s.version + ") (" + s.machine +
         ")";
}

std::string UartTypeName(int type) {
  static const std::pair<int, const char*> names[] = {
      {PORT_8250, "8250"},       {PORT_16450, "16450"},   {PORT_16550, "16550"},
      {PORT_16550A, "16550A"},   {PORT_CIRRUS, "Cirrus"}, {PORT_16650, "16650"},
      {PORT_16650V2, "16650V2"}, {PORT_16750, "16750"},   {PORT_STARTECH, "Startech"},
      {PORT_16C950, "16C950"},   {PORT_16654, "16654"},   {PORT_16850, "16850"},
      {PORT_RSA, "RSA"}};
  for (const auto& [number, name] : names)
    if (number == type) return name;
  return "type " + std::to_string(type);
}

std::vector<std::string> SerialDeviceReport(const std::vector<ScannedPort>& ports,
                                            const std::string& sysfsRoot) {
  std::vector<std::string> lines{""};
  const std::string classDir = sysfsRoot + "/class/tty";
  if (!IsDir(classDir)) {
    lines.push_back("Failed to open " + classDir + " ! (" + std::to_string(ENOENT) + ")");
    return lines;
  }
  lines.push_back("Opened '" + classDir + "' ...");
  const std::string root = Canonical(sysfsRoot);
  std::set<std::string> reported;
  std::vector<std::string> withoutUart;
  for (const auto& port : ports) {
    if (port.path.empty()) continue;
    const std::string node = Canonical(port.path);
    if (!reported.insert(node).second) continue;  // the fallback probing may list it again
    const std::string ttyDir = classDir + "/" + fs::path(node).filename().string();
    struct stat st {};
    const bool present = stat(node.c_str(), &st) == 0;
    const int statError = errno;

    std::string facts;
    if (IsDir(ttyDir)) {
      const std::string type = Attribute(ttyDir + "/type");
      if (type == "0") {
        withoutUart.push_back(node);
        continue;
      }
      const std::string driver = DriverOf(ttyDir + "/device", root);
      facts = "driver " + (driver.empty() ? std::string("?") : driver);
      if (!type.empty()) facts += ", UART " + UartTypeName(std::atoi(type.c_str()));
      if (const std::string tx = Attribute(ttyDir + "/xmit_fifo_size"); !tx.empty()) {
        const std::string rx = Attribute(ttyDir + "/rx_trig_bytes");
        facts += std::string(",") + FifoText[std::atoi(tx.c_str()) > 1] + " (" +
                 (rx.empty() ? "" : "RX:" + rx + ", ") + "TX:" + tx + ")";
      }
      if (const std::string usb = UsbOf(ttyDir + "/device", root); !usb.empty())
        facts += ", " + usb;
    } else {
      const unsigned major = present ? ::major(st.st_rdev) : 0;
      facts = S_ISCHR(st.st_mode) && major >= PtySlaveMajorFirst && major <= PtySlaveMajorLast
                  ? "pseudo-terminal, no sysfs entry"
                  : "no sysfs entry";
    }
    facts += present ? ", " + AccessText(node, st) : ", node missing: " + ErrnoText(statError);
    lines.push_back((port.name.empty() ? "" : port.name + " = ") + node + ": " + facts);
  }
  if (!withoutUart.empty())
    lines.push_back(
        std::to_string(withoutUart.size()) +
        " legacy port node(s) without UART (sysfs type 0) left out: " + withoutUart.front() +
        (withoutUart.size() > 1 ? " ... " + withoutUart.back() : ""));
  return lines;
}

std::string ModemStatusNames(uint32_t status) {
  static const std::pair<uint32_t, const char*> names[] = {{MS_CTS_ON, "MS_CTS_ON "},
                                                           {MS_DSR_ON, "MS_DSR_ON "},
                                                           {MS_RING_ON, "MS_RING_ON "},
                                                           {MS_RLSD_ON, "MS_RLSD_ON "}};
  std::string text;
  for (const auto& [bit, name] : names)
    if (status & bit) text += name;
  return text;
}

std::string LineStatusLine(TComPort& port) {
  auto lines = [&port] {
    uint32_t status = 0;
    return port.GetModemStatus(status) ? ModemStatusNames(status)
                                       : std::string("(no modem lines) ");
  };
  std::string text = "LineStatus: ";
  port.SetControlLines(false, true);
  text += lines();
  port.SetControlLines(true, false);
  text += ", raise RTS -> ";
  return text + lines();
}

namespace {

uint32_t BitsPerSecond(speed_t speed) {
  static const std::pair<speed_t, uint32_t> speeds[] = {{B0, 0},
                                                        {B50, 50},
                                                        {B75, 75},
                                                        {B110, 110},
                                                        {B134, 134},
                                                        {B150, 150},
                                                        {B200, 200},
                                                        {B300, 300},
                                                        {B600, 600},
                                                        {B1200, 1200},
                                                        {B1800, 1800},
                                                        {B2400, 2400},
                                                        {B4800, 4800},
                                                        {B9600, 9600},
                                                        {B19200, 19200},
                                                        {B38400, 38400},
                                                        {B57600, 57600},
                                                        {B115200, 115200},
                                                        {B230400, 230400},
                                                        {B460800, 460800},
                                                        {B500000, 500000},
                                                        {B576000, 576000},
                                                        {B921600, 921600},
                                                        {B1000000, 1000000},
                                                        {B1152000, 1152000},
                                                        {B1500000, 1500000},
                                                        {B2000000, 2000000},
                                                        {B2500000, 2500000},
                                                        {B3000000, 3000000},
                                                        {B3500000, 3500000},
                                                        {B4000000, 4000000}};
  for (const auto& [code, bits] : speeds)
    if (code == speed) return bits;
  return speed;  // a speed given in bit/s already
}

std::string Field(const char* label, unsigned long value) {
  std::string text = std::string(label) + ":";
  if (text.size() < LabelWidth) text.resize(LabelWidth, ' ');
  return text + std::to_string(value);
}

}  // namespace

std::vector<std::string> LineSettingsLines(const termios& t) {
  std::vector<std::string> lines = {Field("OSpeed", BitsPerSecond(cfgetospeed(&t))),
                                    Field("ISpeed", BitsPerSecond(cfgetispeed(&t))),
                                    Field("c_iflag", t.c_iflag),
                                    Field("c_oflag", t.c_oflag),
                                    Field("c_cflag", t.c_cflag),
                                    Field("c_lflag", t.c_lflag),
                                    Field("c_line", t.c_line)};
  static const std::pair<const char*, int> characters[] = {
      {"VMIN", VMIN},     {"VTIME", VTIME}, {"VINTR", VINTR}, {"VQUIT", VQUIT},
      {"VERASE", VERASE}, {"VKILL", VKILL}, {"VEOF", VEOF},   {"VEOL", VEOL},
      {"VSTART", VSTART}, {"VSTOP", VSTOP}, {"VSUSP", VSUSP}};
  for (const auto& [label, index] : characters) lines.push_back(Field(label, t.c_cc[index]));
  return lines;
}

std::vector<std::string> LineSettingsBlock(const TComPort& port) {
  termios settings{};
  if (!port.IsOpen() || tcgetattr(port.Handle, &settings) != 0) {
    const int error = port.IsOpen() ? errno : EBADF;
    return {"Could not GetCommState (" + std::to_string(error) + ") !"};
  }
  return LineSettingsLines(settings);
}

}  // namespace varnex::diag
