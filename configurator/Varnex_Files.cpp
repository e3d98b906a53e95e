// TMainForm's configuration files and settings: store, save under a new name, open, the file of
// the command line, and the values kept between runs.
#include <filesystem>
#include <optional>

#include "Host.h"
#include "QtHost.h"
#include "Varnex_Form_Unit.h"

namespace varnex {

namespace {

namespace fs = std::filesystem;

constexpr const char* ConfigFilter = "Varnex Config|*.vnx";
constexpr const char* ConfigExtension = "zpt";
// A work file whose store leaves the caption alone, and one whose opening at start does.
constexpr const char* WizardStoreName = "wizard.vnx";
constexpr const char* WizardOpenName = "wizard.zpt";

// The settings' value names.
constexpr const char* ComPortValue = "ComPort";
constexpr const char* ConfigFileValue = "ConfigFile";
constexpr const char* FirmwareMajorValue = "firmware_major";
constexpr const char* FirmwareMinorValue = "firmware_minor";
constexpr const char* InstallPathValue = "InstallPath";
constexpr const char* IniFileValue = "inifile";

FileDialogRequest ConfigDialog(const char* title, const std::string& currentFile) {
  FileDialogRequest request;
  request.title = title;
  request.filter = ConfigFilter;
  request.defaultExt = ConfigExtension;
  if (!currentFile.empty()) request.initialDir = fs::path(currentFile).parent_path().string();
  return request;
}

std::optional<uint8_t> ByteSetting(const char* name) {
  const std::optional<int> value = Settings().ReadInt(SettingsScope::Application, name);
  if (!value || *value < 0 || *value > 255) return {};
  return static_cast<uint8_t>(*value);
}

}  // namespace

void TMainForm::SetCaptionFile(const std::string& path) {
  setWindowTitle(Q(std::string(AppCaption) + " - " + fs::path(path).filename().string()));
}

bool TMainForm::StoreConfig() {
  WindowToConfig(link_.Config);
  const std::string before = link_.ConfigFileName;
  if (link_.ConfigFileName.empty()) {
    if (auto chosen = Prompter().SaveFileName(ConfigDialog("Speichern unter", before)))
      link_.ConfigFileName = *chosen;
  }
  if (link_.ConfigFileName.empty()) return false;
  // A file that cannot be written is told, and the configuration still counts as unsaved.
  std::string why;
  if (!link_.SaveConfig(link_.ConfigFileName, &why)) {
    MessageBox("Die Konfiguration konnte nicht gespeichert werden:\r\n" + why, "Varnex - Error",
               MsgIcon::Error);
    link_.ConfigFileName = before;
    return false;
  }
  if (link_.ConfigFileName != tmpDir_ + WizardStoreName) SetCaptionFile(link_.ConfigFileName);
  savedConfig_ = link_.Config;
  return true;
}

void TMainForm::Speichern1Click() {
  StoreConfig();
}

void TMainForm::Speichernunter1Click() {
  const std::string remembered = link_.ConfigFileName;
  link_.ConfigFileName.clear();
  if (!StoreConfig()) link_.ConfigFileName = remembered;
}

bool TMainForm::LoadConfigFile(const std::string& path) {
  std::string why;
  if (link_.LoadConfig(path, &why)) return true;
  // Not taken: the record and the current file stay, so that no store writes over the file.
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (!ec && size != ConfigSize) {
    why = "Die Datei ist " + std::to_string(size) + " Bytes lang, eine Varnex-Konfiguration " +
          std::to_string(ConfigSize) + " Bytes.";
  }
  MessageBox(
      "Die Datei '" + path + "' ist keine Varnex-Konfiguration und wird nicht geöffnet.\r\n" + why,
      "Varnex - Error", MsgIcon::Error);
  if (link_.ConfigFileName == path) link_.ConfigFileName.clear();
  return false;
}

void TMainForm::Oeffnen1Click() {
  if (!AskSaveChanges()) return;
  const auto chosen = Prompter().OpenFileName(ConfigDialog("Öffnen", link_.ConfigFileName));
  if (!chosen || !LoadConfigFile(*chosen)) return;
  savedConfig_ = link_.Config;
  ConfigToWindow(link_.Config);
  link_.ConfigFileName = *chosen;
  SetCaptionFile(*chosen);
}

bool TMainForm::OpenConfigFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return false;
  if (!LoadConfigFile(path)) return false;
  link_.ConfigFileName = path;
  if (path != tmpDir_ + WizardOpenName) SetCaptionFile(path);
  return true;
}

void TMainForm::LoadSettings() {
  ISettingsStore& store = Settings();
  if (auto port = ByteSetting(ComPortValue)) link_.Port.PortNumber = *port;
  link_.ConfigFileName =
      store.ReadString(SettingsScope::Application, ConfigFileValue).value_or(std::string());
  if (auto major = ByteSetting(FirmwareMajorValue)) link_.Version.Major = *major;
  if (auto minor = ByteSetting(FirmwareMinorValue)) link_.Version.Minor = *minor;
  iniName_ = store.ReadString(SettingsScope::Application, IniFileValue).value_or(std::string());
}

void TMainForm::SaveSettings() {
  ISettingsStore& store = Settings();
  // The simulated device of a demo run is not remembered as the user's port.
  const uint8_t port = demoPort_ != 0 && link_.Port.PortNumber == demoPort_ ? portBeforeDemo_
                                                                            : link_.Port.PortNumber;
  store.WriteInt(SettingsScope::Application, ComPortValue, port);
  store.WriteString(SettingsScope::Application, ConfigFileValue, link_.ConfigFileName);
  store.WriteInt(SettingsScope::Application, FirmwareMajorValue, link_.Version.Major);
  store.WriteInt(SettingsScope::Application, FirmwareMinorValue, link_.Version.Minor);
  store.WriteString(SettingsScope::Application, InstallPathValue, programDir_);
}

}  // namespace varnex
