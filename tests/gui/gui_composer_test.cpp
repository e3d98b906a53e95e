// The alarm message composer: opening and storing messages, adding samples, moving segments
// with the mouse, deleting, listening, and how "&OK", "&Cancel" and the title bar leave Config.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "Alarmtext_Form_Unit.h"
#include "QtHost.h"
#include "ScriptedPrompter.h"
#include "SoundPlayer.h"
#include "TestPaths.h"
#include "VoiceCatalogue.h"
#include "varnex_PlayWave_Splachscreen.h"

using namespace varnex;
using namespace varnex::test;

namespace {

// Category 3 is not offered; "Ohne Datei" has no WAV file; "eins" has an upper-case file name.
constexpr const char* FixtureIni =
    "[generic]\n"
    "sichtbar=kategorie1,kategorie2\n"
    "kurzpause=50\n"
    "\n"
    "[Kategorien]\n"
    "kategorie1=Meldungen\n"
    "kategorie2=Zahlen\n"
    "kategorie3=Versteckt\n"
    "\n"
    "[Meldungen]\n"
    "sample_30=Alarm,alarm\n"
    "sample_6=Eingang,eingang\n"
    "sample_7=Ohne Datei,ohne_datei\n"
    "sample_50=kurze Pause,pause_kurz\n"
    "sample_51=lange Pause,pause_lang\n"
    "\n"
    "[Zahlen]\n"
    "sample_101=eins,zahl_01\n"
    "sample_102=zwei,zahl_02\n"
    "\n"
    "[Versteckt]\n"
    "sample_200=geheim,geheim\n"
    "\n"
    "[FIXMSGS]\n"
    "fix_1=30,50,6\n";

using Bytes = std::vector<uint8_t>;

Bytes Padded(Bytes b) {
  b.resize(alarm_input::AlarmTextSize, 0);
  return b;
}

// A record where every byte differs from its neighbours, so that a stray write shows.
TDeviceConfig Patterned(int input, const Bytes& message) {
  TDeviceConfig c;
  for (size_t i = 0; i < ConfigSize; ++i) c.Bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  const Bytes text = Padded(message);
  std::copy(text.begin(), text.end(), c.Input(static_cast<size_t>(input)).AlarmText());
  return c;
}

Bytes AlarmText(const TDeviceConfig& c, int input) {
  const uint8_t* t = c.Input(static_cast<size_t>(input)).AlarmText();
  return Bytes(t, t + alarm_input::AlarmTextSize);
}

QStringList Texts(const QTreeWidget* tree) {
  QStringList texts;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(0);
  return texts;
}

QTreeWidgetItem* Node(QTreeWidget* tree, const QString& text) {
  const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

// The mouse as the window system delivers it: through the dialog's window, so that the pressed
// tree keeps the moves and the release wherever the pointer goes.
class Mouse {
 public:
  explicit Mouse(QWidget* dialog) : dialog_(dialog) {}
  QPoint At(QWidget* w, QPoint local) const { return w->mapTo(dialog_, local); }
  QPoint At(QTreeWidget* tree, QTreeWidgetItem* item) const {
    return At(tree->viewport(), tree->visualItemRect(item).center());
  }
  QWindow* Window() const { return dialog_->windowHandle(); }
  void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(Window(), b, {}, p);
  }
  void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(Window(), b, {}, p);
  }
  void Move(QPoint p) { QTest::mouseMove(Window(), p); }
  void DoubleClick(QPoint p) { QTest::mouseDClick(Window(), Qt::LeftButton, {}, p); }
  // Press, hold until the drag has begun, move over in two steps, release.
  bool Drag(QPoint from, QPoint to, int waitMs = 5000) {
    Press(from);
    const bool began =
        QTest::qWaitFor([] { return QApplication::overrideCursor() != nullptr; }, waitMs);
    Move((from + to) / 2);
    Move(to);
    Release(to);
    return began;
  }

 private:
  QWidget* dialog_;
};

}  // namespace

class GuiComposerTest : public QObject {
  Q_OBJECT

