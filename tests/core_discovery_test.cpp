// Port discovery against a sysfs tree the tests build, with pseudo-terminals as device nodes.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "ComPort.h"
#include "Host.h"
#include "PortMap.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;
namespace fs = std::filesystem;

namespace {

// A pseudo-terminal whose slave stands in for a serial device node.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
      throw std::runtime_error("no pseudo-terminal");
    char name[128];
    ptsname_r(master_, name, sizeof name);
    path_ = name;
  }
  ~Pty() { close(master_); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  const std::string& Path() const { return path_; }

 private:
  int master_ = -1;
  std::string path_;
};

// A machine as sysfs and /dev show it: each Add... lays out the folders and links the kernel
// makes for that kind of port; Node() gives a tty a device node.
class FakeSystem {
 public:
  FakeSystem() : map_(dir_.File("ports.conf")) {
    fs::create_directories(Sys() + "/class/tty");
    fs::create_directories(Dev());
  }

  std::string Sys() const { return dir_.Path() + "sys"; }
  std::string Dev() const { return dir_.Path() + "dev"; }
  PortMap& Map() { return map_; }

  // A legacy or platform UART (serial_core attributes; type 0 = no UART answered).
  void AddUart(const std::string& tty, const std::string& type = "4") {
    const std::string device = Sys() + "/devices/platform/serial8250";
    Driver(device, "platform", "serial8250");
    const std::string ttyDir = ClassEntry(device + "/tty/" + tty, tty, device);
    Write(ttyDir + "/uartclk", "1843200\n");
    Write(ttyDir + "/type", type + "\n");
  }

  // A port of a USB serial adapter (usb-serial bus) or a CDC ACM device (usb bus).
  void AddUsb(const std::string& tty, const std::string& driver, const std::string& vid,
              const std::string& pid, const std::string& serial,
              const std::string& manufacturer = "") {
    const std::string usb = Sys() + "/devices/pci0000:00/usb1/1-" + std::to_string(++usbCount_);
    const std::string iface = usb + "/" + Basename(usb) + ":1.0";
    fs::create_directories(iface);
    Write(usb + "/idVendor", vid + "\n");
    Write(usb + "/idProduct", pid + "\n");
    if (!serial.empty()) Write(usb + "/serial", serial + "\n");
    if (!manufacturer.empty()) Write(usb + "/manufacturer", manufacturer + "\n");
    Write(iface + "/bInterfaceNumber", "00\n");
    if (driver == "cdc_acm") {
      Driver(iface, "usb", driver);
      ClassEntry(iface + "/tty/" + tty, tty, iface);
    } else {
      const std::string port = iface + "/" + tty;
      Driver(port, "usb-serial", driver);
      ClassEntry(port + "/tty/" + tty, tty, port);
    }
  }

  // A tty on some other hardware (a modem's driver, say).
  void AddOther(const std::string& tty, const std::string& driver) {
    const std::string device = Sys() + "/devices/platform/" + driver;
    Driver(device, "platform", driver);
    ClassEntry(device + "/tty/" + tty, tty, device);
  }

  // A tty without hardware: virtual consoles, rfcomm and ircomm links.
  void AddVirtual(const std::string& tty) {
    ClassEntry(Sys() + "/devices/virtual/tty/" + tty, tty, "");
  }

  // Gives the tty a device node that opens (a pseudo-terminal); returns its path.
  std::string Node(const std::string& tty) {
    ptys_.push_back(std::make_unique<Pty>());
    return NodeTo(tty, ptys_.back()->Path());
  }
  std::string NodeTo(const std::string& tty, const std::string& target) {
    fs::create_symlink(target, Dev() + "/" + tty);
    return Dev() + "/" + tty;
  }
  void ById(const std::string& name, const std::string& tty) {
    fs::create_directories(Dev() + "/serial/by-id");
    fs::create_symlink("../../" + tty, Dev() + "/serial/by-id/" + name);
  }
  // A pseudo-terminal that only the port map knows (a simulated device).
  std::string MapOnly(int number, const std::string& description) {
    ptys_.push_back(std::make_unique<Pty>());
    EXPECT_TRUE(
        map_.Put(number, "sim" + std::to_string(number), ptys_.back()->Path(), description));
    return ptys_.back()->Path();
  }

