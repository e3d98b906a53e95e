// varnex_Flash_Creator: builds the voice flash image from the language INI file's prompts and
// uploads it into the device.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "ProgramSwitches.h"
#include "QtHost.h"
#include "QtSoundPlayer.h"
#include "SoundPlayer.h"
#include "varnex_FlashWriter_Unit01.h"
#include "varnex_FlashWriter_Unit02.h"
#include "varnex_FlashWriter_Unit03.h"
#include "varnex_PlayWave_Splachscreen.h"

namespace {

constexpr const char* Usage =
    "Usage: varnex_Flash_Creator [options]\n"
    "Builds the Varnex voice flash image (flash.bin) from the prompts that the language INI file\n"
    "lists, plays the prompts and fixed messages, exports the fixed messages as a C header and\n"
    "uploads the image into the device.\n"
    "\n"
    "  --quit-after-start   start up, show the window and end (checks an installation)\n"
    "  -h, --help           this text\n"
    "\n"
    "Environment:\n"
    "  VARNEX_HOME          the program folder (language INI file, prompts, logs); default:\n"
    "                       beside the program, or ~/.local/share/varnex filled from\n"
    "                       <prefix>/share/varnex on the first start\n"
    "  VARNEX_PORTMAP       the COM port map (default ~/.config/Brelmo/varnex-ports.conf)\n"
    "\n"
    "Serial ports belong to the group \"dialout\": a user must be in it to reach the device.\n";

}  // namespace

int main(int argc, char* argv[]) {
  if (varnex::PrintedHelp(argc, argv, Usage)) return 0;
  const bool quitAfterStart = varnex::HasSwitch(argc, argv, "--quit-after-start");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ruvolt Firmware Update");
  varnex::QtHost host;
  varnex::QtSoundPlayer player;
  varnex::ScopedSoundPlayer sound(&player);

  varnex::Tsound_splash_form notice;
  varnex::TForm2 headerForm;
  varnex::Tfixmsg_form fixMessages(headerForm, notice);
  varnex::TForm1 form(fixMessages, notice);
  if (!form.Started()) return 1;
  form.show();
  if (quitAfterStart) varnex::QuitWhenStarted(app);
  return QApplication::exec();
}
