// The Qt side of the core's host interfaces: message boxes, file dialogs, the event pump,
// QSettings, progress bars and memo lines.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QString>

#include <functional>
#include <string>

#include "Host.h"
#include "LogLines.h"

class QWidget;

namespace varnex {

inline QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.c_str(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) {
  return text.toUtf8().toStdString();
}

class QtPump final : public IUiPump {
 public:
  void ProcessMessages() override;
};

// QMessageBox and QFileDialog, owned by the active window.
class QtPrompter final : public IPrompter {
 public:
  MsgResult Message(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
};

// Settings under organisation "Brelmo", application "Varnex".
class QSettingsStore final : public ISettingsStore {
 public:
  std::optional<int> ReadInt(SettingsScope scope, const std::string& name) override;
  std::optional<std::string> ReadString(SettingsScope scope, const std::string& name) override;
  void WriteInt(SettingsScope scope, const std::string& name, int value) override;
  void WriteString(SettingsScope scope, const std::string& name, const std::string& value) override;
};

class ProgressBarSink final : public IProgress {
 public:
  explicit ProgressBarSink(QProgressBar* bar) : bar_(bar) {}
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;

 private:
  QPointer<QProgressBar> bar_;
};

// Lines kept in memory and mirrored into a memo as they change.
class MemoLines final : public LogLines {
 public:
  explicit MemoLines(QPlainTextEdit* memo);

 private:
  QPointer<QPlainTextEdit> memo_;
};

// Installs the Qt prompter, pump and settings for the program's lifetime.
class QtHost {
 public:
  QtHost();

 private:
  QtPrompter prompter_;
  QtPump pump_;
  QSettingsStore settings_;
  ScopedHost scope_;
};

// Hands a file or address to the desktop's associated program.
bool OpenDocument(const std::string& pathOrUrl);
// Replaces what OpenDocument does (tests record instead of starting a browser); an empty
// function restores the desktop.
void SetDocumentOpener(std::function<bool(const std::string&)> opener);

// Moves a top-level window to the middle of its screen (the primary one before it has one).
void CenterOnScreen(QWidget* window);

// "Text (*.vnx)|*.vnx|All (*)|*" as a Qt name filter list.
QString QtFilter(const std::string& filter);

}  // namespace varnex