  void Attach(TComPort& port) {
    port.SetPortMap(&map_);
    port.DiscoveryRoots = {Sys(), Dev()};
  }

 private:
  static std::string Basename(const std::string& p) { return fs::path(p).filename().string(); }
  static void Write(const std::string& file, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(file, text));
  }
  void Driver(const std::string& device, const std::string& bus, const std::string& driver) {
    fs::create_directories(device);
    fs::create_directories(Sys() + "/bus/" + bus + "/drivers/" + driver);
    if (!fs::exists(device + "/driver")) {
      fs::create_symlink(Sys() + "/bus/" + bus + "/drivers/" + driver, device + "/driver");
      fs::create_symlink(Sys() + "/bus/" + bus, device + "/subsystem");
    }
  }
  std::string ClassEntry(const std::string& ttyDir, const std::string& tty,
                         const std::string& device) {
    fs::create_directories(ttyDir);
    if (!device.empty()) fs::create_symlink(device, ttyDir + "/device");
    fs::create_symlink(ttyDir, Sys() + "/class/tty/" + tty);
    return ttyDir;
  }

  TempDir dir_;
  PortMap map_;
  std::vector<std::unique_ptr<Pty>> ptys_;
  int usbCount_ = 0;
};

// Settings with probeAllComports set (or not) for the life of the object.
struct ProbeAll {
  explicit ProbeAll(std::optional<int> value) {
    if (value) settings.WriteInt(SettingsScope::Organisation, "probeAllComports", *value);
  }
  MemorySettings settings;
  ScopedHost host{nullptr, nullptr, &settings};
};

// The log line's text after "<ticks>: "; fails the test when the prefix is missing.
std::string Text(const std::string& line) {
  const size_t colon = line.find(": ");
  EXPECT_TRUE(colon != std::string::npos && colon > 0 &&
              std::all_of(line.begin(), line.begin() + static_cast<long>(colon), IsDigit))
      << line;
  return colon == std::string::npos ? line : line.substr(colon + 2);
}

std::vector<std::string> Texts(const std::vector<std::string>& log) {
  std::vector<std::string> texts;
  for (const auto& line : log) texts.push_back(Text(line));
  return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string all;
  for (const auto& t : texts) all += t + "\n";
  return all;
}

