// What the transfer tests share: a device link on the simulator with a scripted prompter, a
// configuration with every field set, and firmware and flash files the simulator can take.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceConfig.h"
#include "LogLines.h"
#include "Ruvolt_Support.h"
#include "TestPaths.h"
#include "misc_functions.h"

namespace varnex::test {

class RecordingProgress : public IProgress {
 public:
  int minimum = -1;
  int maximum = -1;
  std::vector<int> positions;
  void SetRange(int lo, int hi) override {
    minimum = lo;
    maximum = hi;
  }
  void SetPosition(int p) override { positions.push_back(p); }
};

// A device link attached to a simulator, with log lines, a progress record and a log folder.
struct TransferRig {
  explicit TransferRig(sim::SimOptions options = {}, bool paced = false)
      : sim(std::move(options), paced), prompter(GTestFailure()), host(&prompter, nullptr) {
    sim.Attach(link);
  }
  void Connect() { ASSERT_EQ(link.Connect(true, false), 1); }
  std::vector<std::vector<uint8_t>> Requests() {
    return sim.Device([](sim::SimDevice& d) { return d.Requests(); });
  }
  // The log file's lines.
  std::vector<std::string> LogFile(const std::string& name) const {
    std::string text;
    if (!ReadFileBytes(logs.File(name), text)) return {"(no log file " + name + ")"};
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      result.push_back(text.substr(start, end - start));
    return result;
  }
  // The lines as logged, and the same lines in the log file.
  void ExpectLog(const std::string& file, const std::vector<std::string>& expected) const {
    EXPECT_EQ(lines.Lines(), expected);
    EXPECT_EQ(LogFile(file), expected) << file;
  }

  SimFixture sim;
  ScriptedPrompter prompter;
  ScopedHost host;
  TRuvolt link;
  TempDir logs;
  LogLines lines;
  RecordingProgress progress;
};

// Every field set, texts with umlauts and the bytes 0xFA and 0xFB (which travel escaped).
inline TDeviceConfig FullConfig() {
  TDeviceConfig c;
  c.ApplyDefaults();
  c.SetMsn("123456789012345");
  c.SetCountryCode("43");
  c.SetIntlPrefix("00");
  c.SetNationalPrefix("0");
  c.SetPbxPrefix("0#");
  c.SetPbxMode(true);
  c.SetFreeLinesOnAlarm(true);
  c.SetPowerFailNotify(true);
  c.SetRingTime(120);
  c.SetAnyCallerAllowed(true);
  c.SetDtmfCode("123456");
  auto fillList = [](auto entry, size_t k, const std::string& who) {
    entry.SetName(who + " Müller-Lüdenscheidt úû " + std::to_string(k));
    entry.Phone().SetCountry(k % 2 ? "49" : "43");
    entry.Phone().SetArea(std::to_string(30 + k));
    entry.Phone().SetSubscriber("55501" + std::to_string(k));
    entry.SetActive(k % 3 != 0);
  };
  for (size_t k = 0; k < cfg::ListEntries; ++k) fillList(c.Admin(k), k, "Admin");
  for (size_t i = 0; i < 2; ++i) {
    auto input = c.Input(i);
    input.SetTrigger(static_cast<uint8_t>(i + 1));
    input.SetAlarmDelay(i ? 20 : 5);
    input.SetRunToEnd(i == 0);
    input.SetPasses(static_cast<uint8_t>(3 + i));
    for (size_t k = 0; k < cfg::ListEntries; ++k) fillList(input.Call(k), k, "Ruf€");
    for (size_t b = 0; b < alarm_input::AlarmTextSize; ++b)
      input.AlarmText()[b] = static_cast<uint8_t>(200 + b);  // 250 and 251 among them
    c.InputSwitch(i).SetOutputs(static_cast<uint8_t>(3 - i));
    c.SwitchMsn(i).SetMsn("55512" + std::to_string(i));
    c.SwitchMsn(i).SetAction(static_cast<uint8_t>(2 + i));
    c.SwitchMsn(i).SetParam(static_cast<uint8_t>(1 + 3 * i));
  }
  for (size_t b = 0; b < cfg::ReservedTail.Size; ++b)
    c.Bytes[cfg::ReservedTail.Offset + b] = static_cast<uint8_t>(b * 3 + 1);
  return c;
}

// Bytes that vary, with 0xFA and 0xFB among them.
inline std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(x >> 16);
  }
  return bytes;
}

// A firmware file: 'G' first, its length in bytes 4 to 7 (the simulator's end marker).
inline std::string FirmwareFile(size_t size) {
  std::string bytes = Pattern(size, 7);
  bytes[0] = 'G';
  for (size_t i = 0; i < 4 && 4 + i < size; ++i) bytes[4 + i] = static_cast<char>(size >> (8 * i));
  return bytes;
}

// A voice flash image: beyond 64 KiB its sample directory tells where the sample data ends.
inline std::string FlashFile(size_t size) {
  std::string bytes = Pattern(size, 11);
  constexpr size_t Header = 65536, Directory = 6144;
  if (size < Header) return bytes;
  std::fill(bytes.begin(), bytes.begin() + Directory, '\0');
  const size_t data = size - Header;
  const size_t last = std::min<size_t>(data, 1000);
  const size_t at = data - last;
  for (size_t i = 0; i < 4; ++i) bytes[6 + i] = static_cast<char>(at >> (8 * i));  // entry 1
  for (size_t i = 0; i < 2; ++i) bytes[10 + i] = static_cast<char>(last >> (8 * i));
  return bytes;
}

}  // namespace varnex::test
