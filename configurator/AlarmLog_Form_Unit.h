// The alarm log viewer: the decoded records in a list, the details of the clicked one, saving
// the list as a text file.
#pragma once

#include <QDialog>

#include <array>
#include <cstddef>

#include "AlarmLog_parse.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace varnex {

class TAlarmLog_Form : public QDialog {
  Q_OBJECT

 public:
  explicit TAlarmLog_Form(QWidget* parent = nullptr);

  // The records the list shows: the first LogCount of LogBuffer.
  std::array<TAlarmLogRecord, LogBufferRecords> LogBuffer{};
  size_t LogCount = 0;

  // Puts the demonstration records into LogBuffer and lists them.
  void ShowDemonstrationRecords();
  // Lists the first LogCount records of LogBuffer.
  void ListRecords();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ListBox1Click();
  void SpeichernClick();
  void ClearDetails();
  QLineEdit* DetailField(const char* name, int width);

  QListWidget* ListBox1;
  QPushButton* Button2;
  QLineEdit* DateEdit;
  QLineEdit* ArrowEdit;
  QLineEdit* NumberEdit;
  QLineEdit* PurposeEdit;
  QLineEdit* DtmfEdit;
};

}  // namespace varnex
