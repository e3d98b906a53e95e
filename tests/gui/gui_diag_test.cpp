// The diagnostics window against simulated devices and bare lines on pseudo-terminals.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "PortMap.h"
#include "PtyServer.h"
#include "QtHost.h"
#include "TestPaths.h"
#include "misc_functions.h"
#include "zpt_diag_01.h"

using namespace varnex;
using namespace varnex::test;
using Bytes = std::vector<uint8_t>;

namespace {

// Long enough for the receive timer to have ticked at least once.
constexpr int TickWaitMs = 2 * TZptDiagMainForm::ReceiveIntervalMs + 100;

class TestPump : public IUiPump {
 public:
  void ProcessMessages() override { QCoreApplication::processEvents(); }
};

sim::SimOptions Silent() {
  sim::SimOptions o;
  o.silent = true;
  return o;
}

// The window on a machine without serial hardware whose port map lists what the test adds.
struct Rig {
  Rig()
      : map(dir.File("ports.conf")),
        prompter([this](const std::string& m) { failures << Q(m); }),
        host(&prompter, &pump, &settings) {
    std::filesystem::create_directories(dir.File("sys/class/tty"));
    WriteFileAtomic(dir.File("os-release"), "PRETTY_NAME=\"Testix 1\"\n");
    MakeForm();
  }
  // A new window, as at program start.
  void MakeForm() {
    form = std::make_unique<TZptDiagMainForm>(
        DiagSetup{&map, {dir.File("sys"), dir.File("dev")}, {dir.File("os-release")}});
    form->show();
  }
  ~Rig() {
    form.reset();
    for (auto& s : sims) s->Stop();
  }

  sim::PtyServer& AddSim(int number, sim::SimOptions options = {}) {
    sims.push_back(std::make_unique<sim::PtyServer>(std::move(options), false));
    std::string error;
    if (!sims.back()->Start(&error)) failures << Q("simulator: " + error);
    map.Put(number, "sim" + std::to_string(number), sims.back()->TerminalPath(), "Simulator");
    sims.back()->RunInBackground();
    return *sims.back();
  }
  RawLine& AddLine(int number) {
    raw = std::make_unique<RawLine>();
    map.Put(number, "raw", raw->Path(), "test line");
    return *raw;
  }

  template <typename T>
  T* Child(const char* name) const {
    T* child = form->findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
  }
  void Click(const char* button) { Child<QPushButton>(button)->click(); }
  // The user picks an item of the port list.
  void Choose(const QString& item) {
    auto* combo = Child<QComboBox>("ComboBox1");
    const int index = combo->findText(item);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  void Open(const QString& item) {
    Choose(item);
    Click("Button3");
  }
  QStringList Lines() const { return Child<QPlainTextEdit>("Memo1")->toPlainText().split('\n'); }
  QStringList LinesFrom(int first) const { return Lines().mid(first); }
  QStringList Enabled() const {
    QStringList names;
    for (const char* name : {"Button1", "Button2", "ComboBox1", "Button3", "Button6", "Button4",
                             "Button5", "Button8", "Button7"})
      if (Child<QWidget>(name)->isEnabled()) names << name;
    return names;
  }
  bool TimerOn() const { return Child<QTimer>("Timer1")->isActive(); }
  void Shot(const QString& name) const {
    if (!qEnvironmentVariableIsEmpty("VARNEX_SHOTS"))
      form->grab().save(qEnvironmentVariable("VARNEX_SHOTS") + "/" + name + ".png");
  }

  TempDir dir;
  PortMap map;
  QStringList failures;
  ScriptedPrompter prompter;
  TestPump pump;
  MemorySettings settings;
  ScopedHost host;
  std::vector<std::unique_ptr<sim::PtyServer>> sims;
  std::unique_ptr<RawLine> raw;
  std::unique_ptr<TZptDiagMainForm> form;
};

const QStringList ClosedControls = {"Button1", "Button2", "ComboBox1", "Button3"};
const QStringList OpenControls = {"Button2", "Button6", "Button4", "Button5", "Button8", "Button7"};

// The line's text after "<ticks>:", or the line itself when it has no such prefix.
QString AfterTicks(const QString& line) {
  static const QRegularExpression ticks("^\\d+:");
  const auto match = ticks.match(line);
  return match.hasMatch() ? line.mid(match.capturedLength()) : line;
}

}  // namespace

class GuiDiagTest : public QObject {
  Q_OBJECT

