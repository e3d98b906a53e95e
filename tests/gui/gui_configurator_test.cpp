// The configurator's main window: start-up, the record mapping, the page checks, files and
// settings, the administrators page and its entry dialog, and how its windows look.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

#include <cstring>
#include <map>
#include <tuple>
#include <utility>

#include "AdminForm_Unit.h"
#include "ConfiguratorRig.h"
#include "ErrorSound.h"
#include "IntEdit.h"
#include "PageControl.h"
#include "PhoneListGrid.h"
#include "SpinEdit.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

constexpr const char* Caption = "Varnex v1.1.3";

void SetAdmin(TDeviceConfig& c, size_t k, const char* name, const char* country, const char* area,
              const char* number, bool active) {
  const TPhoneEntry e = c.Admin(k);
  e.SetName(name);
  e.Phone().SetCountry(country);
  e.Phone().SetArea(area);
  e.Phone().SetSubscriber(number);
  e.SetActive(active);
}

// Every field the window shows or carries, none at its default.
TDeviceConfig FullRecord() {
  TDeviceConfig c;
  c.ApplyDefaults();
  c.SetMsn("0301234567");
  c.SetPbxMode(true);
  c.SetPbxPrefix("*9");
  c.SetCountryCode("0043");
  c.SetNationalPrefix("9");
  c.SetIntlPrefix("01");
  c.SetFreeLinesOnAlarm(true);
  c.SetPowerFailNotify(true);
  c.SetRingTime(75);
  c.SetAnyCallerAllowed(true);
  c.SetDtmfCode("4711");
  SetAdmin(c, 0, "Anna Müller", "49", "30", "1234", true);
  SetAdmin(c, 1, "Bernd", "43", "1", "999", false);
  const std::array<std::array<uint8_t, 3>, 2> lists = {{{2, 10, 3}, {1, 20, 1}}};
  for (size_t i = 0; i < 2; ++i) {
    const TAlarmInput input = c.Input(i);
    input.SetTrigger(lists[i][0]);
    input.SetAlarmDelay(lists[i][1]);
    input.SetRunToEnd(true);
    input.SetPasses(static_cast<uint8_t>(4 + i));
    input.Call(0).SetName("Wache " + std::to_string(i + 1));
    input.Call(0).Phone().SetSubscriber("110");
    input.Call(0).SetActive(true);
    c.InputSwitch(i).SetOutputs(lists[i][2]);
    c.SwitchMsn(i).SetMsn("55" + std::to_string(i));
    c.SwitchMsn(i).SetAction(3);
    c.SwitchMsn(i).SetParam(4);
  }
  for (size_t b = cfg::ReservedTail.Offset; b < ConfigSize; ++b)
    c.Bytes[b] = static_cast<uint8_t>(b);
  return c;
}

TDeviceConfig Defaults() {
  TDeviceConfig c;
  c.ApplyDefaults();
  return c;
}

TDeviceConfig WithMsn(TDeviceConfig c, const char* msn) {
  c.SetMsn(msn);
  return c;
}

// Clicks a tab as the user does; the page control may refuse.
void ClickTab(TMainForm& form, int index) {
  QTabBar* tabs = form.findChild<TPageControl*>("PageControl1")->TabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
  QApplication::processEvents();
}

int ActivePage(TMainForm& form) {
  return form.findChild<TPageControl*>("PageControl1")->ActivePageIndex();
}

bool Marked(QWidget* w) {
  return w->palette().color(QPalette::Base) == QColor(250, 47, 0);
}

// Fills the entry dialog and presses "&OK" once it is on screen.
void FillAdminDialog(ConfiguratorRig& rig, QString name, QString area, QString number,
                     std::function<void(TAdminForm*)> look = {}) {
  WhenModal<TAdminForm>(rig.failures, [=](TAdminForm* d) {
    if (look) look(d);
    d->findChild<QLineEdit*>("Edit1")->setText(name);
    d->findChild<QLineEdit*>("IntEdit7")->setText(area);
    d->findChild<QLineEdit*>("IntEdit8")->setText(number);
    d->findChild<QPushButton*>("Button1")->click();
  });
}

}  // namespace

class GuiConfiguratorTest : public QObject {
  Q_OBJECT

 private:
  ScratchSettings settings_;

 private slots:
  // --- Start-up ------------------------------------------------------------------------------

