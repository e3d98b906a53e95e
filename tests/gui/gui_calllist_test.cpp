// The call list dialog: compaction on showing, "&Abbrechen" and the title-bar close, new, edit
// and delete through the entry dialog, moving entries, a full list, and how it looks.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "AdminForm_Unit.h"
#include "AnrufListen_Form_Unit.h"
#include "PhoneListGrid.h"
#include "QtHost.h"
#include "ScriptedPrompter.h"
#include "SpinEdit.h"

using namespace varnex;
using namespace varnex::test;

namespace {

void SetCall(TDeviceConfig& c, size_t input, size_t k, const char* name, const char* number,
             bool active = true) {
  const TPhoneEntry e = c.Input(input).Call(k);
  e.SetName(name);
  e.Phone().SetCountry("49");
  e.Phone().SetArea("30");
  e.Phone().SetSubscriber(number);
  e.SetActive(active);
}

std::string CallName(const TDeviceConfig& c, size_t input, size_t k) {
  return c.Input(input).Call(k).Name();
}

// The call list dialog over a record of its own, with the entry dialog it uses. Each time the
// entry dialog shows, the next scripted action runs on it inside its modal loop; a showing
// nobody scripted is a failure and is cancelled.
class Rig : public QObject {
 public:
  Rig()
      : prompter([this](const std::string& m) { failures << Q(m); }),
        scope(&prompter, &pump, &settings),
        entry(config, [] { return QString("49"); }),
        form(config, entry) {
    entry.installEventFilter(this);
  }

  void Open(int input) {
    form.InputIndex = input;
    form.show();
    QApplication::processEvents();
  }
  void OnEntryForm(std::function<void(TAdminForm&)> act) { actions.push_back(std::move(act)); }

  template <typename T>
  T* Find(const char* name) {
    T* found = form.findChild<T*>(name);
    if (!found) failures << QString("no control ") + name;
    return found;
  }
  void Click(const char* name) {
    if (auto* b = Find<QAbstractButton>(name)) QTest::mouseClick(b, Qt::LeftButton);
  }
  TPhoneListGrid* Grid() { return Find<TPhoneListGrid>("anruf_grid"); }
  QStringList Names(size_t input) const {
    QStringList names;
    for (size_t k = 0; k < cfg::ListEntries; ++k)
      if (const std::string n = CallName(config, input, k); !n.empty()) names << Q(n);
    return names;
  }

  void Verify() {
    prompter.VerifyAllShown();
    if (!actions.empty()) failures << "the entry dialog was not shown";
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &entry && event->type() == QEvent::Show) {
      std::function<void(TAdminForm&)> act;
      if (!actions.empty()) {
        act = std::move(actions.front());
        actions.pop_front();
      } else {
        failures << "the entry dialog was shown unasked";
        act = [](TAdminForm& d) { d.reject(); };
      }
      QTimer::singleShot(0, &entry, [this, act] {
        if (QApplication::activeModalWidget() != &entry) failures << "entry dialog not modal";
        act(entry);
        if (entry.isVisible()) entry.reject();
      });
    }
    return false;
  }

  QStringList failures;
  ScriptedPrompter prompter;
  QtPump pump;
  MemorySettings settings;
  ScopedHost scope;
  TDeviceConfig config;
  TAdminForm entry;
  TAnruflisten_Form form;
  std::deque<std::function<void(TAdminForm&)>> actions;
};

