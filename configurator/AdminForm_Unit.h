// TAdminForm: the entry dialog for one telephone list entry (name, number, active), for the
// administrators and for the alarm call lists.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

#include "DeviceConfig.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace varnex {

class TIntEdit;

class TAdminForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint8_t ModeNewAdmin = 101;
  static constexpr uint8_t ModeEditAdmin = 102;
  static constexpr uint8_t ModeNewCall = 103;
  static constexpr uint8_t ModeEditCall = 104;
  // What "&Neu" tells the user when all ten entries of a list are used.
  static constexpr const char* ListFullText =
      "Die Liste ist voll: sie hat Platz für höchstens 10 Einträge.";

  // Edits entries of `config` in place; `countryCode` gives the main window's country code box
  // text, the country of every new entry.
  TAdminForm(TDeviceConfig& config, std::function<QString()> countryCode,
             QWidget* parent = nullptr);

  // Set by the caller before showing.
  uint8_t EditMode = ModeNewAdmin;
  int EntryIndex = 0;  // 0 to 9
  int InputIndex = 0;  // alarm input of the call-list modes, 0 or 1

  // Run after an administrator (modes 101, 102) or a call-list entry (103, 104) was stored.
  std::function<void()> OnAdminsStored;
  std::function<void()> OnCallListStored;

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Button1Click();
  void Button2Click();

 private:
  void FormShow();
  bool CallListMode() const { return EditMode == ModeNewCall || EditMode == ModeEditCall; }
  // The entry being edited; null when EntryIndex or InputIndex lies outside the lists.
  uint8_t* Entry();

  TDeviceConfig& config_;
  std::function<QString()> countryCode_;
  QLineEdit* Edit1;
  TIntEdit* IntEdit6;
  TIntEdit* IntEdit7;
  TIntEdit* IntEdit8;
  QCheckBox* CheckBox1;
  QPushButton* Button1;
  QPushButton* Button2;
};

}  // namespace varnex
