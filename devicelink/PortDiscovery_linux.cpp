// Port discovery on Linux: the kernel's tty devices in sysfs take the place of a registry of
// serial devices, and the port map gives each one its COM number.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

#include "ComPort.h"
#include "Host.h"
#include "PortMap.h"
#include "misc_functions.h"

namespace varnex {

namespace {

// The probing without a device list goes one past the last COM number, like the original.
constexpr int FallbackLastNumber = 256;

// Pseudo-terminal slaves (UNIX98_PTY_SLAVE_MAJOR and the seven majors after it).
constexpr unsigned PtySlaveMajorFirst = 136;
constexpr unsigned PtySlaveMajorLast = 143;

enum class PortKind { Uart, UsbSerial, Bluetooth, Infrared, Other, Mapped };

struct TtyDevice {
  std::string tty;   // kernel name, "ttyUSB0"
  std::string node;  // <dev>/ttyUSB0, or the port map's path for a mapped entry
  std::string path;  // what the port map keeps: the stable by-id link when there is one
  std::string id;    // stable identity in the port map
  PortKind kind = PortKind::Other;
  std::string driver;
  std::string vid, pid, manufacturer;
  bool noUart = false;  // legacy UART node with no UART behind it
  int number = 0;
  std::string valueName;  // what the candidate rules read
  std::string description;
};

std::string ReadAttr(const std::string& path) {
  std::string text;
  if (!ReadFileBytes(path, text)) return {};
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
    text.pop_back();
  return text;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string Basename(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// "ttyUSB2" before "ttyUSB10".
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    size_t digits = s.size();
    while (digits > 0 && IsDigit(s[digits - 1])) --digits;
    const long number = digits < s.size() ? std::stol(s.substr(digits, 9)) : -1;
    return std::make_pair(s.substr(0, digits), number);
  };
  return split(a) < split(b);
}

// The number behind "ttyS<k>", or -1 for other names.
int LegacyUartIndex(const std::string& tty) {
  if (!StartsWith(tty, "ttyS") || tty.size() < 5 || tty.size() > 7) return -1;
  const std::string digits = tty.substr(4);
  if (!std::all_of(digits.begin(), digits.end(), IsDigit)) return -1;
  return std::stoi(digits);
}

// The words of the registry names the original accepted; a port whose value name holds one of
// them is a candidate.
bool IsCandidate(const std::string& valueName, bool probeAll) {
  static const char* const accepted[] = {
      "\\DEVICE\\SERIAL",   "COM",     "SERIAL", "VCP", "BTPORT", "OXSER",
      "\\DEVICE\\NPTDRV21", "NPTDRV21"};
  const std::string upper = Upper(valueName);
  if (upper.find("\\DEVICE\\IR") != std::string::npos) return false;
  if (probeAll) return true;
  return std::any_of(std::begin(accepted), std::end(accepted),
                     [&](const char* word) { return upper.find(word) != std::string::npos; });
}

// The links in `folder` whose names start with `prefix`, by the real node each points at.
std::map<std::string, std::string> LinksIn(const std::string& folder, const std::string& prefix) {
  std::map<std::string, std::string> links;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.' || !StartsWith(e->d_name, prefix)) continue;
      const std::string link = folder + "/" + e->d_name;
      links[RealPath(link)] = link;
    }
    closedir(d);
  }
  return links;
}

