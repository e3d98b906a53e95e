// The flash creator's main window: lists the samples of a language INI file with what they take
// of the voice flash, plays them, builds "flash.bin" and uploads it into the device.
#pragma once

#include <QWidget>

#include <memory>
#include <string>

#include "FlashImage.h"
#include "Ruvolt_Support.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace varnex {

class MemoLines;
class Tfixmsg_form;
class Tsound_splash_form;
class UploadProgress;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* Caption = "Varnex Flash Creator v1.0.7";

  // Creates the device link and loads the program folder's default INI file. When that file is
  // missing (a message says so) or fails to load, Started() is false and the program must end.
  TForm1(Tfixmsg_form& fixMessages, Tsound_splash_form& notice, QWidget* parent = nullptr);
  ~TForm1() override;

  bool Started() const { return started_; }
  // The window's one device link (its port is where uploads go).
  TRuvolt& Link() { return link_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Refused while an upload runs: it would go on unseen and the program could not end.
  void closeEvent(QCloseEvent* event) override;
  // Column widths follow the grid's width.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void gridClick();
  void SpeedButton1Click();
  void ComboBox2Change();
  void Button2Click();
  void Button1Click();
  void Button3Click();
  void Button5Click();

 private:
  void BuildControls();
  bool Start();
  // Lists the samples of the catalogue with their A-law files and reports the capacity; adds
  // to the log without clearing it. Reads the configurator's saved port and version.
  void ListSamples();
  void SetColumnWidths();
  // Builds flash.bin; true when the file holds the new image.
  bool BuildImage();
  void Upload();
  // The four action controls and the viewer's button (a modal window or a waiting playback in
  // the middle of an upload would hold up its replies); build, upload and auto stay off once a
  // folder was missing.
  void SetActionsEnabled(bool enabled);

  Tfixmsg_form& fixMessages_;
  Tsound_splash_form& notice_;
  TRuvolt link_;
  FlashFolders folders_;
  std::string CurrentIniName;
  bool started_ = false;
  bool foldersMissing_ = false;
  bool uploading_ = false;

  QGroupBox* GroupBox2;
  QProgressBar* ProgressBar1;
  QPlainTextEdit* Memo1;
  QGroupBox* GroupBox1;
  QTableWidget* grid;
  QComboBox* ComboBox2;
  QToolButton* SpeedButton1;
  QLabel* Label1;
  QCheckBox* CheckBox1;
  QPushButton* Button2;
  QPushButton* Button1;
  QPushButton* Button3;
  QLabel* Label2;
  QComboBox* ComboBox1;
  QPushButton* Button5;

  std::unique_ptr<MemoLines> log_;
  std::unique_ptr<UploadProgress> progress_;
};

}  // namespace varnex