 private slots:
  void startsClosedWithEveryPortOffered() {
    Rig rig;
    rig.map.Put(23, "adapter", "/dev/null", "mapped above COM20");
    rig.MakeForm();
    QCOMPARE(rig.form->windowTitle(), QString("Varnex - Diagnose"));
    QCOMPARE(rig.form->size(), QSize(461, 327));
    auto* combo = rig.Child<QComboBox>("ComboBox1");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    QStringList expected{"?"};
    for (int n = 1; n <= 20; ++n) expected << QString("COM%1").arg(n);
    QCOMPARE(items, expected << "COM23");
    QCOMPARE(combo->currentText(), QString("?"));
    QCOMPARE(rig.Lines(), QStringList{""});
    QCOMPARE(rig.Child<QLabel>("Label1")->text(), QString("aktuell : geschlossen"));
    QCOMPARE(rig.Enabled(), (QStringList{"Button1", "Button2", "ComboBox1"}));
    QVERIFY(!rig.TimerOn());

    rig.Choose("?");
    QVERIFY(!rig.Child<QPushButton>("Button3")->isEnabled());
    rig.Choose("COM23");
    QVERIFY(rig.Child<QPushButton>("Button3")->isEnabled());
    rig.Choose("?");
    QVERIFY2(rig.Child<QPushButton>("Button3")->isEnabled(), "never disabled by the list");

    // Every caption fits its control in the window's font.
    for (auto* button : rig.form->findChildren<QPushButton*>()) {
      const QString text = button->text().remove('&');
      QVERIFY2(button->fontMetrics().horizontalAdvance(text) + 10 <= button->width(),
               qPrintable(text));
      for (auto* other : button->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(other == button || !other->geometry().intersects(button->geometry()),
                 qPrintable(text + " overlaps " + other->objectName()));
      QVERIFY(button->parentWidget()->rect().contains(button->geometry()));
    }
    auto* label = rig.Child<QLabel>("Label1");
    QFont bold = label->font();
    bold.setBold(true);
    QVERIFY(QFontMetrics(bold).horizontalAdvance("aktuell : geöffnet") <= label->width());
    QVERIFY(label->geometry().right() < rig.Child<QWidget>("GroupBox1")->width());
    rig.Shot("diag_start");
  }

  void searchFindsTheSimulator() {
    Rig rig;
    rig.AddSim(1, Silent());
    auto& device = rig.AddSim(2);
    rig.Click("Button1");

    const QStringList lines = rig.Lines();
    QVERIFY2(lines.value(0).startsWith("Testix 1 (Kernel "), qPrintable(lines.value(0)));
    QCOMPARE(lines.value(1), QString(""));
    QCOMPARE(lines.value(2), Q("Opened '" + rig.dir.File("sys") + "/class/tty' ..."));
    QVERIFY2(lines.value(3).startsWith("COM1 = /dev/pts/"), qPrintable(lines.value(3)));
    QVERIFY2(lines.value(3).contains(": pseudo-terminal, no sysfs entry, crw"),
             qPrintable(lines.value(3)));
    QVERIFY(lines.value(4).startsWith("COM2 = /dev/pts/"));
    QCOMPARE(lines.value(5), QString(""));
    const int search = static_cast<int>(lines.indexOf(QRegularExpression(".*trying to Connect.*")));
    QVERIFY2(search > 6, "the scan's lines come before the search");
    QStringList tail;
    for (const auto& line : lines.mid(search)) tail << AfterTicks(line);
    QCOMPARE(tail, (QStringList{" trying to Connect Varnex at COM1", "   not connected",
                                " disconnecting Varnex ...", " trying to Connect Varnex at COM2",
                                "Varnex found at COM2", " disconnecting Varnex ...", "",
                                "Varnex connected at COM2", ""}));
    QCOMPARE(rig.Child<QComboBox>("ComboBox1")->currentText(), QString("COM2"));
    QCOMPARE(rig.Enabled(), ClosedControls);
    QVERIFY(!rig.form->Link().Port.IsOpen());
    QCOMPARE(device.WithDevice([](sim::SimDevice& d) { return d.EotCount(); }), 1);
    QVERIFY(!rig.TimerOn());
    QCOMPARE(rig.failures, QStringList());
  }

  void searchWithNothingAnswering() {
    Rig rig;
    rig.AddSim(1, Silent());
    rig.Choose("COM4");
    rig.Click("Button1");
    const QStringList last = rig.Lines().mid(rig.Lines().size() - 4);
    QCOMPARE(AfterTicks(last[0]), QString(" disconnecting Varnex ..."));
    QCOMPARE(last.mid(1), (QStringList{"", "No Varnex connected !", ""}));
    QVERIFY(!rig.Lines().filter(QRegularExpression("^\\d+:   not connected$")).isEmpty());
    QCOMPARE(rig.Child<QComboBox>("ComboBox1")->currentText(), QString("?"));
    QCOMPARE(rig.failures, QStringList());
  }

  void openAndCloseChangeTheState() {
    Rig rig;
    rig.AddLine(3);
    rig.Open("COM3");
    const QStringList lines = rig.Lines();
    QCOMPARE(lines.value(1), QString("öffne Com3..."));
    QCOMPARE(lines.value(2),
             QString("LineStatus: (no modem lines) , raise RTS -> (no modem lines) "));
    QCOMPARE(lines.value(3), QString("OSpeed:     9600"));
    QCOMPARE(lines.value(11), QString("VTIME:      0"));
    QCOMPARE(lines.size(), 1 + 2 + 18 + 1);
    QCOMPARE(lines.last(), QString("öffne Com3...   OK"));
    auto* label = rig.Child<QLabel>("Label1");
    QCOMPARE(label->text(), QString("aktuell : geöffnet"));
    QVERIFY(label->font().bold());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(rig.Enabled(), OpenControls);
    QVERIFY(rig.TimerOn());
    QVERIFY(rig.form->Link().Port.IsOpen());
    rig.Shot("diag_open");

    rig.Click("Button6");
    QCOMPARE(rig.Lines().last(), QString("schliesse Com3...   OK"));
    QCOMPARE(label->text(), QString("aktuell : geschlossen"));
    QVERIFY(!label->font().bold());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(rig.Enabled(), ClosedControls);
    QVERIFY(!rig.TimerOn());
    QVERIFY(!rig.form->Link().Port.IsOpen());
    QCOMPARE(rig.failures, QStringList());
  }

  void receivedBytesBecomeLines_data() {
    QTest::addColumn<QList<QByteArray>>("ticks");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one line") << QList<QByteArray>{"AB\r\n"} << QStringList{"AB"};
    QTest::newRow("split over two ticks") << QList<QByteArray>{"A", "B\r\n"} << QStringList{"AB"};
    QTest::newRow("ACK inside a line")
        << QList<QByteArray>{"A\x06", "B\r\n"} << QStringList{"Received ACK", "AB"};
    QTest::newRow("NAK") << QList<QByteArray>{"\x15"} << QStringList{"Received NAK"};
    QTest::newRow("no line end yet") << QList<QByteArray>{"AB"} << QStringList{};
    QTest::newRow("two lines, bare LF") << QList<QByteArray>{"1\n2\r\n"} << QStringList{"1", "2"};
    QTest::newRow("Windows-1252") << QList<QByteArray>{"Gr\xfc\xdf\n"} << QStringList{"Grüß"};
    QTest::newRow("more than 1023 bytes in one tick")
        << QList<QByteArray>{QByteArray(1500, 'x') + "\n"} << QStringList{QString(1500, 'x')};
  }
  void receivedBytesBecomeLines() {
    QFETCH(QList<QByteArray>, ticks);
    QFETCH(QStringList, lines);
    Rig rig;
    RawLine& line = rig.AddLine(2);
    rig.Open("COM2");
    const int before = static_cast<int>(rig.Lines().size());
    for (const auto& bytes : ticks) {
      line.Send(Bytes(bytes.begin(), bytes.end()));
      QTest::qWait(TickWaitMs);
    }
    QTRY_COMPARE(rig.LinesFrom(before), lines);
  }

  void sendButtonsWriteOneByte_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("line");
    QTest::newRow("ENQ") << "Button4" << 0x05 << "Sende ENQ ...";
    QTest::newRow("END") << "Button5" << 0x04 << "Sende END ...";
    QTest::newRow("logging mode") << "Button7" << 0x6C << "Sende 'l' ...";
  }
  void sendButtonsWriteOneByte() {
    QFETCH(QString, button);
    QFETCH(int, byte);
    QFETCH(QString, line);
    Rig rig;
    RawLine& raw = rig.AddLine(5);
    rig.Open("COM5");
    QCOMPARE(raw.Received(100), Bytes{});
    rig.Click(qPrintable(button));
    QCOMPARE(raw.Received(300), Bytes{static_cast<uint8_t>(byte)});
    QCOMPARE(rig.Lines().last(), line);
  }

