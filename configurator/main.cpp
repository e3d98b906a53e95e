// Varnex: the configurator. "--demo" starts it on a simulated device.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTranslator>

#include <cstdlib>

#include "DemoDevice.h"
#include "ProgramHome.h"
#include "ProgramSwitches.h"
#include "QtHost.h"
#include "QtSoundPlayer.h"
#include "SoundPlayer.h"
#include "Varnex_Form_Unit.h"
#include "misc_functions.h"

namespace {

constexpr const char* Usage =
    "Usage: Varnex [options] [FILE]\n"
    "The configurator of the Varnex ISDN alarm and remote-switch box.\n"
    "\n"
    "  FILE                 the configuration file (.vnx) to open; all arguments that are no\n"
    "                       option are joined by blanks (default: the file of the last run)\n"
    "  -nopl, /nopl         turn the plausibility checks off\n"
    "  --demo               work with a simulated device (varnex_sim beside the program)\n"
    "  --quit-after-start   start up, show the window and end (checks an installation)\n"
    "  -h, --help           this text\n"
    "\n"
    "Environment:\n"
    "  VARNEX_HOME          the program folder (language INI file, prompts, help, logs);\n"
    "                       default: beside the program, or ~/.local/share/varnex filled from\n"
    "                       <prefix>/share/varnex on the first start\n"
    "  VARNEX_PORTMAP       the COM port map (default ~/.config/Brelmo/varnex-ports.conf)\n"
    "\n"
    "Serial ports belong to the group \"dialout\": a user must be in it to reach the device.\n";

}  // namespace

int main(int argc, char* argv[]) {
  if (varnex::PrintedHelp(argc, argv, Usage)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Varnex");
  QApplication::setOrganizationName("Brelmo");
  // The program speaks German; so do Qt's own buttons and file dialogs where their translation
  // is installed.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::German), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  varnex::QtHost host;
  varnex::QtSoundPlayer player;
  varnex::ScopedSoundPlayer sound(&player);

  QStringList arguments = QApplication::arguments().mid(1);
  const bool demo = arguments.removeAll("--demo") > 0;
  const bool quitAfterStart = arguments.removeAll("--quit-after-start") > 0;
  varnex::DemoDevice device;
  if (demo) {
    // The simulator lists itself in a port map of this run only, which the program then uses.
    const std::string temp = varnex::GetTempDir();
    const std::string portMap = temp + "demo-ports.conf";
    std::string why;
    if (!temp.empty() && device.Start(varnex::ExecutableDir() + "varnex_sim", portMap,
                                      temp + "demo-device.zpt", &why)) {
      setenv("VARNEX_PORTMAP", portMap.c_str(), 1);
    } else {
      varnex::MessageBox("Der simulierte Varnex konnte nicht gestartet werden.\r\n" + why,
                         "Varnex - Error", varnex::MsgIcon::Error);
    }
  }

  varnex::TMainForm form(arguments);
  if (!form.Started()) return 1;
  QApplication::setWindowIcon(form.windowIcon());
  if (device.ComNumber() != 0) form.UseDemoPort(device.ComNumber());
  form.show();
  if (quitAfterStart) varnex::QuitWhenStarted(app);
  return QApplication::exec();
}