// Reads one tty class entry; false for terminals that are no serial port (virtual consoles,
// the pseudo-terminal master, the console alias).
bool ReadTty(const PortDiscoveryRoots& roots, const std::string& sysRoot, const std::string& tty,
             TtyDevice& d) {
  const std::string classDir = roots.sysfs + "/class/tty/" + tty;
  d.tty = tty;
  d.node = roots.dev + "/" + tty;
  d.path = d.node;
  d.id = d.node;
  if (StartsWith(tty, "rfcomm")) {
    d.kind = PortKind::Bluetooth;
    d.driver = "rfcomm";
    return true;
  }
  if (StartsWith(tty, "ircomm")) {
    d.kind = PortKind::Infrared;
    d.driver = "ircomm";
    return true;
  }
  if (!Exists(classDir + "/device")) return false;

  const std::string deviceDir = RealPath(classDir + "/device");
  const std::string subsystem = Basename(RealPath(deviceDir + "/subsystem"));
  std::string usbDevice, usbInterface;
  // Up from the port's device: the first real driver (new kernels put a "serial-base" port
  // device between a UART and its driver), and the USB device the port sits on, if any.
  std::string previous;
  for (std::string dir = deviceDir; dir.size() > sysRoot.size() && StartsWith(dir, sysRoot);
       previous = dir, dir = Parent(dir)) {
    if (d.driver.empty() && Exists(dir + "/driver") &&
        Basename(RealPath(dir + "/subsystem")) != "serial-base")
      d.driver = Basename(RealPath(dir + "/driver"));
    if (usbDevice.empty() && Exists(dir + "/idVendor")) {
      usbDevice = dir;
      usbInterface = previous;
    }
  }
  if (!usbDevice.empty()) {
    d.kind =
        subsystem == "usb-serial" || d.driver == "cdc_acm" ? PortKind::UsbSerial : PortKind::Other;
    d.vid = ReadAttr(usbDevice + "/idVendor");
    d.pid = ReadAttr(usbDevice + "/idProduct");
    d.manufacturer = ReadAttr(usbDevice + "/manufacturer");
    const std::string serial = ReadAttr(usbDevice + "/serial");
    if (!serial.empty()) {
      std::string iface = usbInterface.empty() ? "" : ReadAttr(usbInterface + "/bInterfaceNumber");
      d.id = "usb-" + d.vid + ":" + d.pid + "-" + serial + "-if" + (iface.empty() ? "00" : iface);
    }
  } else if (Exists(classDir + "/uartclk")) {
    // serial_core's attributes: a UART; type 0 means the kernel keeps a node for a legacy port
    // where no UART answered.
    d.kind = PortKind::Uart;
    d.noUart = ReadAttr(classDir + "/type") == "0";
  }
  return true;
}

// The machine's serial ttys, built-in UARTs first; nothing when the tty class cannot be read.
std::optional<std::vector<TtyDevice>> ReadTtyDevices(const PortDiscoveryRoots& roots) {
  const std::string classDir = roots.sysfs + "/class/tty";
  DIR* dir = opendir(classDir.c_str());
  if (!dir) return std::nullopt;
  const std::string sysRoot = RealPath(roots.sysfs);
  std::vector<TtyDevice> devices;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    TtyDevice d;
    if (ReadTty(roots, sysRoot, e->d_name, d)) devices.push_back(std::move(d));
  }
  closedir(dir);
  std::sort(devices.begin(), devices.end(), [](const TtyDevice& a, const TtyDevice& b) {
    const bool ua = a.kind == PortKind::Uart, ub = b.kind == PortKind::Uart;
    return ua != ub ? ua : NaturalLess(a.tty, b.tty);
  });
  const auto links = LinksIn(roots.dev + "/serial/by-id", "");
  // The package's udev rule names the device's USB adapter /dev/varnex<n>: the name the user
  // sees, and the path kept when the adapter has no by-id link.
  const auto named = LinksIn(roots.dev, "varnex");
  for (auto& d : devices) {
    const std::string real = RealPath(d.node);
    if (auto link = named.find(real); link != named.end()) d.node = d.path = link->second;
    if (auto link = links.find(real); link != links.end()) {
      d.path = link->second;
      d.id = Basename(link->second);
    }
  }
  return devices;
}

std::string KindWord(PortKind kind) {
  switch (kind) {
    case PortKind::Uart:
      return "Serial";
    case PortKind::UsbSerial:
      return "VCP";
    case PortKind::Bluetooth:
      return "BtPort";
    case PortKind::Infrared:
      return "IrComm";
    case PortKind::Mapped:
      return "ComMap";
    case PortKind::Other:
      break;
  }
  return {};
}