// A child process "sleep" that holds `path` open (as its controlling terminal when asked), ended
// with the object.
class Holder {
 public:
  Holder(const std::string& path, bool controllingTerminal) {
    pid_ = fork();
    if (pid_ == 0) {
      if (controllingTerminal) setsid();
      const int fd = open(path.c_str(), O_RDONLY | (controllingTerminal ? 0 : O_NOCTTY));
      if (fd < 0) _exit(1);
      dup2(fd, 0);
      execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
      _exit(1);
    }
    // Ready once the program runs as "sleep" with the node on its standard input.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
      std::string comm;
      ReadFileBytes("/proc/" + std::to_string(pid_) + "/comm", comm);
      if (comm == "sleep\n") break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~Holder() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  int Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

TEST(Discovery, DeviceOrderIsKeptAndTheFirstUsbAdapterIsTheVirtualPort) {
  FakeSystem sys;
  sys.AddUart("ttyS0");
  sys.Node("ttyS0");
  sys.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", "A1B2C3", "FTDI");
  sys.Node("ttyUSB0");
  sys.ById("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "ttyUSB0");
  sys.AddUsb("ttyUSB1", "pl2303", "067b", "2303", "");
  sys.Node("ttyUSB1");
  sys.AddVirtual("tty0");
  sys.AddVirtual("console");
  // The FTDI adapter was numbered COM5 at an earlier plug-in.
  ASSERT_TRUE(sys.Map().Put(5, "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "/old", "FTDI"));
  ProbeAll settings(std::nullopt);
  TComPort port;
  sys.Attach(port);
  const auto texts = Texts(port.EnumeratePorts());

  EXPECT_EQ(port.PortList, (std::vector<std::string>{"COM1", "COM5", "COM2"}));
  EXPECT_EQ(port.FirstVirtualPort, "COM5");
  EXPECT_EQ(port.DescriptionOf("COM5"), "FTDI USB serial, " + sys.Dev() + "/ttyUSB0");
  EXPECT_EQ(port.DescriptionOf("COM2"), "pl2303 USB serial, " + sys.Dev() + "/ttyUSB1");
  EXPECT_EQ(port.DescriptionOf("COM1"), "built-in serial port, " + sys.Dev() + "/ttyS0");
  const std::vector<std::string> head{
      "opening (ro) settings Brelmo ...", "failed Settings-Read 'probeAllComports'",
      "probing for certified Comports", "opening (ro) " + sys.Sys() + "/class/tty/ ...",
      "found 3 registered Com Devices..."};
  ASSERT_GE(texts.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5), head);
  const std::string byId = sys.Dev() + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
  EXPECT_TRUE(
      Has(texts, "creating Handle to '" + byId + "' succeeded --> 'COM5' added to found devices!"))
      << Joined(texts);
  EXPECT_EQ(sys.Map().Find(5)->path, byId) << "the map follows the adapter by its stable link";
  EXPECT_EQ(texts.size(), head.size() + 3 * 2) << "no fallback probing: " << Joined(texts);
}

enum class Kind { Infrared, UnknownDriver, Bluetooth, CdcAcm, Simulator };

struct RuleCase {
  const char* name;
  Kind kind;
  int probeAll;
  bool listed;
  const char* virtualPort;  // FirstVirtualPort afterwards
};

class DiscoveryRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DiscoveryRules, CandidateRulesDecide) {
  const RuleCase& c = GetParam();
  FakeSystem sys;
  // A usable UART keeps the fallback probing from running.
  sys.AddUart("ttyS0");
  sys.Node("ttyS0");
  std::string skipped;
  switch (c.kind) {
    case Kind::Infrared:
      sys.AddVirtual("ircomm0");
      sys.Node("ircomm0");
      skipped = "\\Device\\IrComm0 (ircomm)";
      break;
    case Kind::UnknownDriver:
      sys.AddOther("ttyHS0", "hso");
      sys.Node("ttyHS0");
      skipped = "\\Device\\ttyHS0 (hso)";
      break;
    case Kind::Bluetooth:
      sys.AddVirtual("rfcomm0");
      sys.Node("rfcomm0");
      break;
    case Kind::CdcAcm:
      sys.AddUsb("ttyACM0", "cdc_acm", "2341", "0043", "95530");
      sys.Node("ttyACM0");
      break;
    case Kind::Simulator:
      sys.MapOnly(2, "Varnex-Simulator (test)");
      break;
  }
  ProbeAll settings(c.probeAll);
  TComPort port;
  sys.Attach(port);
  const auto texts = Texts(port.EnumeratePorts());
  EXPECT_EQ(texts[1], "Settings-Read 'probeAllComports' = '" + std::to_string(c.probeAll) + "'");
  const std::vector<std::string> listed{"COM1", "COM2"}, unlisted{"COM1"};
  EXPECT_EQ(port.PortList, c.listed ? listed : unlisted);
  EXPECT_EQ(port.FirstVirtualPort, c.virtualPort);
  if (!c.listed) {
    EXPECT_TRUE(Has(texts, "skip '" + skipped + " - COM2', no standard serial iterface !"))
        << Joined(texts);
    ASSERT_EQ(port.ScannedPorts.size(), 2u);
    EXPECT_FALSE(port.ScannedPorts[1].problem.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DiscoveryRules,
    ::testing::Values(RuleCase{"InfraredSkipped", Kind::Infrared, 0, false, ""},
                      RuleCase{"InfraredSkippedEvenWithProbeAll", Kind::Infrared, 1, false, ""},
                      RuleCase{"UnknownDriverSkipped", Kind::UnknownDriver, 0, false, ""},
                      RuleCase{"UnknownDriverWithProbeAll", Kind::UnknownDriver, 1, true, ""},
                      RuleCase{"ProbeAllOtherThanOneIsOff", Kind::UnknownDriver, 2, false, ""},
                      RuleCase{"BluetoothLink", Kind::Bluetooth, 0, true, ""},
                      RuleCase{"CdcAcmIsAUsbAdapter", Kind::CdcAcm, 0, true, "COM2"},
                      RuleCase{"PortMapEntry", Kind::Simulator, 0, true, ""}),
    [](const ::testing::TestParamInfo<RuleCase>& p) { return std::string(p.param.name); });

TEST(Discovery, PortsThatCannotBeOpenedAreLeftOutWithTheReason) {
  FakeSystem sys;
  sys.AddUart("ttyS0");
  sys.Node("ttyS0");
  sys.AddUart("ttyS1", "0");  // a legacy node with no UART; its node would open
  sys.Node("ttyS1");
  sys.AddUart("ttyS2");  // no device node
  sys.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", "LOCKED");
  sys.Node("ttyUSB0");
  sys.AddUsb("ttyUSB1", "ch341", "1a86", "7523", "HELD");
  sys.NodeTo("ttyUSB1", "/dev/zero");
  const std::string terminal = sys.MapOnly(9, "stale entry on a login terminal");
  ProbeAll settings(std::nullopt);

  TComPort port;
  sys.Attach(port);
  port.EnumeratePorts();  // numbers the devices
  TComPort other;         // another of our programs talking on the FTDI adapter
  sys.Attach(other);
  other.PortNumber = 2;
  ASSERT_EQ(sys.Map().Find(2)->path, sys.Dev() + "/ttyUSB0");
  ASSERT_TRUE(other.Open());
  Holder sleeper("/dev/zero", false);
  Holder shell(terminal, true);

  const auto texts = Texts(port.EnumeratePorts());
  EXPECT_EQ(port.PortList, std::vector<std::string>{"COM1"}) << Joined(texts);
  ASSERT_EQ(port.ScannedPorts.size(), 6u);
  // ttyS1 keeps no number: its fallback COM2 went to the first new adapter.
  struct Expected {
    std::string name;
    int error;
    std::string reason;
  };
  const Expected expected[] = {
      {"", EIO, "kein UART"},
      {"COM3", ENOENT, "nicht eingesteckt"},
      {"COM2", EBUSY, "anderen Programm"},
      {"COM4", EBUSY, "sleep (PID " + std::to_string(sleeper.Pid()) + ")"},
      {"COM9", EBUSY, "sleep (PID " + std::to_string(shell.Pid()) + ")"},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ScannedPort& p = port.ScannedPorts[i + 1];
    EXPECT_EQ(p.name, expected[i].name);
    EXPECT_NE(p.problem.find(expected[i].reason), std::string::npos) << p.problem;
    const std::string failed = "creating Handle to '" + (p.name.empty() ? p.path : p.name) +
                               "'  failed! (" + std::to_string(expected[i].error) + ") " +
                               p.problem;
    EXPECT_TRUE(Has(texts, failed)) << failed << "\n" << Joined(texts);
  }
}

TEST(Discovery, WithoutADeviceListComOneToComTwoFiftySixAreProbedThroughTheMap) {
  FakeSystem sys;
  fs::remove(sys.Sys() + "/class/tty");
  sys.Node("ttyS2");
  sys.MapOnly(7, "Varnex-Simulator (test)");
  ProbeAll settings(std::nullopt);
  TComPort port;
  sys.Attach(port);
  const auto texts = Texts(port.EnumeratePorts());

  EXPECT_EQ(port.PortList, (std::vector<std::string>{"COM3", "COM7"}));
  EXPECT_TRUE(Has(texts, "Could not open " + sys.Sys() + "/class/tty/ !"));
  EXPECT_TRUE(Has(texts, "trying to detect ComDevices (up to Com256) without device list..."));
  EXPECT_TRUE(Has(texts, "creating handle to " + sys.Dev() + "/ttyS2 succeded!"));
  EXPECT_TRUE(Has(texts, "creating handle to " + sys.Dev() + "/ttyS3 failed!"));
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "creating handle to COM256...");
  EXPECT_EQ(texts.back(), "creating handle to COM256 failed!") << "COM256 has no number";
}

TEST(Discovery, WhenEveryListedPortIsBusyTheFallbackListsWhatOpens) {
  FakeSystem sys;
  sys.AddUart("ttyS0");
  sys.Node("ttyS0");
  sys.AddVirtual("ircomm0");
  sys.Node("ircomm0");
  ProbeAll settings(1);
  TComPort port;
  sys.Attach(port);
  port.EnumeratePorts();
  TComPort other;
  sys.Attach(other);
  other.PortNumber = 1;
  ASSERT_TRUE(other.Open());

  const auto texts = Texts(port.EnumeratePorts());
  EXPECT_TRUE(
      Has(texts, "skip '\\Device\\IrComm0 (ircomm) - COM2', no standard serial iterface !"));
  EXPECT_EQ(port.PortList, std::vector<std::string>{"COM2"}) << Joined(texts);
}

TEST(Discovery, ComNumbersPutBuiltInUartsFirstAndStayWithTheAdapter) {
  FakeSystem sys;
  sys.MapOnly(1, "Varnex-Simulator (test)");
  sys.AddUart("ttyS1");
  sys.Node("ttyS1");
  sys.AddUart("ttyS0");
  sys.Node("ttyS0");
  sys.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", "KEEP");
  sys.Node("ttyUSB0");
  ProbeAll settings(std::nullopt);
  TComPort port;
  sys.Attach(port);
  port.EnumeratePorts();
  // ttyS1 gets its own COM2; COM1 is the simulator's, so ttyS0 and then the adapter take the
  // lowest free numbers.
  EXPECT_EQ(port.PortList, (std::vector<std::string>{"COM3", "COM2", "COM4", "COM1"}));

  // Replugged, the adapter comes back as ttyUSB3: it keeps COM4.
  fs::remove_all(sys.Sys() + "/class/tty/ttyUSB0");
  fs::remove(sys.Dev() + "/ttyUSB0");
  sys.AddUsb("ttyUSB3", "ftdi_sio", "0403", "6001", "KEEP");
  sys.Node("ttyUSB3");
  port.EnumeratePorts();
  EXPECT_EQ(port.PortList, (std::vector<std::string>{"COM3", "COM2", "COM4", "COM1"}));
  EXPECT_EQ(port.DescriptionOf("COM4"), "ftdi_sio USB serial, " + sys.Dev() + "/ttyUSB3");
  EXPECT_EQ(sys.Map().Find(4)->path, sys.Dev() + "/ttyUSB3");
}

TEST(Discovery, FtdiPortNumberFindsTheDevicesAdapterByItsIds) {
  struct Case {
    const char* vid;
    const char* pid;
    uint8_t expected;
  };
  const Case cases[] = {{FtdiVendorId, VarnexUsbProductId, 2},
                        {"0403", "d8e1", 2},
                        {FtdiVendorId, "6001", 0},
                        {"067b", VarnexUsbProductId, 0}};
  FakeSystem sys;
  sys.AddUart("ttyS0");
  sys.AddUsb("ttyUSB0", "ftdi_sio", "0403", "d8e1", "12345678A");
  TComPort port;
  sys.Attach(port);
  for (const auto& c : cases)
    EXPECT_EQ(port.FtdiPortNumber(c.vid, c.pid), c.expected) << c.vid << ":" << c.pid;
  EXPECT_EQ(sys.Map().Find(1)->path, sys.Dev() + "/ttyS0") << "the UART was numbered first";
  EXPECT_EQ(sys.Map().Find(2)->description, "Varnex USB adapter, " + sys.Dev() + "/ttyUSB0");

  FakeSystem empty;
  TComPort none;
  empty.Attach(none);
  EXPECT_EQ(none.FtdiPortNumber(FtdiVendorId, VarnexUsbProductId), 0);
}

TEST(Discovery, UdevLinkOfTheAdapterNamesItsPort) {
  FakeSystem sys;
  sys.AddUsb("ttyUSB0", "ftdi_sio", "0403", "d8e1", "");
  sys.Node("ttyUSB0");
  fs::create_symlink("ttyUSB0", sys.Dev() + "/varnex0");
  sys.AddUsb("ttyUSB1", "ftdi_sio", "0403", "d8e1", "B7");
  sys.Node("ttyUSB1");
  sys.ById("usb-Varnex-B7-if00-port0", "ttyUSB1");
  fs::create_symlink("ttyUSB1", sys.Dev() + "/varnex1");
  ProbeAll settings(std::nullopt);
  TComPort port;
  sys.Attach(port);
  port.EnumeratePorts();

  ASSERT_EQ(port.PortList, (std::vector<std::string>{"COM1", "COM2"}));
  EXPECT_EQ(port.DescriptionOf("COM1"), "Varnex USB adapter, " + sys.Dev() + "/varnex0");
  EXPECT_EQ(sys.Map().Find(1)->path, sys.Dev() + "/varnex0") << "no by-id link: the udev link";
  EXPECT_EQ(port.DescriptionOf("COM2"), "Varnex USB adapter, " + sys.Dev() + "/varnex1");
  EXPECT_EQ(sys.Map().Find(2)->path, sys.Dev() + "/serial/by-id/usb-Varnex-B7-if00-port0");
  TComPort again;
  sys.Attach(again);
  again.EnumeratePorts();
  EXPECT_EQ(again.PortList, port.PortList) << "the numbers stay on the next scan";
}

TEST(Discovery, DevicePathFollowsTheMapElseTheLegacyUart) {
  TempDir dir;
  PortMap map(dir.File("ports.conf"));
  ASSERT_TRUE(map.Put(12, "usb-x", "/dev/serial/by-id/usb-x", "USB"));
  const std::pair<const char*, std::string> cases[] = {{"COM12", "/dev/serial/by-id/usb-x"},
                                                       {"COM3", "/fake/dev/ttyS2"},
                                                       {"COM256", ""},
                                                       {"com3", ""},
                                                       {"COM", ""},
                                                       {"", ""}};
  for (const auto& [name, path] : cases)
    EXPECT_EQ(DevicePath(name, map, "/fake/dev"), path) << name;
}

// Root may open anything, so the check runs as "nobody" in a child process.
TEST(Discovery, APortTheUserMayNotOpenNamesTheGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand a pseudo-terminal to another user";
  FakeSystem sys;
  ASSERT_EQ(chmod(fs::path(sys.Sys()).parent_path().c_str(), 0755), 0);
  const std::string pts = sys.MapOnly(4, "Varnex-Simulator (test)");
  const group* dialout = getgrnam("dialout");
  ASSERT_NE(dialout, nullptr);
  ASSERT_EQ(chown(pts.c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(chmod(pts.c_str(), 0660), 0);
  PortMap memory("");  // the child cannot read the test's private folder
  ASSERT_TRUE(memory.Put(4, "sim4", pts, "Varnex-Simulator (test)"));
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeFds[0]);
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    TComPort port;
    port.SetPortMap(&memory);
    port.DiscoveryRoots = {sys.Sys(), sys.Dev()};
    const auto log = port.EnumeratePorts();
    std::string report = port.ScannedPorts.empty() ? "" : port.ScannedPorts[0].problem;
    for (const auto& line : log) report += "\n" + line;
    (void)!write(pipeFds[1], report.data(), report.size());
    _exit(0);
  }
  close(pipeFds[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    report.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(report.find("Keine Berechtigung"), std::string::npos) << report;
  EXPECT_NE(report.find("Gruppe \"dialout\""), std::string::npos) << report;
  EXPECT_NE(report.find("creating Handle to 'COM4'  failed! (13)"), std::string::npos) << report;
}

}  // namespace
