// The flash creator's windows: start, the sample list, INI switching, saved port, missing folders,
// playback, uploads against the simulated device, the fix message viewer and the header export.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "../FlashCatalogue.h"
#include "FixMessageExport.h"
#include "Golden.h"
#include "QtHost.h"
#include "SoundPlayer.h"
#include "TestPaths.h"
#include "VoiceCatalogue.h"
#include "misc_functions.h"
#include "varnex_FlashWriter_Unit01.h"
#include "varnex_FlashWriter_Unit02.h"
#include "varnex_FlashWriter_Unit03.h"
#include "varnex_PlayWave_Splachscreen.h"

using namespace varnex;
using namespace varnex::test;

namespace {

// Acts on the next modal window once it is up (the action should close it; it is closed anyway).
void OnNextModal(std::function<void(QWidget&)> act) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [act = std::move(act), poll] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(*modal);
      if (modal->isVisible()) modal->close();
      *poll = nullptr;  // breaks the cycle
    } else {
      QTimer::singleShot(5, *poll);
    }
  };
  QTimer::singleShot(0, *poll);
}

// A catalogue of four samples: one of the fix message category that no message speaks, one
// without A-law file, one without WAV file.
CatalogueSpec MainCatalogue() {
  return {{{1, "Achtung", "achtung", 1, 1000},
           {2, "Alarm", "alarm", 1, -1},
           {101, "eins", "eins", 2, 1500, false},
           {240, "Willkommen", "willkommen", 6, 800}},
          {{"fixmsg_1", "1,101"}}};
}

// One program run: a program folder, the saved settings, the four windows.
struct Rig {
  explicit Rig(const CatalogueSpec& catalogue, bool writeIni = true) {
    qputenv("VARNEX_HOME", QByteArray::fromStdString(home.Path()));
    if (writeIni) WriteCatalogue(home.Path(), catalogue);
  }
  ~Rig() { qunsetenv("VARNEX_HOME"); }

  // Creates the windows (the main window's start runs now) and shows the main window.
  void Start(bool show = true) {
    fixmsg = std::make_unique<Tfixmsg_form>(form2, notice);
    form = std::make_unique<TForm1>(*fixmsg, notice);
    if (show && form->Started()) form->show();
  }
  template <typename T>
  T* Find(const char* name) const {
    return form->findChild<T*>(name);
  }
  QStringList Memo() const { return Find<QPlainTextEdit>("Memo1")->toPlainText().split('\n'); }
  QStringList Column(int column) const {
    QStringList cells;
    auto* grid = Find<QTableWidget>("grid");
    for (int r = 0; r < grid->rowCount(); ++r) cells << grid->item(r, column)->text();
    return cells;
  }
  bool ActionsEnabled() const {
    return Find<QPushButton>("Button1")->isEnabled() && Find<QPushButton>("Button2")->isEnabled() &&
           Find<QPushButton>("Button3")->isEnabled();
  }
  QString Folder(const char* sub) const { return Q(home.Path() + sub); }
  void Verify() {
    prompter.VerifyAllShown();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  TempDir home;
  QStringList failures;
  ScriptedPrompter prompter{[this](const std::string& m) { failures << Q(m); }};
  QtPump pump;
  QSettingsStore settings;
  ScopedHost host{&prompter, &pump, &settings};
  RecordingSoundPlayer player;
  ScopedSoundPlayer sound{&player};
  Tsound_splash_form notice;
  TForm2 form2;
  std::unique_ptr<Tfixmsg_form> fixmsg;
  std::unique_ptr<TForm1> form;
};

// The simulated device as COM<number> of a private map; a port scan of the machine finds nothing.
struct Device {
  explicit Device(Rig& rig, int number, sim::SimOptions options = {}) : sim(std::move(options)) {
    sim.Map().Put(number, "varnex_sim:flash", sim.Server().TerminalPath(), "simulated device");
    TComPort& port = rig.form->Link().Port;
    port.SetPortMap(&sim.Map());
    port.DiscoveryRoots = {noPorts.Path(), noPorts.Path()};
  }
  std::vector<uint8_t> Received() {
    return sim.Device([](sim::SimDevice& d) { return d.FlashImage(); });
  }
  int Prepares() {
    int count = 0;
    for (const auto& r : sim.Device([](sim::SimDevice& d) { return d.Requests(); }))
      count += !r.empty() && r[0] == 0x60;
    return count;
  }

