// The transfer dialog against the simulated device on a pseudo-terminal.
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <filesystem>
#include <functional>

#include "Messages.h"
#include "QtHost.h"
#include "TestPaths.h"
#include "misc_functions.h"
#include "transfer_form_unit.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int RunDeadlineMs = 60000;

TDeviceConfig Record(const std::string& msn) {
  TDeviceConfig config;
  config.ApplyDefaults();
  config.SetMsn(msn);
  return config;
}

const TDeviceConfig DeviceRecord = Record("4711");
const TDeviceConfig ProgramRecord = Record("0815");

class TestHost : public ITransferHost {
 public:
  explicit TestHost(std::string tmp) : tmp_(std::move(tmp)) {}
  bool AskSaveChanges() override {
    ++asked;
    captionAtAsk = form ? form->windowTitle() : QString();
    visibleAtAsk = form && form->isVisible();
    if (form)
      picturesAtAsk = {form->findChild<QLabel*>("Image1")->x(),
                       form->findChild<QLabel*>("Image2")->x()};
    return askAnswer;
  }
  void WindowToConfig(TDeviceConfig& config) override {
    if (windowBroken) throw std::runtime_error("window broken");
    config = window;
  }
  void ConfigToWindow(const TDeviceConfig& config) override { shown.push_back(config); }
  std::string FirmwareFileName() override { return firmware; }
  std::string TmpDir() override { return tmp_; }

  QWidget* form = nullptr;
  bool askAnswer = true;
  int asked = 0;
  QString captionAtAsk;
  bool visibleAtAsk = false;
  QList<int> picturesAtAsk;  // left edges of the device and the window pictures
  TDeviceConfig window = ProgramRecord;
  bool windowBroken = false;
  std::vector<TDeviceConfig> shown;
  std::string firmware;

 private:
  std::string tmp_;
};

// Serves the windows like the program's pump and lets a test look in between blocks.
class TestPump : public IUiPump {
 public:
  void ProcessMessages() override {
    QCoreApplication::processEvents();
    if (hook) hook();
  }
  std::function<void()> hook;
};

// A simulated device holding `stored`, a device link pointing at it, the dialog and its host.
struct Rig {
  explicit Rig(sim::SimOptions options = {})
      : sim(WithStored(std::move(options))),
        host(tmp.Path()),
        prompter([this](const std::string& m) { failures << Q(m); }),
        scope(&prompter, &pump, &settings),
        form(link, host) {
    sim.Attach(link);
    host.form = &form;
    link.Config = ProgramRecord;
    link.ConfigFileName = "/home/anna/haus.vnx";
  }

  sim::SimOptions WithStored(sim::SimOptions options) {
    if (options.configFile.empty()) {
      options.configFile = deviceDir.File("device.zpt");
      const auto* bytes = reinterpret_cast<const char*>(DeviceRecord.Data());
      WriteFileAtomic(options.configFile, std::string_view(bytes, ConfigSize));
    }
    return options;
  }

