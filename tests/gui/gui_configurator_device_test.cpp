// The configurator's device commands against the simulated device: reading, writing and the
// firmware update through the transfer dialog, the firmware version, the connection check with
// its port search, and the demo mode's simulator.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include "AdminForm_Unit.h"
#include "ConfiguratorRig.h"
#include "DemoDevice.h"
#include "PageControl.h"
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

  // From an empty start through the windows alone: both inputs with call lists and messages,
  // switch MSNs, written into the device and read back the same.
  void wholeConfigurationThroughTheWindows() {
    ConfiguratorRig rig;
    rig.CopyPrompts();
    TempDir deviceFiles;
    sim::SimOptions options;
    options.configFile = deviceFiles.File("device.zpt");
    SimFixture sim(options);
    TMainForm& form = rig.StartShown();
    sim.Attach(form.Link());
    auto key = [](QWidget* w, Qt::Key k, int times = 1) {
      w->setFocus();
      for (int i = 0; i < times; ++i) QTest::keyClick(w, k);
    };
    auto tab = [&form](int index) {
      QTabBar* tabs = form.findChild<QTabBar*>();
      QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
      QApplication::processEvents();
    };

    QTest::keyClicks(rig.Find<QLineEdit>("IntEdit21"), "030123");
    tab(TMainForm::PageAdmins);
    QTest::mouseClick(rig.Find<QCheckBox>("CheckBox2"), Qt::LeftButton);
    QTest::keyClicks(rig.Find<QLineEdit>("IntEdit1"), "4711");
    tab(TMainForm::PageInputs);
    QCOMPARE(form.findChild<TPageControl*>("PageControl1")->ActivePageIndex(),
             TMainForm::PageInputs);
    key(rig.Find<QComboBox>("ComboBox1"), Qt::Key_Down);     // Öffner
    key(rig.Find<QComboBox>("ComboBox2"), Qt::Key_Down);     // 5 seconds
    key(rig.Find<QComboBox>("ComboBox5"), Qt::Key_Down);     // output 1
    key(rig.Find<QComboBox>("ComboBox3"), Qt::Key_Down, 2);  // Schliesser
    key(rig.Find<QComboBox>("ComboBox6"), Qt::Key_Down, 3);  // both outputs

    // Call lists: new entries typed into the entry dialog, passes and run-to-end.
    auto callList = [&](const char* button, std::vector<std::pair<const char*, const char*>> people,
                        int passes) {
      WhenModal<QDialog>(rig.failures, [&](QDialog* dialog) {
        for (const auto& [name, number] : people) {
          WhenModal<TAdminForm>(rig.failures, [name, number](TAdminForm* entry) {
            QTest::keyClicks(entry->findChild<QLineEdit*>("Edit1"), name);
            QTest::keyClicks(entry->findChild<QLineEdit*>("IntEdit8"), number);
            QTest::mouseClick(entry->findChild<QPushButton*>("Button1"), Qt::LeftButton);
          });
          QTest::mouseClick(dialog->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        }
        auto* spin = dialog->findChild<QSpinBox*>("SpinEdit1");
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(passes));
        QTest::mouseClick(dialog->findChild<QCheckBox*>("CheckBox1"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("Button4"), Qt::LeftButton);
      });
      QTest::mouseClick(rig.Find<QPushButton>(button), Qt::LeftButton);
    };
    callList("SpeedButton2", {{"Wache", "110"}}, 2);
    callList("SpeedButton4", {{"Nachbar", "5551"}, {"Hausmeister", "5552"}}, 5);

    // Messages: prompts double-clicked in the catalogue tree.
    auto compose = [&](const char* button, std::vector<const char*> first,
                       std::vector<const char*> words) {
      WhenModal<QDialog>(rig.failures, [&](QDialog* dialog) {
        for (const char* command : first) {
          rig.prompter.Expect("Alarm Nachricht komplett löschen ?", "Varnex", MsgResult::Yes);
          for (QAction* action : dialog->findChildren<QAction*>())
            if (action->text() == QString::fromUtf8(command)) action->trigger();
        }
        auto* tree = dialog->findChild<QTreeWidget*>("TreeSrc");
        for (const char* word : words) {
          const auto found = tree->findItems(word, Qt::MatchExactly | Qt::MatchRecursive);
          if (found.isEmpty()) {
            rig.failures << QString("no prompt ") + word;
            continue;
          }
          tree->scrollToItem(found.front());
          QApplication::processEvents();  // the tree scrolls in its delayed layout
          // A widget's double click in QTest is the second click only; the first one selects.
          const QPoint at = tree->visualItemRect(found.front()).center();
          QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
          QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>("BtnOK"), Qt::LeftButton);
      });
      QTest::mouseClick(rig.Find<QPushButton>(button), Qt::LeftButton);
    };
    // Input 1 keeps the default message and gets one more prompt; input 2's is made anew.
    compose("SpeedButton1", {}, {"Alarm"});
    compose("SpeedButton3", {"alle löschen"}, {"Eingang", "zwei", "Alarm"});
    QCOMPARE(rig.Find<QPlainTextEdit>("Memo1")->toPlainText(),
             QString("Alarm Eingang eins Alarm "));
    QCOMPARE(rig.Find<QPlainTextEdit>("Memo2")->toPlainText(), QString("Eingang zwei Alarm "));

    // Switch outputs: output 1 pulses 5000 ms on MSN 21, output 2 goes off on MSN 022.
    tab(TMainForm::PageOutputs);
    WhenModal<QDialog>(rig.failures, [&](QDialog* dialog) {
      QTest::keyClicks(dialog->findChild<QLineEdit*>("IntEdit1"), "21");
      QTest::keyClicks(dialog->findChild<QLineEdit*>("IntEdit2"), "022");
      QTest::mouseClick(dialog->findChild<QRadioButton*>("RadioButton3"), Qt::LeftButton);
      key(dialog->findChild<QComboBox*>("ComboBox2"), Qt::Key_Down, 2);
      QTest::mouseClick(dialog->findChild<QRadioButton*>("RadioButton5"), Qt::LeftButton);
      key(dialog->findChild<QComboBox*>("ComboBox3"), Qt::Key_Down);
      QTest::mouseClick(dialog->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    QTest::mouseClick(rig.Find<QPushButton>("Button4"), Qt::LeftButton);

    const std::string path = rig.files.File("haus.vnx");
    rig.prompter.Expect(WriteQuestion, "Varnex", MsgResult::Yes);
    rig.prompter.ExpectFileDialog(path);
    rig.Trigger("Konfigurationschreiben1");
    QVERIFY(form.TransferForm().WriteSucceeded());
    const TDeviceConfig written = ReadRecord(path);
    QVERIFY(sim.Device([](sim::SimDevice& s) { return s.StoredConfig(); }) == written);

    const TConstAlarmInput in1 = written.Input(0), in2 = written.Input(1);
    QCOMPARE(std::make_tuple(int(in1.Trigger()), int(in1.AlarmDelay()), int(in1.Passes()),
                             int(in1.RunToEnd()), int(written.InputSwitch(0).Outputs())),
             std::make_tuple(1, 5, 2, 1, 1));
    QCOMPARE(std::make_tuple(int(in2.Trigger()), int(in2.AlarmDelay()), int(in2.Passes()),
                             int(in2.RunToEnd()), int(written.InputSwitch(1).Outputs())),
             std::make_tuple(2, 0, 5, 1, 3));
    QCOMPARE(in1.Call(0).Name(), std::string("Wache"));
    QCOMPARE(in1.Call(0).Phone().Country(), std::string("49"));
    QVERIFY(in1.Call(0).Active());
    QCOMPARE(in2.Call(1).Name(), std::string("Hausmeister"));
    QCOMPARE(in2.Call(1).Phone().Subscriber(), std::string("5552"));
    const std::array<uint8_t, 9> message1 = {30, 50, 6, 50, 101, 50, 30, 50, 0};
    QVERIFY(std::equal(message1.begin(), message1.end(), in1.AlarmText()));
    QCOMPARE(written.SwitchMsn(0).Msn(), std::string("21"));
    QCOMPARE(std::make_pair(int(written.SwitchMsn(0).Action()), int(written.SwitchMsn(0).Param())),
             std::make_pair(3, 4));
    QCOMPARE(written.SwitchMsn(1).Msn(), std::string("022"));
    QCOMPARE(std::make_pair(int(written.SwitchMsn(1).Action()), int(written.SwitchMsn(1).Param())),
             std::make_pair(2, 2));

    rig.prompter.Expect(ReadQuestion, "Varnex", MsgResult::Yes);
    rig.Trigger("Konfigurationauslesen1");
    QVERIFY(form.Link().Config == written);
    TDeviceConfig window;
    form.WindowToConfig(window);
    QVERIFY(window == written);
    rig.Verify();
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
