#include "DemoDevice.h"

#include <QElapsedTimer>

#include <sys/prctl.h>

#include <csignal>

#include "QtHost.h"

namespace varnex {

namespace {

constexpr int StartTimeoutMs = 5000;
constexpr int StopTimeoutMs = 3000;

}  // namespace

DemoDevice::~DemoDevice() {
  Stop();
}

bool DemoDevice::Start(const std::string& simulator, const std::string& portMapFile,
                       const std::string& configFile, std::string* errorText) {
  auto fail = [&](const std::string& why) {
    if (errorText) *errorText = why;
    Stop();
    return false;
  };
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  // The simulator ends with the program however the program ends (even killed).
  process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  process_.start(Q(simulator),
                 {"--register", "--portmap", Q(portMapFile), "--config", Q(configFile)});
  if (!process_.waitForStarted(StartTimeoutMs))
    return fail(simulator + ": " + S(process_.errorString()));

  // It prints its terminal, then "COM<n>".
  QElapsedTimer clock;
  clock.start();
  QStringList lines;
  while (lines.size() < 2 && clock.elapsed() < StartTimeoutMs) {
    while (process_.canReadLine()) lines << QString::fromUtf8(process_.readLine()).trimmed();
    if (lines.size() >= 2) break;
    if (process_.state() != QProcess::Running) break;
    process_.waitForReadyRead(100);
  }
  if (lines.size() < 2 || !lines[1].startsWith("COM")) {
    const QString err = QString::fromUtf8(process_.readAllStandardError()).trimmed();
    return fail(simulator + " did not list its port" + (err.isEmpty() ? "" : ": " + S(err)));
  }
  bool ok = false;
  const int com = lines[1].mid(3).toInt(&ok);
  if (!ok || com < 1 || com > 255) return fail(simulator + ": unexpected port " + S(lines[1]));
  com_ = static_cast<uint8_t>(com);
  return true;
}

void DemoDevice::Stop() {
  com_ = 0;
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(StopTimeoutMs)) {
    process_.kill();
    process_.waitForFinished(StopTimeoutMs);
  }
}

}  // namespace varnex
