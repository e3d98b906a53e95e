// The diagnostics window: the automatic search with its system and port report, manual control
// of one port, the firmware version query and saving the log.
#pragma once

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "ComPort.h"
#include "Ruvolt_Support.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace varnex {

class MemoLines;
class PortMap;

// Where the window looks; the defaults are the running machine.
struct DiagSetup {
  PortMap* map = nullptr;    // the user's port map when null
  PortDiscoveryRoots roots;  // what the scan and the serial device report read
  std::vector<std::string> osReleaseFiles = {"/etc/os-release", "/usr/lib/os-release"};
};

class TZptDiagMainForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 461;
  static constexpr int ClientHeight = 327;
  static constexpr int FontPixelSize = 11;
  static constexpr int ReceiveIntervalMs = 300;
  static constexpr int PortItems = 20;  // COM1 to COM20 are always offered
  static constexpr const char* SaveFileName = "search_ruvolt.txt";

  explicit TZptDiagMainForm(DiagSetup setup = {}, QWidget* parent = nullptr);
  ~TZptDiagMainForm() override;

  // The device link the window drives.
  TRuvolt& Link() { return link_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Button1Click();  // automatic search
  void Button2Click();  // save the log
  void Button3Click();  // open
  void Button6Click();  // close
  void ComboBox1Change();
  void Timer1Timer();
  void Button8Click();  // version query
  void SendByte(uint8_t value, const char* line);

  // Adds a line to the memo; a text with line breaks becomes several lines.
  void AddLine(const std::string& text);
  // "?", COM1 ... COM20 and every mapped port above; keeps the selection.
  void FillPortItems();
  void SelectPort(uint8_t number);
  // The COM number of the selected item, 0 for "?".
  uint8_t SelectedNumber() const;
  void ShowOpen(bool open);
  // Takes the received bytes into lines.
  void TakeBytes(const uint8_t* bytes, int count);

  TRuvolt link_;
  DiagSetup setup_;
  std::string receiveLine_;  // the device's current output line
  bool busy_ = false;        // a search or version query is pumping events
  bool open_ = false;        // the window shows the port open
  bool centred_ = false;

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button6 = nullptr;
  QFrame* Bevel1 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* Button7 = nullptr;
  QTimer* Timer1 = nullptr;
  std::unique_ptr<MemoLines> lines_;
};

}  // namespace varnex
