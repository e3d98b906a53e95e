// varnexctl show FILE: a configuration file as readable text.
#include <cstdio>
#include <string>

#include "Cli.h"

namespace varnex::cli {

namespace {

// Pads to a width in characters (UTF-8 continuation bytes take no column).
std::string Pad(const std::string& text, size_t width) {
  size_t columns = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++columns;
  return text + std::string(width > columns ? width - columns : 0, ' ');
}

void Field(const char* name, const std::string& value) {
  std::printf("%s: %s\n", Pad(name, 18).c_str(), value.c_str());
}

std::string Named(uint8_t value, std::initializer_list<const char*> names) {
  std::string text = std::to_string(value);
  if (value < names.size()) text += std::string(" (") + names.begin()[value] + ")";
  return text;
}

// Reserved bytes: "all zero", or how many are not.
std::string ReservedText(const uint8_t* bytes, size_t count) {
  size_t set = 0;
  for (size_t i = 0; i < count; ++i)
    if (bytes[i]) ++set;
  return set ? std::to_string(set) + " of " + std::to_string(count) + " bytes not zero"
             : "all zero";
}

void PhoneTable(const char* title, const uint8_t* list) {
  std::printf("\n%s (active: %d of %zu)\n", title, CountActive(list), cfg::ListEntries);
  bool any = false;
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    const TConstPhoneEntry entry(list + k * phone_entry::Size);
    bool empty = true;
    for (size_t i = 0; i < phone_entry::Size; ++i) empty = empty && entry.Data()[i] == 0;
    if (empty) continue;
    if (!any)
      std::printf("  %-3s%s%s%s%s%s\n", "#", Pad("Name", 32).c_str(), Pad("Country", 9).c_str(),
                  Pad("Area", 8).c_str(), Pad("Subscriber", 17).c_str(), "Active");
    any = true;
    const auto phone = entry.Phone();
    std::printf("  %-3zu%s%s%s%s%d%s\n", k + 1, Pad(entry.Name(), 32).c_str(),
                Pad(phone.Country(), 9).c_str(), Pad(phone.Area(), 8).c_str(),
                Pad(phone.Subscriber(), 17).c_str(), entry.Active() ? 1 : 0,
                entry.Used() ? "" : "  (no name: free entry)");
  }
  if (!any) std::printf("  (none)\n");
}

std::string AlarmText(const uint8_t* codes) {
  std::string text;
  for (size_t i = 0; i < alarm_input::AlarmTextSize && codes[i]; ++i)
    text += (text.empty() ? "" : " ") + std::to_string(codes[i]);
  return text.empty() ? "(empty)" : text;
}

void Show(const TDeviceConfig& c) {
  Field("Msn", c.Msn());
  Field("CountryCode", c.CountryCode());
  Field("IntlPrefix", c.IntlPrefix());
  Field("NationalPrefix", c.NationalPrefix());
  Field("PbxPrefix", c.PbxPrefix());
  Field("PbxMode", std::to_string(c.PbxMode()));
  Field("FreeLinesOnAlarm", std::to_string(c.FreeLinesOnAlarm()));
  Field("PowerFailNotify", std::to_string(c.PowerFailNotify()));
  Field("RingTime", std::to_string(c.RingTime()) + " s");
  Field("AnyCallerAllowed", std::to_string(c.AnyCallerAllowed()));
  Field("DtmfCode", c.DtmfCode());
  PhoneTable("Admins", c.Admins());
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
    const auto input = c.Input(i);
    std::printf("\nInputs[%zu]\n", i);
    Field("  Trigger", Named(input.Trigger(), {"nie", "Öffner", "Schliesser"}));
    Field("  AlarmDelay", std::to_string(input.AlarmDelay()) + " s");
    Field("  RunToEnd", std::to_string(input.RunToEnd()));
    Field("  Passes", std::to_string(input.Passes()));
    Field("  AlarmText", AlarmText(input.AlarmText()));
    Field("  InputSwitches",
          Named(c.InputSwitch(i).Outputs(), {"keinen", "Ausgang1", "Ausgang2", "Ausgang1+2"}));
    PhoneTable(("  CallList of input " + std::to_string(i + 1)).c_str(), input.CallList());
  }
  for (size_t i = 0; i < cfg::SwitchMsns.size(); ++i) {
    const auto msn = c.SwitchMsn(i);
    std::printf("\nSwitchMsns[%zu]\n", i);
    Field("  Msn", msn.Msn());
    Field("  Action", Named(msn.Action(), {"nothing", "toggle", "set state", "pulse"}));
    Field("  Param", std::to_string(msn.Param()));
  }
  std::printf("\n");
  const std::pair<const char*, ByteRange> reserved[] = {
      {"Reserved 33-286", cfg::ReservedAfterRingTime},
      {"Reserved 909-1164", cfg::ReservedAfterDtmfCode},
      {"Reserved 2473-2708", cfg::ReservedAfterSwitches},
      {"Reserved 2745-3000", cfg::ReservedTail}};
  for (const auto& [name, range] : reserved)
    Field(name, ReservedText(c.Data() + range.Offset, range.Size));
  for (size_t i = 0; i < cfg::InputSwitches.size(); ++i)
    Field(("InputSwitches[" + std::to_string(i) + "] reserved").c_str(),
          ReservedText(c.InputSwitch(i).Data() + alarm_switch::Reserved.Offset,
                       alarm_switch::Reserved.Size));
}

int RunShow(CliContext& ctx) {
  if (ctx.args.size() != 1) return UsageError(ctx, "show", "takes one configuration file");
  TRuvolt link;
  std::string error;
  if (!link.LoadConfig(ctx.args[0], &error)) {
    std::fprintf(stderr, "varnexctl show: %s\n", error.c_str());
    return ExitFailed;
  }
  std::printf("Configuration %s\n\n", ctx.args[0].c_str());
  Show(link.Config);
  return ExitOk;
}

const RegisterCommand reg({"show", "FILE", "print a configuration file as text", RunShow});

}  // namespace

}  // namespace varnex::cli
