// The configuration record: layout, texts, defaults, the small operations and its file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "Cp1252.h"
#include "DeviceConfig.h"
#include "Ruvolt_Support.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

std::string Field(const TDeviceConfig& c, size_t offset, size_t size) {
  return std::string(reinterpret_cast<const char*>(c.Data()) + offset, size);
}

}  // namespace

TEST(Record, ApplyDefaultsOnAZeroedRecordSetsExactlyTheDefaultBytes) {
  TDeviceConfig c;
  c.ApplyDefaults();
  std::map<size_t, uint8_t> expected = {{16, '4'}, {17, '9'},  {21, '0'}, {22, '0'},
                                        {24, '0'}, {1168, 10}, {1812, 10}};
  const uint8_t codes1[] = {30, 50, 6, 50, 101, 50};
  const uint8_t codes2[] = {30, 50, 6, 50, 102, 50};
  for (size_t i = 0; i < 6; ++i) {
    expected[1759 + i] = codes1[i];
    expected[2403 + i] = codes2[i];
  }
  for (size_t i = 0; i < ConfigSize; ++i) {
    const auto it = expected.find(i);
    EXPECT_EQ(c.Bytes[i], it == expected.end() ? 0 : it->second) << "offset " << i;
  }
}

TEST(Record, ApplyDefaultsOnAFilledRecordOverwritesOnlyItsFields) {
  TDeviceConfig c;
  c.Bytes.fill(0xAA);
  c.ApplyDefaults();
  // Overwritten whole: the three texts, both flags, both messages (all 50 bytes), both passes.
  EXPECT_EQ(Field(c, 16, 5), std::string("49\0\0\0", 5));
  EXPECT_EQ(Field(c, 21, 3), std::string("00\0", 3));
  EXPECT_EQ(Field(c, 24, 2), std::string("0\0", 2));
  EXPECT_EQ(c.Bytes[30], 0);
  EXPECT_EQ(c.Bytes[31], 0);
  EXPECT_EQ(c.Input(0).Passes(), 10);
  EXPECT_EQ(c.Input(1).Passes(), 10);
  EXPECT_EQ(c.Bytes[1759 + 6], 0) << "the rest of a message is cleared";
  EXPECT_EQ(c.Bytes[1759 + 49], 0);
  EXPECT_EQ(c.Bytes[2403 + 49], 0);
  // Everything else kept.
  for (size_t i = 0; i < ConfigSize; ++i) {
    const bool touched = (i >= 16 && i < 26) || i == 30 || i == 31 || i == 1168 || i == 1812 ||
                         (i >= 1759 && i < 1809) || (i >= 2403 && i < 2453);
    if (!touched) {
      EXPECT_EQ(c.Bytes[i], 0xAA) << "offset " << i;
    }
  }
}

