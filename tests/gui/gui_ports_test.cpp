// The "Select ComPort" dialog and the search window.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "SelectPort.h"
#include "comport_seach_form_unit.h"

using namespace varnex;

namespace {

// Runs SelectPort and acts on the dialog once it is up; the action must close it.
bool RunSelectPort(TComPort& port, const std::function<void(QDialog&)>& act) {
  bool acted = false;
  std::function<void()> poll = [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      acted = true;
      act(*dialog);
      if (dialog->isVisible()) dialog->reject();  // a failed check must not hang the test
    } else {
      QTimer::singleShot(5, poll);
    }
  };
  QTimer::singleShot(0, poll);
  const bool chosen = SelectPort(port);
  if (!acted) qWarning("the dialog never showed");
  return chosen;
}

QStringList Split(const QString& items) {
  return items.isEmpty() ? QStringList() : items.split(',');
}

void Fill(TComPort& port, const QStringList& items) {
  port.PortList.clear();
  for (const auto& item : items) port.PortList.push_back(item.toStdString());
}

}  // namespace

class GuiPortsTest : public QObject {
  Q_OBJECT

 private slots:
  void okOnlyForAnExactItem_data() {
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("item") << "COM1,COM3"
                          << "COM3" << true;
    QTest::newRow("lower case") << "COM1,COM3"
                                << "com3" << false;
    QTest::newRow("prefix of an item") << "COM1,COM12"
                                       << "COM" << false;
    QTest::newRow("trailing blank") << "COM3"
                                    << "COM3 " << false;
    QTest::newRow("not listed") << "COM1,COM3"
                                << "COM4" << false;
    QTest::newRow("empty text") << "COM1"
                                << "" << false;
    QTest::newRow("empty list") << ""
                                << "COM1" << false;
  }
  void okOnlyForAnExactItem() {
    QFETCH(QString, items);
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    TComPort port;
    Fill(port, Split(items));
    bool seen = !enabled;
    RunSelectPort(port, [&](QDialog& dialog) {
      auto* combo = dialog.findChild<QComboBox*>("ComboBox1");
      auto* ok = dialog.findChild<QPushButton*>("OkButton");
      QVERIFY(combo && ok);
      QVERIFY(!ok->isEnabled());  // nothing preset
      QTest::keyClicks(combo->lineEdit(), typed);
      seen = ok->isEnabled();
      QTest::keyClick(combo->lineEdit(), Qt::Key_Escape);
    });
    QCOMPARE(seen, enabled);
    QCOMPARE(SelectPortOkEnabled(typed, Split(items)), enabled);
  }

  void initialText_data() {
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<QString>("firstVirtualPort");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("chosen port") << 3 << "COM5"
                                 << "COM3" << true;
    QTest::newRow("chosen port not listed") << 7 << "COM5"
                                            << "COM7" << false;
    QTest::newRow("first USB adapter") << 0 << "COM5"
                                       << "COM5" << true;
    QTest::newRow("nothing") << 0 << ""
                             << "" << false;
  }
  void initialText() {
    QFETCH(int, portNumber);
    QFETCH(QString, firstVirtualPort);
    QFETCH(QString, text);
    QFETCH(bool, okEnabled);
    TComPort port;
    Fill(port, {"COM3", "COM5"});
    port.PortNumber = static_cast<uint8_t>(portNumber);
    port.FirstVirtualPort = firstVirtualPort.toStdString();
    RunSelectPort(port, [&](QDialog& dialog) {
      QCOMPARE(dialog.findChild<QComboBox*>("ComboBox1")->currentText(), text);
      QCOMPARE(dialog.findChild<QPushButton*>("OkButton")->isEnabled(), okEnabled);
      dialog.reject();
    });
  }

