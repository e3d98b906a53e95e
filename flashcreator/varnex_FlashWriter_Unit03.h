// The window that shows "fixnachrichten.h" and saves it.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace varnex {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // Replaces the memo's content with these lines.
  void SetLines(const std::vector<std::string>& lines);
  // The memo's lines as they stand (the user may have edited them).
  std::vector<std::string> Lines() const;

 private slots:
  // Asks for a file name (default "fixnachrichten.h" in the program folder) and writes the
  // lines there with CR LF line ends.
  void Button1Click();

 private:
  QPlainTextEdit* Memo1;
  QPushButton* Button1;
};

}  // namespace varnex
