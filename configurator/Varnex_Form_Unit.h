// TMainForm: the configurator's main window. It owns the device link and with it the
// configuration record, shows the record on four pages and runs every user command.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DeviceConfig.h"
#include "DtmfCommands.h"
#include "Ruvolt_Support.h"
#include "transfer_form_unit.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace varnex {

class TAdminForm;
class TAlarmtext_Form;
class TAnruflisten_Form;
class TAusgang_Form;
class TExitForm;
class TIntEdit;
class TPageControl;
class TPhoneListGrid;
class TSpinEdit;
class Tcomport_seach_form;
class Tsound_splash_form;

class TMainForm : public QMainWindow, public ITransferHost {
  Q_OBJECT

 public:
  static constexpr const char* AppCaption = "Varnex v1.1.3";
  static constexpr int PageBasic = 0;
  static constexpr int PageAdmins = 1;
  static constexpr int PageInputs = 2;
  static constexpr int PageOutputs = 3;
  // The ring time box's range; text that is not a number counts as the minimum.
  static constexpr int RingTimeMin = 20;
  static constexpr int RingTimeMax = 120;
  // The seconds of the delay lists' items.
  static constexpr std::array<uint8_t, 4> DelaySeconds = {0, 5, 10, 20};

  // Starts the program: work folder, settings, port preset, defaults, the file of the command
  // line (all arguments joined by blanks) or the remembered one, the voice prompt catalogue and
  // the DTMF command list. A start-up error is shown; Started() is then false.
  explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
  ~TMainForm() override;

  // False when start-up failed (no work folder, no voice prompt INI file): the program ends.
  bool Started() const { return started_; }

  TRuvolt& Link() { return link_; }
  const TDeviceConfig& SavedConfig() const { return savedConfig_; }
  // The command line held "-nopl" or "/nopl": every plausibility check passes.
  bool NoPlausibilityChecks() const { return noPlausibility_; }
  const std::string& HelpDir() const { return helpDir_; }
  const std::string& TemplatesDir() const { return templatesDir_; }
  const std::string& WavFolder() const { return wavFolder_; }
  const std::string& LanguageIniFile() const { return languageIniFile_; }
  // The texts of the device number and country code boxes of the basic settings page.
  QString DeviceNumberText() const;
  QString CountryCodeText() const;
  // The DTMF command grid's rows, as edited.
  std::vector<DtmfCommandRow> DtmfRows() const;

  TAdminForm& AdminForm() { return *adminForm_; }
  TAnruflisten_Form& CallListForm() { return *callListForm_; }
  TAusgang_Form& OutputsForm() { return *outputsForm_; }
  TAlarmtext_Form& ComposerForm() { return *composerForm_; }
  TExitForm& ExitForm() { return *exitForm_; }
  Ttransfer_form& TransferForm() { return *transferForm_; }
  Tsound_splash_form& PlaybackNotice() { return *playbackNotice_; }

  // --- Record and window ----------------------------------------------------------------------
  // Fills a record from the window and from the parts of Config that dialogs edit.
  void WindowToConfig(TDeviceConfig& config) override;
  // Shows a record in the window; compacts the administrators of Config.
  void ConfigToWindow(const TDeviceConfig& config) override;
  // Asks to save when the window's record differs from the saved one; false: stop.
  bool AskSaveChanges() override;
  std::string FirmwareFileName() override { return firmwareFile_; }
  std::string TmpDir() override { return tmpDir_; }

  // True when the device answers, or the user lets its running call be broken; offers the
  // port search otherwise.
  bool EnsureConnection();
  // The plausibility checks of one page; a failing field is marked and the user told.
  bool CheckPage(int page);
  // Commits the window into Config, then checks pages 0, 1 and 2.
  bool CheckAll();
  void SetDefaults() { link_.ApplyDefaults(); }
  int CompactAdmins();
  void ShowAdmins();
  void ShowAlarmTexts();

  // --- Files and settings ---------------------------------------------------------------------
  // Commits the window and writes Config to ConfigFileName (asking for a name when there is
  // none). False when no file was written.
  bool StoreConfig();
  // Takes a configuration file that exists; a file that is not a configuration is refused with
  // a message. True when it became the current file.
  bool OpenConfigFile(const std::string& path);
  void LoadSettings();
  void SaveSettings();

