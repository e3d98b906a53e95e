// The playback notice and the playback protocol, with a player that records what it was asked
// to play; the Qt player where no sound device is present.
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "QtSoundPlayer.h"
#include "SoundPlayer.h"
#include "TestPaths.h"
#include "varnex_PlayWave_Splachscreen.h"

using namespace varnex;

class GuiPlaybackTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    for (const char* name : {"eins.wav", "zwei.wav"}) {
      QFile f(dir_.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("RIFF");
    }
  }

  void noticeLooksAsDesigned() {
    Tsound_splash_form notice;
    auto* label = notice.findChild<QLabel*>("Label1");
    auto* timer = notice.findChild<QTimer*>("Timer1");
    QVERIFY(label && timer);
    QCOMPARE(label->text(), QString("Wiedergabe läuft, bitte warten..."));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QVERIFY(label->geometry().right() < notice.width() - 4);
    QVERIFY(notice.width() >= 210 && notice.height() >= 37);
    QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());
    QVERIFY(!notice.findChild<QLabel*>("Image1")->pixmap().isNull());
    const QString png = QDir::temp().filePath("varnex_sound_splash.png");
    QVERIFY(notice.grab().save(png));
    qInfo("notice drawn to %s", qPrintable(png));
  }

  // Every player: notice shown and drawn, files played in order (missing ones skipped, names
  // found without regard to case), PlaybackDone, the timer closes the notice within a second.
  void protocol_data() {
    QTest::addColumn<bool>("wait");
    QTest::newRow("waiting player") << true;
    QTest::newRow("player that does not wait") << false;
  }
  void protocol() {
    QFETCH(bool, wait);
    Tsound_splash_form notice;
    RecordingSoundPlayer player;
    ScopedSoundPlayer scope(&player);
    std::vector<bool> shownWhilePlaying, doneWhilePlaying;
    player.onPlay = [&](const RecordingSoundPlayer::Played&) {
      shownWhilePlaying.push_back(notice.isVisible());
      doneWhilePlaying.push_back(notice.PlaybackDone);
    };
    notice.PlayWaveFiles({File("eins.wav"), File("fehlt.wav"), File("ZWEI.WAV")}, wait);
    const std::vector<RecordingSoundPlayer::Played> expected = {{File("eins.wav"), wait},
                                                                {File("zwei.wav"), wait}};
    QVERIFY(player.History() == expected);
    QCOMPARE(shownWhilePlaying, std::vector<bool>({true, true}));
    QCOMPARE(doneWhilePlaying, std::vector<bool>({false, false}));
    QVERIFY(notice.PlaybackDone);
    QVERIFY(notice.isVisible());
    QElapsedTimer closing;
    closing.start();
    QTRY_VERIFY_WITH_TIMEOUT(!notice.isVisible(), 1500);
    QVERIFY(closing.elapsed() <= 1100);
  }

  void noFileToPlayStillShowsAndClosesTheNotice() {
    Tsound_splash_form notice;
    RecordingSoundPlayer player;
    ScopedSoundPlayer scope(&player);
    notice.PlayWaveFiles({File("fehlt.wav")}, true);
    QVERIFY(player.History().empty());
    QVERIFY(notice.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!notice.isVisible(), 1500);
  }

  // A notice still up from the last playback must not close while the next one runs.
  void staysUpWhilePlaybackRuns() {
    Tsound_splash_form notice;
    notice.PlayWaveFiles({}, false);
    QVERIFY(notice.PlaybackDone && notice.isVisible());
    notice.BeginPlayback();
    QVERIFY(!notice.PlaybackDone);
    QTest::qWait(1300);
    QVERIFY(notice.isVisible());
    notice.EndPlayback();
    QTRY_VERIFY_WITH_TIMEOUT(!notice.isVisible(), 1500);
  }

  // With a sound device a waiting play lasts the sound; without one it is silent at once.
  void qtPlayerPlaysOrStaysSilent_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<int>("soundMs");  // how long a waiting play lasts where there is a device
    const QString shipped = QString::fromStdString(test::ProgramPath("tmp/wav/alarm.wav"));
    QTest::newRow("shipped A-law prompt, waiting") << shipped << true << 385;
    QTest::newRow("shipped A-law prompt") << shipped << false << 0;
    QTest::newRow("not a WAV file") << dir_.filePath("eins.wav") << true << 0;
    QTest::newRow("missing file") << dir_.filePath("fehlt.wav") << true << 0;
  }
  void qtPlayerPlaysOrStaysSilent() {
    QFETCH(QString, path);
    QFETCH(bool, wait);
    QFETCH(int, soundMs);
    const bool hasDevice = !QMediaDevices::defaultAudioOutput().isNull();
    QtSoundPlayer player;
    QElapsedTimer elapsed;
    elapsed.start();
    player.PlayWave(path.toStdString(), wait);
    qInfo("%s: returned after %lld ms", hasDevice ? "sound device" : "no sound device",
          static_cast<long long>(elapsed.elapsed()));
    // The wait gives up 2 s after the sound's end at the latest.
    QVERIFY(elapsed.elapsed() < soundMs + 2500);
    if (hasDevice) QVERIFY(elapsed.elapsed() >= soundMs);
    player.Stop();
  }

 private:
  std::string File(const char* name) const { return dir_.filePath(name).toStdString(); }
  QTemporaryDir dir_;
};

QTEST_MAIN(GuiPlaybackTest)
#include "gui_playback_test.moc"
