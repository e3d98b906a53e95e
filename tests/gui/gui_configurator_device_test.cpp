// The configurator's device commands against the simulated device: reading, writing and the
// firmware update through the transfer dialog, the firmware version, the connection check with
// its port search, and the demo mode's simulator.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ConfiguratorRig.h"
#include "DemoDevice.h"
#include "PortMap.h"

using namespace varnex;
using namespace varnex::test;

namespace {

TDeviceConfig Record(const std::string& msn) {
  TDeviceConfig c;
  c.ApplyDefaults();
  c.SetMsn(msn);
  c.SetRingTime(30);
  const TPhoneEntry admin = c.Admin(0);
  admin.SetName("Chef");
  admin.Phone().SetSubscriber("4711");
  admin.SetActive(true);
  return c;
}

const TDeviceConfig DeviceRecord = Record("4711");
const TDeviceConfig ProgramRecord = Record("0815");

// The main window with a file open and its device link on a simulated device holding
// DeviceRecord. Presses "&Beenden" of the transfer dialog when a run leaves it open.
struct DeviceRig {
  explicit DeviceRig(sim::SimOptions options = {})
      : sim(WithStored(std::move(options))), file(files.File("haus.vnx")) {
    WriteRecord(file, ProgramRecord);
    rig.StartShown({Q(file)});
    sim.Attach(rig.form->Link());
    auto* dialog = &rig.form->TransferForm();
    QObject::connect(&poll, &QTimer::timeout, [this, dialog] {
      auto* button = dialog->findChild<QPushButton*>("Button1");
      if (!dialog->isVisible() || !button->isEnabled()) return;
      stayedOpen = true;
      memo = dialog->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
      button->click();
    });
    poll.start(20);
  }

  sim::SimOptions WithStored(sim::SimOptions options) {
    options.configFile = deviceFiles.File("device.zpt");
    WriteRecord(options.configFile, DeviceRecord);
    return options;
  }
  TDeviceConfig Stored() {
    return sim.Device([](sim::SimDevice& d) { return d.StoredConfig(); });
  }
  // A firmware file: 'G' first, its length in bytes 4 to 7 (the simulated device's end mark).
  std::string Firmware(size_t blocks) {
    std::string bytes(blocks * 256, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 3 + 1);
    bytes[0] = 'G';
    for (size_t i = 0; i < 4; ++i)
      bytes[4 + i] = static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
    const std::string path = files.File("update.bin");
    WriteFileAtomic(path, bytes);
    return path;
  }
  TMainForm& Form() { return *rig.form; }

  ConfiguratorRig rig;
  TempDir deviceFiles;
  TempDir files;
  SimFixture sim;
  std::string file;
  QTimer poll;
  bool stayedOpen = false;
  QString memo;
};

constexpr const char* ReadQuestion =
    "Wollen Sie den Varnex auslesen und die aktuellen Software-Einstellungen überschreiben";
constexpr const char* WriteQuestion =
    "Wollen Sie die aktuellen Software-Einstellungen in den Varnex übertragen?";
constexpr const char* SearchQuestion =
    "Sie haben keinen Comport ausgewählt oder der Varnex ist nicht angeschlossen.\n\rSoll der "
    "Varnex automatisch gesucht werden?";

sim::SimOptions UpdateTo(uint8_t major, uint8_t minor) {
  sim::SimOptions options;
  options.versionAfterUpdate = std::make_pair(major, minor);
  return options;
}

}  // namespace

class GuiConfiguratorDeviceTest : public QObject {
  Q_OBJECT

 private:
  ScratchSettings settings_;

