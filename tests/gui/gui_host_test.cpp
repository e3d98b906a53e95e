// The Qt adapters of the host interfaces.
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "QtHost.h"

using namespace varnex;

class GuiHostTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  }

  void settingsKeepScopesApart() {
    QSettingsStore store;
    store.WriteInt(SettingsScope::Application, "ComPort", 3);
    store.WriteInt(SettingsScope::Organisation, "probeAllComports", 1);
    store.WriteString(SettingsScope::Application, "ConfigFile", "/home/anna/Müller & Sohn.vnx");
    QCOMPARE(store.ReadInt(SettingsScope::Application, "ComPort").value_or(-1), 3);
    QCOMPARE(store.ReadInt(SettingsScope::Organisation, "probeAllComports").value_or(-1), 1);
    QVERIFY(!store.ReadInt(SettingsScope::Organisation, "ComPort").has_value());
    QCOMPARE(Q(store.ReadString(SettingsScope::Application, "ConfigFile").value_or("")),
             QString("/home/anna/Müller & Sohn.vnx"));
    QVERIFY(!store.ReadInt(SettingsScope::Application, "ConfigFile").has_value());
    QVERIFY(QFile::exists(dir_.path() + "/Brelmo/Varnex.conf"));
  }

  void memoFollowsTheLines() {
    QPlainTextEdit memo;
    MemoLines lines(&memo);
    lines.Add("one");
    lines.Add("two");
    QCOMPARE(memo.toPlainText(), QString("one\ntwo"));
    lines.Delete(0);
    QCOMPARE(memo.toPlainText(), QString("two"));
    lines.Clear();
    QCOMPARE(memo.toPlainText(), QString());
  }

  void progressAndFilters() {
    QProgressBar bar;
    ProgressBarSink sink(&bar);
    sink.SetRange(0, 12);
    sink.SetPosition(5);
    QCOMPARE(bar.maximum(), 12);
    QCOMPARE(bar.value(), 5);
    QCOMPARE(QtFilter("Varnex-Konfiguration|*.vnx|Alle Dateien|*"),
             QString("Varnex-Konfiguration (*.vnx);;Alle Dateien (*)"));
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(GuiHostTest)
#include "gui_host_test.moc"
