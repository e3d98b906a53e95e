// The configurator's main window in a test: a program folder of its own, settings in a scratch
// folder, a scripted prompter, a recording sound player, and helpers for its modal dialogs.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>

#include "QtHost.h"
#include "SoundPlayer.h"
#include "TestPaths.h"
#include "Varnex_Form_Unit.h"
#include "exit_Form_Unit.h"
#include "misc_functions.h"

namespace varnex::test {

inline TDeviceConfig ReadRecord(const std::string& path) {
  std::string bytes;
  TDeviceConfig config;
  if (ReadFileBytes(path, bytes) && bytes.size() == ConfigSize)
    std::copy(bytes.begin(), bytes.end(), config.Bytes.begin());
  return config;
}

inline void WriteRecord(const std::string& path, const TDeviceConfig& config) {
  WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(config.Data()), ConfigSize));
}

// Runs `act` on the next modal window of type W once it is on screen (it must appear within
// a few seconds, else the failure is noted).
template <typename W>
void WhenModal(QStringList& failures, std::function<void(W*)> act) {
  auto* timer = new QTimer;
  auto* waited = new int(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act, &failures] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()); w && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      delete waited;
      act(w);
    } else if (++*waited > 500) {
      timer->stop();
      timer->deleteLater();
      delete waited;
      failures << "no modal window appeared";
    }
  });
  timer->start(10);
}

// Points the settings of every rig at a scratch folder while it lives (a member of the test
// class); each rig empties them.
class ScratchSettings {
 public:
  ScratchSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Q(folder_.Path()));
  }

 private:
  TempDir folder_;
};

class ConfiguratorRig {
 public:
  explicit ConfiguratorRig(bool withIni = true)
      : prompter([this](const std::string& m) { failures << Q(m); }),
        scope(&prompter, &pump, &settings),
        sound(&player) {
    QSettings("Brelmo", "Varnex").clear();
    qputenv("VARNEX_HOME", QByteArray::fromStdString(home.Path()));
    qputenv("VARNEX_PORTMAP", QByteArray::fromStdString(home.File("ports.conf")));
    if (withIni) {
      for (const char* name : {DefaultLanguageIniName, "dtmf_commands_standart.ini"})
        std::filesystem::copy_file(ProgramPath(name), home.File(name));
    }
  }
  ~ConfiguratorRig() {
    form.reset();
    qunsetenv("VARNEX_HOME");
    qunsetenv("VARNEX_PORTMAP");
  }

  // The shipped prompts' WAV copies, for windows that add or play prompts.
  void CopyPrompts() {
    std::filesystem::create_directories(home.File("tmp"));
    std::filesystem::copy(ProgramPath("tmp/wav"), home.File("tmp/wav"),
                          std::filesystem::copy_options::recursive);
  }

  TMainForm& Start(const QStringList& arguments = {}) {
    form = std::make_unique<TMainForm>(arguments);
    return *form;
  }
  TMainForm& StartShown(const QStringList& arguments = {}) {
    Start(arguments).show();
    QApplication::processEvents();
    return *form;
  }

  template <typename T>
  T* Find(const char* name) {
    T* found = form->findChild<T*>(name);
    if (!found) failures << QString("no control ") + name;
    return found;
  }
  void Trigger(const char* action) {
    if (auto* a = Find<QAction>(action)) a->trigger();
  }
  std::string Tmp() const { return home.File("tmp/"); }
  // A configuration file in a folder of the rig's own.
  std::string FileWith(const std::string& name, const TDeviceConfig& config) {
    WriteRecord(files.File(name), config);
    return files.File(name);
  }

  // Answers the next exit dialog: 1 to 3 pick that option and press "&OK", 0 presses Escape.
  void ChooseOnExit(int choice) {
    WhenModal<TExitForm>(failures, [choice](TExitForm* dialog) {
      if (choice == 0) {
        QTest::keyClick(dialog->findChild<QRadioButton*>("RadioButton2"), Qt::Key_Escape);
        return;
      }
      dialog->findChild<QRadioButton*>(QString("RadioButton%1").arg(choice))->click();
      QTest::mouseClick(dialog->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    });
  }

  void Verify() {
    prompter.VerifyAllShown();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  static constexpr const char* DefaultLanguageIniName = "varnex_sprache_standard.ini";

  TempDir home;
  TempDir files;
  QStringList failures;
  ScriptedPrompter prompter;
  QtPump pump;
  QSettingsStore settings;
  ScopedHost scope;
  RecordingSoundPlayer player;
  ScopedSoundPlayer sound;
  std::unique_ptr<TMainForm> form;
};

}  // namespace varnex::test
