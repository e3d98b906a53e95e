// What the diagnostics program reports: the system line, the serial devices of a sysfs tree the
// test lays out, the modem lines and the line settings of a port.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>

#include "SystemFacts.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::diag;
using namespace varnex::test;
namespace fs = std::filesystem;

namespace {

TEST(DiagSystem, DistributionFromOsRelease) {
  struct Case {
    const char* text;
    const char* name;
  } cases[] = {
      {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
       "(bookworm)\"\nVERSION=\"12\"\n",
       "Debian GNU/Linux 12 (bookworm)"},
      {"NAME=Fedora\nVERSION='39 (Workstation)'\n", "Fedora 39 (Workstation)"},
      {"# PRETTY_NAME=commented\nNAME=\"Say \\\"hi\\\"\"\n", "Say \"hi\""},
      {"ID=alpine", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DistributionName(c.text), c.name) << c.text;
}

TEST(DiagSystem, FirstOsReleaseThatNamesOneAndTheKernel) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("empty"), "ID=x\n"));
  ASSERT_TRUE(WriteFileAtomic(dir.File("lib"), "PRETTY_NAME=\"Testix 1\"\n"));
  const LinuxSystem system =
      ReadLinuxSystem({dir.File("missing"), dir.File("empty"), dir.File("lib")});
  EXPECT_EQ(system.distribution, "Testix 1");
  utsname u{};
  ASSERT_EQ(uname(&u), 0);
  EXPECT_EQ(system.release, u.release);
  EXPECT_EQ(system.version, u.version);
  EXPECT_EQ(system.machine, u.machine);
  EXPECT_EQ(ReadLinuxSystem({dir.File("missing")}).distribution, "Linux");
  EXPECT_EQ(SystemLine({"Testix 1", "6.1.0-18-amd64", "#1 SMP", "x86_64"}),
            "Testix 1 (Kernel 6.1.0-18-amd64, Build #1 SMP) (x86_64)");
}

TEST(DiagSystem, WindowsKinds) {
  struct Case {
    OsVersionRecord record;
    int kind;
    const char* text;
  } cases[] = {
      {{4, 0, 0x04000395, 1, " A "}, 1, "Version 4.0, Build 917"},
      {{4, 0, 0x04000457, 1, " B "}, 2, "Version 4.0, Build 1111"},
      {{4, 10, 0x040A07CE, 1, " "}, 3, "Version 4.10, Build 1998"},
      {{4, 10, 0x040A08AE, 1, " A "}, 4, "Version 4.10, Build 2222"},
      {{4, 90, 0x045A0BB8, 1, ""}, 5, "Version 4.90, Build 3000"},
      {{4, 90, 0x045A0BB9, 1, ""}, 0, "Version 4.90, Build 3001"},
      {{3, 51, 1057, 2, ""}, 6, "Version 3.51, Build 1057"},
      {{4, 0, 1381, 2, "Service Pack 6"}, 7, "Version 4.0, Build 1381"},
      {{5, 0, 2195, 2, ""}, 8, "Version 5.0, Build 2195"},
      {{5, 1, 2600, 2, "Service Pack 2"}, 9, "Version 5.1, Build 2600"},
      {{5, 2, 3790, 2, ""}, 10, "Version 5.2, Build 3790"},
      {{6, 0, 6000, 2, ""}, 0, "Version 6.0, Build 6000"},
      {{5, 1, 2600, 3, ""}, 0, "Version 5.1, Build "},
  };
  for (const auto& c : cases) {
    std::string text;
    EXPECT_EQ(OsVersionKind(c.record, text), c.kind) << c.text;
    EXPECT_EQ(text, c.text);
  }
  EXPECT_STREQ(OsNames[9], "Windows XP");
}

// A sysfs tree and /dev folder with the links the kernel makes for a UART behind a serial-base
// port device and for a USB serial adapter.
class FakeSysfs {
 public:
  FakeSysfs() { fs::create_directories(Sys() + "/class/tty"); }
  std::string Sys() const { return dir_.Path() + "sys"; }

