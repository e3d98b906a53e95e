// The grid of a ten-entry telephone list (administrators, alarm call lists): one row per used
// entry with its number, name, telephone number parts and a status light.
#pragma once

#include <QPixmap>
#include <QTableWidget>

#include <array>
#include <cstdint>
#include <functional>

namespace varnex {

// Moves the used entries (name not empty) of a 590-byte list to the front in their order and
// zeroes the rest; returns how many are used.
int CompactPhoneList(uint8_t* list);

// Empties the name and the three number parts of a 59-byte entry, which frees it for the next
// compaction; the Active byte is left as it is.
void ClearPhoneEntry(uint8_t* entry);

// The grid's column widths for a grid `width` pixels wide: 4.5, 38, 47 and 10 per cent, each
// rounded to the nearest pixel (halves to the even neighbour).
std::array<int, 4> PhoneListColumnWidths(int width);

// The column titles "Nr.", "Name", "Telefonnummer", "Status" over a grid `width` pixels wide,
// each above its column; a strip 14 pixels high.
QWidget* PhoneListHeadings(int width, QWidget* parent);

class TPhoneListGrid : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int RowHeight = 18;

  explicit TPhoneListGrid(QWidget* parent = nullptr);

  // Where the grid reads the list it draws (590 bytes, read at every paint).
  void SetList(std::function<const uint8_t*()> list) { list_ = std::move(list); }
  // Shows `used` rows (at least one) with the widths of the grid's current width.
  void ShowList(int used);
  // The selected row (the top row of the selection); -1 when none.
  int SelectedRow() const;
  void SelectRow(int row);

  // The status lights, 12 x 12 pixels.
  static QPixmap GreenLight();
  static QPixmap RedLight();

 signals:
  void NewRequested();
  void EditRequested();    // double click, Enter, popup
  void DeleteRequested();  // Del released, popup

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  friend class PhoneListDelegate;
  std::function<const uint8_t*()> list_;
};

}  // namespace varnex
