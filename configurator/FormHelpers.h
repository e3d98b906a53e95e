// Small pieces the configurator's windows share: their font, the marking of fields that fail a
// check, and text boxes that take only what a record text field can hold.
#pragma once

#include <QColor>
#include <QValidator>

class QWidget;

namespace varnex {

class TIntEdit;

// A digit box named `name` for up to maxLength digits; with `sound` a refused key sounds.
TIntEdit* DigitBox(const char* name, int maxLength, bool sound, QWidget* parent);

// The red-orange of a field that failed a check (red 250, green 47, blue 0).
inline const QColor FailedFieldColor(250, 47, 0);

// The windows' font: a narrow sans-serif face at 8 points.
void UseFormFont(QWidget* window);

// Paints an edit box's background and text in every state (enabled, disabled, focused).
void PaintField(QWidget* box, const QColor& background, const QColor& text);
// A failing field is red-orange with white text, a passing one white with black text.
void MarkField(QWidget* box, bool failing);

// Accepts only text that Windows-1252 can hold, the character set of the record's texts.
class Cp1252Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace varnex
