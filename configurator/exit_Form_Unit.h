// TExitForm: asked when the configurator closes with unsaved changes — save and program the
// device, save only, or close without saving.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QRadioButton;
class QPushButton;

namespace varnex {

class TMainForm;

class TExitForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint8_t ChoiceCancel = 0;
  static constexpr uint8_t ChoiceSaveAndProgram = 1;
  static constexpr uint8_t ChoiceSaveOnly = 2;
  static constexpr uint8_t ChoiceDiscard = 3;

  explicit TExitForm(TMainForm& mainForm);

  // The dialog's result; 0 until "&OK" is pressed.
  uint8_t ExitChoice = ChoiceCancel;

  // Asked when the main window is about to close: true lets it close. Shows the dialog only
  // when the window's configuration differs from the one last saved or loaded.
  bool MayClose();

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Button1Click();

 private:
  TMainForm& main_;
  std::array<QRadioButton*, 3> choices_{};
  QPushButton* Button1;
  QPushButton* Button2;
};

}  // namespace varnex
