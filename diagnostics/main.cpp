// zpt_diag: the diagnostics program for the serial link to the device.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>  // QtHost.h holds a QPointer to it

#include "QtHost.h"
#include "zpt_diag_01.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  varnex::QtHost host;
  varnex::TZptDiagMainForm form;
  form.show();
  return app.exec();
}