  void startUp_data() {
    QTest::addColumn<QStringList>("arguments");  // file keys, or plain words
    QTest::addColumn<QString>("remembered");     // file key in the settings
    QTest::addColumn<QString>("record");         // file key of what Config holds, or "defaults"
    QTest::addColumn<QString>("current");        // file key of ConfigFileName, or ""
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("refused");  // a file was refused with a message
    QTest::addColumn<bool>("nopl");
    QTest::newRow("nothing remembered") << QStringList{} << ""
                                        << "defaults"
                                        << "" << Caption << false << false;
    QTest::newRow("remembered file, as loaded") << QStringList{} << "a"
                                                << "a"
                                                << "a"
                                                << "Varnex v1.1.3 - a.vnx" << false << false;
    QTest::newRow("command-line file keeps its own values")
        << QStringList{"b"} << "a"
        << "b"
        << "b"
        << "Varnex v1.1.3 - b.vnx" << false << false;
    QTest::newRow("a path with blanks, unquoted")
        << QStringList{"spaced1", "spaced2"} << ""
        << "b"
        << "spaced"
        << "Varnex v1.1.3 - my file.vnx" << false << false;
    QTest::newRow("nopl beside a file becomes part of its name")
        << QStringList{"b", "-NoPl"} << "a"
        << "a"
        << "a"
        << "Varnex v1.1.3 - a.vnx" << false << true;
    QTest::newRow("nopl alone") << QStringList{"/nopl"} << ""
                                << "defaults"
                                << "" << Caption << false << true;
    QTest::newRow("wizard file keeps the caption") << QStringList{"wizard"} << ""
                                                   << "b"
                                                   << "wizard" << Caption << false << false;
    QTest::newRow("remembered file deleted") << QStringList{} << "missing"
                                             << "defaults"
                                             << "missing" << Caption << false << false;
    QTest::newRow("command-line file of 3000 bytes") << QStringList{"short"} << "a"
                                                     << "a"
                                                     << "a"
                                                     << "Varnex v1.1.3 - a.vnx" << true << false;
    QTest::newRow("remembered file of 3002 bytes is not kept") << QStringList{} << "long"
                                                               << "defaults"
                                                               << "" << Caption << true << false;
  }
  void startUp() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, remembered);
    QFETCH(QString, record);
    QFETCH(QString, current);
    QFETCH(QString, caption);
    QFETCH(bool, refused);
    QFETCH(bool, nopl);
    ConfiguratorRig rig;
    std::filesystem::create_directories(rig.Tmp());
    const std::map<QString, std::string> paths = {{"a", rig.files.File("a.vnx")},
                                                  {"b", rig.files.File("b.vnx")},
                                                  {"spaced", rig.files.File("my file.vnx")},
                                                  {"wizard", rig.Tmp() + "wizard.zpt"},
                                                  {"missing", rig.files.File("gone.vnx")},
                                                  {"short", rig.files.File("short.vnx")},
                                                  {"long", rig.files.File("long.vnx")}};
    const std::map<QString, TDeviceConfig> records = {{"a", WithMsn(FullRecord(), "111")},
                                                      {"b", WithMsn(FullRecord(), "222")},
                                                      {"defaults", Defaults()}};
    WriteRecord(paths.at("a"), records.at("a"));
    for (const char* key : {"b", "spaced", "wizard"}) WriteRecord(paths.at(key), records.at("b"));
    WriteFileAtomic(paths.at("short"), std::string(3000, '\1'));
    WriteFileAtomic(paths.at("long"), std::string(3002, '\1'));
    QStringList args;
    for (const QString& a : arguments) {
      if (a == "spaced1")
        args << Q(rig.files.File("my"));
      else if (a == "spaced2")
        args << "file.vnx";
      else
        args << (paths.count(a) ? Q(paths.at(a)) : a);
    }
    if (!remembered.isEmpty())
      rig.settings.WriteString(SettingsScope::Application, "ConfigFile", paths.at(remembered));
    if (refused) rig.prompter.ExpectContaining("ist keine Varnex-Konfiguration", "Varnex - Error");

    TMainForm& form = rig.StartShown(args);
    QVERIFY(form.Started());
    QVERIFY(form.Link().Config == records.at(record));
    QVERIFY(form.SavedConfig() == records.at(record));
    QCOMPARE(form.Link().ConfigFileName, current.isEmpty() ? std::string() : paths.at(current));
    QCOMPARE(form.windowTitle(), caption);
    QCOMPARE(form.NoPlausibilityChecks(), nopl);
    QCOMPARE(rig.Find<QLineEdit>("IntEdit21")->text(), Q(records.at(record).Msn()));
    QCOMPARE(ActivePage(form), 0);
    for (const char* hidden : {"Sprache1", "CallDeflection1", "CLIR1"})
      QVERIFY(!rig.Find<QAction>(hidden)->isVisible());
    // A refused file is left as it was.
    QCOMPARE(QFileInfo(Q(paths.at("short"))).size(), 3000);
    QCOMPARE(QFileInfo(Q(paths.at("long"))).size(), 3002);
    rig.Verify();
  }

  void startUpErrors_data() {
    QTest::addColumn<bool>("withIni");
    QTest::addColumn<QString>("iniSetting");
    QTest::addColumn<bool>("homeUnderAFile");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("iniUsed");  // file name below the program folder
    QTest::newRow("standard INI file")
        << true << "" << false << true << ConfiguratorRig::DefaultLanguageIniName;
    QTest::newRow("INI file named in the settings")
        << true << "eigene.ini" << false << true << "eigene.ini";
    QTest::newRow("named INI file missing: the standard one")
        << true << "fehlt.ini" << false << true << ConfiguratorRig::DefaultLanguageIniName;
    QTest::newRow("no INI file ends the program")
        << false << "" << false << false << ConfiguratorRig::DefaultLanguageIniName;
    QTest::newRow("no work folder ends the program")
        << false << "" << true << false << ConfiguratorRig::DefaultLanguageIniName;
  }
  void startUpErrors() {
    QFETCH(bool, withIni);
    QFETCH(QString, iniSetting);
    QFETCH(bool, homeUnderAFile);
    QFETCH(bool, started);
    QFETCH(QString, iniUsed);
    ConfiguratorRig rig(withIni);
    std::string home = rig.home.Path();
    if (homeUnderAFile) {
      WriteFileAtomic(rig.home.File("plain"), "x");
      home = rig.home.File("plain/home/");
      qputenv("VARNEX_HOME", QByteArray::fromStdString(home));
      rig.prompter.Expect(home + "tmp/ could not be created!", "Varnex - Error");
    }
    if (iniSetting == "eigene.ini")
      std::filesystem::copy_file(rig.home.File(ConfiguratorRig::DefaultLanguageIniName),
                                 rig.home.File("eigene.ini"));
    if (!iniSetting.isEmpty())
      rig.settings.WriteString(SettingsScope::Application, "inifile", S(iniSetting));
    const std::string ini = home + S(iniUsed);
    if (!started)
      rig.prompter.Expect("CRITICAL ERROR: IniFile ('" + ini + "') not found!", Caption);
    TMainForm& form = rig.Start();
    QCOMPARE(form.Started(), started);
    QCOMPARE(form.LanguageIniFile(), ini);
    QCOMPARE(SampleCount > 0, true);
    rig.Verify();
  }

  // The switch outputs page lists the program folder's DTMF commands, else the built-in ones.
  void dtmfCommandList_data() {
    QTest::addColumn<bool>("withFile");
    QTest::newRow("from the program folder") << true;
    QTest::newRow("built in") << false;
  }
  void dtmfCommandList() {
    QFETCH(bool, withFile);
    ConfiguratorRig rig;
    std::filesystem::remove(rig.home.File(DtmfCommandsIni));
    if (withFile)
      WriteFileAtomic(rig.home.File(DtmfCommandsIni),
                      "[Kategorien]\r\nA=Eins\r\n[Eins]\r\n*1#=Licht an\r\n");
    TMainForm& form = rig.Start();
    const std::vector<DtmfCommandRow> expected =
        withFile ? std::vector<DtmfCommandRow>{{"*1#", "Licht an"}, {" ", "  "}}
                 : ShippedDtmfCommands();
    QVERIFY(form.DtmfRows() == expected);
    rig.Verify();
  }

  // --- The record and the window -------------------------------------------------------------

  void mappingRoundTrip() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    const TDeviceConfig full = FullRecord();
    form.Link().Config = full;
    form.ConfigToWindow(full);
    QCOMPARE(rig.Find<QLineEdit>("IntEdit21")->text(), QString("0301234567"));
    QVERIFY(rig.Find<QCheckBox>("CheckBox1")->isChecked());
    QCOMPARE(rig.Find<QLineEdit>("Edit1")->text(), QString("*9"));
    QVERIFY(rig.Find<QLineEdit>("Edit1")->isEnabled());
    QCOMPARE(rig.Find<QLineEdit>("IntEdit2")->text(), QString("0043"));
    QCOMPARE(rig.Find<TSpinEdit>("SpinEdit1")->Value(), 75);
    QCOMPARE(rig.Find<QComboBox>("ComboBox1")->currentText(), QString("Schliesser"));
    QCOMPARE(rig.Find<QComboBox>("ComboBox2")->currentText(), QString("nach 10 sek. alarmieren"));
    QCOMPARE(rig.Find<QComboBox>("ComboBox4")->currentText(), QString("nach 20 sek. alarmieren"));
    QCOMPARE(rig.Find<QComboBox>("ComboBox5")->currentText(), QString("Ausgang1+2"));
    QCOMPARE(rig.Find<QLineEdit>("IntEdit1")->text(), QString("4711"));
    QVERIFY(!rig.Find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
    TDeviceConfig back;
    form.WindowToConfig(back);
    for (size_t b = 0; b < ConfigSize; ++b)
      if (back.Bytes[b] != full.Bytes[b])
        QFAIL(qPrintable(
            QString("byte %1: %2 instead of %3").arg(b).arg(back.Bytes[b]).arg(full.Bytes[b])));
    rig.Verify();
  }

  void mappingEdgeValues_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("taken");
    QTest::newRow("ring time 0") << 32 << 0 << 20;
    QTest::newRow("ring time 150") << 32 << 150 << 120;
    QTest::newRow("ring time 19") << 32 << 19 << 20;
    QTest::newRow("delay 7 shows as index 0") << 1166 << 7 << 0;
    QTest::newRow("trigger without an item") << 1809 << 5 << 255;
    QTest::newRow("outputs without an item") << 2453 << 9 << 255;
    QTest::newRow("reserved after the ring time") << 40 << 0xAA << 0;
    QTest::newRow("reserved after the DTMF code") << 1000 << 0xAA << 0;
    QTest::newRow("reserved after the switches") << 2600 << 0xAA << 0;
    QTest::newRow("reserved byte of an alarm switch") << 2454 << 0xAA << 0;
    QTest::newRow("the tail is carried") << 2900 << 0x5A << 0x5A;
    QTest::newRow("switch output action is carried") << 2709 + 16 << 2 << 2;
  }
  void mappingEdgeValues() {
    QFETCH(int, offset);
    QFETCH(int, stored);
    QFETCH(int, taken);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = FullRecord();
    c.Bytes[static_cast<size_t>(offset)] = static_cast<uint8_t>(stored);
    form.Link().Config = c;
    form.ConfigToWindow(c);
    TDeviceConfig back;
    form.WindowToConfig(back);
    QCOMPARE(int(back.Bytes[static_cast<size_t>(offset)]), taken);
    rig.Verify();
  }

  void ringTimeTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("in range") << "75" << 75;
    QTest::newRow("above") << "150" << 120;
    QTest::newRow("below") << "5" << 20;
    QTest::newRow("empty") << "" << 20;
  }
  void ringTimeTyped() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    auto* spin = rig.Find<TSpinEdit>("SpinEdit1");
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, typed);
    TDeviceConfig back;
    form.WindowToConfig(back);
    QCOMPARE(int(back.RingTime()), stored);
    // Leaving the box shows the value it stands for.
    rig.Find<QLineEdit>("IntEdit2")->setFocus();
    QCOMPARE(spin->text(), QString::number(stored));
    rig.Verify();
  }

  void pageChange_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("msn");
    QTest::addColumn<bool>("pbx");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("message");  // empty: the change is allowed
    QTest::addColumn<QString>("marked");
    QTest::newRow("empty MSN") << QStringList{} << "" << false << ""
                               << "Sie müssen dem Varnex eine MSN zuweisen!"
                               << "IntEdit21";
    QTest::newRow("empty MSN with nopl") << QStringList{"-nopl"} << "" << false << ""
                                         << ""
                                         << "";
    QTest::newRow("PBX without prefix")
        << QStringList{} << "4711" << true << ""
        << "Der Nebenstellenbetrieb muss nur zur Amtsholung angegeben werden!"
        << "Edit1";
    QTest::newRow("PBX with a star as prefix") << QStringList{} << "4711" << true << "*"
                                               << ""
                                               << "";
  }
  void pageChange() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, msn);
    QFETCH(bool, pbx);
    QFETCH(QString, prefix);
    QFETCH(QString, message);
    QFETCH(QString, marked);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown(arguments);
    rig.Find<QLineEdit>("IntEdit21")->setText(msn);
    if (pbx) rig.Find<QCheckBox>("CheckBox1")->click();
    QTest::keyClicks(rig.Find<QLineEdit>("Edit1"), prefix);
    if (!message.isEmpty()) rig.prompter.Expect(S(message), Caption);
    ClickTab(form, 1);
    QCOMPARE(ActivePage(form), message.isEmpty() ? 1 : 0);
    if (!marked.isEmpty()) QVERIFY(Marked(rig.Find<QWidget>(qPrintable(marked))));
    if (message.isEmpty()) {
      QCOMPARE(form.Link().Config.PbxPrefix(), S(prefix));
      QCOMPARE(rig.Find<QLabel>("Label23")->text(),
               "Alle Administratoren können bei Anruf auf die Geräterufnummer " + msn);
    }
    rig.Verify();
  }

  // A failed field stays red-orange until a later check passes it.
  void markedFieldIsClearedByALaterPass() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    rig.prompter.Expect("Sie müssen dem Varnex eine MSN zuweisen!", Caption);
    ClickTab(form, 2);
    auto* msn = rig.Find<QLineEdit>("IntEdit21");
    QVERIFY(Marked(msn));
    QCOMPARE(msn->palette().color(QPalette::Text), QColor(Qt::white));
    QTest::keyClicks(msn, "0815");
    ClickTab(form, 2);
    QCOMPARE(ActivePage(form), 2);
    QCOMPARE(msn->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(form.Link().Config.Msn(), std::string("0815"));
    rig.Verify();
  }

  // Leaving the administrators page without anyone allowed to call: OK goes on, Cancel stays.
  // An inactive administrator (red light) does not count.
  void nobodyMayCallWarning_data() {
    QTest::addColumn<bool>("inactiveAdmin");
    QTest::addColumn<bool>("anyCaller");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("page");  // where the user ends up; -1: no warning, page 2
    QTest::newRow("nobody, Cancel") << false << false << int(MsgResult::Cancel) << 1;
    QTest::newRow("inactive administrator, OK") << true << false << int(MsgResult::Ok) << 2;
    QTest::newRow("inactive administrator, Cancel") << true << false << int(MsgResult::Cancel) << 1;
    QTest::newRow("any caller with a code") << true << true << -1 << 2;
  }
  void nobodyMayCallWarning() {
    QFETCH(bool, inactiveAdmin);
    QFETCH(bool, anyCaller);
    QFETCH(int, answer);
    QFETCH(int, page);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "4711");
    if (inactiveAdmin) SetAdmin(c, 0, "Rot", "49", "30", "1", false);
    c.SetAnyCallerAllowed(anyCaller);
    c.SetDtmfCode("123");
    form.Link().Config = c;
    form.ConfigToWindow(c);
    ClickTab(form, 1);
    if (answer >= 0)
      rig.prompter.Expect(
          "Sie haben weder einen Administrator eingetragen, noch sind beliebige "
          "Anrufer zugelassen!\r\nDas Gerät kann somit nicht per Telefon "
          "gesteuert werden!",
          Caption, MsgResult(answer));
    ClickTab(form, 2);
    QCOMPARE(ActivePage(form), page);
    rig.Verify();
  }

  void dtmfCodeOption() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "4711");
    c.SetAnyCallerAllowed(true);
    c.SetDtmfCode("2468");
    form.Link().Config = c;
    form.ConfigToWindow(c);
    auto* option = rig.Find<QCheckBox>("CheckBox2");
    auto* code = rig.Find<QLineEdit>("IntEdit1");
    QVERIFY(code->isEnabled());
    option->click();
    QVERIFY(!code->isEnabled());
    TDeviceConfig back;
    form.WindowToConfig(back);
    QVERIFY(!back.AnyCallerAllowed());
    QCOMPARE(back.DtmfCode(), std::string("2468"));
    // With the option on, an empty code fails the page.
    option->click();
    code->clear();
    ClickTab(form, 1);
    rig.prompter.Expect("Sie haben keinen DTMF Code angegeben!", Caption);
    ClickTab(form, 0);
    QCOMPARE(ActivePage(form), 1);
    QVERIFY(Marked(code));
    rig.Verify();
  }

  void errorSoundThroughTheSoundPlayer() {
    ConfiguratorRig rig;
    rig.StartShown();
    QTest::keyClicks(rig.Find<QLineEdit>("IntEdit21"), "1x");
    QVERIFY(rig.player.History().empty());
    rig.Find<QCheckBox>("CheckBox2")->click();
    QTest::keyClicks(rig.Find<QLineEdit>("IntEdit1"), "2y");
    QCOMPARE(rig.player.History().size(), size_t(1));
    QCOMPARE(rig.player.History().front().path, rig.Tmp() + ErrorSoundFile);
    QVERIFY(!rig.player.History().front().waited);
    std::string wav;
    QVERIFY(ReadFileBytes(rig.Tmp() + ErrorSoundFile, wav));
    QVERIFY(wav == ErrorToneWav());
    rig.Verify();
  }

  // --- Alarm inputs page ------------------------------------------------------------------------

  // "nie" chosen from the keyboard greys the input's controls and empties its summary; its call
  // list and message stay in the record.
  void triggerNeverKeepsTheData() {
    ConfiguratorRig rig;
    TDeviceConfig record = FullRecord();
    const std::array<uint8_t, 6> message = {30, 50, 6, 50, 101, 50};
    std::copy(message.begin(), message.end(), record.Input(0).AlarmText());
    TMainForm& form = rig.StartShown({Q(rig.FileWith("haus.vnx", record))});
    auto* memo = rig.Find<QPlainTextEdit>("Memo1");
    QCOMPARE(memo->toPlainText(), QString("Alarm Eingang eins "));
    QCOMPARE(memo->toolTip(), QString("Alarm Eingang eins "));
    auto* trigger = rig.Find<QComboBox>("ComboBox1");
    trigger->setFocus();
    QTest::keyClick(trigger, Qt::Key_Up);
    QTest::keyClick(trigger, Qt::Key_Up);
    QCOMPARE(trigger->currentText(), QString("nie"));
    for (const char* name : {"ComboBox2", "ComboBox5", "SpeedButton1", "SpeedButton2"})
      QVERIFY2(!rig.Find<QWidget>(name)->isEnabled(), name);
    QVERIFY(rig.Find<QWidget>("SpeedButton3")->isEnabled());
    QCOMPARE(memo->toPlainText(), QString());
    QCOMPARE(memo->toolTip(), QString());
    TDeviceConfig window;
    form.WindowToConfig(window);
    QCOMPARE(int(window.Input(0).Trigger()), 0);
    QVERIFY(std::equal(message.begin(), message.end(), window.Input(0).AlarmText()));
    QCOMPARE(window.Input(0).Call(0).Name(), std::string("Wache 1"));
    rig.Verify();
  }

  // An input set up without active callers or without a message is questioned before a write;
  // Cancel on either question stops the write before its own question.
  void inputChecksBeforeAWrite_data() {
    QTest::addColumn<int>("okAnswers");
    QTest::newRow("Cancel on the callers") << 0;
    QTest::newRow("Cancel on the message") << 1;
    QTest::newRow("both accepted") << 2;
  }
  void inputChecksBeforeAWrite() {
    QFETCH(int, okAnswers);
    ConfiguratorRig rig;
    TDeviceConfig record = FullRecord();
    record.Input(0).Call(0).SetActive(false);
    std::fill_n(record.Input(0).AlarmText(), alarm_input::AlarmTextSize, uint8_t(0));
    const std::string path = rig.FileWith("haus.vnx", record);
    rig.StartShown({Q(path)});
    const std::array<const char*, 2> questions = {
        "Alarmeingang 1 wurde eingerichtet, Sie haben jedoch keine Teilnehmer eingetragen,\r\n"
        "die im Alarmfall benachrichtigt werden sollen!",
        "Alarmeingang 1 wurde eingerichtet, Sie haben jedoch keine Voice-Nachricht definiert,\r\n"
        "die im Alarmfall mitgeteilt werden soll!"};
    for (int q = 0; q <= std::min(okAnswers, 1); ++q)
      rig.prompter.Expect(questions[static_cast<size_t>(q)], Caption,
                          q < okAnswers ? MsgResult::Ok : MsgResult::Cancel);
    if (okAnswers == 2)
      rig.prompter.Expect(
          "Wollen Sie die aktuellen Software-Einstellungen in den Varnex "
          "übertragen?",
          "Varnex", MsgResult::No);
    rig.Trigger("Konfigurationschreiben1");
    QVERIFY(ReadRecord(path) == record);
    rig.Verify();
  }

  // --- Changes, files and settings ----------------------------------------------------------

  void openAndCloseAsksNothing() {
    ConfiguratorRig rig;
    const std::string path = rig.FileWith("haus.vnx", FullRecord());
    TMainForm& form = rig.StartShown({Q(path)});
    QVERIFY(form.AskSaveChanges());
    QVERIFY(form.close());
    QCOMPARE(rig.settings.ReadString(SettingsScope::Application, "ConfigFile").value_or(""), path);
    rig.Verify();
  }

  // Closing with a change asks the exit dialog; 0 stands for Escape.
  void closeAfterAChange_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("fileMsn");
    QTest::newRow("save only") << 2 << true << "999";
    QTest::newRow("close without saving") << 3 << true << "0301234567";
    QTest::newRow("Escape stays open") << 0 << false << "0301234567";
  }
  void closeAfterAChange() {
    QFETCH(int, choice);
    QFETCH(bool, closed);
    QFETCH(QString, fileMsn);
    ConfiguratorRig rig;
    const std::string path = rig.FileWith("haus.vnx", FullRecord());
    TMainForm& form = rig.StartShown({Q(path)});
    rig.Find<QLineEdit>("IntEdit21")->setText("999");
    rig.ChooseOnExit(choice);
    QCOMPARE(form.close(), closed);
    QCOMPARE(ReadRecord(path).Msn(), S(fileMsn));
    QCOMPARE(int(form.ExitForm().ExitChoice), choice);
    QCOMPARE(rig.settings.ReadString(SettingsScope::Application, "ConfigFile").has_value(), closed);
    rig.Verify();
  }

  void exitDialogLooksAndRemembers() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TExitForm& dialog = form.ExitForm();
    QCOMPARE(dialog.windowTitle(), QString("Beenden"));
    QVERIFY(dialog.findChild<QRadioButton*>("RadioButton2")->isChecked());
    // Without a file name the save asks for one; cancelling it keeps the program open.
    rig.ChooseOnExit(2);
    rig.prompter.ExpectFileDialog(std::nullopt);
    QVERIFY(!form.close());
    // Saving and programming without a port and without the offered search: the file is
    // saved, but nothing was programmed, so the program stays open.
    const std::string path = rig.files.File("neu.vnx");
    rig.ChooseOnExit(1);
    rig.prompter.ExpectFileDialog(path);
    rig.prompter.Expect(
        "Sie haben keinen Comport ausgewählt oder der Varnex ist nicht angeschlossen.\n\rSoll "
        "der Varnex automatisch gesucht werden?",
        "Varnex - Information", MsgResult::No);
    form.Link().Port.PortNumber = 0;
    QVERIFY(!form.close());
    QVERIFY(ReadRecord(path) == form.Link().Config);
    // Saved now, so closing asks nothing; the dialog keeps the last choice for the next time.
    QVERIFY(form.close());
    QVERIFY(dialog.findChild<QRadioButton*>("RadioButton1")->isChecked());
    QWidget* focused = nullptr;
    WhenModal<TExitForm>(rig.failures, [&focused](TExitForm* d) {
      focused = QApplication::focusWidget();
      d->reject();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(focused, dialog.findChild<QPushButton*>("Button1"));
    rig.Verify();
  }

  void storeConfig_data() {
    QTest::addColumn<QString>("current");  // "", "file", "wizard", "nofolder"
    QTest::addColumn<QString>("dialog");   // file dialog answer: "", "cancel", "file"
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("caption");
    QTest::newRow("with a file name") << "file"
                                      << "" << true << "Varnex v1.1.3 - neu.vnx";
    QTest::newRow("without: the dialog names it") << ""
                                                  << "file" << true << "Varnex v1.1.3 - neu.vnx";
    QTest::newRow("without: the dialog is cancelled") << ""
                                                      << "cancel" << false << Caption;
    QTest::newRow("wizard work file keeps the caption") << "wizard"
                                                        << "" << true << Caption;
    QTest::newRow("a file that cannot be written") << "nofolder"
                                                   << "" << false << Caption;
  }
  void storeConfig() {
    QFETCH(QString, current);
    QFETCH(QString, dialog);
    QFETCH(bool, stored);
    QFETCH(QString, caption);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    const std::map<QString, std::string> paths = {{"", ""},
                                                  {"file", rig.files.File("neu.vnx")},
                                                  {"wizard", rig.Tmp() + "wizard.vnx"},
                                                  {"nofolder", rig.files.File("fehlt/neu.vnx")}};
    form.Link().ConfigFileName = paths.at(current);
    if (dialog == "cancel") rig.prompter.ExpectFileDialog(std::nullopt);
    if (dialog == "file") rig.prompter.ExpectFileDialog(paths.at("file"));
    if (current == "nofolder")
      rig.prompter.ExpectContaining("Die Konfiguration konnte nicht gespeichert werden",
                                    "Varnex - Error");
    rig.Find<QLineEdit>("IntEdit21")->setText("0815");
    QCOMPARE(form.StoreConfig(), stored);
    QCOMPARE(form.Link().Config.Msn(), std::string("0815"));  // committed in any case
    QCOMPARE(form.windowTitle(), caption);
    QCOMPARE(form.SavedConfig() == form.Link().Config, stored);
    const std::string target =
        current.isEmpty() ? paths.at(dialog == "file" ? "file" : "") : paths.at(current);
    QCOMPARE(form.Link().ConfigFileName, target);
    if (stored) QVERIFY(ReadRecord(target) == form.Link().Config);
    if (!rig.prompter.FileDialogs().empty()) {
      QCOMPARE(rig.prompter.FileDialogs().front().filter, std::string("Varnex Config|*.vnx"));
      QCOMPARE(rig.prompter.FileDialogs().front().defaultExt, std::string("zpt"));
    }
    rig.Verify();
  }

  void saveUnderANewName_data() {
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("cancelled") << true;
    QTest::newRow("named") << false;
  }
  void saveUnderANewName() {
    QFETCH(bool, cancelled);
    ConfiguratorRig rig;
    const std::string old = rig.files.File("alt.vnx"), renamed = rig.files.File("neu.vnx");
    WriteRecord(old, FullRecord());
    TMainForm& form = rig.StartShown({Q(old)});
    rig.prompter.ExpectFileDialog(cancelled ? std::nullopt : std::optional<std::string>(renamed));
    rig.Trigger("Speichernunter1");
    QCOMPARE(form.Link().ConfigFileName, cancelled ? old : renamed);
    QCOMPARE(form.windowTitle(), cancelled ? "Varnex v1.1.3 - alt.vnx" : "Varnex v1.1.3 - neu.vnx");
    QCOMPARE(QFile::exists(Q(renamed)), !cancelled);
    rig.Verify();
  }

  // A file that is not a configuration is not opened, and a later store does not write to it.
  void openRefusesOtherLengths_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("3000 bytes") << 3000;
    QTest::newRow("3002 bytes") << 3002;
    QTest::newRow("empty") << 0;
  }
  void openRefusesOtherLengths() {
    QFETCH(int, length);
    ConfiguratorRig rig;
    const std::string good = rig.files.File("gut.vnx"), bad = rig.files.File("fremd.vnx");
    WriteRecord(good, FullRecord());
    WriteFileAtomic(bad, std::string(static_cast<size_t>(length), '\7'));
    TMainForm& form = rig.StartShown({Q(good)});
    rig.prompter.ExpectFileDialog(bad);
    rig.prompter.ExpectContaining("Die Datei '" + bad + "' ist keine Varnex-Konfiguration",
                                  "Varnex - Error");
    rig.Trigger("Oeffnen1");
    QCOMPARE(form.Link().ConfigFileName, good);
    QVERIFY(form.Link().Config == FullRecord());
    QCOMPARE(form.windowTitle(), QString("Varnex v1.1.3 - gut.vnx"));
    rig.Find<QLineEdit>("IntEdit21")->setText("1");
    rig.Trigger("Speichern1");
    QCOMPARE(QFileInfo(Q(bad)).size(), length);
    QCOMPARE(ReadRecord(good).Msn(), std::string("1"));
    rig.Verify();
  }

  void openAsksToSaveFirst() {
    ConfiguratorRig rig;
    const std::string path = rig.FileWith("anderes.vnx", FullRecord());
    TMainForm& form = rig.StartShown();
    rig.Find<QLineEdit>("IntEdit21")->setText("1");
    rig.prompter.ExpectContaining("wurde geändert.", "Varnex", MsgResult::No);
    rig.prompter.ExpectFileDialog(path);
    rig.Trigger("Oeffnen1");
    QVERIFY(form.Link().Config == FullRecord());
    QVERIFY(form.SavedConfig() == FullRecord());
    QCOMPARE(form.Link().ConfigFileName, path);
    QCOMPARE(form.windowTitle(), QString("Varnex v1.1.3 - anderes.vnx"));
    QCOMPARE(rig.Find<QLineEdit>("IntEdit21")->text(), QString("0301234567"));
    QVERIFY(form.AskSaveChanges());  // nothing changed since
    // Cancel stops before the file dialog.
    rig.Find<QLineEdit>("IntEdit21")->setText("2");
    rig.prompter.ExpectContaining("wurde geändert.", "Varnex", MsgResult::Cancel);
    rig.Trigger("Oeffnen1");
    QCOMPARE(rig.prompter.FileDialogs().size(), size_t(1));
    rig.Verify();
  }

  void newConfiguration() {
    ConfiguratorRig rig;
    const std::string path = rig.FileWith("haus.vnx", FullRecord());
    TMainForm& form = rig.StartShown({Q(path)});
    rig.Find<QLineEdit>("IntEdit21")->setText("777");
    rig.prompter.Expect(
        "Wollen Sie eine neue Konfiguration anlegen und Ihre aktuellen "
        "Einstellungen überschreiben?",
        "Varnex", MsgResult::Yes);
    rig.Trigger("Neu1");
    QCOMPARE(ReadRecord(path).Msn(), std::string("777"));  // stored first
    QVERIFY(form.Link().ConfigFileName.empty());
    QVERIFY(form.Link().Config == Defaults());
    QCOMPARE(rig.Find<QLineEdit>("IntEdit21")->text(), QString());
    QCOMPARE(form.windowTitle(), QString("Varnex v1.1.3 - haus.vnx"));
    rig.Verify();
  }

  void settingsSurviveARestart() {
    ConfiguratorRig rig;
    const std::string path = rig.FileWith("haus.vnx", FullRecord());
    {
      TMainForm& form = rig.StartShown({Q(path)});
      form.Link().Port.PortNumber = 7;
      form.Link().Version.Major = 2;
      form.Link().Version.Minor = 5;
      QVERIFY(form.close());
    }
    QCOMPARE(rig.settings.ReadInt(SettingsScope::Application, "ComPort").value_or(-1), 7);
    QCOMPARE(rig.settings.ReadString(SettingsScope::Application, "InstallPath").value_or(""),
             rig.home.Path());
    rig.form.reset();
    TMainForm& again = rig.StartShown();
    QCOMPARE(int(again.Link().Port.PortNumber), 7);
    QCOMPARE(int(again.Link().Version.Major), 2);
    QCOMPARE(int(again.Link().Version.Minor), 5);
    QCOMPARE(again.Link().ConfigFileName, path);
    QVERIFY(again.Link().Config == FullRecord());
    // The demo's simulated device is not remembered as the user's port.
    again.UseDemoPort(42);
    QCOMPARE(int(again.Link().Port.PortNumber), 42);
    QVERIFY(again.close());
    QCOMPARE(rig.settings.ReadInt(SettingsScope::Application, "ComPort").value_or(-1), 7);
    rig.Verify();
  }

  // --- Menu ------------------------------------------------------------------------------------

  void menuEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");
    const std::vector<std::tuple<const char*, const char*, bool>> entries = {
        {"Neu1", "&Neu", true},
        {"Oeffnen1", "Ö&ffnen", true},
        {"Reporterstellen1", "&Report erstellen", true},
        {"Speichern1", "&Speichern", true},
        {"Speichernunter1", "Speichern &unter    ", true},
        {"Sprache1", "S&prache", false},
        {"Deutsch1", "&Deutsch", true},
        {"Englisch1", "&Englisch", true},
        {"Beenden1", "&Beenden", true},
        {"Konfigurationschreiben1", "Konfiguration &schreiben", true},
        {"Konfigurationauslesen1", "&Konfiguration auslesen", true},
        {"FirmwareVersionanzeigen1", "Firmware &Version anzeigen", true},
        {"FirmwareUpdate1", "Firmware &Update", true},
        {"ComSchnittstellesuchen1", "ComSchnittstelle suche&n", true},
        {"ComSchnittstellefestlegen1", "&ComSchnittstelle festlegen", true},
        {"AlarmLogbuch1", "Alarm &Logbuch", false},
        {"DebugMonitor1", "Debug &Monitor", false},
        {"Hilfe1", "&Hilfe", true},
        {"FAQ1", "&FAQ", false},
        {"InternetUpdates1", "Internet &Updates", true},
        {"CallDeflection1", "Call-Deflection", false},
        {"CLIR1", "CLIR", false},
        {"zustzlicheMSN1", "zusätzliche MSN", true},
        {"Info1", "&Info", true}};
    for (const auto& [name, text, visible] : entries)
      QTest::newRow(name) << QString(name) << QString::fromUtf8(text) << visible;
  }
  void menuEntries() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, visible);
    ConfiguratorRig rig;
    rig.StartShown();
    QAction* action = rig.Find<QAction>(qPrintable(name));
    QVERIFY(action);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->isVisible(), visible);
    rig.Verify();
  }

  void infoAndLanguage() {
    ConfiguratorRig rig;
    rig.StartShown();
    rig.prompter.Expect(Caption, "Varnex - Information");
    rig.Trigger("Info1");
    rig.Trigger("Englisch1");
    QCOMPARE(int(LanguageIndex), 1);
    rig.Trigger("Deutsch1");
    QCOMPARE(int(LanguageIndex), 0);
    rig.Verify();
  }

  // --- Administrators ------------------------------------------------------------------------

  void newAdministratorFromAnEmptyList() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    rig.Find<QLineEdit>("IntEdit21")->setText("1");
    ClickTab(form, 1);
    auto* grid = rig.Find<TPhoneListGrid>("admin_grid");
    QCOMPARE(grid->rowCount(), 1);
    // The country comes from the box on page 0, as it stands.
    rig.Find<QLineEdit>("IntEdit2")->setText("0043");
    // Editing and deleting an empty row do nothing.
    rig.Find<QPushButton>("AdminEdit")->click();
    rig.Find<QPushButton>("AdminDelete")->click();
    FillAdminDialog(rig, "Anna", "", "0123", [&](TAdminForm* d) {
      QCOMPARE(d->windowTitle(), QString("Administrator"));
      QCOMPARE(d->findChild<QLineEdit*>("IntEdit6")->text(), QString("0043"));
      QVERIFY(d->findChild<QCheckBox*>("CheckBox1")->isChecked());
      QCOMPARE(d->findChild<QCheckBox*>("CheckBox1")->text(),
               QString("Zugriff aktuell auf den Varnex aktivieren"));
      QVERIFY(d->findChild<QLineEdit*>("Edit1")->hasFocus());
    });
    rig.Find<QPushButton>("AdminNew")->click();
    const TConstPhoneEntry admin = std::as_const(form.Link().Config).Admin(0);
    QCOMPARE(admin.Name(), std::string("Anna"));
    QCOMPARE(admin.Phone().Country(), std::string("0043"));
    QCOMPARE(admin.Phone().Area(), std::string());
    QCOMPARE(admin.Phone().Subscriber(), std::string("0123"));
    QVERIFY(admin.Active());
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(TRuvolt::CountActive(form.Link().Config.Admins()), 1);
    rig.Verify();
  }

  void deleteTheSecondOfThree_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Yes") << int(MsgResult::Yes) << QStringList{"A", "C"};
    QTest::newRow("No") << int(MsgResult::No) << QStringList{"A", "B", "C"};
  }
  void deleteTheSecondOfThree() {
    QFETCH(int, answer);
    QFETCH(QStringList, names);
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "1");
    SetAdmin(c, 0, "A", "49", "30", "1", true);
    SetAdmin(c, 1, "B", "49", "30", "2", true);
    SetAdmin(c, 2, "C", "49", "30", "3", false);
    form.Link().Config = c;
    form.ConfigToWindow(c);
    ClickTab(form, 1);
    auto* grid = rig.Find<TPhoneListGrid>("admin_grid");
    QCOMPARE(grid->rowCount(), 3);
    grid->SelectRow(1);
    rig.prompter.Expect("Benutzer Nr.2 wirklich entfernen?", "Varnex", MsgResult(answer));
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(grid->rowCount(), names.size());
    for (int k = 0; k < 3; ++k)
      QCOMPARE(Q(std::as_const(form.Link().Config).Admin(static_cast<size_t>(k)).Name()),
               names.value(k));
    rig.Verify();
  }

  void adminListIsCompacted() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "1");
    SetAdmin(c, 0, "A", "", "", "1", true);
    SetAdmin(c, 3, "B", "", "", "2", true);
    SetAdmin(c, 7, "C", "", "", "3", true);
    c.Admin(5).SetActive(true);  // no name: a free entry
    c.Bytes[950] = 0x33;
    form.Link().Config = c;
    form.ConfigToWindow(c);
    QCOMPARE(rig.Find<TPhoneListGrid>("admin_grid")->rowCount(), 3);
    const TDeviceConfig& now = form.Link().Config;
    QCOMPARE(now.Admin(1).Name(), std::string("B"));
    QCOMPARE(now.Admin(2).Name(), std::string("C"));
    for (size_t b = now.Admins() + 3 * phone_entry::Size - now.Data(); b < 1165; ++b)
      if (b != cfg::AnyCallerAllowed && (b < cfg::DtmfCode.Offset || b >= 909))
        QCOMPARE(int(now.Bytes[b]), 0);
    rig.Verify();
  }

  void editAdministratorNeedsNameAndNumber() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "1");
    SetAdmin(c, 0, "A", "43", "1", "555", false);
    form.Link().Config = c;
    form.ConfigToWindow(c);
    ClickTab(form, 1);
    rig.prompter.Expect("Sie haben nicht alle benötigten Felder eingetragen !", "Varnex - Error");
    WhenModal<TAdminForm>(rig.failures, [&](TAdminForm* d) {
      QCOMPARE(d->findChild<QLineEdit*>("IntEdit6")->text(), QString("43"));
      QCOMPARE(d->findChild<QLineEdit*>("IntEdit7")->text(), QString("1"));
      QVERIFY(!d->findChild<QCheckBox*>("CheckBox1")->isChecked());
      auto* number = d->findChild<QLineEdit*>("IntEdit8");
      QCOMPARE(number->text(), QString("555"));
      number->clear();
      d->findChild<QPushButton*>("Button1")->click();
      QVERIFY(d->isVisible());
      QVERIFY(number->hasFocus());
      d->findChild<QPushButton*>("Button2")->click();
    });
    QTest::keyClick(rig.Find<TPhoneListGrid>("admin_grid"), Qt::Key_Return);
    QVERIFY(std::memcmp(form.Link().Config.Admins(), c.Admins(), PhoneListSize) == 0);
    rig.Verify();
  }

  void fullListWritesNothing() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TDeviceConfig c = WithMsn(Defaults(), "1");
    for (size_t k = 0; k < 10; ++k) SetAdmin(c, k, "X", "", "", "1", true);
    form.Link().Config = c;
    form.ConfigToWindow(c);
    ClickTab(form, 1);
    rig.Find<TPhoneListGrid>("admin_grid")->SelectRow(9);
    rig.prompter.Expect(TAdminForm::ListFullText, "Varnex");
    rig.Find<QPushButton>("AdminNew")->click();
    QVERIFY(std::memcmp(form.Link().Config.Admins(), c.Admins(), PhoneListSize) == 0);
    rig.Verify();
  }

  // The call-list modes, which the alarm inputs page uses.
  void callListModes() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    TAdminForm& dialog = form.AdminForm();
    int refreshed = 0;
    dialog.OnCallListStored = [&] { ++refreshed; };
    dialog.EditMode = TAdminForm::ModeNewCall;
    dialog.EntryIndex = 2;
    dialog.InputIndex = 1;
    FillAdminDialog(rig, "Wache", "30", "110", [&](TAdminForm* d) {
      QCOMPARE(d->windowTitle(), QString("Anrufliste Eingang2"));
      QCOMPARE(d->findChild<QCheckBox*>("CheckBox1")->text(),
               QString("Diese Telefonnummer im Alarmfall anrufen"));
      QCOMPARE(d->findChild<QLineEdit*>("IntEdit6")->text(), QString("49"));
    });
    dialog.exec();
    QCOMPARE(refreshed, 1);
    const TConstPhoneEntry entry = std::as_const(form.Link().Config).Input(1).Call(2);
    QCOMPARE(entry.Name(), std::string("Wache"));
    QCOMPARE(entry.Phone().Area(), std::string("30"));
    QVERIFY(entry.Active());
    QCOMPARE(TRuvolt::CountActive(form.Link().Config.Admins()), 0);

    dialog.EditMode = TAdminForm::ModeEditCall;
    WhenModal<TAdminForm>(rig.failures, [&](TAdminForm* d) {
      QCOMPARE(d->findChild<QLineEdit*>("Edit1")->text(), QString("Wache"));
      d->findChild<QPushButton*>("Button2")->click();
    });
    dialog.exec();
    QCOMPARE(refreshed, 1);
    rig.Verify();
  }

  // --- How the windows look ------------------------------------------------------------------

  // Every text of every page, of the entry dialog and of the exit dialog fits its control, and every control lies
  // inside its window. VARNEX_SHOTS=<folder> keeps pictures of them.
  void textsFit() {
    ConfiguratorRig rig;
    TMainForm& form = rig.StartShown();
    QCOMPARE(form.centralWidget()->size(), QSize(487, 314));
    TDeviceConfig full = FullRecord();
    SetAdmin(full, 2, "Dr. Hildegard Schwarzenberger", "49", "30123", "123456789012345", true);
    form.Link().Config = full;
    form.ConfigToWindow(full);
    const QString shots = qEnvironmentVariable("VARNEX_SHOTS");
    auto check = [&](QWidget* window, const QString& name) {
      for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->window() != window) continue;
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!window->rect().contains(inWindow))
          rig.failures << name + ": " + w->objectName() + " " + w->metaObject()->className() +
                              " lies outside the window";
        QString text;
        int needed = w->sizeHint().width();
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->wordWrap() ? QString() : l->text();
        if (auto* b = qobject_cast<QCheckBox*>(w)) text = b->text();
        if (auto* b = qobject_cast<QRadioButton*>(w)) text = b->text();
        if (auto* b = qobject_cast<QPushButton*>(w)) {
          // A push button's size hint has a minimum width of its own; the text needs less.
          text = b->text();
          needed = b->fontMetrics().horizontalAdvance(QString(text).remove('&')) + 8;
        }
        if (!text.isEmpty() && needed > w->width())
          rig.failures << name + ": \"" + text + "\" is cut (" + QString::number(needed) + " > " +
                              QString::number(w->width()) + ")";
      }
      if (!shots.isEmpty()) window->grab().save(shots + "/" + name + ".png");
    };
    auto* pages = rig.Find<TPageControl>("PageControl1");
    QTabBar* tabs = pages->TabBar();
    // The four tabs fit side by side, without scroll arrows.
    int tabsWidth = 0;
    for (int t = 0; t < tabs->count(); ++t) tabsWidth += tabs->tabRect(t).width();
    if (tabsWidth > tabs->width())
      rig.failures << "the tabs need " + QString::number(tabsWidth) + " of " +
                          QString::number(tabs->width()) + " pixels";
    for (int p = 0; p < 4; ++p) {
      pages->SetActivePageIndex(p);
      QApplication::processEvents();
      check(&form, "page" + QString::number(p));
    }
    for (uint8_t mode : {TAdminForm::ModeNewAdmin, TAdminForm::ModeNewCall}) {
      TAdminForm& dialog = form.AdminForm();
      dialog.EditMode = mode;
      dialog.show();
      QApplication::processEvents();
      QCOMPARE(dialog.size(), QSize(297, 142));
      check(&dialog, "admin" + QString::number(mode));
      dialog.hide();
    }
    TExitForm& exitDialog = form.ExitForm();
    exitDialog.show();
    QApplication::processEvents();
    check(&exitDialog, "exit");
    exitDialog.hide();
    rig.Verify();
  }

  // --- Report, exports, help and order form ---------------------------------------------------

  void menuCommandsWriteTheirFilesAndOpenThem() {
    ConfiguratorRig rig;
    std::vector<std::string> opened;
    SetDocumentOpener([&](const std::string& path) {
      opened.push_back(path);
      return true;
    });
    TDeviceConfig config;
    config.ApplyDefaults();
    const std::string file = rig.FileWith("anlage.vnx", config);
    TMainForm& form = rig.Start({Q(file)});

    rig.Trigger("Reporterstellen1");
    QCOMPARE(opened.size(), size_t{1});
    QCOMPARE(Q(opened.back()), Q(GetTempDir() + "Varnex Konfiguration.html"));
    std::string report;
    QVERIFY(ReadFileBytes(opened.back(), report));
    QVERIFY(report.find("anlage.vnx") != std::string::npos);

    rig.Trigger("Hilfe1");
    QCOMPARE(Q(opened.back()), Q(form.HelpDir() + "grundeinstellungen.html"));

    rig.Trigger("HTML1");
    QCOMPARE(Q(opened.back()), Q(GetTempDir() + "dtmf_commands.html"));
    rig.Trigger("ASCII1");
    std::string text;
    QVERIFY(ReadFileBytes(opened.back(), text));
    QVERIFY(text.rfind("Varnex v1.1.3 - DTMF Kommandos\r\n\r\n", 0) == 0);

    // The rig's program home has no templates: the order form says so and opens nothing.
    rig.prompter.ExpectContaining("msn_order_tpl.html' nicht gefunden", "Varnex - Error");
    const size_t before = opened.size();
    rig.Trigger("zustzlicheMSN1");
    QCOMPARE(opened.size(), before);

    SetDocumentOpener({});
    rig.Verify();
  }
};

QTEST_MAIN(GuiConfiguratorTest)
#include "gui_configurator_test.moc"
