#include "Ausgang_Form_Unit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <cstring>
#include <utility>

#include "Exports.h"
#include "FormHelpers.h"
#include "Host.h"
#include "IntEdit.h"
#include "QtHost.h"

namespace varnex {

namespace {

constexpr const char* Caption = "Schaltausgänge";
constexpr const char* ExplanationText =
    "Bei Anruf von einem eingetragenen Administrator wird folgender Vorgang ausgelöst:";
constexpr const char* TwiceText = "Eine MSN darf nicht zweimal fuer diesen Zweck vergeben sein!";

constexpr uint8_t ActionToggle = 1;
constexpr uint8_t ActionSetState = 2;
constexpr uint8_t ActionPulse = 3;

constexpr size_t SavedSwitchesOffset = cfg::SwitchMsns[0];

constexpr int GroupWidth = 257;
constexpr int GroupHeight = 184;

QRadioButton* Radio(const char* name, const QString& text, QWidget* parent, int x, int y,
                    int width) {
  auto* radio = new QRadioButton(text, parent);
  radio->setObjectName(name);
  radio->setGeometry(x, y, width, 19);
  return radio;
}

QComboBox* List(const char* name, const QStringList& items, int current, QWidget* parent, int x,
                int y, int width) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->addItems(items);
  list->setCurrentIndex(current);
  list->setGeometry(x, y, width, 21);
  return list;
}

// Selects `index` when the list has it; a stored value outside the list leaves it as it is, so
// that OK never stores an item the list does not offer.
void SelectItem(QComboBox* list, int index) {
  if (index >= 0 && index < list->count()) list->setCurrentIndex(index);
}

}  // namespace

