// The alarm log viewer: the demonstration records, the details of a clicked line with their
// colours and hints, saving the list, and the list refill button.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "AlarmLog_Form_Unit.h"
#include "LogRecordFixture.h"
#include "QtHost.h"
#include "ScriptedPrompter.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;

namespace {

void ClickRow(QListWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// The colour painted in the field beside its text.
QColor Background(QLineEdit* field) {
  const QImage image = field->grab().toImage();
  return image.pixelColor(4, image.height() / 2);
}

test::ScriptedPrompter::FailureFn QtFailure() {
  return [](const std::string& message) { QFAIL(message.c_str()); };
}

}  // namespace

class GuiAlarmLogTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  static T* Child(QWidget& form, const char* name) {
    auto* child = form.findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
  }
  static QStringList Fields(QWidget& form) {
    QStringList texts;
    for (const char* name : {"DateEdit", "ArrowEdit", "NumberEdit", "PurposeEdit", "DtmfEdit"})
      texts << Child<QLineEdit>(form, name)->text();
    return texts;
  }

 private slots:
  void looksAsDesigned() {
    TAlarmLog_Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString("Alarm Logbuch"));
    QVERIFY(form.minimumSize() != form.maximumSize());
    QCOMPARE(Child<QWidget>(form, "Panel1")->height(), 84);
    auto* list = Child<QListWidget>(form, "ListBox1");
    auto* button2 = Child<QPushButton>(form, "Button2");
    QCOMPARE(button2->parentWidget(), list);
    QVERIFY(list->rect().contains(button2->geometry()));
    QCOMPARE(Child<QPushButton>(form, "SpeichernButton")->text(), QString("&Speichern"));
    QCOMPARE(Child<QPushButton>(form, "SchliessenButton")->text(), QString("S&chliessen"));
    QStringList labels;
    for (auto* label : form.findChildren<QLabel*>()) {
      labels << label->text();
      QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    }
    labels.sort();
    QCOMPARE(labels, QStringList({"DTMF Eingabe:", "Datum:", "TelNo:", "Zweck:"}));
    ClickRow(list, 3);
    for (auto* field : form.findChildren<QLineEdit*>())
      QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) < field->width(),
               qPrintable(field->objectName()));
    const QString png = QDir::temp().filePath("varnex_alarmlog.png");
    QVERIFY(form.grab().save(png));
    qInfo("viewer drawn to %s", qPrintable(png));
  }

  void showListsTheDemonstrationRecords() {
    TAlarmLog_Form form;
    form.LogBuffer[0] = test::LogRecord(8, "1", 0, 0);
    form.LogCount = 1;
    form.show();
    auto* list = Child<QListWidget>(form, "ListBox1");
    QCOMPARE(form.LogCount, size_t{4});
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(1)->text(),
             QString("11.07.2003 - 12:31:04 : alarm signalling input 2: call '040987654', "
                     "connection failed"));
    QCOMPARE(list->item(3)->text(),
             QString("13.07.2003 - 12:31:04 : incoming call from '040987654', DTMF-Code *20# "
                     "passed"));
    QCOMPARE(Fields(form), QStringList({"", "", "", "", ""}));

    // With no line selected a click shows nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(10, list->viewport()->height() - 5));
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(Fields(form), QStringList({"", "", "", "", ""}));

    // Button2 lists the demonstration records again.
    form.LogBuffer[0] = test::LogRecord(16, "", 1, 0);
    form.LogCount = 1;
    form.ListRecords();
    QCOMPARE(list->count(), 1);
    QTest::mouseClick(Child<QPushButton>(form, "Button2"), Qt::LeftButton);
    QCOMPARE(list->count(), 4);
  }

  void details_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("dtmf");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QColor>("arrowColour");
    QTest::addColumn<QString>("arrowHint");
    QTest::addColumn<QString>("dtmfHint");
    const QString date = "05.03.2004 - 09:07:02";
    QTest::newRow("alarm call answered")
        << 3 << "030123" << 0
        << QStringList({date, "-->", "030123", "Alarmbenachrichtung Alarmeingang 1", ""})
        << QColor(0x2F, 0xBD, 0x03) << "ausgehender Ruf angenommen"
        << "";
    QTest::newRow("alarm call not answered")
        << 4 << "" << 0
        << QStringList({date, "-->", "user_no=6", "Alarmbenachrichtung Alarmeingang 2", ""})
        << QColor(Qt::red) << "ausgehender Ruf nicht angenommen"
        << "";
    QTest::newRow("incoming call")
        << 8 << "0301234567" << 20
        << QStringList({date, "<--", "0301234567", "administrativer Anruf", "*20#"})
        << QColor(Qt::yellow) << "eingehender Ruf angenommen"
        << "Ausgang 2 aus (oeffnet)";
    QTest::newRow("code not in the table")
        << 8 << "1" << 42 << QStringList({date, "<--", "1", "administrativer Anruf", "*42#"})
        << QColor(Qt::yellow) << "eingehender Ruf angenommen"
        << "";
    QTest::newRow("kind 16") << 16 << "1" << 0 << QStringList({date, "", "1", "", ""})
                             << QColor(Qt::white) << ""
                             << "";
  }
  // Each row is clicked after a record that fills every field, so emptying is seen too.
  void details() {
    QFETCH(int, kind);
    QFETCH(QString, number);
    QFETCH(int, dtmf);
    QFETCH(QStringList, fields);
    QFETCH(QColor, arrowColour);
    QFETCH(QString, arrowHint);
    QFETCH(QString, dtmfHint);
    TAlarmLog_Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.LogBuffer[0] = test::LogRecord(8, "999", 1, 91);
    form.LogBuffer[1] = test::LogRecord(static_cast<uint8_t>(kind), number.toUtf8().constData(), 6,
                                        static_cast<uint8_t>(dtmf));
    form.LogCount = 2;
    form.ListRecords();
    auto* list = Child<QListWidget>(form, "ListBox1");
    ClickRow(list, 0);
    QCOMPARE(Child<QLineEdit>(form, "DtmfEdit")->toolTip(),
             QString("Alarmeingang 1 wird abgeschaltet"));
    ClickRow(list, 1);
    QCOMPARE(Fields(form), fields);
    auto* arrow = Child<QLineEdit>(form, "ArrowEdit");
    QCOMPARE(Background(arrow), arrowColour);
    QCOMPARE(arrow->toolTip(), arrowHint);
    QCOMPARE(Child<QLineEdit>(form, "DtmfEdit")->toolTip(), dtmfHint);
  }

  void savesTheList() {
    test::TempDir dir;
    test::ScriptedPrompter prompter(QtFailure());
    ScopedHost host(&prompter, nullptr);
    TAlarmLog_Form form;
    form.show();
    auto* save = Child<QPushButton>(form, "SpeichernButton");

    prompter.ExpectFileDialog(std::nullopt);
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(QDir(QString::fromStdString(dir.Path())).isEmpty());

    const std::string path = dir.File("log.txt");
    prompter.ExpectFileDialog(path);
    QTest::mouseClick(save, Qt::LeftButton);
    const auto dialogs = prompter.FileDialogs();
    QCOMPARE(dialogs.size(), size_t{2});
    QCOMPARE(dialogs[1].fileName, std::string("varnex_alarmlog"));
    QCOMPARE(dialogs[1].filter, std::string("Alarmlog|*.txt"));
    QCOMPARE(dialogs[1].defaultExt, std::string("txt"));
    std::string bytes;
    QVERIFY(ReadFileBytes(path, bytes));
    std::vector<std::string> lines;
    const auto records = DemonstrationLogRecords();
    DecodeLogRecords(records.data(), records.size(), lines);
    std::string expected;
    for (const auto& line : lines) expected += line + "\r\n";
    QCOMPARE(bytes, expected);

    prompter.ExpectFileDialog(dir.File("fehlt/log.txt"));
    prompter.ExpectContaining("Das Alarmlog konnte nicht gespeichert werden", "Varnex - Error");
    QTest::mouseClick(save, Qt::LeftButton);
    prompter.VerifyAllShown();
  }

  void closeButtonCloses() {
    TAlarmLog_Form form;
    form.show();
    QVERIFY(form.isVisible());
    QTest::mouseClick(Child<QPushButton>(form, "SchliessenButton"), Qt::LeftButton);
    QVERIFY(!form.isVisible());
  }
};

QTEST_MAIN(GuiAlarmLogTest)
#include "gui_alarmlog_test.moc"
