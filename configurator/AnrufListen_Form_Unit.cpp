#include "AnrufListen_Form_Unit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

#include <algorithm>
#include <cstring>
#include <string>

#include "AdminForm_Unit.h"
#include "FormHelpers.h"
#include "Host.h"
#include "PhoneListGrid.h"
#include "QtHost.h"
#include "SpinEdit.h"

namespace varnex {

namespace {

constexpr const char* CaptionVarnex = "Varnex";
constexpr const char* FormCaption = "Anrufliste für Eingang";
constexpr int PassesMin = 1;
constexpr int PassesMax = 10;
// What an unset number of passes becomes when the dialog opens.
constexpr uint8_t PassesWhenUnset = 3;

QPushButton* Button(const char* name, const char* caption, QWidget* parent, int x, int y) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, 75, 25);
  return button;
}

QToolButton* ArrowButton(const char* name, Qt::ArrowType arrow, const char* hint, QWidget* parent,
                         int x, int y) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setArrowType(arrow);
  button->setToolTip(QString::fromUtf8(hint));
  button->setGeometry(x, y, 23, 22);
  return button;
}

QLabel* Text(const char* text, QWidget* parent, int x, int y, int width) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(x, y, width, 16);
  return label;
}

}  // namespace

TAnruflisten_Form::TAnruflisten_Form(TDeviceConfig& config, TAdminForm& entryForm, QWidget* parent)
    : QDialog(parent), config_(config), entryForm_(entryForm) {
  setObjectName("Anruflisten_Form");
  UseFormFont(this);
  setWindowTitle(FormCaption + QString::number(1));
  setFixedSize(510, 306);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  auto* group = new QGroupBox(" Anrufliste im Alarmfall ", this);
  group->setObjectName("GroupBox1");
  group->setGeometry(8, 6, 494, 258);

  anruf_grid = new TPhoneListGrid(group);
  anruf_grid->setObjectName("anruf_grid");
  anruf_grid->setGeometry(10, 38, 439, 125);
  anruf_grid->SetList([this] { return Input().CallList(); });
  PhoneListHeadings(anruf_grid->width(), group)->move(10, 22);

  SpeedButton1 =
      ArrowButton("SpeedButton1", Qt::UpArrow, "In der Liste nach oben schieben", group, 458, 68);
  SpeedButton2 = ArrowButton("SpeedButton2", Qt::DownArrow, "In der Liste nach unten schieben",
                             group, 458, 98);

  Button1 = Button("Button1", "&Neu", group, 10, 170);
  Button2 = Button("Button2", "&Bearbeiten", group, 91, 170);
  Button3 = Button("Button3", "&Löschen", group, 172, 170);

  Text("Anrufliste", group, 10, 206, 52);
  SpinEdit1 = new TSpinEdit(PassesMin, PassesMax, PassesMin, group);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setGeometry(64, 203, 44, 21);
  Text("Mal durchlaufen, bis Abschaltung per DTMF erfolgt", group, 114, 206, 370);
  CheckBox1 = new QCheckBox(
      QString::fromUtf8("bei Abschaltung per DTMF Anrufliste trotzdem bis zum Ende durchlaufen"),
      group);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(10, 230, 474, 20);

  Button4 = Button("Button4", "&OK", this, 346, 273);
  Button4->setDefault(true);
  Button5 = Button("Button5", "&Abbrechen", this, 427, 273);

  connect(Button1, &QPushButton::clicked, this, &TAnruflisten_Form::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TAnruflisten_Form::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TAnruflisten_Form::Button3Click);
  connect(SpeedButton1, &QToolButton::clicked, this, &TAnruflisten_Form::SpeedButton1Click);
  connect(SpeedButton2, &QToolButton::clicked, this, &TAnruflisten_Form::SpeedButton2Click);
  connect(Button4, &QPushButton::clicked, this, &TAnruflisten_Form::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TAnruflisten_Form::Button5Click);
  connect(anruf_grid, &TPhoneListGrid::NewRequested, this, &TAnruflisten_Form::Button1Click);
  connect(anruf_grid, &TPhoneListGrid::EditRequested, this, &TAnruflisten_Form::Button2Click);
  connect(anruf_grid, &TPhoneListGrid::DeleteRequested, this, &TAnruflisten_Form::Button3Click);

  entryForm_.OnCallListStored = [this] { ShowCallList(); };
}

TAlarmInput TAnruflisten_Form::Input() {
  // An index outside the two inputs must not reach memory behind the record.
  return config_.Input(static_cast<size_t>(std::clamp(InputIndex, 0, 1)));
}

