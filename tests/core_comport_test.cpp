// TComPort on pseudo-terminals, and the port names.
#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

#include <cerrno>

#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

TEST(ComPort, OpenTwiceAndTwoPortsOnOneDevice) {
  RawLine line;
  TComPort port;
  port.SetPortMap(&line.Map());
  port.PortNumber = static_cast<uint8_t>(line.Com());
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(port.StatusText, "Succesfully opened handle to COM" + std::to_string(line.Com()) + ".");
  const int handle = port.Handle;
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.Handle, handle) << "the open port is left untouched";

  TComPort other;
  other.SetPortMap(&line.Map());
  other.PortNumber = port.PortNumber;
  EXPECT_FALSE(other.Open()) << "the port is held exclusively";
  EXPECT_FALSE(other.IsOpen());
  EXPECT_NE(other.ErrorDetail.find("anderen Programm"), std::string::npos) << other.ErrorDetail;

  EXPECT_TRUE(port.Close());
  EXPECT_EQ(port.PortName, "");
  EXPECT_TRUE(other.Open());
}

TEST(ComPort, ReadNeverWaits) {
  RawLine line;
  TComPort port;
  port.SetPortMap(&line.Map());
  port.PortNumber = static_cast<uint8_t>(line.Com());
  uint8_t buffer[8];
  EXPECT_EQ(port.Read(buffer, sizeof buffer), -2) << "closed";
  ASSERT_TRUE(port.Open());
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0), 8) << "zeroed";

  line.Send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_EQ(port.WaitReadable(500), WaitResult::Readable);
  // Let the whole burst arrive before asking how much is queued.
  line.Received(50);
  EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
  uint8_t big[16];
  EXPECT_EQ(port.Read(big, sizeof big), 10) << "the bytes stayed queued";
  EXPECT_EQ(big[9], 10);
}

TEST(ComPort, WritesAndControlLines) {
  RawLine line;
  TComPort port;
  port.SetPortMap(&line.Map());
  port.PortNumber = static_cast<uint8_t>(line.Com());
  const uint8_t data[3] = {0x10, 0x20, 0x30};
  EXPECT_FALSE(port.Write(data, 3, 3)) << "closed";
  ASSERT_TRUE(port.Open());
  EXPECT_FALSE(port.Write(data, 3, 4)) << "count above capacity";
  EXPECT_TRUE(port.Write(data, 3, 3));
  EXPECT_TRUE(port.WriteByte(0x40));
  EXPECT_EQ(line.Received(300, 4), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40}));
  EXPECT_FALSE(port.SetControlLines(true, true));
  EXPECT_FALSE(port.SetControlLines(true, false)) << "a pseudo-terminal has no modem lines";
  uint32_t status = 99;
  EXPECT_FALSE(port.GetModemStatus(status));
  EXPECT_EQ(status, 0u);
}

TEST(ComPort, NamesAndPaths) {
  struct Case {
    const char* name;
    uint8_t number;
  };
  for (const Case c : {Case{"COM7", 7}, Case{"COM255", 255}, Case{"com7", 0}, Case{"COM0", 0},
                       Case{"COM256", 0}, Case{"\\\\.\\COM12", 0}, Case{"COM07", 0},
                       Case{"COM", 0}, Case{"COM1x", 0}}) {
    EXPECT_EQ(TComPort::PortNumberFromName(c.name), c.number) << c.name;
  }

  TempDir dir;
  PortMap map(dir.File("ports.conf"));
  ASSERT_TRUE(map.Put(10, "usb-x", "/dev/ttyUSB0", "USB"));
  TComPort port;
  port.SetPortMap(&map);
  port.PortNumber = 10;
  EXPECT_EQ(port.PortPath(), "/dev/ttyUSB0");
  port.PortNumber = 9;
  EXPECT_EQ(port.PortPath(), "/dev/ttyS8") << "unmapped numbers are the legacy UARTs";
  port.PortNumber = 0;
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.PortName, "COM0") << "set even when the open is refused";
}

TEST(ComPort, OpenErrorsSayWhatToDo) {
  TempDir dir;
  const std::string node = dir.File("ttyUSB0");
  ASSERT_TRUE(WriteFileAtomic(node, ""));
  const group* dialout = getgrnam("dialout");
  ASSERT_NE(dialout, nullptr);
  ASSERT_EQ(chown(node.c_str(), getuid(), dialout->gr_gid), 0);
  const std::string denied = DescribeOpenError(node, EACCES);
  EXPECT_NE(denied.find("Keine Berechtigung"), std::string::npos);
  EXPECT_NE(denied.find("Gruppe \"dialout\""), std::string::npos) << denied;
  EXPECT_NE(DescribeOpenError("/dev/ttyUSB9", ENOENT).find("nicht eingesteckt"),
            std::string::npos);
}

TEST(ComPort, NotATerminalIsRefusedButStaysOpen) {
  TempDir dir;
  PortMap map(dir.File("ports.conf"));
  const std::string file = dir.File("plain");
  ASSERT_TRUE(WriteFileAtomic(file, "x"));
  ASSERT_TRUE(map.Put(3, "plain", file, ""));
  ScriptedPrompter prompter(GTestFailure());
  prompter.ExpectContaining("Could not GetCommState (").ExpectContaining("Could not SetCommState (");
  ScopedHost host(&prompter, nullptr);
  TComPort port;
  port.SetPortMap(&map);
  port.PortNumber = 3;
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.StatusText, "Succesfully opened handle to COM3.");
}
