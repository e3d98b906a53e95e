// The switch outputs dialog: the record shown and stored, the checks on OK with their marking,
// the enabling of the choices, cancelling, help, and how the dialog looks.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Ausgang_Form_Unit.h"
#include "FormHelpers.h"
#include "IntEdit.h"
#include "QtHost.h"
#include "ScriptedPrompter.h"

using namespace varnex;
using namespace varnex::test;

namespace {

constexpr const char* HelpDir = "/opt/varnex/hilfe_vnx/";
constexpr const char* TwiceText = "Eine MSN darf nicht zweimal fuer diesen Zweck vergeben sein!";

std::string SameAsDeviceText(const std::string& device) {
  return "MSN muss von der Hauptgeräte-MSN (" + device + ") verschieden sein!";
}

// A record with something in every byte the dialog could touch by mistake.
TDeviceConfig Record() {
  TDeviceConfig c;
  for (size_t b = 0; b < ConfigSize; ++b) c.Bytes[b] = static_cast<uint8_t>(b * 7 + 3);
  c.SetMsn("999");
  for (size_t i = 0; i < 2; ++i) {
    c.SwitchMsn(i).SetMsn("");
    c.SwitchMsn(i).SetAction(1);
    c.SwitchMsn(i).SetParam(0);
  }
  return c;
}

bool Marked(QWidget* box) {
  return box->palette().color(QPalette::Base) == FailedFieldColor;
}
bool White(QWidget* box) {
  return box->palette().color(QPalette::Base) == QColor(Qt::white) &&
         box->palette().color(QPalette::Text) == QColor(Qt::black);
}

// The dialog over a record, with a scripted prompter, a device number box and a recording
// document opener.
struct Rig {
  explicit Rig(bool noPlausibility = false, TDeviceConfig record = Record())
      : config(record),
        prompter([this](const std::string& m) { failures << Q(m); }),
        scope(&prompter, &pump),
        form(
            config, [this] { return device; }, noPlausibility, HelpDir) {
    SetDocumentOpener([this](const std::string& path) {
      opened.push_back(path);
      return true;
    });
  }
  ~Rig() { SetDocumentOpener({}); }

  template <typename T>
  T* Find(const QString& name) {
    T* found = form.findChild<T*>(name);
    if (!found) failures << "no control " + name;
    return found;
  }
  TIntEdit* Edit(int output) { return Find<TIntEdit>(QString("IntEdit%1").arg(output)); }
  QRadioButton* Radio(int n) { return Find<QRadioButton>(QString("RadioButton%1").arg(n)); }
  QComboBox* List(int n) { return Find<QComboBox>(QString("ComboBox%1").arg(n)); }
  QPushButton* Button(const QString& text) {
    for (auto* b : form.findChildren<QPushButton*>())
      if (b->text() == text) return b;
    failures << "no button " + text;
    return nullptr;
  }
  void Show() {
    form.show();
    QApplication::processEvents();
  }
  void Click(const QString& text) {
    if (QPushButton* b = Button(text)) QTest::mouseClick(b, Qt::LeftButton);
  }
  void Verify() {
    prompter.VerifyAllShown();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  TDeviceConfig config;
  QString device = "123";
  QStringList failures;
  ScriptedPrompter prompter;
  QtPump pump;
  ScopedHost scope;
  std::vector<std::string> opened;
  TAusgang_Form form;
};

}  // namespace

class GuiOutputsTest : public QObject {
  Q_OBJECT

 private slots:
  // --- OK: the checks, their marking and focus, and what is stored ----------------------------

