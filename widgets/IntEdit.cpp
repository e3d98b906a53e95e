#include "IntEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace varnex {

namespace {
std::function<void()>& ErrorSound() {
  static std::function<void()> sound = [] { QApplication::beep(); };
  return sound;
}
}  // namespace

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(parent) {
  resize(33, height());
  connect(this, &QLineEdit::textChanged, this, &TIntEdit::OnTextChanged);
}

void TIntEdit::SetErrorSound(std::function<void()> sound) { ErrorSound() = std::move(sound); }

void TIntEdit::SetAllowLeadingZeroes(bool allow) {
  allowLeadingZeroes_ = allow;
  if (!allow) OnTextChanged(text());
}

int32_t TIntEdit::Value() const {
  bool ok = false;
  const int32_t v = text().toInt(&ok);
  return ok ? v : 0;
}

void TIntEdit::SetValue(int32_t value) { setText(QString::number(value)); }

void TIntEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  // Keys without text (arrows, Delete, Home, shortcuts such as Ctrl+V) are editing, not typing.
  if (typed.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QChar c = typed.front();
  if (c == QChar(8) || c == QChar(13) || (c >= '0' && c <= '9')) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  if (Sound && ErrorSound()) ErrorSound()();
}

void TIntEdit::OnTextChanged(const QString& text) {
  if (stripping_) return;
  if (!allowLeadingZeroes_ && text.startsWith('0')) {
    QString stripped = text;
    while (stripped.startsWith('0')) stripped.remove(0, 1);
    stripping_ = true;
    setText(stripped);
    stripping_ = false;
    emit Changed(stripped);
    return;
  }
  emit Changed(text);
}

}  // namespace varnex
