// varnex_Flash_Creator: builds the voice flash image from the language INI file's prompts and
// uploads it into the device.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "QtHost.h"
#include "QtSoundPlayer.h"
#include "SoundPlayer.h"
#include "varnex_FlashWriter_Unit01.h"
#include "varnex_FlashWriter_Unit02.h"
#include "varnex_FlashWriter_Unit03.h"
#include "varnex_PlayWave_Splachscreen.h"

int main(int argc, char* argv[]) {
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
  return QApplication::exec();
}
