// The 3001-byte configuration record: the configuration file and the body of the transfer image.
// Every offset below is binding: the same bytes are a file format and a wire format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace varnex {

constexpr size_t ConfigSize = 3001;

// A text field of Width + 1 bytes: up to Width + 1 Windows-1252 characters, then NUL bytes.
struct TextField {
  size_t Offset;
  size_t Width;  // the "W" of PackText: capacity minus one
  constexpr size_t Size() const { return Width + 1; }
};

// A run of bytes the program carries but never interprets.
struct ByteRange {
  size_t Offset;
  size_t Size;
};

// Stores a UTF-8 text into a field of w + 1 bytes as Windows-1252 bytes. Refused (false, field
// untouched) when the text has more than w + 1 characters, holds a NUL, or holds a character that
// Windows-1252 lacks. Otherwise the field is zeroed and the text copied to its start.
bool PackText(std::string_view utf8, uint8_t* field, size_t w);
// The field's characters up to the first NUL (at most w + 1 bytes), as UTF-8.
std::string UnpackText(const uint8_t* field, size_t w);

namespace cfg {
constexpr TextField Msn{0, 15};
constexpr TextField CountryCode{16, 4};
constexpr TextField IntlPrefix{21, 2};
constexpr TextField NationalPrefix{24, 1};
constexpr TextField PbxPrefix{26, 2};
constexpr size_t PbxMode = 29;
constexpr size_t FreeLinesOnAlarm = 30;
constexpr size_t PowerFailNotify = 31;
constexpr size_t RingTime = 32;
constexpr ByteRange ReservedAfterRingTime{33, 254};
constexpr size_t Admins = 287;
constexpr size_t AnyCallerAllowed = 877;
constexpr TextField DtmfCode{878, 30};
constexpr ByteRange ReservedAfterDtmfCode{909, 256};
constexpr std::array<size_t, 2> Inputs = {1165, 1809};
constexpr std::array<size_t, 2> InputSwitches = {2453, 2463};
constexpr ByteRange ReservedAfterSwitches{2473, 236};
constexpr std::array<size_t, 2> SwitchMsns = {2709, 2727};
// Carried through unchanged from the last loaded file or device read.
constexpr ByteRange ReservedTail{2745, 256};

constexpr size_t ListEntries = 10;  // administrators, call-list numbers
}  // namespace cfg

// TPhoneNumber, 27 bytes.
namespace phone_number {
constexpr size_t Size = 27;
constexpr TextField Country{0, 4};
constexpr TextField Area{5, 5};
constexpr TextField Subscriber{11, 15};
}  // namespace phone_number

// TPhoneEntry, 59 bytes: an administrator or a call-list number.
namespace phone_entry {
constexpr size_t Size = 59;
constexpr TextField Name{0, 30};
constexpr size_t Phone = 31;
constexpr size_t Active = 58;
}  // namespace phone_entry

constexpr size_t PhoneListSize = cfg::ListEntries * phone_entry::Size;  // 590

// TAlarmInput, 644 bytes.
namespace alarm_input {
constexpr size_t Size = 644;
constexpr size_t Trigger = 0;     // 0 never, 1 contact opens, 2 contact closes
constexpr size_t AlarmDelay = 1;  // seconds: 0, 5, 10 or 20
constexpr size_t RunToEnd = 2;
constexpr size_t Passes = 3;  // 1 to 10
constexpr size_t CallList = 4;
constexpr size_t AlarmText = 594;  // voice prompt codes; a 0 ends the message early
constexpr size_t AlarmTextSize = 50;
}  // namespace alarm_input

// TAlarmSwitch, 10 bytes.
namespace alarm_switch {
constexpr size_t Size = 10;
constexpr size_t Outputs = 0;  // 0 none, 1 output 1, 2 output 2, 3 both
constexpr ByteRange Reserved{1, 9};
}  // namespace alarm_switch