TEST(Record, AccessorsReachTheirAbsoluteOffsets) {
  struct Case {
    const char* what;
    std::function<void(TDeviceConfig&)> set;
    size_t offset;
    uint8_t byte;
  };
  const Case cases[] = {
      {"Msn", [](TDeviceConfig& r) { r.SetMsn("7"); }, 0, '7'},
      {"PbxPrefix", [](TDeviceConfig& r) { r.SetPbxPrefix("#"); }, 26, '#'},
      {"PbxMode", [](TDeviceConfig& r) { r.SetPbxMode(true); }, 29, 1},
      {"RingTime", [](TDeviceConfig& r) { r.SetRingTime(45); }, 32, 45},
      {"admin 0 name", [](TDeviceConfig& r) { r.Admin(0).SetName("A"); }, 287, 'A'},
      {"admin 0 country", [](TDeviceConfig& r) { r.Admin(0).Phone().SetCountry("4"); }, 318, '4'},
      {"admin 0 area", [](TDeviceConfig& r) { r.Admin(0).Phone().SetArea("3"); }, 323, '3'},
      {"admin 0 subscriber", [](TDeviceConfig& r) { r.Admin(0).Phone().SetSubscriber("1"); }, 329,
       '1'},
      {"admin 0 active", [](TDeviceConfig& r) { r.Admin(0).SetActive(true); }, 345, 1},
      {"admin 9 active", [](TDeviceConfig& r) { r.Admin(9).SetActive(true); }, 287 + 9 * 59 + 58,
       1},
      {"AnyCallerAllowed", [](TDeviceConfig& r) { r.SetAnyCallerAllowed(true); }, 877, 1},
      {"DtmfCode", [](TDeviceConfig& r) { r.SetDtmfCode("9"); }, 878, '9'},
      {"input 1 trigger", [](TDeviceConfig& r) { r.Input(0).SetTrigger(2); }, 1165, 2},
      {"input 2 delay", [](TDeviceConfig& r) { r.Input(1).SetAlarmDelay(20); }, 1810, 20},
      {"input 2 run to end", [](TDeviceConfig& r) { r.Input(1).SetRunToEnd(true); }, 1811, 1},
      {"input 2 call 0 name", [](TDeviceConfig& r) { r.Input(1).Call(0).SetName("C"); }, 1813, 'C'},
      {"input 1 message", [](TDeviceConfig& r) { r.Input(0).AlarmText()[0] = 77; }, 1759, 77},
      {"input 2 outputs", [](TDeviceConfig& r) { r.InputSwitch(1).SetOutputs(3); }, 2463, 3},
      {"switch 1 msn", [](TDeviceConfig& r) { r.SwitchMsn(0).SetMsn("5"); }, 2709, '5'},
      {"switch 2 action", [](TDeviceConfig& r) { r.SwitchMsn(1).SetAction(3); }, 2743, 3},
      {"switch 2 param", [](TDeviceConfig& r) { r.SwitchMsn(1).SetParam(4); }, 2744, 4},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TDeviceConfig r;
    k.set(r);
    for (size_t i = 0; i < ConfigSize; ++i) EXPECT_EQ(r.Bytes[i], i == k.offset ? k.byte : 0) << i;
  }
}

TEST(Record, PackTextLimitsAndEncoding) {
  struct Case {
    const char* text;
    size_t w;
    bool stored;
    std::string bytes;  // the field after the call (it starts as "old" + zeros)
  };
  const std::string old("old\0\0", 5);
  const Case cases[] = {
      {"1234", 4, true, std::string("1234\0", 5)},
      {"12345", 4, true, "12345"},  // W+1 characters: no NUL left
      {"123456", 4, false, old},    // longer: the field keeps its content
      {"", 4, true, std::string(5, '\0')},
      {"Müß€", 4, true, std::string("M\xFC\xDF\x80\0", 5)},
      {"äöüÄÖ", 4, true, "\xE4\xF6\xFC\xC4\xD6"},  // five characters in five bytes
      {"äöüÄÖÜ", 4, false, old},
      {"Ω", 4, false, old},     // not in Windows-1252: refused, not mangled
      {"\xC3", 4, false, old},  // broken UTF-8
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    uint8_t field[5];
    std::memcpy(field, old.data(), 5);
    EXPECT_EQ(PackText(k.text, field, k.w), k.stored);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 5), k.bytes);
    if (k.stored) {
      EXPECT_EQ(UnpackText(field, k.w), k.text);
    }
  }
  uint8_t field[5] = {};
  EXPECT_FALSE(PackText(std::string_view("a\0b", 3), field, 4)) << "an inner NUL would be lost";
}

TEST(Record, UnpackTextStopsAtTheFieldEnd) {
  const uint8_t bytes[] = {'4', '9', '0', '1', '2', 'X', 'Y'};
  EXPECT_EQ(UnpackText(bytes, 4), "49012");
  EXPECT_EQ(UnpackText(bytes, 1), "49");
}

TEST(Record, Cp1252RoundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xE9"), "€Ÿé");
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\x80"), std::nullopt) << "overlong encoding";
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), std::nullopt) << "surrogate";
  EXPECT_EQ(Utf8ToCp1252("😀"), std::nullopt);
}

