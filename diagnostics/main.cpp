// zpt_diag: the diagnostics program for the serial link to the device.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>  // QtHost.h holds a QPointer to it

#include "ProgramSwitches.h"
#include "QtHost.h"
#include "zpt_diag_01.h"

namespace {

constexpr const char* Usage =
    "Usage: zpt_diag [options]\n"
    "The diagnostics program for the serial link to the Varnex device: the machine's serial\n"
    "ports and their settings, a port opened by hand with its modem lines, single handshake\n"
    "bytes, the device search and its firmware version; the log can be saved.\n"
    "\n"
    "  --quit-after-start   start up, show the window and end (checks an installation)\n"
    "  -h, --help           this text\n"
    "\n"
    "Environment:\n"
    "  VARNEX_PORTMAP       the COM port map (default ~/.config/Brelmo/varnex-ports.conf)\n"
    "\n"
    "Serial ports belong to the group \"dialout\": a user must be in it to open them.\n";

}  // namespace

int main(int argc, char* argv[]) {
  if (varnex::PrintedHelp(argc, argv, Usage)) return 0;
  const bool quitAfterStart = varnex::HasSwitch(argc, argv, "--quit-after-start");
  QApplication app(argc, argv);
  varnex::QtHost host;
  varnex::TZptDiagMainForm form;
  form.show();
  if (quitAfterStart) varnex::QuitWhenStarted(app);
  return app.exec();
}