// TSwitchMsn, 18 bytes.
namespace switch_msn {
constexpr size_t Size = 18;
constexpr TextField Msn{0, 15};
constexpr size_t Action = 16;  // 0 nothing, 1 toggle, 2 set state, 3 pulse
constexpr size_t Param = 17;   // state 1 on / 2 off; pulse 1..4 = 500, 1000, 2000, 5000 ms
}  // namespace switch_msn

static_assert(cfg::Admins + PhoneListSize == cfg::AnyCallerAllowed);
static_assert(cfg::DtmfCode.Offset + cfg::DtmfCode.Size() == cfg::ReservedAfterDtmfCode.Offset);
static_assert(cfg::ReservedAfterDtmfCode.Offset + cfg::ReservedAfterDtmfCode.Size ==
              cfg::Inputs[0]);
static_assert(cfg::Inputs[1] + alarm_input::Size == cfg::InputSwitches[0]);
static_assert(cfg::InputSwitches[1] + alarm_switch::Size == cfg::ReservedAfterSwitches.Offset);
static_assert(cfg::SwitchMsns[1] + switch_msn::Size == cfg::ReservedTail.Offset);
static_assert(cfg::ReservedTail.Offset + cfg::ReservedTail.Size == ConfigSize);
static_assert(alarm_input::AlarmText + alarm_input::AlarmTextSize == alarm_input::Size);

// Reading (and, over mutable bytes, writing) one part of the record in place. B is uint8_t or
// const uint8_t; the setters exist only for the former.
template <typename B>
class RecordView {
 public:
  static constexpr bool Mutable = !std::is_const_v<B>;
  explicit RecordView(B* data) : data_(data) {}
  B* Data() const { return data_; }

  std::string Text(TextField f) const { return UnpackText(data_ + f.Offset, f.Width); }
  uint8_t Byte(size_t offset) const { return data_[offset]; }
  bool Flag(size_t offset) const { return data_[offset] != 0; }
  // False when PackText refuses the text.
  bool SetText(TextField f, std::string_view utf8) const requires Mutable {
    return PackText(utf8, data_ + f.Offset, f.Width);
  }
  void SetByte(size_t offset, uint8_t value) const requires Mutable { data_[offset] = value; }
  void SetFlag(size_t offset, bool on) const requires Mutable { data_[offset] = on ? 1 : 0; }

 protected:
  B* data_;
};

template <typename B>
class PhoneNumberView : public RecordView<B> {
 public:
  using RecordView<B>::RecordView;
  // A writable number can be read through a read-only view.
  template <typename O>
  requires(std::is_const_v<B>&& std::is_same_v<O, uint8_t>)
      PhoneNumberView(const PhoneNumberView<O>& other)
      : RecordView<B>(other.Data()) {}
  std::string Country() const { return this->Text(phone_number::Country); }
  std::string Area() const { return this->Text(phone_number::Area); }
  std::string Subscriber() const { return this->Text(phone_number::Subscriber); }
  bool SetCountry(std::string_view t) const requires RecordView<B>::Mutable {
    return this->SetText(phone_number::Country, t);
  }
  bool SetArea(std::string_view t) const requires RecordView<B>::Mutable {
    return this->SetText(phone_number::Area, t);
  }
  bool SetSubscriber(std::string_view t) const requires RecordView<B>::Mutable {
    return this->SetText(phone_number::Subscriber, t);
  }
};
using TPhoneNumber = PhoneNumberView<uint8_t>;
using TConstPhoneNumber = PhoneNumberView<const uint8_t>;

template <typename B>
class PhoneEntryView : public RecordView<B> {
 public:
  using RecordView<B>::RecordView;
  std::string Name() const { return this->Text(phone_entry::Name); }
  PhoneNumberView<B> Phone() const { return PhoneNumberView<B>(this->data_ + phone_entry::Phone); }
  bool Active() const { return this->Flag(phone_entry::Active); }
  // An entry is used when its name is not empty.
  bool Used() const { return this->data_[phone_entry::Name.Offset] != 0; }
  bool SetName(std::string_view t) const requires RecordView<B>::Mutable {
    return this->SetText(phone_entry::Name, t);
  }
  void SetActive(bool on) const requires RecordView<B>::Mutable {
    this->SetFlag(phone_entry::Active, on);
  }
};
using TPhoneEntry = PhoneEntryView<uint8_t>;
using TConstPhoneEntry = PhoneEntryView<const uint8_t>;