TEST(Record, FormatNumber) {
  struct Case {
    const char *country, *area, *subscriber, *expected;
  };
  const Case cases[] = {
      {"49", "30", "123", "030 123"},   {"43", "1", "234", "0043 1 234"},
      {"", "30", "456", "030 456"},     {"43", "", "555", "0043 555"},
      {"", "", "112", "112"},           {"49", "", "12", "12"},
      {"049", "30", "1", "00049 30 1"},  // compared as text
  };
  TRuvolt link;
  link.ApplyDefaults();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.expected);
    TPhoneNumber number = link.Config.Admin(0).Phone();
    ASSERT_TRUE(number.SetCountry(k.country));
    ASSERT_TRUE(number.SetArea(k.area));
    ASSERT_TRUE(number.SetSubscriber(k.subscriber));
    EXPECT_EQ(link.FormatNumber(number), k.expected);
  }
}

TEST(Record, CountActiveNeedsANameAndTheFlag) {
  struct Entry {
    const char* name;
    uint8_t active;
  };
  struct Case {
    std::vector<Entry> entries;
    int expected;
  };
  const Case cases[] = {
      {{}, 0},
      {{{"A", 1}, {"B", 1}, {"C", 0}}, 2},
      {{{"", 1}, {"", 7}}, 0},  // active without a name: a free entry
      {{{"A", 2}, {"B", 255}}, 2},
      {std::vector<Entry>(10, {"X", 1}), 10},
  };
  for (const Case& k : cases) {
    TDeviceConfig c;
    for (size_t i = 0; i < k.entries.size(); ++i) {
      c.Admin(i).SetName(k.entries[i].name);
      c.Admin(i).Data()[phone_entry::Active] = k.entries[i].active;
    }
    EXPECT_EQ(TRuvolt::CountActive(c.Admins()), k.expected);
  }
}

TEST(ConfigFile, SavesAndLoadsTheRecordByteForByte) {
  TempDir dir;
  TRuvolt a;
  for (size_t i = 0; i < ConfigSize; ++i) a.Config.Bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  ASSERT_TRUE(a.SaveConfig(dir.File("c.vnx")));
  EXPECT_EQ(std::filesystem::file_size(dir.File("c.vnx")), ConfigSize);
  TRuvolt b;
  ASSERT_TRUE(b.LoadConfig(dir.File("c.vnx")));
  EXPECT_EQ(b.Config, a.Config);
  EXPECT_EQ(b.ConfigFileName, dir.File("c.vnx"));

  std::string error;
  EXPECT_FALSE(a.SaveConfig(dir.File("missing/c.vnx"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST(ConfigFile, RefusesAFileOfAnotherLengthAndKeepsTheRecord) {
  TempDir dir;
  for (size_t size : {size_t{0}, size_t{3000}, size_t{3002}}) {
    SCOPED_TRACE(size);
    ASSERT_TRUE(WriteFileAtomic(dir.File("odd"), std::string(size, '\x11')));
    TRuvolt link;
    link.Config.Bytes.fill(0x5A);
    link.ConfigFileName = "before.vnx";
    std::string error;
    EXPECT_FALSE(link.LoadConfig(dir.File("odd"), &error));
    EXPECT_NE(error.find(std::to_string(size) + " bytes long"), std::string::npos) << error;
    EXPECT_EQ(link.Config.Bytes[0], 0x5A);
    EXPECT_EQ(link.Config.Bytes[3000], 0x5A);
    EXPECT_EQ(link.ConfigFileName, "before.vnx");
  }
  TRuvolt link;
  std::string error;
  EXPECT_FALSE(link.LoadConfig(dir.File("none.vnx"), &error));
  EXPECT_NE(error.find("no such file"), std::string::npos);
  EXPECT_FALSE(link.LoadConfig(dir.Path(), &error)) << "a folder is no configuration";
}