// The value name the candidate rules read, numbered per kind like a driver's device objects,
// and the description the user sees.
void NameDevice(TtyDevice& d, std::map<PortKind, int>& counters) {
  const std::string word = KindWord(d.kind);
  d.valueName = "\\Device\\" + (word.empty() ? d.tty : word + std::to_string(counters[d.kind]++));
  if (!d.driver.empty()) d.valueName += " (" + d.driver + ")";
  std::string what;
  switch (d.kind) {
    case PortKind::Uart:
      what = d.noUart ? "serial port without UART" : "built-in serial port";
      break;
    case PortKind::UsbSerial:
      if (Upper(d.vid) == FtdiVendorId && Upper(d.pid) == VarnexUsbProductId)
        what = "Varnex USB adapter";
      else
        what = (d.manufacturer.empty() ? d.driver : d.manufacturer) + " USB serial";
      break;
    case PortKind::Bluetooth:
      what = "Bluetooth serial link";
      break;
    case PortKind::Infrared:
      what = "infrared port";
      break;
    case PortKind::Other:
      what = d.driver.empty() ? "serial device" : d.driver + " device";
      break;
    case PortKind::Mapped:
      return;  // keeps the port map's own words
  }
  d.description = what + ", " + d.node;
}

// Gives every device its COM number: the one its stable id has, else the one of a hand-made
// entry for the same node, else a new one: ttyS<k> takes COM<k+1> when that is free, the others
// the lowest free numbers after them. Legacy nodes without a UART get no entry; they answer to
// their fallback number while nothing else holds it.
void NumberDevices(std::vector<TtyDevice>& devices, PortMap& map) {
  const auto entries = map.Entries();
  std::set<int> taken;
  for (const auto& e : entries) taken.insert(e.number);
  auto give = [&](TtyDevice& d, int preferred) {
    d.number = map.Assign(d.id, d.path, d.description, preferred);
    // A map that cannot be written still lends the device a number for this run.
    if (d.number == 0) d.number = map.AddTransient(d.path, d.description);
    taken.insert(d.number);
  };
  for (auto& d : devices) {
    if (d.noUart) continue;
    auto same = std::find_if(entries.begin(), entries.end(),
                             [&](const PortMapEntry& e) { return e.id == d.id; });
    if (same == entries.end()) {
      const std::string real = RealPath(d.node);
      same = std::find_if(entries.begin(), entries.end(), [&](const PortMapEntry& e) {
        return e.id == e.path && RealPath(e.path) == real;
      });
    }
    if (same == entries.end()) continue;
    if (same->id == d.id && (same->path != d.path || same->description != d.description))
      give(d, 0);  // moved or renamed: the entry follows, the number stays
    else
      d.number = same->number;  // a hand-made entry stays as the user wrote it
  }
  for (auto& d : devices) {
    const int legacy = LegacyUartIndex(d.tty);
    if (!d.noUart && d.number == 0 && legacy >= 0 && taken.count(legacy + 1) == 0)
      give(d, legacy + 1);
  }
  for (auto& d : devices)
    if (!d.noUart && d.number == 0) give(d, 0);
  for (auto& d : devices) {
    if (!d.noUart) continue;
    const int n = LegacyUartIndex(d.tty) + 1;
    if (n >= 1 && n <= PortMap::MaxNumber && taken.count(n) == 0) d.number = n;
  }
}

// The port map's own entries (a simulated device, a port the user added) that name a present
// node no sysfs device stands for.
void AddMappedEntries(std::vector<TtyDevice>& devices, const PortMap& map) {
  std::vector<std::string> known;
  for (const auto& d : devices) known.push_back(RealPath(d.node));
  for (const auto& e : map.Entries()) {
    const bool listed = std::any_of(devices.begin(), devices.end(),
                                    [&](const TtyDevice& d) { return d.number == e.number; });
    const std::string real = RealPath(e.path);
    if (listed || !Exists(e.path) || std::find(known.begin(), known.end(), real) != known.end())
      continue;
    TtyDevice d;
    d.kind = PortKind::Mapped;
    d.tty = Basename(real);
    d.node = d.path = e.path;
    d.id = e.id;
    d.number = e.number;
    d.description = (e.description.empty() ? "port map entry" : e.description) + ", " + e.path;
    devices.push_back(std::move(d));
  }
}