 private slots:
  // The read closes the dialog and shows the device's configuration, which counts as changed
  // against the file until it is saved.
  void readShowsTheDevicesConfiguration() {
    DeviceRig d;
    d.rig.prompter.Expect(ReadQuestion, "Varnex", MsgResult::Yes);
    d.rig.Trigger("Konfigurationauslesen1");
    QVERIFY(!d.stayedOpen);
    QVERIFY(d.Form().TransferForm().WriteSucceeded());
    QCOMPARE(d.rig.Find<QLineEdit>("IntEdit21")->text(), QString("4711"));
    QVERIFY(d.Form().Link().Config == DeviceRecord);
    QVERIFY(d.Form().SavedConfig() == ProgramRecord);
    QCOMPARE(d.Form().Link().ConfigFileName, d.file);
    d.rig.prompter.ExpectContaining("wurde geändert.", "Varnex", MsgResult::Cancel);
    QVERIFY(!d.Form().AskSaveChanges());
    d.rig.Verify();
  }

  // Edit, store, write, read back: the device, the file and the window hold the same bytes.
  void writeAndReadBackByteIdentical() {
    DeviceRig d;
    d.rig.Find<QLineEdit>("IntEdit21")->setText("030555");
    d.rig.prompter.Expect(WriteQuestion, "Varnex", MsgResult::Yes);
    d.rig.Trigger("Konfigurationschreiben1");
    QVERIFY(!d.stayedOpen);
    QVERIFY(d.Form().TransferForm().WriteSucceeded());
    const TDeviceConfig written = ReadRecord(d.file);
    QCOMPARE(written.Msn(), std::string("030555"));
    QVERIFY(d.Stored() == written);

    // The read stores the window first, then shows what the device holds.
    d.rig.Find<QLineEdit>("IntEdit21")->setText("9");
    d.rig.prompter.Expect(ReadQuestion, "Varnex", MsgResult::Yes);
    d.rig.Trigger("Konfigurationauslesen1");
    QCOMPARE(ReadRecord(d.file).Msn(), std::string("9"));
    QVERIFY(!d.stayedOpen);
    QVERIFY(d.Form().Link().Config == written);
    TDeviceConfig window;
    d.Form().WindowToConfig(window);
    QVERIFY(window == written);
    d.rig.Verify();
  }

  // A check that fails, or the user's No, stops the write before anything is stored or sent.
  void writeStopsEarly_data() {
    QTest::addColumn<bool>("emptyMsn");
    QTest::newRow("empty MSN") << true;
    QTest::newRow("No to the question") << false;
  }
  void writeStopsEarly() {
    QFETCH(bool, emptyMsn);
    DeviceRig d;
    d.rig.Find<QLineEdit>("IntEdit21")->setText(emptyMsn ? "" : "1");
    if (emptyMsn)
      d.rig.prompter.Expect("Sie müssen dem Varnex eine MSN zuweisen!", "Varnex v1.1.3");
    else
      d.rig.prompter.Expect(WriteQuestion, "Varnex", MsgResult::No);
    d.rig.Trigger("Konfigurationschreiben1");
    QVERIFY(ReadRecord(d.file) == ProgramRecord);
    QVERIFY(d.sim.Device([](sim::SimDevice& s) { return s.Requests(); }).empty());
    d.rig.Verify();
  }

  void failedWriteStaysOpen() {
    sim::SimOptions options;
    options.fault.on = sim::SimTransfer::ConfigWrite;
    options.fault.block = 3;
    options.fault.status = 5;
    DeviceRig d(options);
    d.rig.prompter.Expect(WriteQuestion, "Varnex", MsgResult::Yes);
    d.rig.Trigger("Konfigurationschreiben1");
    QVERIFY(d.stayedOpen);
    QVERIFY(d.memo.endsWith("Error occured at Block 3"));
    QVERIFY(!d.Form().TransferForm().WriteSucceeded());
    QVERIFY(d.Stored() == DeviceRecord);
    d.rig.Verify();
  }

