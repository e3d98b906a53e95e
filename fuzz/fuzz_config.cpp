// Configuration files of any content and length through LoadConfig, and every reading of a
// 3001-byte record the programs make: texts, numbers in dialling form, list counts.
#include <algorithm>
#include <cstring>
#include <string>

#include "Cp1252.h"
#include "DeviceConfig.h"
#include "FuzzSupport.h"
#include "Ruvolt_Support.h"

using namespace varnex;
using varnex::fuzz::Check;

namespace {

// Unpacking a field and packing the text again gives the field back, NUL-padded after its
// first NUL.
void TextRoundTrip(const uint8_t* field, size_t w) {
  const std::string text = UnpackText(field, w);
  std::vector<uint8_t> packed(w + 1, 0xEE);
  Check(PackText(text, packed.data(), w), "an unpacked text packs again");
  const uint8_t* nul = std::find(field, field + w + 1, 0);
  std::vector<uint8_t> expected(field, nul);
  expected.resize(w + 1, 0);
  Check(packed == expected, "a text field survives unpacking and packing");
}

void Number(const TDeviceConfig& c, TConstPhoneNumber n) {
  TextRoundTrip(n.Data() + phone_number::Country.Offset, phone_number::Country.Width);
  TextRoundTrip(n.Data() + phone_number::Area.Offset, phone_number::Area.Width);
  TextRoundTrip(n.Data() + phone_number::Subscriber.Offset, phone_number::Subscriber.Width);
  const std::string dialled = c.FormatNumber(n);
  Check(dialled.size() >= n.Subscriber().size(), "the subscriber number is dialled");
}

void List(const TDeviceConfig& c, const uint8_t* list) {
  const int active = CountActive(list);
  Check(active >= 0 && active <= static_cast<int>(cfg::ListEntries), "active count in range");
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    const TConstPhoneEntry e(list + k * phone_entry::Size);
    TextRoundTrip(e.Data() + phone_entry::Name.Offset, phone_entry::Name.Width);
    Check(e.Used() == !e.Name().empty(), "an entry is used when it has a name");
    Number(c, e.Phone());
  }
}

void Interpret(const TDeviceConfig& c) {
  for (TextField f : {cfg::Msn, cfg::CountryCode, cfg::IntlPrefix, cfg::NationalPrefix,
                      cfg::PbxPrefix, cfg::DtmfCode})
    TextRoundTrip(c.Data() + f.Offset, f.Width);
  List(c, c.Admins());
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
    List(c, c.Input(i).CallList());
    TextRoundTrip(c.SwitchMsn(i).Data() + switch_msn::Msn.Offset, switch_msn::Msn.Width);
  }
  const std::string_view bytes(reinterpret_cast<const char*>(c.Data()), ConfigSize);
  const std::string utf8 = Cp1252ToUtf8(bytes);
  Check(Utf8ToCp1252(utf8) == std::string(bytes), "every record byte survives Windows-1252");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TRuvolt link;
  link.Config.Bytes.fill(0x5A);
  link.ConfigFileName = "before";
  const TDeviceConfig before = link.Config;
  const std::string path = fuzz::ScratchFile("record.vnx", bytes);
  std::string why;
  if (link.LoadConfig(path, &why)) {
    Check(size == ConfigSize, "only 3001-byte files load");
    Check(std::equal(link.Config.Bytes.begin(), link.Config.Bytes.end(), data), "loaded whole");
    Check(link.ConfigFileName == path, "the file's name is kept");
  } else {
    Check(size != ConfigSize, "a 3001-byte file loads");
    Check(!why.empty(), "a refused file says why");
    Check(link.Config == before && link.ConfigFileName == "before",
          "a refused file changes nothing");
  }

  // Any bytes as a record, shorter inputs padded with zeros.
  TDeviceConfig record;
  std::memcpy(record.Data(), data, std::min(size, ConfigSize));
  Interpret(record);
  return 0;
}