struct Probe {
  bool ok = false;
  int error = 0;
  std::string detail;
};

// The open test: a port may be opened for a moment only when nobody else uses it, so that the
// scan never moves the lines under another program. The /proc snapshot is taken once a scan.
class Prober {
 public:
  explicit Prober(const PortDiscoveryRoots& roots) : roots_(roots) {}

  Probe Run(const std::string& path, const std::string& ttyName, bool noUart) {
    if (path.empty()) return {false, ENOENT, "keine Gerätedatei"};
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      const int error = errno;
      return {false, error, DescribeOpenError(path, error)};
    }
    const std::string classDir =
        roots_.sysfs + "/class/tty/" + (ttyName.empty() ? Basename(RealPath(path)) : ttyName);
    if (noUart || ReadAttr(classDir + "/type") == "0")
      return {false, EIO,
              path + ": kein UART hinter diesem Anschluss (sysfs type 0), nicht geöffnet."};
    if (ReadAttr(classDir + "/console") == "Y")
      return {false, EBUSY, path + ": Systemkonsole des Kernels, nicht geöffnet."};
    const unsigned major = ::major(st.st_rdev);
    const bool pty =
        S_ISCHR(st.st_mode) && major >= PtySlaveMajorFirst && major <= PtySlaveMajorLast;
    if (!users_) users_ = PortUsers::Gather();
    // A pseudo-terminal is always held by whoever made it (the simulator); it is in use only
    // when it is someone's controlling terminal.
    const std::string users = pty ? users_->TerminalOf(path) : users_->HoldersOf(path);
    if (!users.empty()) return Busy(path);
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      const int error = errno;
      return {false, error, DescribeOpenError(path, error)};
    }
    // Our own programs lock the port they talk on.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      return Busy(path);
    }
    const bool terminal = isatty(fd);
    close(fd);
    if (!terminal) return {false, ENOTTY, DescribeOpenError(path, ENOTTY)};
    return {true, 0, {}};
  }

 private:
  static Probe Busy(const std::string& path) {
    return {false, EBUSY, DescribeOpenError(path, EBUSY)};
  }

  const PortDiscoveryRoots& roots_;
  std::optional<PortUsers> users_;
};

std::string Failure(const Probe& probe) {
  return "(" + std::to_string(probe.error) + ") " + probe.detail;
}

}  // namespace

