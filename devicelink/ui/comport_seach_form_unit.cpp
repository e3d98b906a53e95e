#include "comport_seach_form_unit.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace varnex {

namespace {

constexpr int AnimationIntervalMs = 250;
constexpr int ClientWidth = 161;
constexpr int ClientHeight = 37;
constexpr int Label1Left = 44;
constexpr int Label1MinWidth = 32;
constexpr int Label2Width = 40;

// Counts animation ticks for the whole program; never reset, so the dots go on where they
// stopped when the window comes back.
uint8_t animationTicks = 0;

QFont CourierFont() {
  QFont font("Courier", 8);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

// A magnifying glass: the search.
QPixmap SearchPicture() {
  QPixmap picture(21, 21);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(200, 225, 255));
  p.drawEllipse(QRectF(2, 2, 11, 11));
  p.setPen(QPen(QColor(90, 60, 20), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12, 12), QPointF(18, 18));
  return picture;
}

}  // namespace

Tcomport_seach_form::Tcomport_seach_form(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), owner_(owner) {
  setObjectName("comport_seach_form");
  setFixedSize(ClientWidth, ClientHeight);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(0, 0, ClientWidth, ClientHeight);

  Bevel1 = new QFrame(Panel1);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Bevel1->setGeometry(4, 4, 153, 29);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(12, 8, 21, 21);
  Image1->setPixmap(SearchPicture());

  Label1 = new QLabel("Com1", Panel1);
  Label1->setObjectName("Label1");
  Label1->setFont(CourierFont());
  Label1->setGeometry(Label1Left, 12, Label1MinWidth, 13);

  Label2 = new QLabel("... ?", Panel1);
  Label2->setObjectName("Label2");
  Label2->setFont(CourierFont());
  Label2->setTextFormat(Qt::PlainText);  // the blanks are part of the animation
  Label2->setGeometry(Label1Left + Label1MinWidth, 12, Label2Width, 13);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(AnimationIntervalMs);
  connect(Timer1, &QTimer::timeout, this, &Tcomport_seach_form::Timer1Timer);
}

void Tcomport_seach_form::ShowPort(const std::string& portName) {
  Label1->setText(QString::fromStdString(portName));
  // "COM123" is wider than the space "Com1" needs: the animation moves right instead of
  // running over the name.
  const int width =
      std::max(Label1MinWidth, Label1->fontMetrics().horizontalAdvance(Label1->text()));
  Label1->setGeometry(Label1Left, 12, width, 13);
  Label2->setGeometry(Label1Left + width, 12, Label2Width, 13);
  show();
  raise();
}

void Tcomport_seach_form::CloseWindow() {
  close();
}

void Tcomport_seach_form::showEvent(QShowEvent* event) {
  const QRect area = owner_ ? owner_->window()->frameGeometry()
                            : QGuiApplication::primaryScreen()->availableGeometry();
  move(area.center() - rect().center());
  Timer1->start();
  QWidget::showEvent(event);
}

void Tcomport_seach_form::hideEvent(QHideEvent* event) {
  Timer1->stop();
  QWidget::hideEvent(event);
}

void Tcomport_seach_form::Timer1Timer() {
  ++animationTicks;
  switch (animationTicks % 5) {
    case 1:
      Label2->setText("     ?");
      break;
    case 2:
      Label2->setText(" .   ?");
      break;
    case 3:
      Label2->setText(" ..  ?");
      break;
    default:
      Label2->setText(" ... ?");
      break;
  }
}

}  // namespace varnex
