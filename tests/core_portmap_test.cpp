// The COM number map: stable numbers, persistence, transient entries.
#include <gtest/gtest.h>

#include "PortMap.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

TEST(PortMap, DevicesKeepTheirNumbersAcrossRunsAndPaths) {
  TempDir dir;
  const std::string file = dir.File("cfg/Brelmo/ports.conf");
  {
    PortMap map(file);
    EXPECT_EQ(map.Assign("usb-A", "/dev/ttyUSB0", "Adapter A"), 1);
    EXPECT_EQ(map.Assign("usb-B", "/dev/ttyUSB1", "Adapter B", 0, 3), 3) << "lowest free from 3";
    EXPECT_EQ(map.Assign("usb-C", "/dev/ttyUSB2", "Adapter C", 3), 2) << "preferred is taken";
  }
  PortMap again(file);
  // Replugged under another node: same number, new path.
  EXPECT_EQ(again.Assign("usb-A", "/dev/ttyUSB5", "Adapter A"), 1);
  EXPECT_EQ(again.DevicePathFor(1), "/dev/ttyUSB5");
  EXPECT_EQ(again.Find(3)->description, "Adapter B");
  EXPECT_EQ(again.FindByPath("/dev/ttyUSB2")->number, 2);
  EXPECT_TRUE(again.Remove(2));
  EXPECT_FALSE(again.Remove(2));
  EXPECT_EQ(again.DevicePathFor(2), "/dev/ttyS1");
  EXPECT_EQ(again.DevicePathFor(0), "");
  EXPECT_EQ(again.DevicePathFor(256), "");
}

TEST(PortMap, PutReplacesAndTransientEntriesStayInTheProcess) {
  TempDir dir;
  const std::string file = dir.File("ports.conf");
  PortMap map(file);
  ASSERT_TRUE(map.Put(5, "sim", "/dev/pts/9", "Simulator"));
  ASSERT_TRUE(map.Put(5, "sim2", "/dev/pts/10", "Simulator 2"));
  ASSERT_EQ(map.Entries().size(), 1u);
  EXPECT_EQ(map.Find(5)->id, "sim2");

  const int n = map.AddTransient("/dev/pts/11", "--device");
  EXPECT_EQ(n, 1);
  EXPECT_EQ(map.AddTransient("/dev/pts/11", "--device"), 1) << "the same path keeps its number";
  EXPECT_EQ(map.DevicePathFor(1), "/dev/pts/11");
  EXPECT_FALSE(PortMap(file).Find(1).has_value()) << "not written to the file";
}

TEST(PortMap, SkipsBrokenLines) {
  TempDir dir;
  const std::string file = dir.File("ports.conf");
  ASSERT_TRUE(WriteFileAtomic(file,
                              "# comment\n"
                              "COM2\t/dev/ttyUSB0\tusb\tAdapter\n"
                              "garbage line\n"
                              "COM0\t/dev/x\n"
                              "COM999\t/dev/y\n"
                              "COMx\t/dev/z\n"
                              "COM2\t/dev/dup\n"
                              "COM4\t\n"
                              "COM6\t/dev/ttyACM0\n"));
  PortMap map(file);
  const auto entries = map.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].path, "/dev/ttyUSB0");
  EXPECT_EQ(entries[1].id, "/dev/ttyACM0") << "the path stands in for a missing id";
}