  TempDir noPorts;
  SimFixture sim;
};

// The buttons and labels of a window whose text does not fit them.
QStringList CutTexts(QWidget& window) {
  QStringList cut;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text().remove('&');
    if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
    if (!text.isEmpty() && w->isVisible() && w->sizeHint().width() > w->width())
      cut << w->objectName() + ": " + text;
  }
  return cut;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::string bytes;
  ReadFileBytes(path, bytes);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

class GuiFlashCreatorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(settingsDir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
  }
  void init() { QSettings("Brelmo", "Varnex").clear(); }

  void startEndsWithoutItsCatalogue_data() {
    QTest::addColumn<bool>("writeIni");
    QTest::addColumn<QString>("message");
    QTest::newRow("INI missing") << false
                                 << "INI-File missing: \r\n$varnex_sprache_standard.ini not found!";
    QTest::newRow("INI broken") << true << "Syntax Error in INI File : 'Alarm' used twice!";
  }
  void startEndsWithoutItsCatalogue() {
    QFETCH(bool, writeIni);
    QFETCH(QString, message);
    CatalogueSpec catalogue = MainCatalogue();
    catalogue.samples.push_back({3, "Alarm", "alarm2"});
    Rig rig(catalogue, writeIni);
    rig.prompter.Expect(S(message.replace("$", Q(rig.home.Path()))),
                        writeIni ? "Varnex" : "Varnex - Error");
    rig.Start();
    QVERIFY(!rig.form->Started());
    QVERIFY(!rig.form->isVisible());
    rig.Verify();
  }

  void listsSamplesWithStatusWarningsAndCapacity() {
    Rig rig(MainCatalogue());
    rig.Start();
    QCOMPARE(rig.form->windowTitle(), QString("Varnex Flash Creator v1.0.7"));
    QCOMPARE(rig.Column(0), QStringList({"1", "2", "101", "240"}));
    QCOMPARE(rig.Column(1), QStringList({"Achtung", "Alarm", "eins", "Willkommen"}));
    QCOMPARE(rig.Column(2), QStringList({"Meldungen", "Meldungen", "Zahlen", "Fixnachrichten"}));
    QCOMPARE(rig.Column(3), QStringList({"achtung.al", "alarm.al", "eins.al", "willkommen.al"}));
    QCOMPARE(rig.Column(4), QStringList({"OK", "", "OK", "OK"}));
    const QStringList listing = {
        "WARNING: sample 240 ist definiert in Kategorie Fixnachrichten, wird aber nicht verwendet!",
        "WARNING: " + rig.Folder("tmp/alaw/") + "alarm.al not found, file skipped !",
        "Info: 4 A-ALaw Samples verbrauchen 3300 bytes von 983040 (0%)",
        "Info: 1 Fixnachrichten (Laenge: 3) verbrauchen 5 bytes von 4092 (0%)"};
    QCOMPARE(rig.Memo(), listing);
    QCOMPARE(rig.Find<QLabel>("Label1")->text(), QString("A-Law FileSize : 1000 bytes"));
    QVERIFY(rig.ActionsEnabled());

    // The columns share the grid's width as designed.
    auto* grid = rig.Find<QTableWidget>("grid");
    QCOMPARE(grid->columnWidth(2), qRound(grid->viewport()->width() * 0.30));
    QCOMPARE(CutTexts(*rig.form), QStringList());
    QVERIFY(rig.form->grab().save(QDir::temp().filePath("varnex_flash_creator.png")));

    // Every listing warns again.
    rig.form->hide();
    rig.form->show();
    QCOMPARE(rig.Memo(), listing + listing);
    rig.Verify();
  }

  void otherIniFileIsListedAndLoaded() {
    Rig rig(MainCatalogue());
    WriteCatalogue(rig.home.Path(), {{{7, "Sieben", "eins", 2, 1500}}, {{"fixmsg_9", "7"}}},
                   "zweite.ini");
    WriteFileAtomic(rig.home.File("notiz.txt"), "no INI");
    rig.Start();
    auto* box = rig.Find<QComboBox>("ComboBox2");
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QString("varnex_sprache_standard.ini"));
    QCOMPARE(box->itemText(1), QString("zweite.ini"));