  void okChecks_data() {
    QTest::addColumn<bool>("nopl");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("out1");
    QTest::addColumn<QString>("out2");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<int>("focused");      // 1 or 2, 0 when accepted
    QTest::addColumn<bool>("marked1");
    QTest::addColumn<bool>("marked2");

    const QString same = QString::fromStdString(SameAsDeviceText("123"));
    QTest::newRow("output 1 is the device") << false << "123"
                                            << "123"
                                            << "55" << same << 1 << true << false;
    QTest::newRow("output 2 is the device") << false << "123"
                                            << "55"
                                            << "123" << same << 2 << false << true;
    QTest::newRow("outputs alike") << false << "123"
                                   << "55"
                                   << "55" << QString(TwiceText) << 1 << true << true;
    QTest::newRow("a leading zero differs") << false << "123"
                                            << "055"
                                            << "55" << QString() << 0 << false << false;
    QTest::newRow("both empty") << false << "123"
                                << ""
                                << "" << QString() << 0 << false << false;
    // No MSN cannot be the device's, even while its box is empty.
    QTest::newRow("both empty, no device number") << false << ""
                                                  << ""
                                                  << "" << QString() << 0 << false << false;
    // The box as it reads now counts, not the number stored in the record ("999").
    QTest::newRow("stored device number") << false << "123"
                                          << "999"
                                          << "" << QString() << 0 << false << false;
    QTest::newRow("nopl: all alike") << true << "123"
                                     << "123"
                                     << "123" << QString() << 0 << false << false;
  }

  void okChecks() {
    QFETCH(bool, nopl);
    QFETCH(QString, device);
    QFETCH(QString, out1);
    QFETCH(QString, out2);
    QFETCH(QString, message);
    QFETCH(int, focused);
    QFETCH(bool, marked1);
    QFETCH(bool, marked2);

    Rig rig(nopl);
    rig.device = device;
    rig.Show();
    // Output 2 goes off, chosen while it has a number; the choice stays when the number goes.
    rig.Edit(2)->setText("1");
    rig.Radio(5)->click();
    rig.List(3)->setCurrentIndex(1);
    rig.Edit(1)->setText(out1);
    rig.Edit(2)->setText(out2);
    const TDeviceConfig before = rig.config;
    if (!message.isEmpty()) rig.prompter.Expect(S(message), "Varnex");
    rig.Click("&OK");

    if (message.isEmpty()) {
      QVERIFY(!rig.form.isVisible());
      QCOMPARE(rig.form.result(), int(QDialog::Accepted));
      TDeviceConfig expected = before;
      expected.SwitchMsn(0).SetMsn(S(out1));
      expected.SwitchMsn(0).SetAction(1);
      expected.SwitchMsn(0).SetParam(0);
      expected.SwitchMsn(1).SetMsn(S(out2));
      expected.SwitchMsn(1).SetAction(2);
      expected.SwitchMsn(1).SetParam(2);
      QVERIFY(rig.config == expected);
    } else {
      QVERIFY(rig.form.isVisible());
      QVERIFY(rig.config == before);
      QCOMPARE(rig.prompter.History().back().icon, MsgIcon::Error);
      QCOMPARE(rig.form.focusWidget(), static_cast<QWidget*>(rig.Edit(focused)));
    }
    QCOMPARE(Marked(rig.Edit(1)), marked1);
    QCOMPARE(Marked(rig.Edit(2)), marked2);
    rig.Verify();
  }

  // A marked field turns white when its number is edited or a choice of its group is clicked;
  // the other group's field keeps its mark.
  void editingUnmarks() {
    Rig rig;
    rig.Show();
    rig.Edit(1)->setText("55");
    rig.Edit(2)->setText("55");
    rig.prompter.Expect(TwiceText, "Varnex");
    rig.Click("&OK");
    QVERIFY(Marked(rig.Edit(1)) && Marked(rig.Edit(2)));

    rig.Radio(6)->click();
    QVERIFY(Marked(rig.Edit(1)));
    QVERIFY(White(rig.Edit(2)));
    rig.Edit(1)->setText("56");
    QVERIFY(White(rig.Edit(1)));

    // The next show starts white.
    rig.prompter.Expect(SameAsDeviceText("123"), "Varnex");
    rig.Edit(1)->setText("123");
    rig.Click("&OK");
    QVERIFY(Marked(rig.Edit(1)));
    rig.form.close();
    rig.Show();
    QVERIFY(White(rig.Edit(1)) && White(rig.Edit(2)));
    rig.Verify();
  }

