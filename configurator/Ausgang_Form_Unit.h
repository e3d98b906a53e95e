// TAusgang_Form: the MSN and the action of each of the two switch outputs.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "DeviceConfig.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace varnex {

class TIntEdit;

class TAusgang_Form : public QDialog {
  Q_OBJECT

 public:
  // Edits SwitchMsns of `config`; `deviceNumber` gives the current text of the main window's
  // device number box (checked against), `noPlausibility` is the "nopl" switch, help pages are
  // opened from `helpDir`.
  TAusgang_Form(TDeviceConfig& config, std::function<QString()> deviceNumber, bool noPlausibility,
                std::string helpDir, QWidget* parent = nullptr);

  // Enables each group's choices by whether its output has a number.
  void UpdateControls();

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void HilfeClick();
  void OkClick();
  void AbbrechenClick();

 private:
  // One output's controls: toggle, set state with its list, pulse with its length list.
  struct Group {
    TIntEdit* number;
    QRadioButton* toggle;
    QRadioButton* setState;
    QComboBox* state;
    QRadioButton* pulse;
    QComboBox* pulseLength;
  };

  void FormShow();
  void ShowOutput(const Group& group, TConstSwitchMsn msn);
  void StoreOutput(const Group& group, TSwitchMsn msn);
  // The group's field is edited or one of its choices clicked.
  void GroupChanged(const Group& group);
  // Marks and focuses `box`, tells why, and refuses the OK.
  void Refuse(TIntEdit* box, const std::string& text);

  TDeviceConfig& config_;
  std::function<QString()> deviceNumber_;
  bool noPlausibility_;
  std::string helpDir_;
  // The record from the first switch output to its end, as it was on show.
  std::array<uint8_t, ConfigSize - cfg::SwitchMsns[0]> SavedSwitches{};

  TIntEdit* IntEdit1;
  TIntEdit* IntEdit2;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QRadioButton* RadioButton3;
  QRadioButton* RadioButton4;
  QRadioButton* RadioButton5;
  QRadioButton* RadioButton6;
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox3;
  QComboBox* ComboBox4;
  QPushButton* Button1;  // "&Hilfe"
  QPushButton* Button2;  // "&OK"
  QPushButton* Button3;  // "&Abbrechen"
  std::array<Group, 2> groups_{};
};

}  // namespace varnex