  void enterChoosesEscapeCancels_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<int>("portNumber");
    QTest::newRow("enter") << "COM12" << int(Qt::Key_Return) << true << 12;
    QTest::newRow("keypad enter") << "COM3" << int(Qt::Key_Enter) << true << 3;
    QTest::newRow("escape") << "COM12" << int(Qt::Key_Escape) << false << 9;
    QTest::newRow("no digits") << "COMx" << int(Qt::Key_Return) << false << 9;
    QTest::newRow("beyond 255") << "COM256" << int(Qt::Key_Return) << false << 9;
  }
  void enterChoosesEscapeCancels() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(bool, chosen);
    QFETCH(int, portNumber);
    TComPort port;
    Fill(port, {"COM3", "COM12", "COMx", "COM256"});
    port.PortNumber = 9;
    const bool result = RunSelectPort(port, [&](QDialog& dialog) {
      auto* edit = dialog.findChild<QComboBox*>("ComboBox1")->lineEdit();
      edit->clear();
      QTest::keyClicks(edit, typed);
      QTest::keyClick(edit, Qt::Key(key));
      QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(result, chosen);
    QCOMPARE(int(port.PortNumber), portNumber);
  }

  void enterWithOkDisabledKeepsTheDialogOpen() {
    TComPort port;
    Fill(port, {"COM3"});
    bool stayedOpen = false;
    const bool result = RunSelectPort(port, [&](QDialog& dialog) {
      auto* edit = dialog.findChild<QComboBox*>("ComboBox1")->lineEdit();
      QTest::keyClicks(edit, "COM4");
      QTest::keyClick(edit, Qt::Key_Return);
      stayedOpen = dialog.isVisible();
      dialog.findChild<QPushButton*>("CancelButton")->click();
    });
    QVERIFY(stayedOpen);
    QVERIFY(!result);
    QCOMPARE(int(port.PortNumber), 0);
  }

  void numberFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("COM7") << "COM7" << 7;
    QTest::newRow("digits then text") << "COM12abc" << 12;
    QTest::newRow("no digits") << "COM" << 0;
    QTest::newRow("any prefix") << "XYZ4" << 4;
    QTest::newRow("huge") << "COM99999999999999" << 256;
  }
  void numberFromText() {
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(SelectPortNumberFromText(text), number);
  }

  void listShowsWhatEachPortIs() {
    TComPort port;
    Fill(port, {"COM1", "COM3"});
    port.ScannedPorts = {{"COM1", "/dev/ttyS0", "built-in serial port, /dev/ttyS0", ""},
                         {"COM3", "/dev/ttyUSB0", "FTDI USB serial, /dev/ttyUSB0", ""}};
    RunSelectPort(port, [&](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QString("Select ComPort"));
      QCOMPARE(dialog.size(), QSize(185, 81));
      auto* combo = dialog.findChild<QComboBox*>("ComboBox1");
      QCOMPARE(combo->geometry(), QRect(8, 16, 161, 21));
      QCOMPARE(combo->count(), 2);
      QCOMPARE(combo->itemText(1), QString("COM3"));
      const QModelIndex row = combo->model()->index(1, 1);
      QCOMPARE(row.data().toString(), QString("FTDI USB serial, /dev/ttyUSB0"));
      QCOMPARE(combo->itemData(1, Qt::ToolTipRole).toString(),
               QString("FTDI USB serial, /dev/ttyUSB0"));
      combo->showPopup();
      QVERIFY(combo->view()->isVisible());
      if (!qEnvironmentVariableIsEmpty("VARNEX_SHOTS")) {
        dialog.grab().save(qEnvironmentVariable("VARNEX_SHOTS") + "/select_port.png");
        combo->view()->window()->grab().save(qEnvironmentVariable("VARNEX_SHOTS") +
                                             "/select_port_list.png");
      }
      combo->hidePopup();
      dialog.reject();
    });
  }

  void searchWindowAnimatesWhileShown() {
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    Tcomport_seach_form form(&owner);
    auto* label1 = form.findChild<QLabel*>("Label1");
    auto* label2 = form.findChild<QLabel*>("Label2");
    auto* timer = form.findChild<QTimer*>("Timer1");
    QVERIFY(label1 && label2 && timer);
    QCOMPARE(form.size(), QSize(161, 37));
    QCOMPARE(form.findChild<QWidget*>("Bevel1")->geometry(), QRect(4, 4, 153, 29));
    QCOMPARE(label1->text(), QString("Com1"));
    QVERIFY(!timer->isActive());

    ISearchWindow& window = form;
    window.ShowPort("COM3");
    QVERIFY(form.isVisible());
    QCOMPARE(label1->text(), QString("COM3"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 250);
    QVERIFY((form.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <=
            2);

    // Five ticks show the whole cycle, starting wherever the program's counter stood.
    const QStringList cycle{"     ?", " .   ?", " ..  ?", " ... ?", " ... ?"};
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
      QVERIFY(QMetaObject::invokeMethod(&form, "Timer1Timer"));
      seen << label2->text();
    }
    const int start = int(cycle.indexOf(seen[0]));
    QVERIFY(start >= 0);
    bool rotation = false;
    for (int offset = 0; offset < 5 && !rotation; ++offset) {
      rotation = true;
      for (int i = 0; i < 5; ++i) rotation = rotation && seen[i] == cycle[(offset + i) % 5];
    }
    QVERIFY2(rotation, qPrintable(seen.join('|')));

    window.ShowPort("COM123");
    QVERIFY(label2->geometry().left() >=
            label1->geometry().left() + label1->fontMetrics().horizontalAdvance("COM123"));
    QVERIFY(label2->geometry().right() < 157);
    if (!qEnvironmentVariableIsEmpty("VARNEX_SHOTS"))
      form.grab().save(qEnvironmentVariable("VARNEX_SHOTS") + "/search_window.png");
    window.CloseWindow();
    QVERIFY(!form.isVisible());
    QVERIFY(!timer->isActive());
  }
};

QTEST_MAIN(GuiPortsTest)
#include "gui_ports_test.moc"