  void Uart(const std::string& tty, const std::string& type, const std::string& fifo,
            const std::string& rxTrigger) {
    const std::string platform =
        Bound(Sys() + "/devices/platform/serial8250", "platform", "serial8250");
    const std::string port = Bound(platform + "/serial8250:0." + tty, "serial-base", "port");
    const std::string entry = Entry(port, tty);
    Attr(entry + "/type", type);
    if (!fifo.empty()) Attr(entry + "/xmit_fifo_size", fifo);
    if (!rxTrigger.empty()) Attr(entry + "/rx_trig_bytes", rxTrigger);
  }
  void Usb(const std::string& tty, const std::string& vid, const std::string& pid,
           const std::string& product) {
    const std::string usb = Sys() + "/devices/pci0000:00/usb1/1-1";
    fs::create_directories(usb);
    Attr(usb + "/idVendor", vid);
    Attr(usb + "/idProduct", pid);
    Attr(usb + "/manufacturer", "FTDI");
    Attr(usb + "/product", product);
    Entry(Bound(usb + "/1-1:1.0/" + tty, "usb-serial", "ftdi_sio"), tty);
  }
  // A device node with the given mode.
  std::string Node(const std::string& name, mode_t mode) {
    fs::create_directories(dir_.Path() + "dev");
    const std::string path = dir_.Path() + "dev/" + name;
    EXPECT_TRUE(WriteFileAtomic(path, ""));
    chmod(path.c_str(), mode);
    return path;
  }

 private:
  static void Attr(const std::string& file, const std::string& value) {
    ASSERT_TRUE(WriteFileAtomic(file, value + "\n"));
  }
  std::string Bound(const std::string& device, const std::string& bus, const std::string& driver) {
    const std::string drivers = Sys() + "/bus/" + bus + "/drivers/" + driver;
    fs::create_directories(drivers);
    fs::create_directories(device);
    if (!fs::exists(device + "/driver")) {
      fs::create_symlink(drivers, device + "/driver");
      fs::create_symlink(Sys() + "/bus/" + bus, device + "/subsystem");
    }
    return device;
  }
  std::string Entry(const std::string& device, const std::string& tty) {
    const std::string entry = device + "/tty/" + tty;
    fs::create_directories(entry);
    fs::create_symlink(device, entry + "/device");
    fs::create_symlink(entry, Sys() + "/class/tty/" + tty);
    return entry;
  }

  TempDir dir_;
};

// "-rw-rw---- <owner> <group>, this user: read/write" for a node this test made.
std::string Access(const std::string& mode) {
  return mode + " " + getpwuid(getuid())->pw_name + " " + getgrgid(getgid())->gr_name +
         ", this user: read/write";
}

TEST(DiagSerialDevices, EveryPortWithWhatSysfsTellsOfIt) {
  FakeSysfs sys;
  sys.Uart("ttyS0", "4", "16", "8");
  sys.Uart("ttyS1", "1", "1", "");
  sys.Uart("ttyS2", "0", "", "");
  sys.Uart("ttyS3", "0", "", "");
  sys.Usb("ttyUSB0", "0403", "6001", "FT232R USB UART");
  const std::string s0 = sys.Node("ttyS0", 0660), s1 = sys.Node("ttyS1", 0600),
                    s2 = sys.Node("ttyS2", 0660), s3 = sys.Node("ttyS3", 0660),
                    usb = sys.Node("ttyUSB0", 0666);
  const std::string gone = fs::path(s0).parent_path().string() + "/ttyACM0";
  const std::vector<ScannedPort> ports = {
      {"COM1", s0, "", ""},  {"COM2", s1, "", ""},   {"", s2, "", ""},     {"COM4", s3, "", ""},
      {"COM3", usb, "", ""}, {"COM5", gone, "", ""}, {"COM1", s0, "", ""},  // probed again by the
                                                                            // fallback
  };
  const auto lines = SerialDeviceReport(ports, sys.Sys());
  const std::vector<std::string> expected = {
      "",
      "Opened '" + sys.Sys() + "/class/tty' ...",
      "COM1 = " + s0 + ": driver serial8250, UART 16550A, Fifo enabled (RX:8, TX:16), " +
          Access("-rw-rw----"),
      "COM2 = " + s1 + ": driver serial8250, UART 8250, Fifo disabled (TX:1), " +
          Access("-rw-------"),
      "COM3 = " + usb + ": driver ftdi_sio, USB 0403:6001 FTDI FT232R USB UART, " +
          Access("-rw-rw-rw-"),
      "COM5 = " + gone + ": no sysfs entry, node missing: " + ErrnoText(ENOENT),
      "2 legacy port node(s) without UART (sysfs type 0) left out: " + s2 + " ... " + s3,
  };
  EXPECT_EQ(lines, expected);
}