TConstAlarmInput TAnruflisten_Form::Input() const {
  return std::as_const(config_).Input(static_cast<size_t>(std::clamp(InputIndex, 0, 1)));
}

void TAnruflisten_Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TAnruflisten_Form::FormShow() {
  CenterOnScreen(this);
  const TAlarmInput input = Input();
  std::memcpy(SavedInput.data(), input.Data(), SavedInput.size());
  setWindowTitle(FormCaption + QString::number(std::clamp(InputIndex, 0, 1) + 1));
  CheckBox1->setChecked(input.RunToEnd());
  if (input.Passes() == 0) input.SetPasses(PassesWhenUnset);
  SpinEdit1->SetValue(input.Passes());
  ShowCallList();
  anruf_grid->SelectRow(0);
  anruf_grid->setFocus();
}

int TAnruflisten_Form::CompactCallList() {
  return CompactPhoneList(Input().CallList());
}

void TAnruflisten_Form::ShowCallList() {
  anruf_grid->ShowList(CompactCallList());
}

int TAnruflisten_Form::SelectedNamedRow() const {
  const int row = anruf_grid->SelectedRow();
  if (row < 0 || row >= anruf_grid->rowCount() || row >= static_cast<int>(cfg::ListEntries))
    return -1;
  return Input().Call(static_cast<size_t>(row)).Used() ? row : -1;
}

int TAnruflisten_Form::SelectedEntry() const {
  return std::max(SelectedNamedRow(), 0);
}

int TAnruflisten_Form::LastEntryIndex() const {
  const TConstAlarmInput input = Input();
  for (int k = static_cast<int>(cfg::ListEntries) - 1; k > 0; --k)
    if (input.Call(static_cast<size_t>(k)).Used()) return k;
  return 0;
}

void TAnruflisten_Form::SwapEntries(int a, int b) {
  const int last = static_cast<int>(cfg::ListEntries) - 1;
  if (a < 0 || b < 0 || a > last || b > last || a == b) return;
  uint8_t* list = Input().CallList();
  std::swap_ranges(list + a * phone_entry::Size, list + (a + 1) * phone_entry::Size,
                   list + b * phone_entry::Size);
}

void TAnruflisten_Form::ShowEntryForm(uint8_t mode, int entry) {
  const int row = anruf_grid->SelectedRow();
  entryForm_.EditMode = mode;
  entryForm_.EntryIndex = entry;
  entryForm_.InputIndex = std::clamp(InputIndex, 0, 1);
  entryForm_.exec();
  anruf_grid->SelectRow(row);
  ShowCallList();
}

void TAnruflisten_Form::Button1Click() {
  const int used = CompactCallList();
  if (used >= static_cast<int>(cfg::ListEntries)) {
    MessageBox(TAdminForm::ListFullText, CaptionVarnex, MsgIcon::Information);
    return;
  }
  ShowEntryForm(TAdminForm::ModeNewCall, used);
}

void TAnruflisten_Form::Button2Click() {
  const int row = SelectedNamedRow();
  if (row < 0) return;
  ShowEntryForm(TAdminForm::ModeEditCall, row);
}

void TAnruflisten_Form::Button3Click() {
  const int row = SelectedNamedRow();
  if (row < 0) return;
  if (MessageBox("Benutzer Nr." + std::to_string(row + 1) + " wirklich entfernen ?", CaptionVarnex,
                 MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  ClearPhoneEntry(Input().CallList() + static_cast<size_t>(row) * phone_entry::Size);
  ShowCallList();
}

void TAnruflisten_Form::SpeedButton1Click() {
  const int entry = SelectedEntry();
  if (entry <= 0) return;
  SwapEntries(entry, entry - 1);
  ShowCallList();
  anruf_grid->SelectRow(entry - 1);
}

void TAnruflisten_Form::SpeedButton2Click() {
  // Unlike up, no usable selection must not move the first entry down.
  if (SelectedNamedRow() < 0) return;
  const int entry = SelectedEntry();
  if (entry >= LastEntryIndex()) return;
  SwapEntries(entry, entry + 1);
  ShowCallList();
  anruf_grid->SelectRow(entry + 1);
}

void TAnruflisten_Form::Button4Click() {
  const TAlarmInput input = Input();
  input.SetRunToEnd(CheckBox1->isChecked());
  input.SetPasses(static_cast<uint8_t>(SpinEdit1->Value()));
  accept();
}

void TAnruflisten_Form::Button5Click() {
  std::memcpy(Input().Data(), SavedInput.data(), SavedInput.size());
  reject();
}

}  // namespace varnex