  void portHeldByAnotherProgram() {
    Rig rig;
    rig.AddLine(3);
    TComPort other;
    other.SetPortMap(&rig.map);
    other.PortNumber = 3;
    QVERIFY(other.Open());
    rig.Open("COM3");
    const QStringList lines = rig.LinesFrom(1);
    QCOMPARE(lines.mid(0, 2), (QStringList{"öffne Com3...", "öffne Com3...   Error"}));
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[2].contains("von einem anderen Programm benutzt"), qPrintable(lines[2]));
    QCOMPARE(rig.Child<QLabel>("Label1")->text(), QString("aktuell : geschlossen"));
    QCOMPARE(rig.Enabled(), ClosedControls);
    QVERIFY(!rig.TimerOn());
    QCOMPARE(rig.failures, QStringList());
  }

  void refusedLineSettingsLeaveThePortClosed() {
    Rig rig;
    rig.AddLine(3);
    rig.form->Link().Port.Baudrate = 12345;  // no such speed
    rig.prompter.Expect("Could not SetCommState (" + std::to_string(EINVAL) + ") !");
    rig.Open("COM3");
    QCOMPARE(rig.LinesFrom(1), (QStringList{"öffne Com3...", "öffne Com3...   Error"}));
    QVERIFY(!rig.form->Link().Port.IsOpen());
    QCOMPARE(rig.Enabled(), ClosedControls);
    rig.prompter.VerifyAllShown();
    QCOMPARE(rig.failures, QStringList());
  }

