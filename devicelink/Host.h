// The few ways the core reaches its caller: an event pump, message boxes and file dialogs,
// a progress bar and a settings store. Windows install Qt adapters; the CLI and the tests
// install their own. Everything runs on one thread, like the windows themselves.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  std::string title;
  std::string initialDir;
  std::string fileName;    // preset name, may be empty
  std::string filter;      // "Varnex-Konfiguration (*.vnx)|*.vnx|Alle Dateien (*)|*"
  std::string defaultExt;  // without the dot
};

// Message boxes and file dialogs. Texts are UTF-8.
class IPrompter {
 public:
  virtual ~IPrompter() = default;
  // Shows a message box; returns the button the user chose (Cancel/No when closed otherwise).
  virtual MsgResult Message(const std::string& text, const std::string& caption, MsgIcon icon,
                            MsgButtons buttons) = 0;
  // Returns the chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogRequest& request) = 0;
};

// "Let the window system process pending messages."
class IUiPump {
 public:
  virtual ~IUiPump() = default;
  virtual void ProcessMessages() = 0;
};

// A progress bar owned by the caller of a device operation.
class IProgress {
 public:
  virtual ~IProgress() = default;
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;
};

enum class SettingsScope {
  Organisation,  // "Brelmo" (probeAllComports)
  Application    // "Brelmo/Varnex" (ComPort, ConfigFile, firmware_major, ...)
};

// The registry values of the original programs.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::optional<int> ReadInt(SettingsScope scope, const std::string& name) = 0;
  virtual std::optional<std::string> ReadString(SettingsScope scope, const std::string& name) = 0;
  virtual void WriteInt(SettingsScope scope, const std::string& name, int value) = 0;
  virtual void WriteString(SettingsScope scope, const std::string& name,
                           const std::string& value) = 0;
};

// --- Stock implementations -------------------------------------------------------------------

class NullPump final : public IUiPump {
 public:
  void ProcessMessages() override {}
};

class NullProgress final : public IProgress {
 public:
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
};

// Answers every box with its safe default (No, Cancel or OK) and every file dialog with nothing;
// keeps what it was shown so that callers can print or inspect it.
class SilentPrompter : public IPrompter {
 public:
  struct Shown {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
  };
  MsgResult Message(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return {}; }
  const std::vector<Shown>& History() const { return history_; }

 private:
  std::vector<Shown> history_;
};

class MemorySettings final : public ISettingsStore {
 public:
  std::optional<int> ReadInt(SettingsScope scope, const std::string& name) override;
  std::optional<std::string> ReadString(SettingsScope scope, const std::string& name) override;
  void WriteInt(SettingsScope scope, const std::string& name, int value) override;
  void WriteString(SettingsScope scope, const std::string& name, const std::string& value) override;

 private:
  struct Value {
    SettingsScope scope;
    std::string name, text;
    bool isInt;
  };
  Value* Find(SettingsScope scope, const std::string& name);
  std::vector<Value> values_;
};

MsgResult SafeDefault(MsgButtons buttons);

// --- The process-wide host --------------------------------------------------------------------
// Like the window system of a desktop program there is one per process; programs install theirs
// at start, tests install theirs with ScopedHost.

IPrompter& Prompter();
IUiPump& UiPump();
ISettingsStore& Settings();

class ScopedHost {
 public:
  ScopedHost(IPrompter* prompter, IUiPump* pump, ISettingsStore* settings = nullptr);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  IPrompter* oldPrompter_;
  IUiPump* oldPump_;
  ISettingsStore* oldSettings_;
};

// Shorthand for a message box through the installed prompter.
MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                     MsgButtons buttons = MsgButtons::Ok);

}  // namespace varnex
