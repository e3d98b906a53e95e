// The fix message viewer: one fix message at a time as words and as a C array, played as a
// whole, and the whole table as "fixnachrichten.h".
#pragma once

#include <QDialog>

#include <cstdint>

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace varnex {

class TForm2;
class Tsound_splash_form;

class Tfixmsg_form : public QDialog {
  Q_OBJECT

 public:
  Tfixmsg_form(TForm2& headerForm, Tsound_splash_form& notice, QWidget* parent = nullptr);

  // The number of the message chosen last.
  uint16_t SelectedFixMessage = 0;

 protected:
  // Lists the fix messages of the catalogue as it is now; nothing is chosen.
  void showEvent(QShowEvent* event) override;

 private slots:
  void ComboBox2Change(int index);
  // Plays the WAV files of the chosen message one after the other, waiting for each.
  void SpeedButton1Click();
  // Shows the header of all fix messages in the header window.
  void Button1Click();

 private:
  TForm2& headerForm_;
  Tsound_splash_form& notice_;

  QLabel* Label1;
  QPlainTextEdit* Memo1;
  QFrame* Bevel2;
  QLabel* Label2;
  QPushButton* Button1;
  QPlainTextEdit* Memo2;
  QFrame* Bevel1;
  QLabel* Label3;
  QComboBox* ComboBox2;
  QToolButton* SpeedButton1;
};

}  // namespace varnex