  // One dialog over one record, with a scripted prompter and a recording sound player.
  struct Rig {
    explicit Rig(GuiComposerTest& t, const Bytes& message, int input = 0)
        : prompter([this](const std::string& m) { failures << Q(m); }),
          host(&prompter, &pump),
          sound(&player),
          config(Patterned(input, message)),
          original(config),
          form(config, notice, t.wav_, "/hilfe/") {
      form.InputIndex = input;
    }
    void Show() {
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      Src()->expandAll();
    }
    template <typename T>
    T* Find(const char* name) {
      T* found = form.findChild<T*>(name);
      if (!found) failures << QString("no control ") + name;
      return found;
    }
    QTreeWidget* Src() { return Find<QTreeWidget>("TreeSrc"); }
    QTreeWidget* Dst() { return Find<QTreeWidget>("TreeDst"); }
    QString Usage() { return Find<QLabel>("Label1")->text(); }
    void Select(const QString& sample) { Src()->setCurrentItem(Node(Src(), sample)); }
    void Verify() {
      prompter.VerifyAllShown();
      QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
    }

    QStringList failures;
    ScriptedPrompter prompter;
    NullPump pump;
    ScopedHost host;
    RecordingSoundPlayer player;
    ScopedSoundPlayer sound;
    TDeviceConfig config;
    TDeviceConfig original;
    Tsound_splash_form notice;
    TAlarmtext_Form form;
  };

  std::string Wav(const char* name) const { return wav_ + name; }

 private slots:
  void initTestCase() {
    std::filesystem::create_directory(dir_.File("wav"));
    wav_ = dir_.File("wav/");
    for (const char* name : {"alarm.wav", "eingang.wav", "pause_kurz.wav", "pause_lang.wav",
                             "ZAHL_01.WAV", "zahl_02.wav", "geheim.wav"})
      std::ofstream(wav_ + name) << "RIFF";
    std::ofstream(dir_.File("sprache.ini")) << FixtureIni;
    LoadFixture();
  }

