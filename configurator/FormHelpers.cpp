#include "FormHelpers.h"

#include <QFontInfo>
#include <QWidget>

#include "Cp1252.h"
#include "IntEdit.h"
#include "QtHost.h"

namespace varnex {

TIntEdit* DigitBox(const char* name, int maxLength, bool sound, QWidget* parent) {
  auto* box = new TIntEdit(parent);
  box->setObjectName(name);
  box->setMaxLength(maxLength);
  box->Sound = sound;
  return box;
}

void UseFormFont(QWidget* window) {
  // The German texts were laid out for a narrow 8-point face: one of the usual narrow faces, or
  // else the desktop's own face a little condensed.
  const QStringList narrow = {"Liberation Sans", "Nimbus Sans", "Arial", "Helvetica"};
  QFont font = window->font();
  font.setFamilies(narrow);
  font.setPointSize(8);
  if (!narrow.contains(QFontInfo(font).family())) {
    font = window->font();
    font.setPointSize(8);
    font.setStretch(QFont::SemiCondensed);
  }
  window->setFont(font);
}

void PaintField(QWidget* box, const QColor& background, const QColor& text) {
  QPalette palette = box->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, background);
    palette.setColor(group, QPalette::Text, text);
  }
  box->setPalette(palette);
}

void MarkField(QWidget* box, bool failing) {
  if (failing) {
    PaintField(box, FailedFieldColor, Qt::white);
  } else {
    PaintField(box, Qt::white, Qt::black);
  }
}

QValidator::State Cp1252Validator::validate(QString& input, int&) const {
  return Utf8ToCp1252(S(input)) ? Acceptable : Invalid;
}

}  // namespace varnex