  // --- Show: the record in the controls, and back unchanged on OK ------------------------------

  void showsAndKeeps_data() {
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("radio");     // the selected one
    QTest::addColumn<int>("list");      // the list whose item is checked
    QTest::addColumn<QString>("item");  // and its item

    QTest::newRow("1 toggles") << 0 << 1 << 0 << 1 << 1 << "an";
    QTest::newRow("1 goes on") << 0 << 2 << 1 << 2 << 1 << "an";
    QTest::newRow("1 goes off") << 0 << 2 << 2 << 2 << 1 << "aus";
    QTest::newRow("1 pulses 500 ms") << 0 << 3 << 1 << 3 << 2 << "500 ms";
    QTest::newRow("1 pulses 5000 ms") << 0 << 3 << 4 << 3 << 2 << "5000 ms";
    QTest::newRow("2 goes off") << 1 << 2 << 2 << 5 << 3 << "aus";
    QTest::newRow("2 pulses 2000 ms") << 1 << 3 << 3 << 6 << 4 << "2000 ms";
  }

  void showsAndKeeps() {
    QFETCH(int, output);
    QFETCH(int, action);
    QFETCH(int, param);
    QFETCH(int, radio);
    QFETCH(int, list);
    QFETCH(QString, item);

    TDeviceConfig record = Record();
    record.SwitchMsn(0).SetMsn("0301111");
    record.SwitchMsn(1).SetMsn("302222");
    record.SwitchMsn(static_cast<size_t>(output)).SetAction(static_cast<uint8_t>(action));
    record.SwitchMsn(static_cast<size_t>(output)).SetParam(static_cast<uint8_t>(param));
    Rig rig(false, record);
    rig.Show();

    QCOMPARE(rig.Edit(1)->text(), QString("0301111"));
    QCOMPARE(rig.Edit(2)->text(), QString("302222"));
    QVERIFY(rig.Radio(radio)->isChecked());
    QCOMPARE(rig.List(list)->currentText(), item);
    rig.Click("&OK");
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.config == record);
    rig.Verify();
  }

  // The dialog lives for the whole program run: a stored action 0 (or one it does not know)
  // shows the choices the last use left; straight after creation that is "Ausgang wechselt".
  void noActionKeepsLastChoice() {
    TDeviceConfig record = Record();
    record.SwitchMsn(0).SetMsn("77");
    record.SwitchMsn(0).SetAction(0);
    record.SwitchMsn(1).SetMsn("78");
    record.SwitchMsn(1).SetAction(9);
    Rig rig(false, record);
    rig.Show();
    QVERIFY(rig.Radio(1)->isChecked());
    QVERIFY(rig.Radio(4)->isChecked());
    QCOMPARE(rig.List(2)->currentText(), QString("1000 ms"));
    QCOMPARE(rig.List(1)->currentText(), QString("an"));

    rig.Radio(3)->click();
    rig.List(2)->setCurrentIndex(2);
    rig.Radio(5)->click();
    rig.List(3)->setCurrentIndex(1);
    rig.form.close();  // the title-bar button stores nothing
    QVERIFY(rig.config == record);

    rig.Show();
    QVERIFY(rig.Radio(3)->isChecked());
    QCOMPARE(rig.List(2)->currentText(), QString("2000 ms"));
    QVERIFY(rig.Radio(5)->isChecked());
    QCOMPARE(rig.List(3)->currentText(), QString("aus"));
    rig.Click("&OK");
    QCOMPARE(rig.config.SwitchMsn(0).Action(), uint8_t{3});
    QCOMPARE(rig.config.SwitchMsn(0).Param(), uint8_t{3});
    QCOMPARE(rig.config.SwitchMsn(1).Action(), uint8_t{2});
    QCOMPARE(rig.config.SwitchMsn(1).Param(), uint8_t{2});

    // A parameter outside a list selects the button but leaves the list on a valid item.
    rig.config.SwitchMsn(0).SetAction(2);
    rig.config.SwitchMsn(0).SetParam(7);
    rig.Show();
    QVERIFY(rig.Radio(2)->isChecked());
    QCOMPARE(rig.List(1)->currentText(), QString("an"));
    rig.Click("&OK");
    QCOMPARE(rig.config.SwitchMsn(0).Action(), uint8_t{2});
    QCOMPARE(rig.config.SwitchMsn(0).Param(), uint8_t{1});
    rig.Verify();
  }

