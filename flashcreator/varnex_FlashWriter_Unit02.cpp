#include "varnex_FlashWriter_Unit02.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QToolButton>

#include <string>
#include <vector>

#include "FixMessageExport.h"
#include "FlashImage.h"
#include "ProgramHome.h"
#include "QtHost.h"
#include "VoiceCatalogue.h"
#include "varnex_FlashWriter_Unit03.h"
#include "varnex_PlayWave_Splachscreen.h"

namespace varnex {

namespace {

constexpr int ClientWidth = 370;
constexpr int ClientHeight = 333;

template <typename Widget>
Widget* Control(QWidget* parent, const char* name, const QRect& place) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setGeometry(place);
  return widget;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(at);
  label->adjustSize();
  return label;
}

QPlainTextEdit* Memo(QWidget* parent, const char* name, const QRect& place) {
  auto* memo = Control<QPlainTextEdit>(parent, name, place);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return memo;
}

QFrame* Bevel(QWidget* parent, const char* name, const QRect& place) {
  auto* bevel = Control<QFrame>(parent, name, place);
  bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  return bevel;
}

void SetLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << Q(line);
  memo->setPlainText(text.join('\n'));
}

}  // namespace

Tfixmsg_form::Tfixmsg_form(TForm2& headerForm, Tsound_splash_form& notice, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      headerForm_(headerForm),
      notice_(notice) {
  setObjectName("fixmsg_form");
  setWindowTitle("FixNachrichten Testen anzeigen");
  setFixedSize(ClientWidth, ClientHeight);

  Label1 = Caption(this, "Label1", "Fixnachricht", {4, 4});
  Memo1 = Memo(this, "Memo1", {4, 24, 361, 97});
  Bevel2 = Bevel(this, "Bevel2", {4, 132, 361, 5});
  Label2 = Caption(this, "Label2", "C-Syntax Fixnachricht", {4, 146});
  Button1 = Control<QPushButton>(this, "Button1", {268, 144, 97, 17});
  Button1->setText(FixMessageHeaderName);
  Memo2 = Memo(this, "Memo2", {4, 176, 361, 77});
  Bevel1 = Bevel(this, "Bevel1", {4, 256, 361, 5});
  Label3 = Caption(this, "Label3", "Fix Nachricht :", {4, 272});
  ComboBox2 = Control<QComboBox>(this, "ComboBox2", {84, 268, 281, 21});
  ComboBox2->setPlaceholderText(QString::fromUtf8("Bitte wählen..."));
  SpeedButton1 = Control<QToolButton>(this, "SpeedButton1", {272, 300, 93, 29});
  SpeedButton1->setText("Play Wave");
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButton1->setEnabled(false);

  // Controls grown where the font needs more room than the design gave them, keeping their
  // right edge and vertical centre.
  for (QWidget* w : std::initializer_list<QWidget*>{Button1, ComboBox2, SpeedButton1}) {
    const QSize wanted = w->sizeHint().expandedTo(w->size());
    const QRect place = w->geometry();
    w->setGeometry(place.right() + 1 - wanted.width(),
                   place.y() - (wanted.height() - place.height()) / 2, wanted.width(),
                   wanted.height());
  }

  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &Tfixmsg_form::ComboBox2Change);
  connect(SpeedButton1, &QToolButton::clicked, this, &Tfixmsg_form::SpeedButton1Click);
  connect(Button1, &QPushButton::clicked, this, &Tfixmsg_form::Button1Click);
}

void Tfixmsg_form::showEvent(QShowEvent* event) {
  CenterOnScreen(this);
  // The memo of the words is emptied; the C text, the labels and "Play Wave" keep the last choice.
  const QSignalBlocker quiet(ComboBox2);
  ComboBox2->clear();
  for (const TFixNachricht& message : FixMessages)
    ComboBox2->addItem(Q(FixMessageItem(message.fixnachricht_id)));
  ComboBox2->setCurrentIndex(-1);
  Memo1->clear();
  QDialog::showEvent(event);
}

void Tfixmsg_form::ComboBox2Change(int index) {
  if (index < 0) return;
  SelectedFixMessage = FixMessageNumberOfItem(S(ComboBox2->itemText(index)));
  const std::string number = std::to_string(SelectedFixMessage);
  SetLines(Memo1, FixMessageWordLines(SelectedFixMessage));
  SetLines(Memo2, FixMessageCArray(SelectedFixMessage));
  Label1->setText(Q("FixNachricht " + number));
  Label1->adjustSize();
  Label2->setText(Q("C-Syntax 'fixnachricht_" + number + "'"));
  Label2->adjustSize();
  SpeedButton1->setEnabled(true);
  Memo1->moveCursor(QTextCursor::Start);
}

void Tfixmsg_form::SpeedButton1Click() {
  SpeedButton1->setEnabled(false);
  const std::string wavFolder = FlashFoldersOf(ProgramDir()).wav;
  std::vector<std::string> paths;
  for (uint8_t id : FixMessageWords(SelectedFixMessage)) {
    if (const uint8_t index = FindSampleById(id))
      paths.push_back(wavFolder + Samples[index].filename + WavExtension);
  }
  notice_.PlayWaveFiles(paths, true);
  SpeedButton1->setEnabled(true);
}

void Tfixmsg_form::Button1Click() {
  headerForm_.SetLines(FixMessageHeaderLines());
  headerForm_.exec();
}

}  // namespace varnex
