// TSpinEdit: a number box with arrows that lets any digits be typed and limits the value when it
// is read, or when the box loses the focus.
#pragma once

#include <QSpinBox>

namespace varnex {

class TSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  // Text that is not a number counts as `fallback`.
  TSpinEdit(int minimum, int maximum, int fallback, QWidget* parent = nullptr);

  // The number in the text (fallback when there is none), limited to the range.
  int Value() const;
  // Shows the value limited to the range.
  void SetValue(int value);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 private:
  int Limited(const QString& text) const;

  int fallback_;
};

}  // namespace varnex
