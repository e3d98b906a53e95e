#include "SpinEdit.h"

#include <QLineEdit>

#include <algorithm>

namespace varnex {

TSpinEdit::TSpinEdit(int minimum, int maximum, int fallback, QWidget* parent)
    : QSpinBox(parent), fallback_(fallback) {
  setRange(minimum, maximum);
  setValue(fallback);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

int TSpinEdit::Limited(const QString& text) const {
  bool ok = false;
  const int typed = text.trimmed().toInt(&ok);
  return std::clamp(ok ? typed : fallback_, minimum(), maximum());
}

int TSpinEdit::Value() const {
  return Limited(lineEdit()->text());
}

void TSpinEdit::SetValue(int value) {
  setValue(std::clamp(value, minimum(), maximum()));
  // setValue leaves a typed text alone when the value does not change.
  lineEdit()->setText(QString::number(QSpinBox::value()));
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
  // Any digits may be typed; the value is limited when it is taken.
  for (const QChar c : input)
    if (!c.isDigit()) return QValidator::Invalid;
  if (input.size() > 4) return QValidator::Invalid;
  return QSpinBox::validate(input, pos) == QValidator::Acceptable ? QValidator::Acceptable
                                                                  : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& input) const {
  input = QString::number(Limited(input));
}

}  // namespace varnex
