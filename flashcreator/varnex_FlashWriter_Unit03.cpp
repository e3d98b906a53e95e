#include "varnex_FlashWriter_Unit03.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "FixMessageExport.h"
#include "Host.h"
#include "ProgramHome.h"
#include "QtHost.h"

namespace varnex {

namespace {

constexpr int FormWidth = 618;
constexpr int FormHeight = 344;
constexpr int PanelHeight = 41;

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle(FixMessageHeaderName);
  resize(FormWidth, FormHeight);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  QFont courier("Courier");
  courier.setStyleHint(QFont::TypeWriter);
  courier.setFixedPitch(true);
  if (!QFontInfo(courier).fixedPitch())
    courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  Memo1->setFont(courier);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* panel = new QWidget(this);
  panel->setObjectName("Panel1");
  panel->setFixedHeight(PanelHeight);
  Button1 = new QPushButton("&Save", panel);
  Button1->setObjectName("Button1");
  Button1->setGeometry(4, 8, 75, 25);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1);
  layout->addWidget(panel);

  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  CenterOnScreen(this);
}

void TForm2::SetLines(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << Q(line);
  Memo1->setPlainText(text.join('\n'));
}

std::vector<std::string> TForm2::Lines() const {
  std::vector<std::string> lines;
  for (const QString& line : Memo1->toPlainText().split('\n')) lines.push_back(S(line));
  return lines;
}

void TForm2::Button1Click() {
  FileDialogRequest request;
  request.initialDir = ProgramDir();
  request.fileName = FixMessageHeaderName;
  request.filter = "C-Header File|*.h";
  request.defaultExt = "h";
  const auto path = Prompter().SaveFileName(request);
  if (!path) return;
  std::string error;
  if (!SaveLinesCrLf(*path, Lines(), &error))
    MessageBox("Could not save " + *path + ":\n" + error, "Varnex - Error", MsgIcon::Error);
}

}  // namespace varnex