  // Demo mode: the simulated device's port is used for this run, and the port the settings
  // held is what they keep.
  void UseDemoPort(uint8_t comNumber);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  // "&Datei"
  void Neu1Click();
  void Oeffnen1Click();
  void Speichern1Click();
  void Speichernunter1Click();
  void Deutsch1Click();
  void Englisch1Click();
  // "&Varnex"
  void Konfigurationschreiben1Click();
  void Konfigurationauslesen1Click();
  void FirmwareVersionanzeigen1Click();
  void FirmwareUpdate1Click();
  void ComSchnittstellesuchen1Click();
  void ComSchnittstellefestlegen1Click();
  // "&?"
  void Info1Click();

  // Commands that the report, export, help and alarm log windows fill; until then they do
  // nothing.
  void Reporterstellen1Click();
  void Hilfe1Click();
  void InternetUpdates1Click();
  void zustzlicheMSN1Click();
  void anzeigen1Click();
  void loeschen1Click();
  void HTML1Click();
  void ASCII1Click();
  // The alarm inputs page's dialogs (message composer, call list) and the switch outputs dialog.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void ErweitertClick();
  void ExportClick();

  // Page handlers.
  void CheckBox1Click();
  void CheckBox2Click();
  void ComboBox1Change();
  void ComboBox3Change();
  void AdminNewClick();
  void AdminEditClick();
  void AdminDeleteClick();

 private:
  void BuildMenu();
  QWidget* BuildBasicPage();
  QWidget* BuildAdminPage();
  QWidget* BuildInputsPage();
  QWidget* BuildOutputsPage();
  void StartUp(const QStringList& arguments);
  void FormShow();
  // The user asks for another page: commit the window, check the page being left.
  bool PageChanging(int from, int to);
  void InputTriggerChanged(int input);
  void ShowAdminDialog(uint8_t mode, int entry);
  void ShowComposer(int input);
  void ShowCallListDialog(int input);
  void SetCaptionFile(const std::string& path);
  // LoadConfig, telling the user why a file is not taken.
  bool LoadConfigFile(const std::string& path);
  bool SearchCommand();
  void ShowDtmfRows(const std::vector<DtmfCommandRow>& rows);

  TRuvolt link_;
  TDeviceConfig savedConfig_;
  std::string programDir_, helpDir_, tmpDir_, templatesDir_, wavFolder_, languageIniFile_;
  std::string iniName_;  // the settings' voice prompt INI file, relative to the program folder
  std::string firmwareFile_;
  bool noPlausibility_ = false;
  bool started_ = true;
  uint8_t demoPort_ = 0;
  uint8_t portBeforeDemo_ = 0;

  // Menu.
  QMenu* VarnexMenu;
  QAction* Sprache1;
  QAction* AlarmLogbuch1;
  QAction* DebugMonitor1;
  QAction* FAQ1;
  QAction* CallDeflection1;
  QAction* CLIR1;

  TPageControl* PageControl1;
  // Page 0.
  TIntEdit* IntEdit21;
  QCheckBox* CheckBox1;
  QLineEdit* Edit1;
  QCheckBox* CheckBox3;
  QLabel* Label5;  // "DTMF Authentifizieurungs-Code: *"
  TIntEdit* IntEdit5;
  QLabel* Label6;  // "#"
  TIntEdit* IntEdit2;
  TIntEdit* IntEdit3;
  TIntEdit* IntEdit4;
  TSpinEdit* SpinEdit1;
  QCheckBox* CheckBox4;
  QPlainTextEdit* html_tpl;
  // Page 1.
  TPhoneListGrid* admin_grid;
  QCheckBox* CheckBox2;
  TIntEdit* IntEdit1;
  // Page 2, input 1 then input 2.
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox5;
  QComboBox* ComboBox3;
  QComboBox* ComboBox4;
  QComboBox* ComboBox6;
  QPushButton* SpeedButton1;
  QPushButton* SpeedButton2;
  QPushButton* SpeedButton3;
  QPushButton* SpeedButton4;
  QPlainTextEdit* Memo1;
  QPlainTextEdit* Memo2;
  // Page 3.
  QLabel* Label23;
  QTableWidget* ValueListEditor1;
  QMenu* ExportMenu;

  TAdminForm* adminForm_;
  TAnruflisten_Form* callListForm_ = nullptr;
  TAusgang_Form* outputsForm_ = nullptr;
  TAlarmtext_Form* composerForm_ = nullptr;
  TExitForm* exitForm_ = nullptr;
  Ttransfer_form* transferForm_;
  Tcomport_seach_form* searchForm_;
  Tsound_splash_form* playbackNotice_;
};

}  // namespace varnex