  // The message as stored opens segment by segment; "&OK" stores id and short pause per
  // segment and touches nothing else of the record.
  void opensAndStores_data() {
    QTest::addColumn<Bytes>("stored");
    QTest::addColumn<QStringList>("segments");
    QTest::addColumn<Bytes>("afterOk");
    QTest::newRow("pairs") << Bytes{30, 50, 6, 50, 101, 50}
                           << QStringList{"Alarm", "Eingang", "eins"}
                           << Bytes{30, 50, 6, 50, 101, 50};
    QTest::newRow("no short pauses") << Bytes{30, 6, 101} << QStringList{"Alarm", "Eingang", "eins"}
                                     << Bytes{30, 50, 6, 50, 101, 50};
    QTest::newRow("0 in the middle")
        << Bytes{30, 50, 0, 0, 6, 50} << QStringList{"Alarm", "Eingang"} << Bytes{30, 50, 6, 50};
    QTest::newRow("unknown id") << Bytes{30, 50, 77, 50, 6, 50}
                                << QStringList{"Alarm", "", "Eingang"}
                                << Bytes{30, 50, 0, 50, 6, 50};
    QTest::newRow("longer pause") << Bytes{30, 51, 6}
                                  << QStringList{"Alarm", "lange Pause", "Eingang"}
                                  << Bytes{30, 50, 51, 50, 6, 50};
    QTest::newRow("empty") << Bytes{} << QStringList{} << Bytes{};
    // Written elsewhere: 50 words without pauses. The first 25 are kept.
    Bytes fifty, first25;
    QStringList words;
    for (int i = 0; i < 50; ++i) fifty.push_back(i % 2 ? 6 : 30);
    for (int i = 0; i < 25; ++i) {
      words << (i % 2 ? "Eingang" : "Alarm");
      first25.insert(first25.end(), {static_cast<uint8_t>(i % 2 ? 6 : 30), 50});
    }
    QTest::newRow("more than 25 segments") << fifty << words << first25;
  }
  void opensAndStores() {
    QFETCH(Bytes, stored);
    QFETCH(QStringList, segments);
    QFETCH(Bytes, afterOk);
    Rig rig(*this, stored, 1);
    rig.Show();
    QCOMPARE(rig.form.windowTitle(), QString("Alarmtext Eingang2"));
    QCOMPARE(Texts(rig.Dst()), segments);
    QCOMPARE(rig.Usage(), QString("Verwendet: %1/25").arg(segments.size()));
    QCOMPARE(rig.Find<QToolButton>("SpeedButton2")->isEnabled(), !segments.isEmpty());
    const uint8_t* input = rig.original.Data() + cfg::Inputs[1];
    QVERIFY(std::equal(rig.form.SavedInput.begin(), rig.form.SavedInput.end(), input));

    QTest::mouseClick(rig.Find<QPushButton>("BtnOK"), Qt::LeftButton);
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.form.result(), int(QDialog::Accepted));
    QCOMPARE(AlarmText(rig.config, 1), Padded(afterOk));
    TDeviceConfig rest = rig.config;
    std::copy_n(rig.original.Input(1).AlarmText(), alarm_input::AlarmTextSize,
                rest.Input(1).AlarmText());
    QVERIFY(rest.Bytes == rig.original.Bytes);
    rig.Verify();
  }

  // Without the short pause's sample the pauses are still pauses, not unknown segments that
  // would store 0 and end the message after its first word.
  void shortPauseOutsideTheCatalogue() {
    std::string ini = FixtureIni;
    ini.replace(ini.find("kurzpause=50"), 12, "kurzpause=99");
    std::ofstream(dir_.File("ohne_pause.ini")) << ini;
    const auto restore = qScopeGuard([this] { LoadFixture(); });
    QVERIFY(LoadVoiceCatalogue(dir_.File("ohne_pause.ini")));
    Rig rig(*this, {30, 99, 6, 99});
    rig.Show();
    QCOMPARE(Texts(rig.Dst()), QStringList({"Alarm", "Eingang"}));
    rig.form.StoreMessage();
    QCOMPARE(AlarmText(rig.config, 0), Padded({30, 99, 6, 99}));
    rig.Verify();
  }

  void catalogueTree() {
    Rig rig(*this, {});
    rig.Show();
    QCOMPARE(rig.form.windowTitle(), QString("Alarmtext Eingang1"));
    QCOMPARE(rig.Find<QGroupBox>("GroupBox1")->title(),
             QString(" Alarmnachricht zusammenstellen "));
    QTreeWidget* src = rig.Src();
    QCOMPARE(src->topLevelItemCount(), 2);  // "Versteckt" is not offered
    QTreeWidgetItem* meldungen = src->topLevelItem(0);
    QCOMPARE(meldungen->text(0), QString("Meldungen"));
    QCOMPARE(src->topLevelItem(1)->text(0), QString("Zahlen"));
    QStringList children;
    for (int i = 0; i < meldungen->childCount(); ++i) children << meldungen->child(i)->text(0);
    QCOMPARE(children,
             QStringList({"Alarm", "Eingang", "Ohne Datei", "kurze Pause", "lange Pause"}));
    // A category's picture changes when it is selected; a sample has its own.
    const QIcon category = meldungen->icon(0);
    QVERIFY(category.pixmap(16, QIcon::Normal).toImage() !=
            category.pixmap(16, QIcon::Selected).toImage());
    QVERIFY(meldungen->child(0)->icon(0).pixmap(16).toImage() !=
            category.pixmap(16, QIcon::Normal).toImage());
    QVERIFY(!rig.Find<QToolButton>("SpeedButton1")->isEnabled());
    QVERIFY(!rig.Find<QToolButton>("SpeedButton2")->isEnabled());
    rig.Verify();
  }

  // Double click and Enter append the selected sample when its WAV file exists.
  void addingAtTheEnd() {
    Rig rig(*this, {});
    rig.Show();
    Mouse mouse(&rig.form);
    QTreeWidget* src = rig.Src();
    mouse.DoubleClick(mouse.At(src, Node(src, "Eingang")));
    QCOMPARE(Texts(rig.Dst()), QStringList({"Eingang"}));
    QVERIFY(rig.Find<QToolButton>("SpeedButton2")->isEnabled());
    for (const char* name : {"eins", "Ohne Datei", "Zahlen"}) {
      rig.Select(name);
      QTest::keyClick(src, Qt::Key_Return);
    }
    QVERIFY(rig.form.isVisible());  // Enter is the tree's, not the dialog's
    QCOMPARE(Texts(rig.Dst()), QStringList({"Eingang", "eins"}));
    QCOMPARE(rig.Usage(), QString("Verwendet: 2/25"));
    // Emptied, the message may still be played.
    rig.prompter.Expect("Alarm Nachricht komplett löschen ?", "Varnex", MsgResult::Yes);
    rig.Find<QMenu>("PopupMenu2")->findChild<QAction*>("AlleLoeschen1")->trigger();
    QCOMPARE(rig.Dst()->topLevelItemCount(), 0);
    QVERIFY(rig.Find<QToolButton>("SpeedButton2")->isEnabled());
    rig.Verify();
  }

  // With 25 segments nothing more comes in; moving inside the message still works.
  void fullMessage() {
    Bytes full;
    for (int i = 0; i < 25; ++i) full.insert(full.end(), {static_cast<uint8_t>(i ? 30 : 6), 50});
    Rig rig(*this, full);
    rig.Show();
    Mouse mouse(&rig.form);
    QTreeWidget* src = rig.Src();
    QTreeWidget* dst = rig.Dst();
    mouse.DoubleClick(mouse.At(src, Node(src, "eins")));
    QTest::keyClick(src, Qt::Key_Return);
    QVERIFY(mouse.Drag(mouse.At(src, Node(src, "eins")), mouse.At(dst, dst->topLevelItem(0))));
    QCOMPARE(dst->topLevelItemCount(), 25);
    QVERIFY(!Texts(dst).contains("eins"));
    QCOMPARE(rig.Usage(), QString("Verwendet: 25/25"));
    QCOMPARE(rig.form.DragState, 0);
    QVERIFY(!rig.form.CanAddSegment());

    QVERIFY(mouse.Drag(mouse.At(dst, dst->topLevelItem(0)), mouse.At(dst, dst->topLevelItem(10))));
    QCOMPARE(dst->topLevelItem(10)->text(0), QString("Eingang"));
    QCOMPARE(dst->topLevelItem(0)->text(0), QString("Alarm"));
    rig.Verify();
  }

  // Drags with the mouse held past the 100 ms timer: segments move, samples are inserted.
  void dragAndDrop_data() {
    QTest::addColumn<QString>("from");  // a segment's row, or a sample's text
    QTest::addColumn<int>("to");        // a segment's row; -1 empty space; -2 the catalogue
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("onto itself") << "0" << 0 << QStringList{"Alarm", "Eingang", "eins"};
    QTest::newRow("first onto last") << "0" << 2 << QStringList{"Eingang", "eins", "Alarm"};
    QTest::newRow("last onto first") << "2" << 0 << QStringList{"eins", "Alarm", "Eingang"};
    QTest::newRow("middle onto last") << "1" << 2 << QStringList{"Alarm", "eins", "Eingang"};
    QTest::newRow("onto empty space") << "0" << -1 << QStringList{"Eingang", "eins", "Alarm"};
    QTest::newRow("out of the message") << "0" << -2 << QStringList{"Alarm", "Eingang", "eins"};
    QTest::newRow("sample onto a segment")
        << "zwei" << 1 << QStringList{"Alarm", "zwei", "Eingang", "eins"};
    QTest::newRow("sample onto empty space")
        << "zwei" << -1 << QStringList{"Alarm", "Eingang", "eins", "zwei"};
    QTest::newRow("sample without WAV file")
        << "Ohne Datei" << -1 << QStringList{"Alarm", "Eingang", "eins"};
    QTest::newRow("category") << "Zahlen" << -1 << QStringList{"Alarm", "Eingang", "eins"};
  }
  void dragAndDrop() {
    QFETCH(QString, from);
    QFETCH(int, to);
    QFETCH(QStringList, expected);
    Rig rig(*this, {30, 50, 6, 50, 101, 50});
    rig.Show();
    Mouse mouse(&rig.form);
    QTreeWidget* src = rig.Src();
    QTreeWidget* dst = rig.Dst();
    bool isRow = false;
    const int row = from.toInt(&isRow);
    const QPoint start =
        isRow ? mouse.At(dst, dst->topLevelItem(row)) : mouse.At(src, Node(src, from));
    const QPoint target = to >= 0 ? mouse.At(dst, dst->topLevelItem(to))
                          : to == -1
                              ? mouse.At(dst->viewport(), {20, dst->viewport()->height() - 5})
                              : mouse.At(src->viewport(), {20, 5});
    const bool category = from == "Zahlen";  // is not dragged
    QCOMPARE(mouse.Drag(start, target, category ? 400 : 5000), !category);
    QCOMPARE(Texts(dst), expected);
    QCOMPARE(rig.Usage(), QString("Verwendet: %1/25").arg(expected.size()));
    QCOMPARE(rig.form.DragState, 0);
    QVERIFY(!QApplication::overrideCursor());
    rig.form.StoreMessage();  // what moved is stored in its new place
    QCOMPARE(AlarmText(rig.config, 0).at(0), uint8_t(expected[0] == "Alarm"     ? 30
                                                     : expected[0] == "Eingang" ? 6
                                                                                : 101));
    rig.Verify();
  }

  // A plain click, however it moves, starts no drag: only the held button does.
  void plainClickDragsNothing() {
    Rig rig(*this, {30, 50, 6, 50});
    rig.Show();
    Mouse mouse(&rig.form);
    QTreeWidget* src = rig.Src();
    QTreeWidget* dst = rig.Dst();
    const QPoint overMessage = mouse.At(dst->viewport(), {20, dst->viewport()->height() - 5});
    for (const QPoint start :
         {mouse.At(src, Node(src, "zwei")), mouse.At(dst, dst->topLevelItem(0))}) {
      mouse.Press(start);
      mouse.Move(overMessage);
      mouse.Release(overMessage);
      QTest::qWait(250);
      QCOMPARE(rig.form.DragState, 0);
      QVERIFY(!QApplication::overrideCursor());
    }
    QCOMPARE(Texts(dst), QStringList({"Alarm", "Eingang"}));
    // Nor does moving the held button drag the selection along.
    QCOMPARE(dst->selectedItems().value(0), dst->topLevelItem(0));
    rig.Verify();
  }

  void playSampleButton() {
    Rig rig(*this, {30, 50});
    rig.Show();
    Mouse mouse(&rig.form);
    auto* play = rig.Find<QToolButton>("SpeedButton1");
    rig.Select("Alarm");
    QVERIFY(play->isEnabled());
    rig.Select("Zahlen");  // a category keeps the state
    QVERIFY(play->isEnabled());
    rig.Select("Ohne Datei");
    QVERIFY(!play->isEnabled());
    rig.Select("Meldungen");
    QVERIFY(!play->isEnabled());
    rig.Select("eins");  // ZAHL_01.WAV
    QVERIFY(play->isEnabled());
    mouse.Press(mouse.At(rig.Src(), Node(rig.Src(), "Zahlen")));
    mouse.Release(mouse.At(rig.Src(), Node(rig.Src(), "Zahlen")));
    QVERIFY(!play->isEnabled());
    rig.Select("Alarm");
    QVERIFY(play->isEnabled());
    mouse.Press(mouse.At(rig.Dst(), rig.Dst()->topLevelItem(0)));
    mouse.Release(mouse.At(rig.Dst(), rig.Dst()->topLevelItem(0)));
    QVERIFY(!play->isEnabled());
    rig.Verify();
  }

  // One sample plays without waiting, its file found without regard to case; a file gone since
  // it was selected is reported.
  void playSample() {
    Rig rig(*this, {});
    rig.Show();
    std::vector<bool> noticeUp;
    rig.player.onPlay = [&](const RecordingSoundPlayer::Played&) {
      noticeUp.push_back(rig.notice.isVisible() && !rig.notice.PlaybackDone);
    };
    auto* play = rig.Find<QToolButton>("SpeedButton1");
    rig.Select("Alarm");
    play->click();
    rig.Select("eins");
    play->click();
    const std::vector<RecordingSoundPlayer::Played> expected = {{Wav("alarm.wav"), false},
                                                                {Wav("ZAHL_01.WAV"), false}};
    QVERIFY(rig.player.History() == expected);
    QCOMPARE(noticeUp, std::vector<bool>({true, true}));
    QVERIFY(rig.notice.PlaybackDone);

    rig.Select("zwei");
    QVERIFY(play->isEnabled());
    std::filesystem::rename(Wav("zahl_02.wav"), dir_.File("zahl_02.wav"));
    rig.prompter.Expect(Wav("zahl_02.wav") + " nicht gefunden !", "Varnex - Error");
    play->click();
    std::filesystem::rename(dir_.File("zahl_02.wav"), Wav("zahl_02.wav"));
    QCOMPARE(rig.player.History().size(), size_t(2));
    QCOMPARE(rig.prompter.History().back().icon, MsgIcon::Error);
    QVERIFY(rig.notice.PlaybackDone);
    rig.Verify();
  }

  // The whole message is stored first and plays file by file, waiting for each, up to the
  // first 0, with the dialog's controls off; then "&Cancel" restores the input, the title bar
  // keeps what was stored.
  void playMessage_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("&Cancel") << true;
    QTest::newRow("title bar") << false;
  }
  void playMessage() {
    QFETCH(bool, cancel);
    Rig rig(*this, {30, 50, 51, 6, 50, 77, 50, 101});
    rig.Show();
    QCOMPARE(Texts(rig.Dst()), QStringList({"Alarm", "lange Pause", "Eingang", "", "eins"}));
    QStringList enabledWhilePlaying;
    std::vector<uint8_t> storedWhilePlaying;
    rig.player.onPlay = [&](const RecordingSoundPlayer::Played&) {
      for (const char* name : {"GroupBox1", "BtnOK", "BtnCancel"})
        if (rig.form.findChild<QWidget*>(name)->isEnabled()) enabledWhilePlaying << name;
      if (!rig.notice.isVisible()) enabledWhilePlaying << "notice hidden";
      storedWhilePlaying.push_back(rig.config.Input(0).AlarmText()[3]);
    };
    rig.Find<QToolButton>("SpeedButton2")->click();
    const Bytes stored = {30, 50, 51, 50, 6, 50, 0, 50, 101, 50};
    QCOMPARE(AlarmText(rig.config, 0), Padded(stored));
    std::vector<RecordingSoundPlayer::Played> expected;
    for (const char* name : {"alarm.wav", "pause_kurz.wav", "pause_lang.wav", "pause_kurz.wav",
                             "eingang.wav", "pause_kurz.wav"})
      expected.push_back({Wav(name), true});
    QVERIFY(rig.player.History() == expected);
    QVERIFY(enabledWhilePlaying.isEmpty());
    QCOMPARE(storedWhilePlaying, std::vector<uint8_t>(expected.size(), 50));
    QVERIFY(rig.Find<QGroupBox>("GroupBox1")->isEnabled() &&
            rig.Find<QPushButton>("BtnOK")->isEnabled());
    QVERIFY(rig.notice.PlaybackDone);
    // The catalogue's "&Play" plays the message too.
    rig.Find<QMenu>("PopupMenu1")->findChild<QAction*>("Play1")->trigger();
    QCOMPARE(rig.player.History().size(), 2 * expected.size());

    if (cancel) {
      QTest::mouseClick(rig.Find<QPushButton>("BtnCancel"), Qt::LeftButton);
      QVERIFY(rig.config.Bytes == rig.original.Bytes);
    } else {
      rig.form.close();
      QCOMPARE(AlarmText(rig.config, 0), Padded(stored));
    }
    QVERIFY(!rig.form.isVisible());
    rig.Verify();
  }

  // The popup opens on a segment only; "löschen" and Delete ask before a segment goes.
  void deleting() {
    Rig rig(*this, {30, 50, 6, 50, 101, 50});
    rig.Show();
    Mouse mouse(&rig.form);
    QTreeWidget* dst = rig.Dst();
    auto* menu = rig.Find<QMenu>("PopupMenu2");
    auto* remove = menu->findChild<QAction*>("Loeschen1");
    QCOMPARE(remove->text(), QString("löschen"));

    const QPoint empty = mouse.At(dst->viewport(), {20, dst->viewport()->height() - 5});
    mouse.Press(empty, Qt::RightButton);
    mouse.Release(empty, Qt::RightButton);
    QVERIFY(!menu->isVisible());

    const QPoint second = mouse.At(dst, dst->topLevelItem(1));
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
      mouse.Press(second, Qt::RightButton);
      mouse.Release(second, Qt::RightButton);
      QTRY_VERIFY(menu->isVisible());
      QCOMPARE(dst->selectedItems().value(0), dst->topLevelItem(1));
      rig.prompter.Expect("Segment wirklich 'Eingang' löschen ?", "Varnex", answer);
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(remove).center());
      QVERIFY(!menu->isVisible());
    }
    QCOMPARE(rig.prompter.History().back().icon, MsgIcon::Question);
    QCOMPARE(rig.prompter.History().back().buttons, MsgButtons::YesNo);
    QCOMPARE(Texts(dst), QStringList({"Alarm", "eins"}));
    QCOMPARE(rig.Usage(), QString("Verwendet: 2/25"));

    dst->setCurrentItem(dst->topLevelItem(1));
    rig.prompter.Expect("Segment wirklich 'eins' löschen ?", "Varnex", MsgResult::Yes);
    QTest::keyClick(dst, Qt::Key_Delete);
    QCOMPARE(Texts(dst), QStringList({"Alarm"}));
    dst->clearSelection();
    QTest::keyClick(dst, Qt::Key_Delete);  // nothing selected: nothing asked

    auto* removeAll = menu->findChild<QAction*>("AlleLoeschen1");
    rig.prompter.Expect("Alarm Nachricht komplett löschen ?", "Varnex", MsgResult::No);
    removeAll->trigger();
    QCOMPARE(dst->topLevelItemCount(), 1);
    rig.prompter.Expect("Alarm Nachricht komplett löschen ?", "Varnex", MsgResult::Yes);
    removeAll->trigger();
    QCOMPARE(dst->topLevelItemCount(), 0);
    QCOMPARE(rig.Usage(), QString("Verwendet: 0/25"));
    removeAll->trigger();  // empty: nothing asked
    rig.Verify();
  }

  void help() {
    Rig rig(*this, {});
    rig.Show();
    std::vector<std::string> opened;
    SetDocumentOpener([&](const std::string& p) {
      opened.push_back(p);
      return true;
    });
    QTest::mouseClick(rig.Find<QPushButton>("BtnHilfe"), Qt::LeftButton);
    SetDocumentOpener({});
    QCOMPARE(opened, std::vector<std::string>({"/hilfe/alarm.html"}));
    rig.Verify();
  }

  // Both trees keep equal widths at any size; the texts fit. A picture with the shipped
  // catalogue goes to the temporary folder.
  void layout() {
    const auto restore = qScopeGuard([this] { LoadFixture(); });
    QVERIFY(LoadVoiceCatalogue(ProgramPath("varnex_sprache_standard.ini")));
    {
      Rig rig(*this, {30, 50, 6, 50, 101, 50, 210, 50, 60, 50});
      rig.Show();
      for (const QSize size : {QSize(560, 420), QSize(801, 533), QSize(420, 300)}) {
        rig.form.resize(size);
        QApplication::processEvents();
        QTreeWidget* src = rig.Src();
        QTreeWidget* dst = rig.Dst();
        QVERIFY(std::abs(src->width() - dst->width()) <= 1);
        QVERIFY(src->mapTo(&rig.form, QPoint(src->width(), 0)).x() <= size.width() / 2);
        QVERIFY(dst->mapTo(&rig.form, QPoint(0, 0)).x() >= size.width() / 2);
        auto* label = rig.Find<QLabel>("Label1");
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        for (const char* name : {"BtnHilfe", "BtnOK", "BtnCancel"}) {
          auto* b = rig.Find<QPushButton>(name);
          QVERIFY(b->fontMetrics().horizontalAdvance(b->text().remove('&')) + 8 <= b->width());
        }
      }
      rig.form.resize(560, 420);
      rig.Src()->collapseAll();
      rig.Src()->expandItem(rig.Src()->topLevelItem(1));
      rig.Select("Orte");
      rig.Dst()->setCurrentItem(rig.Dst()->topLevelItem(1));
      const QString png = QDir::temp().filePath("varnex_composer.png");
      QVERIFY(rig.form.grab().save(png));
      qInfo("composer drawn to %s", qPrintable(png));
      rig.Verify();
    }
  }

 private:
  void LoadFixture() { QVERIFY(LoadVoiceCatalogue(dir_.File("sprache.ini"))); }

  TempDir dir_;
  std::string wav_;
};

QTEST_MAIN(GuiComposerTest)
#include "gui_composer_test.moc"