template <typename B>
class AlarmInputView : public RecordView<B> {
 public:
  using RecordView<B>::RecordView;
  uint8_t Trigger() const { return this->Byte(alarm_input::Trigger); }
  uint8_t AlarmDelay() const { return this->Byte(alarm_input::AlarmDelay); }
  bool RunToEnd() const { return this->Flag(alarm_input::RunToEnd); }
  uint8_t Passes() const { return this->Byte(alarm_input::Passes); }
  B* CallList() const { return this->data_ + alarm_input::CallList; }
  PhoneEntryView<B> Call(size_t k) const {
    return PhoneEntryView<B>(CallList() + k * phone_entry::Size);
  }
  B* AlarmText() const { return this->data_ + alarm_input::AlarmText; }
  void SetTrigger(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(alarm_input::Trigger, v);
  }
  void SetAlarmDelay(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(alarm_input::AlarmDelay, v);
  }
  void SetRunToEnd(bool on) const requires RecordView<B>::Mutable {
    this->SetFlag(alarm_input::RunToEnd, on);
  }
  void SetPasses(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(alarm_input::Passes, v);
  }
};
using TAlarmInput = AlarmInputView<uint8_t>;
using TConstAlarmInput = AlarmInputView<const uint8_t>;

template <typename B>
class AlarmSwitchView : public RecordView<B> {
 public:
  using RecordView<B>::RecordView;
  uint8_t Outputs() const { return this->Byte(alarm_switch::Outputs); }
  void SetOutputs(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(alarm_switch::Outputs, v);
  }
};
using TAlarmSwitch = AlarmSwitchView<uint8_t>;
using TConstAlarmSwitch = AlarmSwitchView<const uint8_t>;

template <typename B>
class SwitchMsnView : public RecordView<B> {
 public:
  using RecordView<B>::RecordView;
  std::string Msn() const { return this->Text(switch_msn::Msn); }
  uint8_t Action() const { return this->Byte(switch_msn::Action); }
  uint8_t Param() const { return this->Byte(switch_msn::Param); }
  bool SetMsn(std::string_view t) const requires RecordView<B>::Mutable {
    return this->SetText(switch_msn::Msn, t);
  }
  void SetAction(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(switch_msn::Action, v);
  }
  void SetParam(uint8_t v) const requires RecordView<B>::Mutable {
    this->SetByte(switch_msn::Param, v);
  }
};
using TSwitchMsn = SwitchMsnView<uint8_t>;
using TConstSwitchMsn = SwitchMsnView<const uint8_t>;

// Default voice message of each alarm input; 50 is the catalogue's short pause.
constexpr uint8_t ShortPauseCode = 50;
constexpr std::array<std::array<uint8_t, 6>, 2> DefaultAlarmTexts = {
    {{30, ShortPauseCode, 6, ShortPauseCode, 101, ShortPauseCode},
     {30, ShortPauseCode, 6, ShortPauseCode, 102, ShortPauseCode}}};
constexpr uint8_t DefaultPasses = 10;

struct TDeviceConfig {
  std::array<uint8_t, ConfigSize> Bytes{};

  uint8_t* Data() { return Bytes.data(); }
  const uint8_t* Data() const { return Bytes.data(); }
  bool operator==(const TDeviceConfig&) const = default;

  RecordView<uint8_t> View() { return RecordView<uint8_t>(Data()); }
  RecordView<const uint8_t> View() const { return RecordView<const uint8_t>(Data()); }

