// Any 3001-byte record as the configurator shows it: the alarm message summaries of the alarm
// inputs page (with the shipped catalogue), the HTML report and the order form. A user's text
// never becomes markup: swapping every markup character of the record's texts for a letter
// leaves the markup of every output unchanged.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "AlarmTexts.h"
#include "DtmfCommands.h"
#include "Exports.h"
#include "FuzzSupport.h"
#include "Report.h"
#include "VoiceCatalogue.h"

using namespace varnex;
using varnex::fuzz::Check;

namespace {

// The characters of HTML markup, in order of appearance.
std::string Markup(const std::vector<std::string>& lines) {
  std::string markup;
  for (const std::string& line : lines)
    for (char c : line)
      if (c == '<' || c == '>' || c == '"') markup += c;
  return markup;
}

std::vector<std::string> Outputs(const TDeviceConfig& config) {
  ReportInput input;
  input.config = config;
  input.summaries = AlarmTextSummaries(config);
  for (const std::string& s : input.summaries) {
    Check(fuzz::IsUtf8(s), "summaries are UTF-8");
    Check(fuzz::IsUtf8(AlarmTextHint(s)), "hints are UTF-8");
  }
  input.dtmfRows = ShippedDtmfCommands();
  input.configFileName = "a.vnx";
  input.time.tm_year = 126;
  input.time.tm_mday = 1;
  std::vector<std::string> lines = ConfigurationReportLines(input);
  for (const std::string& line : lines) Check(fuzz::IsUtf8(line), "report lines are UTF-8");
  HtmlBytes(lines);
  std::vector<std::string> form(40, "<INPUT TYPE=text>");
  Check(FillOrderForm(form, config), "a 40-line template fills");
  lines.insert(lines.end(), form.begin(), form.end());
  return lines;
}

void Plain(uint8_t* field, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (field[i] == '<' || field[i] == '>' || field[i] == '"' || field[i] == '&') field[i] = 'x';
}

void PlainEntries(uint8_t* list) {
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    uint8_t* entry = list + k * phone_entry::Size;
    Plain(entry + phone_entry::Name.Offset, phone_entry::Name.Size());
    Plain(entry + phone_entry::Phone, phone_number::Size);
  }
}

// The record with every markup character of its texts replaced.
TDeviceConfig PlainTexts(TDeviceConfig c) {
  for (TextField f : {cfg::Msn, cfg::CountryCode, cfg::IntlPrefix, cfg::NationalPrefix,
                      cfg::PbxPrefix, cfg::DtmfCode})
    Plain(c.Data() + f.Offset, f.Size());
  PlainEntries(c.Admins());
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
    PlainEntries(c.Input(i).CallList());
    Plain(c.SwitchMsn(i).Data() + switch_msn::Msn.Offset, switch_msn::Msn.Size());
  }
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::LoadShippedCatalogue();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  TDeviceConfig config;
  std::memcpy(config.Data(), data, std::min(size, ConfigSize));
  Check(Markup(Outputs(config)) == Markup(Outputs(PlainTexts(config))),
        "user texts never become markup");
  return 0;
}