TEST(DiagSerialDevices, PseudoTerminalAndNoTtyClass) {
  RawLine line;
  const auto lines = SerialDeviceReport({{"COM7", line.Path(), "", ""}}, "/sys");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].rfind("COM7 = " + line.Path() + ": pseudo-terminal, no sysfs entry, crw", 0),
            0u)
      << lines[2];

  TempDir empty;
  EXPECT_EQ(SerialDeviceReport({}, empty.Path() + "sys"),
            (std::vector<std::string>{"", "Failed to open " + empty.Path() + "sys/class/tty ! (" +
                                              std::to_string(ENOENT) + ")"}));
}

TEST(DiagPort, ModemStatusNames) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0, ""},
      {MS_CTS_ON, "MS_CTS_ON "},
      {MS_RLSD_ON | MS_DSR_ON, "MS_DSR_ON MS_RLSD_ON "},
      {0xFF, "MS_CTS_ON MS_DSR_ON MS_RING_ON MS_RLSD_ON "},
      {0x0F, ""},
  };
  for (const auto& [status, names] : cases) EXPECT_EQ(ModemStatusNames(status), names) << status;
}

TEST(DiagPort, LineSettingsLinesArePaddedDecimalFields) {
  termios t{};
  t.c_iflag = 1;
  t.c_oflag = 2;
  t.c_cflag = CS8 | CREAD | CLOCAL;
  cfsetospeed(&t, B19200);  // the speed lives in c_cflag too
  cfsetispeed(&t, B19200);
  t.c_lflag = 3;
  t.c_line = 0;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  t.c_cc[VINTR] = 3;
  t.c_cc[VQUIT] = 28;
  t.c_cc[VERASE] = 127;
  t.c_cc[VKILL] = 21;
  t.c_cc[VEOF] = 4;
  t.c_cc[VEOL] = 0;
  t.c_cc[VSTART] = 17;
  t.c_cc[VSTOP] = 19;
  t.c_cc[VSUSP] = 26;
  const std::string cflag = std::to_string(t.c_cflag);
  const std::vector<std::string> expected = {
      "OSpeed:     19200",    "ISpeed:     19200", "c_iflag:    1",  "c_oflag:    2",
      "c_cflag:    " + cflag, "c_lflag:    3",     "c_line:     0",  "VMIN:       1",
      "VTIME:      5",        "VINTR:      3",     "VQUIT:      28", "VERASE:     127",
      "VKILL:      21",       "VEOF:       4",     "VEOL:       0",  "VSTART:     17",
      "VSTOP:      19",       "VSUSP:      26"};
  EXPECT_EQ(LineSettingsLines(t), expected);
}

TEST(DiagPort, BlockAndLineStatusOfARealPort) {
  RawLine line;
  TRuvolt link;
  line.Attach(link);
  EXPECT_EQ(LineSettingsBlock(link.Port),
            (std::vector<std::string>{"Could not GetCommState (" + std::to_string(EBADF) + ") !"}));
  ASSERT_TRUE(link.Port.Open());
  const auto block = LineSettingsBlock(link.Port);
  ASSERT_EQ(block.size(), 18u);
  EXPECT_EQ(block[0], "OSpeed:     9600");
  EXPECT_EQ(block[1], "ISpeed:     9600");
  EXPECT_EQ(block[7], "VMIN:       0");
  EXPECT_EQ(block[8], "VTIME:      0");
  // A pseudo-terminal has no modem lines to raise or read.
  EXPECT_EQ(LineStatusLine(link.Port),
            "LineStatus: (no modem lines) , raise RTS -> (no modem lines) ");
}

}  // namespace