  std::string Msn() const { return View().Text(cfg::Msn); }
  std::string CountryCode() const { return View().Text(cfg::CountryCode); }
  std::string IntlPrefix() const { return View().Text(cfg::IntlPrefix); }
  std::string NationalPrefix() const { return View().Text(cfg::NationalPrefix); }
  std::string PbxPrefix() const { return View().Text(cfg::PbxPrefix); }
  std::string DtmfCode() const { return View().Text(cfg::DtmfCode); }
  bool SetMsn(std::string_view t) { return View().SetText(cfg::Msn, t); }
  bool SetCountryCode(std::string_view t) { return View().SetText(cfg::CountryCode, t); }
  bool SetIntlPrefix(std::string_view t) { return View().SetText(cfg::IntlPrefix, t); }
  bool SetNationalPrefix(std::string_view t) { return View().SetText(cfg::NationalPrefix, t); }
  bool SetPbxPrefix(std::string_view t) { return View().SetText(cfg::PbxPrefix, t); }
  bool SetDtmfCode(std::string_view t) { return View().SetText(cfg::DtmfCode, t); }

  bool PbxMode() const { return Bytes[cfg::PbxMode] != 0; }
  bool FreeLinesOnAlarm() const { return Bytes[cfg::FreeLinesOnAlarm] != 0; }
  bool PowerFailNotify() const { return Bytes[cfg::PowerFailNotify] != 0; }
  uint8_t RingTime() const { return Bytes[cfg::RingTime]; }
  bool AnyCallerAllowed() const { return Bytes[cfg::AnyCallerAllowed] != 0; }
  void SetPbxMode(bool on) { Bytes[cfg::PbxMode] = on ? 1 : 0; }
  void SetFreeLinesOnAlarm(bool on) { Bytes[cfg::FreeLinesOnAlarm] = on ? 1 : 0; }
  void SetPowerFailNotify(bool on) { Bytes[cfg::PowerFailNotify] = on ? 1 : 0; }
  void SetRingTime(uint8_t seconds) { Bytes[cfg::RingTime] = seconds; }
  void SetAnyCallerAllowed(bool on) { Bytes[cfg::AnyCallerAllowed] = on ? 1 : 0; }

  // The 590-byte administrator list and its entry k (0 to 9).
  uint8_t* Admins() { return Data() + cfg::Admins; }
  const uint8_t* Admins() const { return Data() + cfg::Admins; }
  TPhoneEntry Admin(size_t k) { return TPhoneEntry(Admins() + k * phone_entry::Size); }
  TConstPhoneEntry Admin(size_t k) const {
    return TConstPhoneEntry(Admins() + k * phone_entry::Size);
  }
  // Alarm input i (0 or 1), its switch outputs, and switch output i's MSN.
  TAlarmInput Input(size_t i) { return TAlarmInput(Data() + cfg::Inputs[i]); }
  TConstAlarmInput Input(size_t i) const { return TConstAlarmInput(Data() + cfg::Inputs[i]); }
  TAlarmSwitch InputSwitch(size_t i) { return TAlarmSwitch(Data() + cfg::InputSwitches[i]); }
  TConstAlarmSwitch InputSwitch(size_t i) const {
    return TConstAlarmSwitch(Data() + cfg::InputSwitches[i]);
  }
  TSwitchMsn SwitchMsn(size_t i) { return TSwitchMsn(Data() + cfg::SwitchMsns[i]); }
  TConstSwitchMsn SwitchMsn(size_t i) const { return TConstSwitchMsn(Data() + cfg::SwitchMsns[i]); }

  // Writes the country code "49", the prefixes "00" and "0", clears the option flags at 30 and
  // 31, and sets both default alarm messages and pass counts. Touches nothing else.
  void ApplyDefaults();
  // The dialling form of a number as seen from this record's own country.
  std::string FormatNumber(TConstPhoneNumber number) const;
};

// How many entries of a 10-entry list (590 bytes) have a name and the Active flag.
int CountActive(const uint8_t* list);

}  // namespace varnex