  // Search, open, ENQ, version, ENQ again, save: what a user does with the device.
  void userSessionAgainstTheSimulator() {
    Rig rig;
    rig.AddSim(1);
    rig.Click("Button1");
    QCOMPARE(rig.Lines().mid(rig.Lines().size() - 2, 1), QStringList{"Varnex connected at COM1"});
    rig.Click("Button3");
    QCOMPARE(rig.Lines().last(), QString("öffne Com1...   OK"));
    rig.Click("Button4");
    QCOMPARE(rig.Lines().last(), QString("Sende ENQ ..."));
    QTRY_COMPARE(rig.Lines().last(), QString("Received ACK"));

    rig.Click("Button8");
    QCOMPARE(rig.Lines().last(), QString("Actual Firmware-Version : 2.5"));
    QVERIFY2(rig.form->Link().Port.IsOpen(), "the manual session keeps its port");
    QVERIFY(rig.TimerOn());
    QCOMPARE(rig.Enabled(), OpenControls);
    QCOMPARE(rig.Child<QLabel>("Label1")->text(), QString("aktuell : geöffnet"));
    rig.Click("Button4");
    QTRY_COMPARE(rig.Lines().last(), QString("Received ACK"));
    rig.Shot("diag_session");

    const std::string file = rig.dir.File("log.txt");
    rig.prompter.ExpectFileDialog(file);
    rig.Click("Button2");
    const auto dialogs = rig.prompter.FileDialogs();
    QCOMPARE(dialogs.size(), size_t{1});
    QCOMPARE(dialogs[0].fileName, std::string("search_ruvolt.txt"));
    QCOMPARE(dialogs[0].filter, std::string("Textfile|*.txt"));
    QCOMPARE(dialogs[0].defaultExt, std::string("txt"));
    std::string saved;
    QVERIFY(ReadFileBytes(file, saved));
    QCOMPARE(Q(saved), rig.Lines().join('\n') + "\n");

    rig.prompter.ExpectFileDialog(rig.dir.File("no/such/folder/log.txt"));
    rig.prompter.ExpectContaining("konnte nicht gespeichert werden", "Varnex - Error");
    rig.Click("Button2");
    rig.prompter.ExpectFileDialog(std::nullopt);
    rig.Click("Button2");
    rig.prompter.VerifyAllShown();
    QCOMPARE(rig.failures, QStringList());
  }

