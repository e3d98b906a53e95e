#include "AdminForm_Unit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "FormHelpers.h"
#include "Host.h"
#include "IntEdit.h"
#include "QtHost.h"

namespace varnex {

namespace {

constexpr const char* AdminCaption = "Administrator";
constexpr const char* CallListCaption = "Anrufliste Eingang";
constexpr const char* AdminActiveCaption = "Zugriff aktuell auf den Varnex aktivieren";
constexpr const char* CallActiveCaption = "Diese Telefonnummer im Alarmfall anrufen";
constexpr const char* MissingFieldsText = "Sie haben nicht alle benötigten Felder eingetragen !";

QLabel* BigSign(const char* sign, QWidget* parent, int x, int y) {
  auto* label = new QLabel(sign, parent);
  QFont font = label->font();
  font.setPointSize(12);
  font.setBold(true);
  label->setFont(font);
  label->setGeometry(x, y, 14, 22);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

TIntEdit* PlacedDigitBox(const char* name, int maxLength, QWidget* parent, int x, int y,
                         int width) {
  TIntEdit* box = varnex::DigitBox(name, maxLength, false, parent);
  box->SetAllowLeadingZeroes(false);
  box->setGeometry(x, y, width, 21);
  return box;
}

}  // namespace

TAdminForm::TAdminForm(TDeviceConfig& config, std::function<QString()> countryCode, QWidget* parent)
    : QDialog(parent), config_(config), countryCode_(std::move(countryCode)) {
  setObjectName("AdminForm");
  UseFormFont(this);
  setWindowTitle(AdminCaption);
  setFixedSize(297, 142);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* nameLabel = new QLabel("Name:", this);
  nameLabel->setGeometry(10, 14, 56, 16);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(static_cast<int>(phone_entry::Name.Width));
  Edit1->setValidator(new Cp1252Validator(Edit1));
  Edit1->setGeometry(70, 11, 217, 21);

  auto* numberLabel = new QLabel("Nummer:", this);
  numberLabel->setGeometry(10, 45, 56, 16);
  BigSign("+", this, 67, 40);
  IntEdit6 =
      PlacedDigitBox("IntEdit6", static_cast<int>(phone_number::Country.Width), this, 82, 42, 38);
  BigSign("-", this, 121, 40);
  IntEdit7 =
      PlacedDigitBox("IntEdit7", static_cast<int>(phone_number::Area.Width), this, 136, 42, 48);
  BigSign("-", this, 185, 40);
  IntEdit8 = PlacedDigitBox("IntEdit8", static_cast<int>(phone_number::Subscriber.Width), this, 200,
                            42, 87);

  CheckBox1 = new QCheckBox(AdminActiveCaption, this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(10, 74, 280, 20);

  Button1 = new QPushButton("&OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(132, 108, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton("&Abbrechen", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(212, 108, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &TAdminForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TAdminForm::Button2Click);

  // The boxes are declared stripping leading zeros; every number keeps them as typed.
  for (TIntEdit* box : {IntEdit6, IntEdit7, IntEdit8}) {
    box->Sound = false;
    box->SetAllowLeadingZeroes(true);
  }
}

uint8_t* TAdminForm::Entry() {
  if (EntryIndex < 0 || EntryIndex >= static_cast<int>(cfg::ListEntries)) return nullptr;
  const size_t offset = static_cast<size_t>(EntryIndex) * phone_entry::Size;
  if (!CallListMode()) return config_.Admins() + offset;
  if (InputIndex < 0 || InputIndex >= static_cast<int>(cfg::Inputs.size())) return nullptr;
  return config_.Input(static_cast<size_t>(InputIndex)).CallList() + offset;
}

void TAdminForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TAdminForm::FormShow() {
  const bool callList = CallListMode();
  setWindowTitle(callList ? CallListCaption + QString::number(InputIndex + 1) : AdminCaption);
  CheckBox1->setText(callList ? CallActiveCaption : AdminActiveCaption);
  const uint8_t* entry = Entry();
  if (entry && (EditMode == ModeEditAdmin || EditMode == ModeEditCall)) {
    const TConstPhoneEntry e(entry);
    Edit1->setText(Q(e.Name()));
    IntEdit6->setText(Q(e.Phone().Country()));
    IntEdit7->setText(Q(e.Phone().Area()));
    IntEdit8->setText(Q(e.Phone().Subscriber()));
    CheckBox1->setChecked(e.Active());
  } else {
    Edit1->clear();
    IntEdit6->setText(countryCode_ ? countryCode_() : QString());
    IntEdit7->clear();
    IntEdit8->clear();
    CheckBox1->setChecked(true);
  }
  Edit1->setFocus();
}

void TAdminForm::Button1Click() {
  if (Edit1->text().isEmpty() || IntEdit8->text().isEmpty()) {
    MessageBox(MissingFieldsText, "Varnex - Error", MsgIcon::Error);
    QLineEdit* missing = Edit1->text().isEmpty() ? Edit1 : IntEdit8;
    missing->setFocus();
    missing->selectAll();
    return;
  }
  uint8_t* bytes = Entry();
  if (!bytes) {
    // Only a caller that ignored a full list gets here; nothing is written outside it.
    MessageBox(ListFullText, "Varnex", MsgIcon::Information);
    reject();
    return;
  }
  const TPhoneEntry entry(bytes);
  entry.SetName(S(Edit1->text()));
  entry.Phone().SetCountry(S(IntEdit6->text()));
  entry.Phone().SetArea(S(IntEdit7->text()));
  entry.Phone().SetSubscriber(S(IntEdit8->text()));
  entry.SetActive(CheckBox1->isChecked());
  const auto& stored = CallListMode() ? OnCallListStored : OnAdminsStored;
  if (stored) stored();
  accept();
}

void TAdminForm::Button2Click() {
  reject();
}

}  // namespace varnex
