// TAnruflisten_Form: the call list of one alarm input, with how often it is run through and
// whether it is run to its end after the alarm was switched off.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

#include "DeviceConfig.h"

class QCheckBox;
class QPushButton;
class QToolButton;

namespace varnex {

class TAdminForm;
class TPhoneListGrid;
class TSpinEdit;

class TAnruflisten_Form : public QDialog {
  Q_OBJECT

 public:
  // Edits the call lists of `config` in place; single entries go through `entryForm`
  // (the constructor sets entryForm.OnCallListStored so the grid follows each stored entry).
  TAnruflisten_Form(TDeviceConfig& config, TAdminForm& entryForm, QWidget* parent = nullptr);

  int InputIndex = 0;  // set by the caller before showing: 0 or 1

  // Moves the used entries of the list to the front; returns how many there are.
  int CompactCallList();
  // Compacts the list and shows one row per entry.
  void ShowCallList();
  // The selected row when it holds a named entry, else 0.
  int SelectedEntry() const;
  // The highest index whose entry has a name, 0 if none.
  int LastEntryIndex() const;
  // Exchanges entries a and b (0 to 9) of the list.
  void SwapEntries(int a, int b);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Button1Click();       // "&Neu"
  void Button2Click();       // "&Bearbeiten"
  void Button3Click();       // "&Löschen"
  void SpeedButton1Click();  // up
  void SpeedButton2Click();  // down
  void Button4Click();       // "&OK"
  void Button5Click();       // "&Abbrechen"

 private:
  void FormShow();
  TAlarmInput Input();
  TConstAlarmInput Input() const;
  // The selected row if it holds a named entry, else -1.
  int SelectedNamedRow() const;
  void ShowEntryForm(uint8_t mode, int entry);

  TDeviceConfig& config_;
  TAdminForm& entryForm_;
  // The whole input as it was when the dialog was shown, for "&Abbrechen".
  std::array<uint8_t, alarm_input::Size> SavedInput{};

  TPhoneListGrid* anruf_grid;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  TSpinEdit* SpinEdit1;
  QCheckBox* CheckBox1;
  QPushButton* Button4;
  QPushButton* Button5;
};

}  // namespace varnex