  // "Daten auf PC speichern und Varnex programmieren" saves first; the program closes only when
  // the device took the configuration, and the dialog keeps the choice for the next time.
  void exitSavesAndPrograms_data() {
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("write fails: stays open") << true;
    QTest::newRow("written: closes") << false;
  }
  void exitSavesAndPrograms() {
    QFETCH(bool, writeFails);
    sim::SimOptions options;
    if (writeFails) {
      options.fault.on = sim::SimTransfer::ConfigWrite;
      options.fault.block = 2;
      options.fault.status = 5;
    }
    DeviceRig d(options);
    d.rig.Find<QLineEdit>("IntEdit21")->setText("030555");
    d.rig.ChooseOnExit(1);
    QCOMPARE(d.Form().close(), !writeFails);
    QCOMPARE(d.stayedOpen, writeFails);
    const TDeviceConfig saved = ReadRecord(d.file);
    QCOMPARE(saved.Msn(), std::string("030555"));
    QCOMPARE(d.Stored() == saved, !writeFails);
    QVERIFY(d.Form().ExitForm().findChild<QRadioButton*>("RadioButton1")->isChecked());
    d.rig.Verify();
  }

  void firmwareUpdateWhoseReadFails() {
    sim::SimOptions options = UpdateTo(3, 1);
    options.noConfig = true;
    DeviceRig d(options);
    d.rig.prompter.ExpectFileDialog(d.Firmware(4));
    d.rig.Trigger("FirmwareUpdate1");
    QCOMPARE(d.rig.prompter.FileDialogs().front().filter,
             std::string("Firmware Binary File|*.bin"));
    QVERIFY(d.stayedOpen);
    QVERIFY(d.memo.contains("Successfully updated firmware"));
    QVERIFY(d.sim.Device([](sim::SimDevice& s) { return s.FirmwareComplete(); }));
    QVERIFY(ReadRecord(d.rig.Tmp() + "akt_conf.zpt") == ProgramRecord);
    QVERIFY(d.Form().Link().Config == ProgramRecord);
    QCOMPARE(d.Form().Link().ConfigFileName, d.file);
    QCOMPARE(d.rig.Find<QLineEdit>("IntEdit21")->text(), QString("0815"));
    d.rig.Verify();
  }

  void firmwareUpdateWritesBackAndCloses() {
    DeviceRig d(UpdateTo(3, 1));
    d.rig.prompter.ExpectFileDialog(d.Firmware(8));
    d.rig.Trigger("FirmwareUpdate1");
    QVERIFY(!d.stayedOpen);
    QVERIFY(d.Form().TransferForm().WriteSucceeded());
    QVERIFY(ReadRecord(d.rig.Tmp() + "akt_conf.zpt") == ProgramRecord);
    QVERIFY(ReadRecord(d.rig.Tmp() + "dv_conf.zpt") == DeviceRecord);
    QVERIFY(d.Stored() == DeviceRecord);
    QVERIFY(d.Form().Link().Config == ProgramRecord);
    QCOMPARE(d.Form().Link().ConfigFileName, d.file);
    QCOMPARE(d.Form().FirmwareFileName(), d.files.File("update.bin"));
    d.rig.Verify();
  }

  void firmwareUpdateDialogCancelled() {
    DeviceRig d;
    d.rig.prompter.ExpectFileDialog(std::nullopt);
    d.rig.Trigger("FirmwareUpdate1");
    QVERIFY(!QFile::exists(Q(d.rig.Tmp() + "akt_conf.zpt")));
    d.rig.Verify();
  }

  void firmwareVersion() {
    DeviceRig d;
    d.rig.prompter.Expect("Firmware Version : 2.5\n\r", "Varnex - Information");
    d.rig.Trigger("FirmwareVersionanzeigen1");
    QCOMPARE(int(d.Form().Link().Version.Minor), 5);
    QVERIFY(!d.Form().Link().Port.IsOpen());
    d.rig.Verify();
  }