    box->setCurrentIndex(1);
    QCOMPARE(rig.Memo(),
             QStringList({"Reading zweite.ini...", "",
                          "Info: 1 A-ALaw Samples verbrauchen 1500 bytes von 983040 (0%)",
                          "Info: 1 Fixnachrichten (Laenge: 2) verbrauchen 4 bytes von 4092 (0%)"}));
    QCOMPARE(rig.Column(1), QStringList({"Sieben"}));
    QCOMPARE(SampleCount, 1);

    box->setCurrentIndex(0);
    QCOMPARE(rig.Memo().first(), QString("Reading varnex_sprache_standard.ini..."));
    QCOMPARE(rig.Column(0), QStringList({"1", "2", "101", "240"}));
    rig.Verify();
  }

  void savedPortIsPreselected_data() {
    QTest::addColumn<QVariant>("saved");
    QTest::addColumn<QString>("shown");
    QTest::newRow("COM3") << QVariant(3) << "COM3";
    QTest::newRow("7 is not listed") << QVariant(7) << "unknown";
    QTest::newRow("nothing saved") << QVariant() << "unknown";
  }
  void savedPortIsPreselected() {
    QFETCH(QVariant, saved);
    QFETCH(QString, shown);
    {
      QSettings s("Brelmo", "Varnex");
      if (saved.isValid()) s.setValue("ComPort", saved);
      s.setValue("ConfigFile", "/home/anna/haus.vnx");
      s.setValue("firmware_major", 2);
      s.setValue("firmware_minor", 7);
    }
    const QString settingsFile = QSettings("Brelmo", "Varnex").fileName();
    std::string before;
    ReadFileBytes(S(settingsFile), before);

    Rig rig(MainCatalogue());
    rig.Start();
    QCOMPARE(rig.Find<QComboBox>("ComboBox1")->currentText(), shown);
    QCOMPARE(rig.form->Link().ConfigFileName, std::string("/home/anna/haus.vnx"));
    QCOMPARE(rig.form->Link().Version.Major, uint8_t{2});
    QCOMPARE(rig.form->Link().Version.Minor, uint8_t{7});
    rig.form.reset();
    std::string after;
    ReadFileBytes(S(settingsFile), after);
    QVERIFY2(before == after, "the configurator's settings were written");
    rig.Verify();
  }

  void missingFolderDisablesBuildAndUpload() {
    Rig rig(MainCatalogue());
    std::filesystem::remove_all(rig.home.File("tmp/wav"));
    std::filesystem::remove_all(rig.home.File("tmp/flash"));
    rig.Start();
    QCOMPARE(rig.Memo(), QStringList({"ERROR : The following Directories could not be found :",
                                      "  '" + rig.Folder("tmp/wav/") + "'",
                                      "  '" + rig.Folder("tmp/flash/") + "'"}));
    QVERIFY(!rig.Find<QPushButton>("Button1")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("Button2")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("Button3")->isEnabled());
    QVERIFY(!rig.Find<QToolButton>("SpeedButton1")->isEnabled());
    QCOMPARE(rig.Find<QTableWidget>("grid")->rowCount(), 0);

    // The folders coming back later does not enable the actions again.
    std::filesystem::create_directories(rig.home.File("tmp/wav"));
    std::filesystem::create_directories(rig.home.File("tmp/flash"));
    WriteCatalogue(rig.home.Path(), MainCatalogue(), "zweite.ini");
    rig.Find<QComboBox>("ComboBox2")->addItem("zweite.ini");
    rig.Find<QComboBox>("ComboBox2")->setCurrentIndex(1);
    QCOMPARE(rig.Find<QTableWidget>("grid")->rowCount(), 4);
    QVERIFY(!rig.Find<QPushButton>("Button2")->isEnabled());
    rig.Verify();
  }

  void rowSelectionAndPlayWave() {
    Rig rig(MainCatalogue());
    rig.Start();
    auto* grid = rig.Find<QTableWidget>("grid");
    auto* play = rig.Find<QToolButton>("SpeedButton1");
    auto* size = rig.Find<QLabel>("Label1");

    grid->setCurrentCell(2, 1);  // "eins": no WAV file
    QVERIFY(!play->isEnabled());
    QCOMPARE(size->text(), QString("A-Law FileSize : 1500 bytes"));
    grid->setCurrentCell(1, 1);  // "Alarm": no A-law file
    QVERIFY(play->isEnabled());
    QCOMPARE(size->text(), QString("A-Law FileSize : 0 bytes"));

    bool noticeShown = false;
    rig.player.onPlay = [&](const RecordingSoundPlayer::Played&) {
      noticeShown = rig.notice.isVisible();
    };
    play->click();
    const std::vector<RecordingSoundPlayer::Played> played = {
        {rig.home.File("tmp/wav/alarm.wav"), true}};
    QVERIFY(rig.player.History() == played);
    QVERIFY(noticeShown);
    QVERIFY(rig.notice.PlaybackDone);
    rig.Verify();
  }

  // Build, then upload to the simulated device on COM3; "Firmware nochmal schreiben ?" answered
  // as listed; the automatic run never opens the file dialog.
  void uploadArrivesIdentical_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QList<int>>("answers");  // 1 = Yes, 0 = No
    QTest::newRow("once") << false << QList<int>{0};
    QTest::newRow("again on Yes") << false << QList<int>{1, 0};
    QTest::newRow("automatic run") << true << QList<int>{0};
  }
  void uploadArrivesIdentical() {
    QFETCH(bool, automatic);
    QFETCH(QList<int>, answers);
    QSettings("Brelmo", "Varnex").setValue("ComPort", 3);
    Rig rig(MainCatalogue());
    rig.Start();
    Device device(rig, 3);
    for (int answer : answers)
      rig.prompter.Expect("Firmware nochmal schreiben ?", "Firmware update",
                          answer ? MsgResult::Yes : MsgResult::No);
    // Looks at the window while the upload keeps it served.
    QStringList progressTexts;
    bool actionsOffMeanwhile = true;
    QTimer look;
    look.setInterval(1);
    bool closeRefused = false;
    connect(&look, &QTimer::timeout, [&] {
      if (rig.Find<QProgressBar>("ProgressBar1")->value() == 0) return;
      progressTexts << rig.Find<QProgressBar>("ProgressBar1")->text();
      auto* grid = rig.Find<QTableWidget>("grid");
      grid->setCurrentCell((grid->currentRow() + 1) % grid->rowCount(), 0);
      actionsOffMeanwhile = actionsOffMeanwhile && !rig.Find<QPushButton>("Button1")->isEnabled() &&
                            !rig.Find<QToolButton>("SpeedButton1")->isEnabled() &&
                            !rig.Find<QPushButton>("Button5")->isEnabled();
      if (!closeRefused) closeRefused = !rig.form->close() && rig.form->isVisible();
      if (progressTexts.size() == 40)
        rig.form->grab().save(QDir::temp().filePath("varnex_flash_creator_upload.png"));
    });
    look.start();
    auto* browse = rig.Find<QCheckBox>("CheckBox1");
    if (automatic) {
      browse->setChecked(true);
      rig.Find<QPushButton>("Button3")->click();
      QVERIFY(!browse->isChecked());
    } else {
      rig.Find<QPushButton>("Button2")->click();
      rig.Find<QPushButton>("Button1")->click();
    }
    look.stop();

    const std::string image = rig.home.File("tmp/flash/flash.bin");
    QCOMPARE(FileBytes(image).size(), size_t{65536 + 3300});
    QVERIFY(device.Received() == FileBytes(image));
    QCOMPARE(device.Prepares(), static_cast<int>(answers.size()));
    QVERIFY(!rig.Memo().filter("Successfully updated FlashFile (").isEmpty());
    QVERIFY(actionsOffMeanwhile);
    QVERIFY(closeRefused);
    QVERIFY(rig.ActionsEnabled());
    QVERIFY(rig.Find<QPushButton>("Button5")->isEnabled());
    rig.Find<QTableWidget>("grid")->setCurrentCell(0, 0);
    QVERIFY(rig.Find<QToolButton>("SpeedButton1")->isEnabled());
    QCOMPARE(rig.Find<QProgressBar>("ProgressBar1")->value(), 0);
    QVERIFY2(progressTexts.filter(QRegularExpression("^\\d+ % – noch \\d+:\\d\\d min$")).size() > 0,
             qPrintable(progressTexts.join(" | ")));
    QVERIFY(std::filesystem::exists(rig.home.File("flash_write.txt")));
    QVERIFY(rig.prompter.FileDialogs().empty());
    rig.Verify();
  }

  void refusedBlockStopsTheUpload() {
    QSettings("Brelmo", "Varnex").setValue("ComPort", 2);
    Rig rig(MainCatalogue());
    rig.Start();
    sim::SimOptions options;
    options.fault.on = sim::SimTransfer::Flash;
    options.fault.block = 2;
    options.fault.status = 3;
    Device device(rig, 2, options);
    rig.Find<QPushButton>("Button2")->click();
    rig.Find<QPushButton>("Button1")->click();
    const QStringList memo = rig.Memo();
    QCOMPARE(memo.last(), QString("Error writing Flash file !"));
    QVERIFY(
        memo.filter(QRegularExpression("^Block 2 NOT written : 0xE1 0x02 0x00 0x03 0x[0-9A-F]{2}$"))
            .size() == 1);
    QVERIFY(memo.filter(QRegularExpression("^Error writing Block 2\\) .+")).size() == 1);
    QVERIFY(rig.ActionsEnabled());
    rig.Verify();  // no repeat question
  }

  void unknownPortAsksAndCancelTriesCom1() {
    Rig rig(MainCatalogue());
    rig.Start();
    Device device(rig, 1);
    rig.Find<QPushButton>("Button2")->click();
    rig.prompter.Expect("Firmware nochmal schreiben ?", "Firmware update", MsgResult::No);
    QString dialogTitle;
    OnNextModal([&](QWidget& dialog) {
      dialogTitle = dialog.windowTitle();
      dialog.close();
    });
    rig.Find<QPushButton>("Button1")->click();
    QCOMPARE(dialogTitle, QString("Select ComPort"));
    QCOMPARE(rig.form->Link().Port.PortNumber, uint8_t{1});
    QVERIFY(device.Received() == FileBytes(rig.home.File("tmp/flash/flash.bin")));
    rig.Verify();
  }

  // What the upload makes of the file dialog's answer.
  void uploadFileChoices_data() {
    QTest::addColumn<bool>("browse");
    QTest::addColumn<QString>("chosen");  // "-": cancelled; $ = the program folder
    QTest::addColumn<QString>("line");    // the log's last line after the upload, or a message box
    QTest::newRow("no image, cancelled") << false << "-"
                                         << "";
    QTest::newRow("missing file") << true << "$weg.bin"
                                  << "ERROR : $weg.bin not found!";
    QTest::newRow("empty file") << true << "$leer.bin"
                                << "box:Wrong FileSize!";
    QTest::newRow("a folder") << true << "$tmp"
                              << "box:Wrong FileSize!";
  }
  void uploadFileChoices() {
    QFETCH(bool, browse);
    QFETCH(QString, chosen);
    QFETCH(QString, line);
    QSettings("Brelmo", "Varnex").setValue("ComPort", 1);
    Rig rig(MainCatalogue());
    rig.Start();
    Device device(rig, 1);
    WriteFileAtomic(rig.home.File("leer.bin"), "");
    if (browse) rig.Find<QPushButton>("Button2")->click();
    rig.Find<QCheckBox>("CheckBox1")->setChecked(browse);
    const QString home = Q(rig.home.Path());
    rig.prompter.ExpectFileDialog(chosen == "-" ? std::nullopt
                                                : std::optional(S(chosen.replace("$", home))));
    if (line.startsWith("box:")) rig.prompter.Expect(S(line.mid(4)), "Varnex - Error");
    const QStringList before = rig.Memo();
    rig.Find<QPushButton>("Button1")->click();
    const auto dialog = rig.prompter.FileDialogs().at(0);
    QCOMPARE(Q(dialog.initialDir), rig.Folder("tmp/flash/"));
    QCOMPARE(Q(dialog.fileName), QString("flash.bin"));
    QCOMPARE(Q(dialog.filter), QString("Firmware Binary File|*.bin"));
    if (line.isEmpty() || line.startsWith("box:")) {
      QCOMPARE(rig.Memo(), before);
    } else {
      QCOMPARE(rig.Memo().last(), line.replace("$", home));
    }
    QCOMPARE(device.Prepares(), 0);
    QVERIFY(rig.ActionsEnabled());
    rig.Verify();
  }

  void viewerShowsWordsCArrayAndPlays() {
    Rig rig(ViewerCatalogue());
    rig.Start();
    Tfixmsg_form& viewer = *rig.fixmsg;
    auto* list = viewer.findChild<QComboBox*>("ComboBox2");
    auto* play = viewer.findChild<QToolButton*>("SpeedButton1");
    auto* words = viewer.findChild<QPlainTextEdit*>("Memo1");
    auto* array = viewer.findChild<QPlainTextEdit*>("Memo2");

    bool listed = false;
    OnNextModal([&](QWidget& window) {
      QCOMPARE(&window, static_cast<QWidget*>(&viewer));
      listed = true;
      QStringList items;
      for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
      QCOMPARE(items,
               QStringList({"fixnachricht_1", "fixnachricht_2", "fixnachricht_10", "fixnachricht_4",
                            "fixnachricht_12345", "fixnachricht_7", "fixnachricht_8"}));
      QCOMPARE(list->currentIndex(), -1);
      QCOMPARE(list->placeholderText(), QString("Bitte wählen..."));
      QVERIFY(!play->isEnabled());
    });
    rig.Find<QPushButton>("Button5")->click();
    QVERIFY(listed);

    viewer.show();
    list->setCurrentIndex(0);
    QCOMPARE(viewer.SelectedFixMessage, uint16_t{1});
    QCOMPARE(words->toPlainText(), QString("Willkommen \nCode eingeben"));
    QCOMPARE(array->toPlainText(),
             QString("const \n  unsigned char fixnachricht_1[4] = {240, 51, 241, 0};"));
    QCOMPARE(viewer.findChild<QLabel*>("Label1")->text(), QString("FixNachricht 1"));
    QCOMPARE(viewer.findChild<QLabel*>("Label2")->text(), QString("C-Syntax 'fixnachricht_1'"));
    QVERIFY(play->isEnabled());
    QCOMPARE(CutTexts(viewer), QStringList());
    QVERIFY(viewer.grab().save(QDir::temp().filePath("varnex_fixmsg_form.png")));

    play->click();  // 51 has no WAV file: skipped
    const std::vector<RecordingSoundPlayer::Played> played = {
        {rig.home.File("tmp/wav/willkommen.wav"), true}, {rig.home.File("tmp/wav/code.wav"), true}};
    QVERIFY(rig.player.History() == played);
    QVERIFY(play->isEnabled());

    // Shown again: the words are gone, the C text and the labels stay.
    viewer.hide();
    viewer.show();
    QVERIFY(words->toPlainText().isEmpty());
    QCOMPARE(list->currentIndex(), -1);
    QVERIFY(array->toPlainText().contains("fixnachricht_1[4]"));
    viewer.hide();
    rig.Verify();
  }

  void headerExportIsSavedWithCrLf() {
    Rig rig(ViewerCatalogue());
    rig.Start();
    const std::string saved = rig.home.File("export/fixnachrichten.h");
    std::filesystem::create_directories(rig.home.File("export"));
    rig.prompter.ExpectFileDialog(saved);
    bool shown = false;
    OnNextModal([&](QWidget& window) {
      shown = true;
      QCOMPARE(window.windowTitle(), QString("fixnachrichten.h"));
      QVERIFY(window.grab().save(QDir::temp().filePath("varnex_fixnachrichten_h.png")));
      window.findChild<QPushButton*>("Button1")->click();
    });
    rig.fixmsg->findChild<QPushButton*>("Button1")->click();
    QVERIFY(shown);
    const auto request = rig.prompter.FileDialogs().at(0);
    QCOMPARE(Q(request.fileName), QString("fixnachrichten.h"));
    QCOMPARE(Q(request.filter), QString("C-Header File|*.h"));
    QCOMPARE(Q(request.defaultExt), QString("h"));
    std::string bytes;
    QVERIFY(ReadFileBytes(saved, bytes));
    const std::string difference = GoldenDifference("flash/fixnachrichten.h", bytes);
    QVERIFY2(difference.empty(), difference.c_str());
    rig.Verify();
  }

 private:
  QTemporaryDir settingsDir_;
};

QTEST_MAIN(GuiFlashCreatorTest)
#include "gui_flashcreator_test.moc"
