#include "PhoneListGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "DeviceConfig.h"
#include "QtHost.h"

namespace varnex {

int CompactPhoneList(uint8_t* list) {
  std::array<uint8_t, PhoneListSize> old;
  std::memcpy(old.data(), list, PhoneListSize);
  std::memset(list, 0, PhoneListSize);
  int used = 0;
  for (size_t k = 0; k < cfg::ListEntries; ++k) {
    const uint8_t* entry = old.data() + k * phone_entry::Size;
    if (!TConstPhoneEntry(entry).Used()) continue;
    std::memcpy(list + used * phone_entry::Size, entry, phone_entry::Size);
    ++used;
  }
  return used;
}

void ClearPhoneEntry(uint8_t* entry) {
  const TPhoneEntry e(entry);
  e.SetName("");
  e.Phone().SetCountry("");
  e.Phone().SetArea("");
  e.Phone().SetSubscriber("");
}

std::array<int, 4> PhoneListColumnWidths(int width) {
  // nearbyint rounds halves to the even neighbour in the default rounding mode.
  auto part = [width](double percent) {
    return static_cast<int>(std::nearbyint(width * percent / 100));
  };
  return {part(4.5), part(38), part(47), part(10)};
}

QWidget* PhoneListHeadings(int width, QWidget* parent) {
  auto* headings = new QWidget(parent);
  headings->setFixedSize(width, 14);
  const auto widths = PhoneListColumnWidths(width);
  const std::array<const char*, 4> titles = {"Nr.", "Name", "Telefonnummer", "Status"};
  int x = 0;
  for (size_t c = 0; c < titles.size(); ++c) {
    auto* title = new QLabel(QString::fromUtf8(titles[c]), headings);
    title->setGeometry(x + 2, 0, widths[c], 14);
    x += widths[c];
  }
  return headings;
}

namespace {

QPixmap Light(const QColor& color) {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient shine(4, 4, 8);
  shine.setColorAt(0, color.lighter(170));
  shine.setColorAt(1, color);
  p.setBrush(shine);
  p.setPen(QPen(color.darker(160), 1));
  p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
  return pixmap;
}

}  // namespace

QPixmap TPhoneListGrid::GreenLight() {
  return Light(QColor(0, 170, 0));
}
QPixmap TPhoneListGrid::RedLight() {
  return Light(QColor(210, 0, 0));
}

// Draws the cells from the list bytes at the fixed places of the original grid.
class PhoneListDelegate : public QStyledItemDelegate {
 public:
  explicit PhoneListDelegate(TPhoneListGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    p->fillRect(cell, selected ? palette.highlight() : palette.base());
    p->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    const int row = index.row();
    const int left = cell.left();
    const int top = cell.top();
    auto text = [&](int dx, int dy, const std::string& s) {
      p->drawText(QRect(left + dx, top + dy, cell.width() - dx, cell.height() - dy),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Q(s));
    };
    const uint8_t* list = grid_->list_ ? grid_->list_() : nullptr;
    if (list && row >= 0 && row < static_cast<int>(cfg::ListEntries)) {
      const TConstPhoneEntry entry(list + row * phone_entry::Size);
      switch (index.column()) {
        case 0:
          text(0, 0, " " + std::to_string(row + 1) + ".");
          break;
        case 1:
          text(1, 1, " " + entry.Name());
          break;
        case 2:
          text(3, 1, entry.Phone().Country());
          text(33, 1, entry.Phone().Area());
          text(70, 1, entry.Phone().Subscriber());
          break;
        case 3:
          if (entry.Used())
            p->drawPixmap(
                left + 10, top + 1,
                entry.Active() ? TPhoneListGrid::GreenLight() : TPhoneListGrid::RedLight());
          break;
        default:
          break;
      }
    }
    // Lines between the columns only.
    p->setPen(palette.mid().color());
    p->drawLine(cell.topRight(), cell.bottomRight());
  }

 private:
  TPhoneListGrid* grid_;
};

TPhoneListGrid::TPhoneListGrid(QWidget* parent) : QTableWidget(parent) {
  setColumnCount(4);
  setRowCount(1);
  setCurrentCell(0, 0);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(RowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  setShowGrid(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setItemDelegate(new PhoneListDelegate(this));
  setContextMenuPolicy(Qt::ActionsContextMenu);
  const std::array<std::pair<const char*, void (TPhoneListGrid::*)()>, 3> popup = {
      {{"Neu", &TPhoneListGrid::NewRequested},
       {"Bearbeiten", &TPhoneListGrid::EditRequested},
       {"Löschen", &TPhoneListGrid::DeleteRequested}}};
  for (const auto& [caption, signal] : popup) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    connect(action, &QAction::triggered, this, signal);
    addAction(action);
  }
  connect(this, &QTableWidget::cellDoubleClicked, this, &TPhoneListGrid::EditRequested);
}

void TPhoneListGrid::ShowList(int used) {
  const int selected = SelectedRow();
  setRowCount(std::max(used, 1));
  const auto widths = PhoneListColumnWidths(width());
  for (int c = 0; c < 4; ++c) setColumnWidth(c, widths[c]);
  for (int r = 0; r < rowCount(); ++r) setRowHeight(r, RowHeight);
  // Like the original grid, some row is always selected.
  SelectRow(std::clamp(selected, 0, rowCount() - 1));
  viewport()->update();
}

int TPhoneListGrid::SelectedRow() const {
  const auto ranges = selectedRanges();
  if (ranges.isEmpty()) return currentRow();
  return ranges.front().topRow();
}

void TPhoneListGrid::SelectRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  setCurrentCell(row, 0);
  selectRow(row);
}

void TPhoneListGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit EditRequested();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void TPhoneListGrid::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
    emit DeleteRequested();
    return;
  }
  QTableWidget::keyReleaseEvent(event);
}

}  // namespace varnex
