#include "SelectPort.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>

namespace varnex {

namespace {

// What the last dialog chose; -1 = nothing.
int selectPortResult = -1;

// Larger numbers are no port; counting stops there so that long digit runs cannot overflow.
constexpr int NoPortNumber = 256;

// Enter presses OK and Escape presses Cancel while the list has the focus.
class ListKeys : public QObject {
 public:
  ListKeys(QPushButton* ok, QPushButton* cancel, QObject* parent)
      : QObject(parent), ok_(ok), cancel_(cancel) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ok_->click();  // does nothing while OK is disabled
        return true;
      }
      if (key == Qt::Key_Escape) {
        cancel_->click();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace

bool SelectPortOkEnabled(const QString& text, const QStringList& items) {
  return !text.isEmpty() && items.contains(text, Qt::CaseSensitive);
}

int SelectPortNumberFromText(const QString& text) {
  int number = 0;
  for (int i = 3; i < text.size() && text[i].isDigit() && number < NoPortNumber; ++i)
    number = number * 10 + text[i].digitValue();
  return std::min(number, NoPortNumber);
}

bool SelectPort(TComPort& port, QWidget* parent) {
  selectPortResult = -1;

  QDialog dialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setObjectName("SelectPortDialog");
  dialog.setWindowTitle("Select ComPort");
  dialog.setFixedSize(185, 81);
  const QRect screen =
      (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  dialog.move(screen.center() - dialog.rect().center());

  auto* group = new QGroupBox(&dialog);
  group->setObjectName("GroupBox1");
  group->setGeometry(4, 0, 177, 77);

  // Column 0 holds the names the rules compare; column 1 tells what each port is.
  QStringList items;
  auto* model = new QStandardItemModel(0, 2, &dialog);
  for (const auto& name : port.PortList) {
    items << QString::fromStdString(name);
    const QString what = QString::fromStdString(port.DescriptionOf(name));
    auto* nameItem = new QStandardItem(QString::fromStdString(name));
    nameItem->setToolTip(what);
    auto* whatItem = new QStandardItem(what);
    whatItem->setForeground(QColor(90, 90, 90));
    model->appendRow({nameItem, whatItem});
  }
  auto* view = new QTreeView;
  view->setHeaderHidden(true);
  view->setRootIsDecorated(false);
  view->setAllColumnsShowFocus(true);
  view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  view->header()->setStretchLastSection(false);

  auto* combo = new QComboBox(group);
  combo->setObjectName("ComboBox1");
  combo->setGeometry(8, 16, 161, 21);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  // What the user types stays as typed: OK follows the typed text, not a guess at an item.
  combo->setCompleter(nullptr);
  combo->setModel(model);
  combo->setView(view);
  combo->setModelColumn(0);
  view->setMinimumWidth(view->header()->length() + 40);

  auto* ok = new QPushButton("OK", group);
  ok->setObjectName("OkButton");
  ok->setGeometry(8, 44, 77, 25);
  auto* cancel = new QPushButton("Cancel", group);
  cancel->setObjectName("CancelButton");
  cancel->setGeometry(92, 44, 77, 25);
  ok->setAutoDefault(false);
  cancel->setAutoDefault(false);

  QString initial;
  if (port.PortNumber != 0)
    initial = "COM" + QString::number(port.PortNumber);
  else
    initial = QString::fromStdString(port.FirstVirtualPort);
  combo->setCurrentIndex(combo->findText(initial, Qt::MatchExactly | Qt::MatchCaseSensitive));
  combo->setEditText(initial);

  auto update = [&items, ok](const QString& text) {
    ok->setEnabled(SelectPortOkEnabled(text, items));
  };
  update(combo->currentText());
  QObject::connect(combo, &QComboBox::editTextChanged, &dialog, update);

  auto* keys = new ListKeys(ok, cancel, &dialog);
  combo->installEventFilter(keys);
  combo->lineEdit()->installEventFilter(keys);
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
    selectPortResult = SelectPortNumberFromText(combo->currentText());
    dialog.accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  combo->setFocus();

  dialog.exec();
  // "COM256" and beyond name no port a COM number can hold.
  if (selectPortResult > 0 && selectPortResult <= 255) {
    port.PortNumber = static_cast<uint8_t>(selectPortResult);
    return true;
  }
  return false;
}

}  // namespace varnex