// Types into the entry dialog's boxes as a user would and presses "&OK".
void FillAndStore(TAdminForm& d, const QString& name, const QString& number) {
  for (auto [box, text] : {std::pair{"Edit1", name}, std::pair{"IntEdit8", number}}) {
    auto* edit = d.findChild<QLineEdit*>(box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  QTest::mouseClick(d.findChild<QPushButton*>("Button1"), Qt::LeftButton);
}

}  // namespace

class GuiCallListTest : public QObject {
  Q_OBJECT

 private slots:
  // Entries in slots 0, 3 and 7 and no number of passes. How the dialog is left decides what
  // stays: "&Abbrechen" all as it was, "&OK" everything, the title-bar close the compacted list
  // and the passes set on showing, but not the two settings.
  void showCompactsAndLeavingDecides_data() {
    QTest::addColumn<QString>("leave");
    QTest::newRow("Abbrechen") << "Button5";
    QTest::newRow("OK") << "Button4";
    QTest::newRow("close") << "";
  }
  void showCompactsAndLeavingDecides() {
    QFETCH(QString, leave);
    Rig rig;
    SetCall(rig.config, 1, 0, "A", "1");
    SetCall(rig.config, 1, 3, "B", "2", false);
    SetCall(rig.config, 1, 7, "C", "3");
    rig.config.Input(1).Call(5).SetActive(true);  // no name: a free slot
    rig.config.Input(1).SetPasses(0);
    SetCall(rig.config, 0, 4, "other input", "9");
    const TDeviceConfig before = rig.config;

    rig.Open(1);
    QCOMPARE(rig.form.windowTitle(), QString("Anrufliste für Eingang2"));
    QCOMPARE(rig.Grid()->rowCount(), 3);
    const TConstAlarmInput input = std::as_const(rig.config).Input(1);
    QCOMPARE(rig.Names(1), (QStringList{"A", "B", "C"}));
    QCOMPARE(CallName(rig.config, 1, 2), std::string("C"));
    QCOMPARE(input.Call(1).Phone().Subscriber(), std::string("2"));
    QVERIFY(!input.Call(1).Active());
    for (size_t b = 3 * phone_entry::Size; b < PhoneListSize; ++b)
      QCOMPARE(int(input.CallList()[b]), 0);
    QCOMPARE(CallName(rig.config, 0, 4), std::string("other input"));
    QCOMPARE(int(input.Passes()), 3);
    auto* passes = rig.Find<TSpinEdit>("SpinEdit1");
    QCOMPARE(passes->Value(), 3);

    auto* passesText = passes->findChild<QLineEdit*>();
    passesText->selectAll();
    QTest::keyClicks(passesText, "7");
    rig.Click("CheckBox1");
    if (leave.isEmpty())
      rig.form.close();
    else
      rig.Click(qPrintable(leave));
    QVERIFY(!rig.form.isVisible());

    if (leave == "Button5") {
      QVERIFY(rig.config == before);
    } else {
      QCOMPARE(rig.Names(1), (QStringList{"A", "B", "C"}));
      QCOMPARE(CallName(rig.config, 1, 2), std::string("C"));
      const bool ok = leave == "Button4";
      QCOMPARE(int(input.Passes()), ok ? 7 : 3);
      QCOMPARE(input.RunToEnd(), ok);
    }
    rig.Verify();
  }

  void newAndEditGoThroughTheEntryDialog() {
    Rig rig;
    SetCall(rig.config, 0, 0, "A", "1");
    SetCall(rig.config, 0, 1, "B", "2");
    rig.Open(0);
    rig.OnEntryForm([&](TAdminForm& d) {
      QCOMPARE(d.windowTitle(), QString("Anrufliste Eingang1"));
      QCOMPARE(d.findChild<QLineEdit*>("Edit1")->text(), QString());
      QCOMPARE(d.findChild<QLineEdit*>("IntEdit6")->text(), QString("49"));
      QVERIFY(d.findChild<QCheckBox*>("CheckBox1")->isChecked());
      FillAndStore(d, "Wache", "110");
      // The grid follows the stored entry before the entry dialog is gone.
      QCOMPARE(rig.Grid()->rowCount(), 3);
    });
    rig.Click("Button1");
    QCOMPARE(rig.Names(0), (QStringList{"A", "B", "Wache"}));
    const TConstPhoneEntry added = std::as_const(rig.config).Input(0).Call(2);
    QCOMPARE(added.Phone().Country(), std::string("49"));
    QCOMPARE(added.Phone().Subscriber(), std::string("110"));
    QVERIFY(added.Active());
    QCOMPARE(rig.Grid()->rowCount(), 3);

    // A double click on the second row edits that entry; the selection stays on it.
    TPhoneListGrid* grid = rig.Grid();
    rig.OnEntryForm([&](TAdminForm& d) {
      QCOMPARE(d.findChild<QLineEdit*>("Edit1")->text(), QString("B"));
      QCOMPARE(d.findChild<QLineEdit*>("IntEdit8")->text(), QString("2"));
      FillAndStore(d, "Bea", "22");
    });
    const QRect second = grid->visualRect(grid->model()->index(1, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(rig.Names(0), (QStringList{"A", "Bea", "Wache"}));
    QCOMPARE(grid->SelectedRow(), 1);
    // Enter edits too; "&Abbrechen" in the entry dialog changes nothing.
    rig.OnEntryForm([](TAdminForm& d) {
      QCOMPARE(d.findChild<QLineEdit*>("Edit1")->text(), QString("Bea"));
      d.findChild<QLineEdit*>("Edit1")->setText("X");
      QTest::mouseClick(d.findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(rig.Names(0), (QStringList{"A", "Bea", "Wache"}));
    rig.Verify();
  }

  void deleteAsksAndTheEmptyListRefusesEverything() {
    Rig rig;
    SetCall(rig.config, 0, 0, "A", "1");
    SetCall(rig.config, 0, 1, "B", "2");
    rig.Open(0);
    TPhoneListGrid* grid = rig.Grid();
    grid->SelectRow(1);
    rig.prompter.Expect("Benutzer Nr.2 wirklich entfernen ?", "Varnex", MsgResult::No);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(rig.Names(0), (QStringList{"A", "B"}));
    QCOMPARE(rig.prompter.History().back().icon, MsgIcon::Question);

    grid->SelectRow(0);
    rig.prompter.Expect("Benutzer Nr.1 wirklich entfernen ?", "Varnex", MsgResult::Yes);
    rig.Click("Button3");
    QCOMPARE(rig.Names(0), QStringList{"B"});
    QCOMPARE(grid->rowCount(), 1);

    rig.prompter.Expect("Benutzer Nr.1 wirklich entfernen ?", "Varnex", MsgResult::Yes);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(grid->rowCount(), 1);
    const TDeviceConfig empty = rig.config;
    // The emptied entry is dropped whole by the compaction, its Active byte with it.
    const uint8_t* list = empty.Input(0).CallList();
    QVERIFY(std::all_of(list, list + PhoneListSize, [](uint8_t b) { return b == 0; }));

    // Nothing to delete, edit or move: no question, no entry dialog, no change.
    for (const char* button : {"Button3", "Button2", "SpeedButton1", "SpeedButton2"})
      rig.Click(button);
    QTest::keyClick(grid, Qt::Key_Delete);
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(rig.config == empty);
    rig.Verify();
  }

  void upAndDownMoveTheSelectedEntry() {
    Rig rig;
    SetCall(rig.config, 0, 0, "A", "1", true);
    SetCall(rig.config, 0, 1, "B", "2", false);
    SetCall(rig.config, 0, 2, "C", "3", true);
    rig.Open(0);
    TPhoneListGrid* grid = rig.Grid();
    QCOMPARE(rig.form.LastEntryIndex(), 2);

    // Up on the first row and down on the last do nothing.
    const TDeviceConfig before = rig.config;
    grid->SelectRow(0);
    rig.Click("SpeedButton1");
    grid->SelectRow(2);
    rig.Click("SpeedButton2");
    QVERIFY(rig.config == before);
    QCOMPARE(grid->SelectedRow(), 2);

    grid->SelectRow(0);
    rig.Click("SpeedButton2");
    QCOMPARE(rig.Names(0), (QStringList{"B", "A", "C"}));
    QCOMPARE(grid->SelectedRow(), 1);
    // The whole entry moves, its number and flag with it.
    const TConstAlarmInput input = std::as_const(rig.config).Input(0);
    QVERIFY(!input.Call(0).Active());
    QCOMPARE(input.Call(0).Phone().Subscriber(), std::string("2"));
    QCOMPARE(input.Call(1).Phone().Subscriber(), std::string("1"));

    grid->SelectRow(2);
    rig.Click("SpeedButton1");
    QCOMPARE(rig.Names(0), (QStringList{"B", "C", "A"}));
    QCOMPARE(grid->SelectedRow(), 1);
    QCOMPARE(rig.form.SelectedEntry(), 1);

    // Without a selection neither button moves anything, the first entry included.
    grid->clearSelection();
    grid->setCurrentIndex(QModelIndex());
    QCOMPARE(rig.form.SelectedEntry(), 0);
    for (const char* button : {"SpeedButton2", "SpeedButton1"}) {
      rig.Click(button);
      QCOMPARE(rig.Names(0), (QStringList{"B", "C", "A"}));
    }
    rig.Verify();
  }

  void newOnAFullListWritesNothing() {
    Rig rig;
    for (size_t k = 0; k < cfg::ListEntries; ++k)
      SetCall(rig.config, 0, k, qPrintable(QString("N%1").arg(k)), "1");
    rig.Open(0);
    const TDeviceConfig before = rig.config;
    rig.prompter.Expect(TAdminForm::ListFullText, "Varnex");
    rig.Click("Button1");
    QCOMPARE(rig.prompter.History().back().icon, MsgIcon::Information);
    // The popup's "Neu" refuses the same way.
    QAction* popupNew = nullptr;
    for (QAction* a : rig.Grid()->actions())
      if (a->text() == "Neu") popupNew = a;
    QVERIFY(popupNew);
    rig.prompter.Expect(TAdminForm::ListFullText, "Varnex");
    popupNew->trigger();
    QVERIFY(rig.config == before);
    QCOMPARE(rig.Grid()->rowCount(), 10);
    rig.Verify();
  }

  // Every text fits its control and every control lies inside the window; VARNEX_SHOTS=<folder>
  // keeps a picture.
  void textsFit() {
    Rig rig;
    SetCall(rig.config, 0, 0, "Dr. Hildegard Schwarzenberger", "123456789012345");
    rig.config.Input(0).Call(0).Phone().SetArea("30123");
    SetCall(rig.config, 0, 1, "Wache", "110", false);
    rig.Open(0);
    QWidget& window = rig.form;
    for (QWidget* w : window.findChildren<QWidget*>()) {
      if (!w->isVisibleTo(&window)) continue;
      const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
      if (!window.rect().contains(inWindow))
        rig.failures << w->objectName() + " " + w->metaObject()->className() + " lies outside";
      QString text;
      int needed = w->sizeHint().width();
      if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
      if (auto* b = qobject_cast<QCheckBox*>(w)) text = b->text();
      if (auto* b = qobject_cast<QPushButton*>(w)) {
        text = b->text();
        needed = b->fontMetrics().horizontalAdvance(QString(text).remove('&')) + 8;
      }
      if (!text.isEmpty() && needed > w->width())
        rig.failures << "\"" + text + "\" is cut (" + QString::number(needed) + " > " +
                            QString::number(w->width()) + ")";
    }
    const auto widths = PhoneListColumnWidths(439);
    for (int c = 0; c < 4; ++c) QCOMPARE(rig.Grid()->columnWidth(c), widths[c]);
    QCOMPARE(rig.Grid()->rowHeight(1), TPhoneListGrid::RowHeight);
    QCOMPARE(rig.Find<QToolButton>("SpeedButton1")->toolTip(),
             QString("In der Liste nach oben schieben"));
    QCOMPARE(rig.Find<QToolButton>("SpeedButton2")->toolTip(),
             QString("In der Liste nach unten schieben"));
    if (const QString shots = qEnvironmentVariable("VARNEX_SHOTS"); !shots.isEmpty())
      window.grab().save(shots + "/calllist.png");
    rig.Verify();
  }
};

QTEST_MAIN(GuiCallListTest)
#include "gui_calllist_test.moc"