  // --- Enabling -------------------------------------------------------------------------------

  void enabling_data() {
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("click");  // 0, 1, 2: toggle, set state, pulse of the group
    QTest::addColumn<bool>("radios");
    QTest::addColumn<bool>("stateList");
    QTest::addColumn<bool>("pulseList");

    QTest::newRow("1 without number") << 1 << "" << 1 << false << false << false;
    QTest::newRow("1 toggles") << 1 << "5" << 0 << true << false << false;
    QTest::newRow("1 sets a state") << 1 << "5" << 1 << true << true << false;
    QTest::newRow("1 pulses") << 1 << "5" << 2 << true << false << true;
    QTest::newRow("2 without number") << 2 << "" << 2 << false << false << false;
    QTest::newRow("2 sets a state") << 2 << "0" << 1 << true << true << false;
    QTest::newRow("2 pulses") << 2 << "0" << 2 << true << false << true;
  }

  void enabling() {
    QFETCH(int, output);
    QFETCH(QString, number);
    QFETCH(int, click);
    QFETCH(bool, radios);
    QFETCH(bool, stateList);
    QFETCH(bool, pulseList);

    Rig rig;
    rig.Show();
    const int first = output == 1 ? 1 : 4;
    const int lists = output == 1 ? 1 : 3;
    rig.Edit(3 - output)->setText("8");
    // Chosen while the number is there, so that the click reaches an enabled button.
    rig.Edit(output)->setText("1");
    rig.Radio(first + click)->click();
    rig.Edit(output)->setText(number);

    for (int r = first; r < first + 3; ++r) QCOMPARE(rig.Radio(r)->isEnabled(), radios);
    QCOMPARE(rig.List(lists)->isEnabled(), stateList);
    QCOMPARE(rig.List(lists + 1)->isEnabled(), pulseList);
    // The other group follows its own number only.
    const int other = output == 1 ? 4 : 1;
    QVERIFY(rig.Radio(other)->isEnabled());
    QVERIFY(!rig.List(output == 1 ? 3 : 1)->isEnabled());
    rig.Verify();
  }

  // --- Cancel, close, help ----------------------------------------------------------------------

  // "&Abbrechen" puts back the record from the first switch output to its end as it was on
  // show; everything before stays as it is now.
  void cancelRestores() {
    Rig rig;
    rig.Show();
    const TDeviceConfig shown = rig.config;
    const size_t from = cfg::SwitchMsns[0];
    for (size_t b = from - 4; b < ConfigSize; ++b) rig.config.Bytes[b] ^= 0x5A;
    const TDeviceConfig changed = rig.config;
    rig.Click("&Abbrechen");
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.form.result(), int(QDialog::Rejected));
    for (size_t b = 0; b < ConfigSize; ++b) {
      const uint8_t expected = b < from ? changed.Bytes[b] : shown.Bytes[b];
      if (rig.config.Bytes[b] != expected) QFAIL(qPrintable(QString("byte %1").arg(b)));
    }