  // A device on a call: the user decides whether the call may be broken.
  void busyDevice_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << int(MsgResult::Yes);
    QTest::newRow("No") << int(MsgResult::No);
  }
  void busyDevice() {
    QFETCH(int, answer);
    sim::SimOptions options;
    options.busy = true;
    DeviceRig d(options);
    d.rig.prompter.Expect(
        "Der Varnex führt gerade ein ISDN Telefonat.\n\rSoll die Verbindung ggf. getrennt werden?",
        "Varnex", MsgResult(answer));
    QCOMPARE(d.Form().EnsureConnection(), MsgResult(answer) == MsgResult::Yes);
    d.rig.Verify();
  }

  // Without a port the search is offered; it finds the simulated device among the machine's
  // ports (here: only the port map's).
  void searchWhenNoPort_data() {
    QTest::addColumn<bool>("search");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("connected");
    QTest::newRow("search refused") << false << false << false;
    QTest::newRow("found") << true << false << true;
    QTest::newRow("not found, not repeated") << true << true << false;
  }
  void searchWhenNoPort() {
    QFETCH(bool, search);
    QFETCH(bool, silent);
    QFETCH(bool, connected);
    sim::SimOptions options;
    options.silent = silent;
    DeviceRig d(options);
    TempDir noMachinePorts;
    TComPort& port = d.Form().Link().Port;
    port.DiscoveryRoots = {noMachinePorts.Path(), noMachinePorts.Path()};
    const int com = port.PortNumber;
    port.PortNumber = 0;
    d.rig.prompter.Expect(SearchQuestion, "Varnex - Information",
                          search ? MsgResult::Yes : MsgResult::No);
    if (search && !silent)
      d.rig.prompter.Expect("Varnex gefunden an Com" + std::to_string(com) + "!", "Varnex");
    if (search && silent)
      d.rig.prompter.ExpectContaining("Suche wiederholen ?", "Varnex", MsgResult::No);
    QCOMPARE(d.Form().EnsureConnection(), connected);
    QCOMPARE(int(port.PortNumber), connected ? com : 0);
    QCOMPARE(QFile::exists(Q(d.rig.Tmp() + "search_vnx.txt")), search);
    d.rig.Verify();
  }

  // The port chosen by hand from the ports found.
  void choosePortByHand() {
    DeviceRig d;
    TempDir noMachinePorts;
    TComPort& port = d.Form().Link().Port;
    port.DiscoveryRoots = {noMachinePorts.Path(), noMachinePorts.Path()};
    const QString name = "COM" + QString::number(port.PortNumber);
    port.PortNumber = 0;
    WhenModal<QDialog>(d.rig.failures, [&](QDialog* dialog) {
      auto* list = dialog->findChild<QComboBox*>("ComboBox1");
      QCOMPARE(list->count(), 1);
      list->setCurrentIndex(0);
      list->setEditText(name);
      dialog->findChild<QPushButton*>("OkButton")->click();
    });
    d.rig.Trigger("ComSchnittstellefestlegen1");
    QCOMPARE("COM" + QString::number(port.PortNumber), name);
    d.rig.Verify();
  }

  // The demo mode's simulator lists itself in its port map, answers there, and leaves the map
  // when it ends.
  void demoDevice() {
    TempDir dir;
    const std::string mapFile = dir.File("demo-ports.conf");
    DemoDevice device;
    std::string why;
    QVERIFY2(device.Start(ProgramPath("varnex_sim"), mapFile, dir.File("demo.zpt"), &why),
             why.c_str());
    const uint8_t com = device.ComNumber();
    QVERIFY(com > 0);
    PortMap map(mapFile);
    QVERIFY(map.Find(com).has_value());
    TRuvolt link;
    link.Port.SetPortMap(&map);
    link.Port.PortNumber = com;
    QCOMPARE(link.Connect(false, false), 1);
    link.Disconnect();
    device.Stop();
    QCOMPARE(int(device.ComNumber()), 0);
    QVERIFY(!PortMap(mapFile).Find(com).has_value());
    DemoDevice missing;
    QVERIFY(!missing.Start(dir.File("no_such_program"), mapFile, dir.File("demo.zpt"), &why));
    QVERIFY(!why.empty());
  }
};

QTEST_MAIN(GuiConfiguratorDeviceTest)
#include "gui_configurator_device_test.moc"
