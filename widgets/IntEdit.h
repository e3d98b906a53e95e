// TIntEdit: the digits-only edit box of the configurator's number fields.
#pragma once

#include <QLineEdit>

#include <functional>

namespace varnex {

class TIntEdit : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(bool Sound MEMBER Sound)
  Q_PROPERTY(bool AllowLeadingZeroes READ AllowLeadingZeroes WRITE SetAllowLeadingZeroes)

 public:
  explicit TIntEdit(QWidget* parent = nullptr);

  // A rejected key press sounds the error sound.
  bool Sound = true;

  bool AllowLeadingZeroes() const { return allowLeadingZeroes_; }
  void SetAllowLeadingZeroes(bool allow);

  // The text as a number (0 when empty or not a number); writing sets the decimal text.
  int32_t Value() const;
  void SetValue(int32_t value);

  // What plays the error sound (the system's beep unless replaced, e.g. by a test).
  static void SetErrorSound(std::function<void()> sound);

 signals:
  // Emitted after every change, with leading zeros already stripped when that is asked for.
  void Changed(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnTextChanged(const QString& text);

  bool allowLeadingZeroes_ = true;
  bool stripping_ = false;
};

}  // namespace varnex