    // Closing by the title bar writes nothing back.
    rig.Show();
    for (size_t b = from; b < ConfigSize; ++b) rig.config.Bytes[b] ^= 0x33;
    const TDeviceConfig beforeClose = rig.config;
    rig.form.close();
    QVERIFY(rig.config == beforeClose);
    rig.Verify();
  }

  void helpOpensItsPage() {
    Rig rig;
    rig.Show();
    const TDeviceConfig before = rig.config;
    rig.Click("&Hilfe");
    QCOMPARE(rig.opened, std::vector<std::string>{std::string(HelpDir) + "schaltausgang.html"});
    QVERIFY(rig.form.isVisible());
    QVERIFY(rig.config == before);
    rig.Verify();
  }

  // --- How it looks ---------------------------------------------------------------------------

  // Captions, lists, boxes and frame; every text fits its control. VARNEX_SHOTS=<folder> keeps a
  // picture.
  void looks() {
    Rig rig;
    rig.Show();
    QWidget& form = rig.form;
    QCOMPARE(form.windowTitle(), QString("Schaltausgänge"));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    if (QScreen* screen = form.screen())
      QVERIFY((form.frameGeometry().center() - screen->availableGeometry().center())
                  .manhattanLength() <= 2);

    QStringList groups;
    for (auto* g : form.findChildren<QGroupBox*>()) groups << g->title();
    QCOMPARE(groups, QStringList({"Schaltausgang 1 ", "Schaltausgang 2"}));
    QStringList radios;
    for (int r = 1; r <= 6; ++r) radios << rig.Radio(r)->text();
    QCOMPARE(radios,
             QStringList({"Ausgang wechselt", "Ausgang 1 geht", "Ausgang gibt Impuls von",
                          "Ausgang wechselt", "Ausgang 2 geht", "Ausgang gibt Impuls von"}));
    for (int n = 1; n <= 4; ++n) {
      QComboBox* list = rig.List(n);
      QVERIFY(!list->isEditable());
      QStringList items;
      for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
      QCOMPARE(items, n % 2 ? QStringList({"an", "aus"})
                            : QStringList({"500 ms", "1000 ms", "2000 ms", "5000 ms"}));
    }
    for (int n = 1; n <= 2; ++n) {
      TIntEdit* box = rig.Edit(n);
      QCOMPARE(box->maxLength(), 15);
      QVERIFY(box->AllowLeadingZeroes());
      QVERIFY(!box->Sound);
    }
    int explanations = 0, msnLabels = 0;
    for (auto* label : form.findChildren<QLabel*>()) {
      explanations += label->text() ==
                      "Bei Anruf von einem eingetragenen Administrator wird folgender Vorgang "
                      "ausgelöst:";
      msnLabels += label->text() == "MSN:";
    }
    QCOMPARE(explanations, 2);
    QCOMPARE(msnLabels, 2);

    rig.Edit(1)->setText("123456789012345");
    for (QWidget* w : form.findChildren<QWidget*>()) {
      if (!w->isVisibleTo(&form) || w->window() != &form) continue;
      const QRect inForm(w->mapTo(&form, QPoint(0, 0)), w->size());
      if (!form.rect().contains(inForm)) rig.failures << w->objectName() + " lies outside";
      if (!w->parentWidget()->rect().contains(w->geometry()))
        rig.failures << w->objectName() + " lies outside its group";
      int needed = 0;
      if (auto* l = qobject_cast<QLabel*>(w)) {
        needed = l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().width();
        if (l->wordWrap() ? needed > l->height() : needed > l->width())
          rig.failures << "\"" + l->text() + "\" is cut (" + QString::number(needed) + ")";
        continue;
      }
      if (auto* b = qobject_cast<QRadioButton*>(w)) needed = b->sizeHint().width();
      if (auto* b = qobject_cast<QPushButton*>(w))
        needed = b->fontMetrics().horizontalAdvance(QString(b->text()).remove('&')) + 8;
      if (auto* c = qobject_cast<QComboBox*>(w)) needed = c->sizeHint().width();
      if (auto* e = qobject_cast<TIntEdit*>(w))
        needed = e->fontMetrics().horizontalAdvance(e->text()) + 8;
      if (needed > w->width())
        rig.failures << w->objectName() + " is cut (" + QString::number(needed) + " > " +
                            QString::number(w->width()) + ")";
    }
    const QString shots = qEnvironmentVariable("VARNEX_SHOTS");
    if (!shots.isEmpty()) form.grab().save(shots + "/outputs.png");
    rig.Verify();
  }
};

QTEST_MAIN(GuiOutputsTest)
#include "gui_outputs_test.moc"