TAusgang_Form::TAusgang_Form(TDeviceConfig& config, std::function<QString()> deviceNumber,
                             bool noPlausibility, std::string helpDir, QWidget* parent)
    : QDialog(parent),
      config_(config),
      deviceNumber_(std::move(deviceNumber)),
      noPlausibility_(noPlausibility),
      helpDir_(std::move(helpDir)) {
  setObjectName("Ausgang_Form");
  UseFormFont(this);
  setWindowTitle(Caption);
  setFixedSize(2 * GroupWidth + 24, GroupHeight + 52);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  const std::array<const char*, 2> titles = {"Schaltausgang 1 ", "Schaltausgang 2"};
  const std::array<std::array<const char*, 6>, 2> names = {
      {{"IntEdit1", "RadioButton1", "RadioButton2", "ComboBox1", "RadioButton3", "ComboBox2"},
       {"IntEdit2", "RadioButton4", "RadioButton5", "ComboBox3", "RadioButton6", "ComboBox4"}}};
  for (size_t i = 0; i < groups_.size(); ++i) {
    auto* box = new QGroupBox(titles[i], this);
    box->setObjectName(QString("GroupBox%1").arg(i + 1));
    box->setGeometry(8 + static_cast<int>(i) * (GroupWidth + 8), 8, GroupWidth, GroupHeight);
    Group& g = groups_[i];
    auto* msnLabel = new QLabel("MSN:", box);
    msnLabel->setGeometry(12, 27, 32, 16);
    g.number = DigitBox(names[i][0], static_cast<int>(switch_msn::Msn.Width), false, box);
    g.number->setGeometry(48, 24, 129, 21);
    auto* explanation = new QLabel(ExplanationText, box);
    explanation->setWordWrap(true);
    explanation->setGeometry(12, 50, GroupWidth - 24, 44);
    g.toggle = Radio(names[i][1], "Ausgang wechselt", box, 12, 98, 200);
    g.toggle->setChecked(true);
    g.setState = Radio(names[i][2], QString("Ausgang %1 geht").arg(i + 1), box, 12, 126, 110);
    g.state = List(names[i][3], {"an", "aus"}, 0, box, 168, 125, 52);
    g.pulse = Radio(names[i][4], "Ausgang gibt Impuls von", box, 12, 154, 152);
    g.pulseLength =
        List(names[i][5], {"500 ms", "1000 ms", "2000 ms", "5000 ms"}, 1, box, 168, 153, 76);

    connect(g.number, &TIntEdit::Changed, this, [this, i] { GroupChanged(groups_[i]); });
    for (QRadioButton* radio : {g.toggle, g.setState, g.pulse})
      connect(radio, &QRadioButton::clicked, this, [this, i] { GroupChanged(groups_[i]); });
    // An MSN keeps its leading zeros as typed.
    g.number->SetAllowLeadingZeroes(true);
  }
  IntEdit1 = groups_[0].number;
  RadioButton1 = groups_[0].toggle;
  RadioButton2 = groups_[0].setState;
  ComboBox1 = groups_[0].state;
  RadioButton3 = groups_[0].pulse;
  ComboBox2 = groups_[0].pulseLength;
  IntEdit2 = groups_[1].number;
  RadioButton4 = groups_[1].toggle;
  RadioButton5 = groups_[1].setState;
  ComboBox3 = groups_[1].state;
  RadioButton6 = groups_[1].pulse;
  ComboBox4 = groups_[1].pulseLength;

  const int buttonsY = GroupHeight + 18;
  Button1 = new QPushButton("&Hilfe", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(8, buttonsY, 75, 25);
  Button2 = new QPushButton("&OK", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(width() - 8 - 75 - 8 - 75, buttonsY, 75, 25);
  Button2->setDefault(true);
  Button3 = new QPushButton("&Abbrechen", this);
  Button3->setObjectName("Button3");
  Button3->setGeometry(width() - 8 - 75, buttonsY, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &TAusgang_Form::HilfeClick);
  connect(Button2, &QPushButton::clicked, this, &TAusgang_Form::OkClick);
  connect(Button3, &QPushButton::clicked, this, &TAusgang_Form::AbbrechenClick);
}

void TAusgang_Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TAusgang_Form::FormShow() {
  CenterOnScreen(this);
  std::memcpy(SavedSwitches.data(), config_.Data() + SavedSwitchesOffset, SavedSwitches.size());
  for (size_t i = 0; i < groups_.size(); ++i) {
    MarkField(groups_[i].number, false);
    ShowOutput(groups_[i], std::as_const(config_).SwitchMsn(i));
  }
  UpdateControls();
}

void TAusgang_Form::ShowOutput(const Group& group, TConstSwitchMsn msn) {
  group.number->setText(Q(msn.Msn()));
  const int item = msn.Param() - 1;
  switch (msn.Action()) {
    case ActionToggle:
      group.toggle->setChecked(true);
      break;
    case ActionSetState:
      group.setState->setChecked(true);
      SelectItem(group.state, item);
      break;
    case ActionPulse:
      group.pulse->setChecked(true);
      SelectItem(group.pulseLength, item);
      break;
    default:
      // No action stored: the choices stay as the last use of the dialog left them.
      break;
  }
}

void TAusgang_Form::UpdateControls() {
  for (const Group& g : groups_) {
    const bool hasNumber = !g.number->text().isEmpty();
    for (QRadioButton* radio : {g.toggle, g.setState, g.pulse}) radio->setEnabled(hasNumber);
    g.state->setEnabled(hasNumber && g.setState->isChecked());
    g.pulseLength->setEnabled(hasNumber && g.pulse->isChecked());
  }
}

void TAusgang_Form::GroupChanged(const Group& group) {
  UpdateControls();
  MarkField(group.number, false);
}

void TAusgang_Form::Refuse(TIntEdit* box, const std::string& text) {
  MarkField(box, true);
  box->setFocus();
  MessageBox(text, "Varnex", MsgIcon::Error);
}

void TAusgang_Form::OkClick() {
  if (!noPlausibility_) {
    const QString device = deviceNumber_ ? deviceNumber_() : QString();
    const std::string sameAsDevice =
        "MSN muss von der Hauptgeräte-MSN (" + S(device) + ") verschieden sein!";
    // An empty box means no MSN, which cannot collide with the device's, not even with an empty
    // device number.
    for (TIntEdit* box : {IntEdit1, IntEdit2}) {
      if (!box->text().isEmpty() && box->text() == device) {
        Refuse(box, sameAsDevice);
        return;
      }
    }
    MarkField(IntEdit2, false);
    if (!IntEdit1->text().isEmpty() && IntEdit1->text() == IntEdit2->text()) {
      MarkField(IntEdit1, true);
      MarkField(IntEdit2, true);
      IntEdit1->setFocus();
      MessageBox(TwiceText, "Varnex", MsgIcon::Error);
      return;
    }
  }
  for (size_t i = 0; i < groups_.size(); ++i) StoreOutput(groups_[i], config_.SwitchMsn(i));
  accept();
}

void TAusgang_Form::StoreOutput(const Group& group, TSwitchMsn msn) {
  msn.SetMsn(S(group.number->text()));
  msn.SetAction(0);
  msn.SetParam(0);
  if (group.toggle->isChecked()) {
    msn.SetAction(ActionToggle);
  } else if (group.setState->isChecked()) {
    msn.SetAction(ActionSetState);
    msn.SetParam(static_cast<uint8_t>(group.state->currentIndex() + 1));
  } else if (group.pulse->isChecked()) {
    msn.SetAction(ActionPulse);
    msn.SetParam(static_cast<uint8_t>(group.pulseLength->currentIndex() + 1));
  }
}

void TAusgang_Form::AbbrechenClick() {
  std::memcpy(config_.Data() + SavedSwitchesOffset, SavedSwitches.data(), SavedSwitches.size());
  reject();
}

void TAusgang_Form::HilfeClick() {
  OpenDocument(helpDir_ + OutputsHelpPage);
}

}  // namespace varnex
