// The digits-only edit box.
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QtTest>

#include "IntEdit.h"

using namespace varnex;

class GuiIntEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    beeps_ = 0;
    TIntEdit::SetErrorSound([this] { ++beeps_; });
  }

  void onlyDigitsAreTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digits") << "0049" << true << "0049" << 0;
    QTest::newRow("letter and plus, sound") << "1a+2" << true << "12" << 2;
    QTest::newRow("letter, silent") << "x7" << false << "7" << 0;
    QTest::newRow("blank") << "3 4" << true << "34" << 1;
  }

  void onlyDigitsAreTyped() {
    QFETCH(QString, typed);
    QFETCH(bool, sound);
    TIntEdit edit;
    edit.Sound = sound;
    QTest::keyClicks(&edit, typed);
    QTEST(edit.text(), "text");
    QTEST(beeps_, "beeps");
  }

  void editingKeysStillWork() {
    TIntEdit edit;
    QTest::keyClicks(&edit, "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QString("2"));
    QCOMPARE(beeps_, 0);
  }

  void pastingIsNotFiltered() {
    TIntEdit edit;
    QApplication::clipboard()->setText("+49 30");
    edit.paste();
    QCOMPARE(edit.text(), QString("+49 30"));
    QCOMPARE(edit.Value(), 0);
    edit.SetValue(-17);
    QCOMPARE(edit.text(), QString("-17"));
    QCOMPARE(edit.Value(), -17);
  }

  void leadingZeroes() {
    TIntEdit edit;
    edit.SetAllowLeadingZeroes(false);
    QSignalSpy changed(&edit, &TIntEdit::Changed);
    edit.setText("0049");
    QCOMPARE(edit.text(), QString("49"));
    QCOMPARE(changed.last().at(0).toString(), QString("49"));
    edit.setText("0");
    QCOMPARE(edit.text(), QString());
    edit.SetAllowLeadingZeroes(true);
    edit.setText("0049");
    QCOMPARE(edit.text(), QString("0049"));
  }

 private:
  int beeps_ = 0;
};

QTEST_MAIN(GuiIntEditTest)
#include "gui_intedit_test.moc"