  // Runs the dialog. Returns true when the window was still open after the run (then the test
  // presses "&Beenden"); whileRunning is called once while the run is going on (its first step
  // line is in the memo).
  bool Run(uint8_t mode, const std::function<void()>& whileRunning = {}) {
    auto* button = form.findChild<QPushButton*>("Button1");
    bool stayedOpen = false;
    bool sawRunning = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!form.isVisible()) return;
      if (!button->isEnabled()) {
        if (whileRunning && !sawRunning && !Memo().isEmpty()) {
          sawRunning = true;
          whileRunning();
        }
        if (clock.elapsed() > RunDeadlineMs) {
          failures << "the run did not finish";
          form.done(0);
        }
        return;
      }
      stayedOpen = true;
      button->click();
    });
    poll.start();
    form.Run(mode, true);
    if (whileRunning && !sawRunning) failures << "the run was never seen going on";
    return stayedOpen;
  }

  QString Memo() const { return form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(); }
  std::vector<Bytes> Requests() {
    return sim.Device([](sim::SimDevice& d) { return d.Requests(); });
  }
  TDeviceConfig Stored() {
    return sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); });
  }
  // Whether a request with this command byte came after the first one with `after`.
  bool CommandAfter(uint8_t command, uint8_t after) {
    const auto requests = Requests();
    bool seen = false;
    for (const auto& r : requests) {
      if (!r.empty() && r[0] == after) seen = true;
      if (seen && !r.empty() && r[0] == command) return true;
    }
    return false;
  }
  TDeviceConfig FileRecord(const std::string& name) {
    std::string bytes;
    TDeviceConfig config;
    if (!ReadFileBytes(tmp.File(name), bytes) || bytes.size() != ConfigSize) {
      failures << Q(name + " is not a configuration file");
      return config;
    }
    std::copy(bytes.begin(), bytes.end(), config.Bytes.begin());
    return config;
  }
  QStringList LogLines(const std::string& name) {
    std::string bytes;
    ReadFileBytes(tmp.File(name), bytes);
    return Q(bytes).split('\n');
  }
  // A firmware file: 'G' first, its length in bytes 4 to 7 (the simulated device's end mark).
  void WriteFirmware(size_t blocks) {
    std::string bytes(blocks * 256, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 1);
    bytes[0] = 'G';
    for (size_t i = 0; i < 4; ++i)
      bytes[4 + i] = static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
    host.firmware = tmp.File("update.bin");
    WriteFileAtomic(host.firmware, bytes);
  }
  void Verify() {
    prompter.VerifyAllShown();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  TempDir deviceDir;
  TempDir tmp;
  SimFixture sim;
  TRuvolt link;
  TestHost host;
  QStringList failures;
  ScriptedPrompter prompter;
  TestPump pump;
  MemorySettings settings;
  ScopedHost scope;
  Ttransfer_form form;
};

sim::SimOptions UpdateTo(uint8_t major, uint8_t minor) {
  sim::SimOptions options;
  options.versionAfterUpdate = std::make_pair(major, minor);
  return options;
}

}  // namespace

class GuiTransferTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { LanguageIndex = 0; }

  void stopAtAskSaveChanges_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QList<int>>("pictures");
    QTest::newRow("read, German") << 103 << 0 << "Konfiguration lesen" << QList<int>{3, 254};
    QTest::newRow("read, English") << 103 << 1 << "Read Configuration" << QList<int>{3, 254};
    QTest::newRow("write, English") << 102 << 1 << "Write Configuration" << QList<int>{260, 8};
    QTest::newRow("update, German") << 101 << 0 << "Update Firmware" << QList<int>{3, 254};
  }
  // The window is shown with its caption and pictures, then closes at once: handshake and EOT
  // only, no log.
  void stopAtAskSaveChanges() {
    QFETCH(int, mode);
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QList<int>, pictures);
    LanguageIndex = static_cast<uint8_t>(language);
    Rig rig;
    rig.host.askAnswer = false;
    rig.WriteFirmware(2);
    QVERIFY(!rig.Run(static_cast<uint8_t>(mode)));
    QCOMPARE(rig.host.asked, 1);
    QVERIFY(rig.host.visibleAtAsk);
    QCOMPARE(rig.host.captionAtAsk, caption);
    QCOMPARE(rig.host.picturesAtAsk, pictures);
    QVERIFY(rig.Requests().empty());
    QCOMPARE(rig.sim.Device([](sim::SimDevice& d) { return d.EnqCount(); }), 1);
    QCOMPARE(rig.sim.Device([](sim::SimDevice& d) { return d.EotCount(); }), 1);
    QVERIFY(!rig.link.Port.IsOpen());
    QVERIFY(!QFile::exists(Q(rig.tmp.File("config_read.txt"))));
    QVERIFY(!QFile::exists(Q(rig.tmp.File("config_write.txt"))));
    QVERIFY(!QFile::exists(Q(rig.tmp.File("firmware.txt"))));
    QVERIFY(!QFile::exists(Q(rig.tmp.File("akt_conf.zpt"))));
    QVERIFY(rig.host.shown.empty());
    QVERIFY(!rig.form.WriteSucceeded());
    rig.Verify();
  }

  void noAnswerKeepsTheWindowShut() {
    sim::SimOptions options;
    options.silent = true;
    Rig rig(options);
    rig.prompter.Expect("No answer from device !", "Connect v24");
    QVERIFY(!rig.Run(Ttransfer_form::ModeRead));
    QCOMPARE(rig.host.asked, 0);
    rig.Verify();
  }

  void readClosesAndShowsTheDevicesConfiguration() {
    Rig rig;
    QVERIFY(!rig.Run(Ttransfer_form::ModeRead));
    QVERIFY(rig.form.WriteSucceeded());
    QVERIFY(!rig.host.shown.empty());
    QVERIFY(rig.host.shown.back() == DeviceRecord);
    QVERIFY(rig.link.Config == DeviceRecord);
    const QStringList log = rig.LogLines("config_read.txt");
    QCOMPARE(log.value(0), QString("Konfiguration wird gelesen, bitte warten..."));
    QCOMPARE(log.value(1), QString("OK"));
    QVERIFY(!rig.link.Port.IsOpen());
    QVERIFY(rig.Memo().endsWith("OK"));
    rig.Verify();
  }

  void failedWriteStaysOpen_data() {
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("prepareRefused");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("block refused") << 3 << false << "Error occured at Block 3";
    QTest::newRow("last block refused") << 11 << false << "Error occured at Block 11";
    QTest::newRow("prepare refused") << -1 << true << "CONFIG_WRITE_PREPARE_ERROR";
  }
  void failedWriteStaysOpen() {
    QFETCH(int, block);
    QFETCH(bool, prepareRefused);
    QFETCH(QString, lastLine);
    sim::SimOptions options;
    options.fault.on = sim::SimTransfer::ConfigWrite;
    options.fault.block = block;
    options.fault.status = 5;
    options.fault.prepareRefused = prepareRefused;
    Rig rig(options);
    QVERIFY(rig.Run(Ttransfer_form::ModeWrite));
    QVERIFY(!rig.form.WriteSucceeded());
    const QStringList memo = rig.Memo().split('\n');
    QVERIFY(memo.contains("Konfiguration wird geschrieben, bitte warten..."));
    QCOMPARE(memo.last(), lastLine);
    QCOMPARE(rig.form.findChild<QProgressBar*>("ProgressBar1")->format(), QString("%p %"));
    QVERIFY(rig.form.findChild<QLabel*>("Image3")->isHidden());
    QVERIFY(rig.Stored() == DeviceRecord);
    QVERIFY(rig.link.Config == ProgramRecord);  // the window's record, shown again
    QVERIFY(rig.host.shown.back() == ProgramRecord);
    QVERIFY(!rig.link.Port.IsOpen());
    rig.Verify();
  }

  // A fault outside the device operations ends the run like a failed transfer.
  void faultInTheMainWindowEndsTheRun() {
    Rig rig;
    rig.host.windowBroken = true;
    QVERIFY(rig.Run(Ttransfer_form::ModeWrite));
    QVERIFY(
        QRegularExpression("^Unerwarteter Fehler beim Schreiben der Konfiguration\\. \\(\\d+\\) ! "
                           "window broken$")
            .match(rig.Memo().split('\n').last())
            .hasMatch());
    QVERIFY(!rig.form.WriteSucceeded());
    QVERIFY(rig.host.shown.empty());
    QVERIFY(!rig.link.Port.IsOpen());
    QVERIFY(!rig.CommandAfter(0x04, 0x01));
    rig.Verify();
  }

  // Close box, Escape and the disabled button do nothing while the device works; the
  // successful write then closes the window by itself.
  void closeRefusedWhileRunning() {
    sim::SimOptions options;
    options.fault.on = sim::SimTransfer::ConfigWrite;
    options.fault.prepareDelayMs = 800;
    Rig rig(options);
    rig.host.window = Record("030123");
    const bool stayedOpen = rig.Run(Ttransfer_form::ModeWrite, [&] {
      auto* button = rig.form.findChild<QPushButton*>("Button1");
      QVERIFY(!button->isEnabled());
      QVERIFY(!rig.form.close());
      QTest::keyClick(&rig.form, Qt::Key_Escape);
      QTest::mouseClick(button, Qt::LeftButton);
      QVERIFY(rig.form.isVisible());
      auto* arrow = rig.form.findChild<QLabel*>("Image3");
      QVERIFY(arrow->isVisible());
      const int x = arrow->x();
      QTest::qWait(350);
      QVERIFY(arrow->x() != x);
      QVERIFY(arrow->x() >= 65 && arrow->x() <= 260);
    });
    QVERIFY(!stayedOpen);
    QVERIFY(rig.form.WriteSucceeded());
    QVERIFY(rig.Stored() == Record("030123"));
    rig.Verify();
  }

  void updateWhoseReadFails() {
    sim::SimOptions options = UpdateTo(3, 1);
    options.noConfig = true;
    Rig rig(options);
    rig.WriteFirmware(4);
    QVERIFY(rig.Run(Ttransfer_form::ModeUpdate));
    QVERIFY(!rig.form.WriteSucceeded());
    const QString memo = rig.Memo();
    QVERIFY(memo.contains("Keine Konfiguration geladen !"));
    QVERIFY(memo.contains("Successfully updated firmware"));
    QVERIFY(rig.sim.Device([](sim::SimDevice& d) { return d.FirmwareComplete(); }));
    QVERIFY(!rig.CommandAfter(0x04, 0x70));  // nothing written back
    QVERIFY(rig.FileRecord("akt_conf.zpt") == ProgramRecord);
    // No device configuration came, so none is filed as the device's.
    QVERIFY(!QFile::exists(Q(rig.tmp.File("dv_conf.zpt"))));
    QVERIFY(rig.link.Config == ProgramRecord);
    QCOMPARE(rig.link.ConfigFileName, std::string("/home/anna/haus.vnx"));
    QVERIFY(rig.host.shown.back() == ProgramRecord);
    rig.Verify();
  }

  void updateThatSucceedsWritesBackAndCloses() {
    Rig rig(UpdateTo(3, 1));
    rig.WriteFirmware(16);
    QStringList barTexts;
    auto* bar = rig.form.findChild<QProgressBar*>("ProgressBar1");
    rig.pump.hook = [&] {
      if (bar->text().contains("noch")) barTexts << bar->text();
    };
    QVERIFY(!rig.Run(Ttransfer_form::ModeUpdate));
    QVERIFY(rig.form.WriteSucceeded());

    // The whole memo, saved by the last operation: read, update, write-back.
    const QStringList log = rig.LogLines("config_write.txt");
    const int updateStart = log.indexOf("Update in Progress ...");
    const int writeBack = log.indexOf("Konfiguration wird zurückgeschrieben, bitte warten...");
    QCOMPARE(log.value(0), QString("Konfiguration wird gelesen..."));
    QCOMPARE(log.value(1), QString("OK"));
    QCOMPARE(log.value(2), QString());
    QVERIFY(updateStart > 2);
    QCOMPARE(log.value(updateStart + 1), QString("Block 0) F1 00 00 0F"));
    QVERIFY(writeBack > updateStart);
    QVERIFY(QRegularExpression("version 3\\.1 \\(\\d+ bytes/s\\) !$")
                .match(log.value(writeBack - 2))
                .hasMatch());
    QCOMPARE(log.value(writeBack - 1), QString());
    QCOMPARE(log.mid(writeBack + 1), QStringList({"OK", ""}));  // the file ends in a newline

    QVERIFY(rig.FileRecord("akt_conf.zpt") == ProgramRecord);
    QVERIFY(rig.FileRecord("dv_conf.zpt") == DeviceRecord);
    QVERIFY(rig.CommandAfter(0x05, 0x71));
    QVERIFY(rig.Stored() == DeviceRecord);
    QVERIFY(rig.link.Config == ProgramRecord);
    QCOMPARE(rig.link.ConfigFileName, std::string("/home/anna/haus.vnx"));
    QVERIFY(rig.host.shown.back() == ProgramRecord);

    QVERIFY(!barTexts.isEmpty());
    const QRegularExpression timeLeft("^\\d+ % – noch \\d+:\\d\\d min$");
    for (const QString& text : barTexts)
      QVERIFY2(timeLeft.match(text).hasMatch(), qPrintable(text));
    rig.Verify();
  }

  // A failed firmware step leaves the window open for its lines even though the device's
  // configuration was written back.
  void updateThatFailsStaysOpen_data() {
    QTest::addColumn<bool>("throwInside");
    QTest::addColumn<QString>("memoText");
    QTest::newRow("device refuses a block") << false << "Firmware Update canceled ...";
    QTest::newRow("fault inside the update")
        << true << "Unerwarteter Fehler beim schreiben der Firmware. (";
  }
  void updateThatFailsStaysOpen() {
    QFETCH(bool, throwInside);
    QFETCH(QString, memoText);
    sim::SimOptions options = UpdateTo(3, 1);
    if (!throwInside) {
      options.fault.on = sim::SimTransfer::Firmware;
      options.fault.block = 2;
      options.fault.status = 3;
    }
    Rig rig(options);
    rig.WriteFirmware(6);
    bool thrown = false;
    if (throwInside) {
      rig.pump.hook = [&] {
        if (!thrown && rig.Memo().contains("Block 1)")) {
          thrown = true;
          throw std::runtime_error("injected");
        }
      };
      rig.prompter.ExpectContaining("Unerwarteter Fehler beim schreiben der Firmware. (",
                                    "Varnex - Error");
    }
    QVERIFY(rig.Run(Ttransfer_form::ModeUpdate));
    QVERIFY(rig.Memo().contains(memoText));
    QVERIFY(rig.form.WriteSucceeded());
    QVERIFY(rig.CommandAfter(0x05, 0x71));
    QVERIFY(rig.Stored() == DeviceRecord);
    QVERIFY(rig.link.Config == ProgramRecord);
    rig.Verify();
  }

  void timeLeft_data() {
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<int>("secondsLeft");  // -1: no estimate
    QTest::newRow("too few blocks") << 12 << QList<int>{1, 2, 3} << QList<int>{0, 300, 600} << -1;
    QTest::newRow("three blocks, rounded up") << 12 << QList<int>{1, 4} << QList<int>{0, 900} << 3;
    QTest::newRow("firmware at 9600 baud") << 256 << QList<int>{0, 10} << QList<int>{0, 2800} << 69;
    QTest::newRow("complete") << 12 << QList<int>{1, 12} << QList<int>{0, 3300} << -1;
    QTest::newRow("a new transfer starts over")
        << 12 << QList<int>{5, 2, 5} << QList<int>{0, 100, 400} << 1;
  }
  void timeLeft() {
    QFETCH(int, maximum);
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, times);
    QFETCH(int, secondsLeft);
    TimeLeftEstimate estimate;
    estimate.Start(maximum);
    std::optional<int> last;
    for (qsizetype i = 0; i < positions.size(); ++i) last = estimate.Update(positions[i], times[i]);
    QCOMPARE(last.value_or(-1), secondsLeft);
  }

  void progressText_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("secondsLeft");
    QTest::addColumn<QString>("text");
    QTest::newRow("no estimate") << 0 << -1 << "45 %";
    QTest::newRow("German") << 0 << 70 << "45 % – noch 1:10 min";
    QTest::newRow("English") << 1 << 5 << "45 % – 0:05 min left";
    QTest::newRow("no table entry") << 3 << 5 << "45 %";
  }
  void progressText() {
    QFETCH(int, language);
    QFETCH(int, secondsLeft);
    QFETCH(QString, text);
    LanguageIndex = static_cast<uint8_t>(language);
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.setValue(45);
    bar.setFormat(ProgressFormat(secondsLeft < 0 ? std::nullopt : std::optional<int>(secondsLeft)));
    QCOMPARE(bar.text(), text);
  }
};

QTEST_MAIN(GuiTransferTest)
#include "gui_transfer_test.moc"