  void versionQueryFailures_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("box");  // message box text, caption after "|"
    QTest::addColumn<bool>("dumped");  // the query's dump lines and the German failure text
    QTest::newRow("reply one byte long") << "extra byte"
                                         << "" << true;
    QTest::newRow("reply cut short")
        << "cut"
        << "Checksum error while receiving data burst!|receive" << true;
    QTest::newRow("no answer to the wake-up") << "silent"
                                              << "No answer from device !|Connect v24" << false;
  }
  void versionQueryFailures() {
    QFETCH(QString, fault);
    QFETCH(QString, box);
    QFETCH(bool, dumped);
    Rig rig;
    auto& device = rig.AddSim(1);
    rig.Open("COM1");
    device.WithDevice([&](sim::SimDevice& d) {
      d.Options().replyExtraByte = fault == "extra byte";
      d.Options().cutReplyBytes = fault == "cut" ? 2 : 0;
      d.Options().silent = fault == "silent";
    });
    if (!box.isEmpty()) rig.prompter.Expect(S(box.section('|', 0, 0)), S(box.section('|', 1)));
    const int before = static_cast<int>(rig.Lines().size());
    rig.Click("Button8");
    const QStringList added = rig.LinesFrom(before);
    if (dumped) {
      QCOMPARE(added.size(), 3);
      QVERIFY2(added[0].startsWith("got "), qPrintable(added[0]));
      QVERIFY2(added[1].startsWith("0x"), qPrintable(added[1]));
      QCOMPARE(added[2], QString("fehler bei get_version_info!"));
    } else {
      QCOMPARE(added, QStringList());
    }
    QVERIFY2(rig.form->Link().Port.IsOpen(), "the manual session keeps its port");
    QCOMPARE(rig.Enabled(), OpenControls);
    rig.prompter.VerifyAllShown();
    QCOMPARE(rig.failures, QStringList());
  }

  void unpluggedDeviceEndsTheOpenState() {
    Rig rig;
    auto& device = rig.AddSim(1);
    rig.Open("COM1");
    device.HangUp();
    QTRY_COMPARE(rig.Lines().mid(rig.Lines().size() - 2),
                 (QStringList{"Com1: device gone (unplugged?)", "schliesse Com1...   OK"}));
    QCOMPARE(rig.Enabled(), ClosedControls);
    QVERIFY(!rig.TimerOn());
  }
};

QTEST_MAIN(GuiDiagTest)
#include "gui_diag_test.moc"
