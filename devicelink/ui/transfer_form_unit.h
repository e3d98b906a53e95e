// The transfer dialog: reads, writes or updates the firmware of the device while showing a
// PC, the device and an arrow between them, a progress bar and the step lines.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "DeviceConfig.h"
#include "Ruvolt_Support.h"

namespace varnex {

// What the transfer dialog needs from the configurator's main window.
class ITransferHost {
 public:
  virtual ~ITransferHost() = default;
  virtual bool AskSaveChanges() = 0;                      // false: stop
  virtual void WindowToConfig(TDeviceConfig& config) = 0;  // fills a record from the window
  virtual void ConfigToWindow(const TDeviceConfig& config) = 0;
  virtual std::string FirmwareFileName() = 0;             // the firmware open dialog's choice
  virtual std::string TmpDir() = 0;                       // work folder, trailing "/"
};

class Ttransfer_form : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint8_t ModeUpdate = 101;
  static constexpr uint8_t ModeWrite = 102;
  static constexpr uint8_t ModeRead = 103;

  Ttransfer_form(TRuvolt& link, ITransferHost& host, QWidget* parent = nullptr);
  // Shows the dialog modally and runs the transfer of `mode` (ModeUpdate, ModeWrite, ModeRead)
  // once it is on screen; returns when the dialog has closed.
  void Run(uint8_t mode, bool acceptBusy);  // 101 update, 102 write, 103 read; modal
  // True when the last write (or the write-back after an update) reached the device.
  bool WriteSucceeded() const;

 private:
  TRuvolt& link_;
  ITransferHost& host_;
  bool writeSucceeded_ = false;
};

}  // namespace varnex