std::vector<std::string> TComPort::EnumeratePorts() {
  std::vector<std::string> log;
  auto Log = [&log](const std::string& text) { log.push_back(TickLine(text)); };
  PortList.clear();
  ScannedPorts.clear();

  Log("opening (ro) settings Brelmo ...");
  int probeAll = 0;
  if (auto value = Settings().ReadInt(SettingsScope::Organisation, "probeAllComports")) {
    probeAll = *value;
    Log("Settings-Read 'probeAllComports' = '" + std::to_string(*value) + "'");
  } else {
    Log("failed Settings-Read 'probeAllComports'");
  }
  Log(probeAll == 1 ? "probing for all Comports" : "probing for certified Comports");
  if (IsWinNT()) Log("OS is NT compatible...");

  FirstVirtualPort.clear();
  const std::string classDir = DiscoveryRoots.sysfs + "/class/tty/";
  Log("opening (ro) " + classDir + " ...");
  Prober prober(DiscoveryRoots);
  bool found = false;
  auto devices = ReadTtyDevices(DiscoveryRoots);
  if (!devices) {
    Log("Could not open " + classDir + " !");
  } else {
    std::map<PortKind, int> counters;
    for (auto& d : *devices) NameDevice(d, counters);
    NumberDevices(*devices, Map());
    AddMappedEntries(*devices, Map());
    for (auto& d : *devices)
      if (d.kind == PortKind::Mapped) NameDevice(d, counters);
    Log("found " + std::to_string(devices->size()) + " registered Com Devices...");

    for (const auto& d : *devices) {
      const std::string name = d.number ? "COM" + std::to_string(d.number) : std::string();
      const std::string data = name.empty() ? d.node : name;
      ScannedPort scanned{name, d.path, d.description, {}};
      if (!IsCandidate(d.valueName, probeAll == 1)) {
        Log("skip '" + d.valueName + " - " + data + "', no standard serial iterface !");
        scanned.problem = d.kind == PortKind::Infrared
                              ? "infrared port, never used"
                              : "no certified port type (probeAllComports = 1 tries it)";
        ScannedPorts.push_back(scanned);
        continue;
      }
      Log("Found Registry-Entry '" + data + "' (" + d.description + ")");
      const Probe probe =
          name.empty() && !d.noUart
              ? Probe{false, ENOSPC, "keine freie COM-Nummer in der Port-Liste"}
              : prober.Run(d.path, d.kind == PortKind::Mapped ? "" : d.tty, d.noUart);
      if (!probe.ok) {
        Log("creating Handle to '" + data + "'  failed! " + Failure(probe));
        scanned.problem = probe.detail;
      } else {
        Log("creating Handle to '" + d.path + "' succeeded --> '" + data +
            "' added to found devices!");
        if (Upper(d.valueName).find("VCP") != std::string::npos && FirstVirtualPort.empty())
          FirstVirtualPort = data;
        PortList.push_back(data);
        found = true;
      }
      ScannedPorts.push_back(scanned);
    }
  }

  if (!found) {
    Log("trying to detect ComDevices (up to Com" + std::to_string(FallbackLastNumber) +
        ") without device list...");
    const auto entries = Map().Entries();
    for (int n = 1; n <= FallbackLastNumber; ++n) {
      const std::string name = "COM" + std::to_string(n);
      Log("creating handle to " + name + "...");
      std::string path, description;
      if (n <= PortMap::MaxNumber) {
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [n](const PortMapEntry& e) { return e.number == n; });
        path = entry != entries.end() ? entry->path
                                      : DiscoveryRoots.dev + "/ttyS" + std::to_string(n - 1);
        description =
            (entry != entries.end() && !entry->description.empty() ? entry->description
                                                                   : std::string("serial port")) +
            ", " + path;
      }
      const Probe probe = prober.Run(path, "", false);
      const std::string shown = path.empty() ? name : path;
      ScannedPort scanned{name, path, description, {}};
      if (probe.ok) {
        Log("creating handle to " + shown + " succeded!");
        PortList.push_back(name);
      } else if (probe.error == ENOENT) {
        Log("creating handle to " + shown + " failed!");
        continue;
      } else {
        Log("creating handle to " + shown + " failed! " + Failure(probe));
        scanned.problem = probe.detail;
      }
      auto earlier = std::find_if(ScannedPorts.begin(), ScannedPorts.end(),
                                  [&](const ScannedPort& p) { return p.name == name; });
      if (earlier != ScannedPorts.end())
        *earlier = scanned;
      else
        ScannedPorts.push_back(scanned);
    }
  }
  return log;
}

uint8_t TComPort::FtdiPortNumber(const std::string& vid, const std::string& pid) {
  auto devices = ReadTtyDevices(DiscoveryRoots);
  if (!devices) return 0;
  std::map<PortKind, int> counters;
  for (auto& d : *devices) NameDevice(d, counters);
  // Numbering every device, not only the adapter, keeps the built-in UARTs' numbers first.
  NumberDevices(*devices, Map());
  for (const auto& d : *devices)
    if (!d.vid.empty() && Upper(d.vid) == Upper(vid) && Upper(d.pid) == Upper(pid))
      return static_cast<uint8_t>(d.number & 0xFF);
  return 0;
}

}  // namespace varnex
