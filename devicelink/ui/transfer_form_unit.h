// The transfer dialog: reads, writes or updates the firmware of the device while showing a
// PC, the device and an arrow between them, a progress bar and the step lines.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DeviceConfig.h"
#include "Messages.h"
#include "Ruvolt_Support.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace varnex {

class MemoLines;

// What the transfer dialog needs from the configurator's main window.
class ITransferHost {
 public:
  virtual ~ITransferHost() = default;
  virtual bool AskSaveChanges() = 0;                       // false: stop
  virtual void WindowToConfig(TDeviceConfig& config) = 0;  // fills a record from the window
  virtual void ConfigToWindow(const TDeviceConfig& config) = 0;
  virtual std::string FirmwareFileName() = 0;  // the firmware open dialog's choice
  virtual std::string TmpDir() = 0;            // work folder, trailing "/"
};

// The time a transfer still needs, from the pace of the blocks it has reported so far.
class TimeLeftEstimate {
 public:
  static constexpr int MeasuredBlocks = 3;  // blocks timed before an estimate is given

  // A transfer that ends at position `maximum` begins.
  void Start(int maximum);
  // Notes that `position` was reached at nowMs. Returns the whole seconds still needed (rounded
  // up), or nothing until MeasuredBlocks blocks have been timed since the first report, and
  // nothing once the transfer is complete.
  std::optional<int> Update(int position, int64_t nowMs);

 private:
  int maximum_ = 0;
  std::optional<int> firstPosition_;
  int64_t firstMs_ = 0;
};

// The progress bar's format: "%p %", with an estimate "%p % – noch 1:10 min" (in the language
// of LanguageIndex).
QString ProgressFormat(std::optional<int> secondsLeft);

class TransferProgress;

class Ttransfer_form : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint8_t ModeUpdate = 101;
  static constexpr uint8_t ModeWrite = 102;
  static constexpr uint8_t ModeRead = 103;

  // Backups of a firmware update in the work folder: the program's configuration before it and
  // the configuration read from the device.
  static constexpr const char* ProgramBackupName = "akt_conf.zpt";
  static constexpr const char* DeviceBackupName = "dv_conf.zpt";

  Ttransfer_form(TRuvolt& link, ITransferHost& host, QWidget* parent = nullptr);
  ~Ttransfer_form() override;

  // Connects (showing Connect's messages), shows the dialog modally and runs the transfer of
  // `mode` (ModeUpdate, ModeWrite, ModeRead) once it is on screen; returns when the dialog has
  // closed. When the device cannot be reached the dialog is not shown.
  void Run(uint8_t mode, bool acceptBusy);  // 101 update, 102 write, 103 read; modal
  // True when the last run's read or write (the write-back, after an update) succeeded.
  bool WriteSucceeded() const;

 public slots:
  // Escape: refused while a run is going on.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void Timer1Timer();
  void Timer2Timer();

 private:
  void Work();
  bool RunUpdate();  // true when the update and the write-back both succeeded
  void RunWrite();
  void RunRead();
  void Reconnect();
  // Runs one device operation; an exception inside it is logged (and, with showBox, shown) with
  // the fault text and the system's error code, and counts as a failure.
  bool Guarded(const std::function<bool()>& operation, const MessageTable& fault, bool showBox);
  void ReportFault(const MessageTable& fault, int errorCode, const std::string& detail,
                   bool showBox);
  void PlacePictures(bool towardsDevice);
  // Ends a run: the arrow stops, the record is shown (unless showRecord is false), the port is
  // released and the window may close.
  void Finish(bool showRecord = true);
  void CloseWindow(int result);

  TRuvolt& link_;
  ITransferHost& host_;
  uint8_t mode_ = 0;
  bool acceptBusy_ = false;
  bool runPending_ = false;
  bool closingAllowed_ = false;
  bool writeSucceeded_ = false;

  QLabel* Image1;  // the device
  QLabel* Image2;  // the configurator's window
  QLabel* Image3;  // the arrow
  QProgressBar* ProgressBar1;
  QPlainTextEdit* Memo1;
  QPushButton* Button1;
  QTimer* Timer1;
  QTimer* Timer2;
  std::unique_ptr<MemoLines> lines_;
  std::unique_ptr<TransferProgress> progress_;
};

}  // namespace varnex
