#include "varnex_PlayWave_Splachscreen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>

#include "QtHost.h"
#include "SoundPlayer.h"

namespace varnex {

namespace {

constexpr int ClientWidth = 210;
constexpr int ClientHeight = 37;
constexpr int LabelLeft = 40;
constexpr int LabelTop = 12;
constexpr int LabelWidth = 151;
constexpr int LabelHeight = 13;
constexpr int PictureSize = 21;
constexpr int Timer1IntervalMs = 1000;

// A loudspeaker with two sound waves.
QPixmap SpeakerPicture(qreal ratio) {
  QPixmap picture(QSize(PictureSize, PictureSize) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath body;
  body.moveTo(2, 8);
  body.lineTo(6, 8);
  body.lineTo(11, 3);
  body.lineTo(11, 18);
  body.lineTo(6, 13);
  body.lineTo(2, 13);
  body.closeSubpath();
  p.fillPath(body, QColor(40, 40, 40));
  p.setPen(QPen(QColor(0, 90, 180), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(8, 7, 6, 7), -60 * 16, 120 * 16);
  p.drawArc(QRectF(8, 3.5, 11, 14), -60 * 16, 120 * 16);
  return picture;
}

}  // namespace

Tsound_splash_form::Tsound_splash_form(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("sound_splash_form");
  setAttribute(Qt::WA_ShowWithoutActivating);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Bevel1 = new QFrame(Panel1);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(16, 8, PictureSize, PictureSize);
  Image1->setPixmap(SpeakerPicture(devicePixelRatioF()));
  Label1 = new QLabel(QString::fromUtf8("Wiedergabe läuft, bitte warten..."), Panel1);
  Label1->setObjectName("Label1");

  // The designed size, grown where the font needs more room for the text.
  const QFontMetrics metrics(Label1->font());
  const int labelWidth = std::max(LabelWidth, metrics.horizontalAdvance(Label1->text()) + 2);
  const int labelHeight = std::max(LabelHeight, metrics.height());
  const int grownBy = labelHeight - LabelHeight;
  const int width = ClientWidth + labelWidth - LabelWidth;
  const int height = ClientHeight + grownBy;
  Label1->setGeometry(LabelLeft, LabelTop, labelWidth, labelHeight);
  Image1->move(16, 8 + grownBy / 2);
  Bevel1->setGeometry(4, 4, width - 9, height - 8);
  Panel1->setGeometry(0, 0, width, height);
  setFixedSize(width, height);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(Timer1IntervalMs);
  connect(Timer1, &QTimer::timeout, this, &Tsound_splash_form::Timer1Timer);
  Timer1->start();
}

void Tsound_splash_form::showEvent(QShowEvent* event) {
  PlaybackDone = false;
  CenterOnScreen(this);
  QWidget::showEvent(event);
}

void Tsound_splash_form::Timer1Timer() {
  if (PlaybackDone && isVisible()) close();
}

void Tsound_splash_form::BeginPlayback() {
  // Also when the notice is still up from the last playback, which then must not close it.
  PlaybackDone = false;
  show();
  QApplication::processEvents();
}

void Tsound_splash_form::EndPlayback() {
  PlaybackDone = true;
}

void Tsound_splash_form::PlayWaveFiles(const std::vector<std::string>& paths, bool waitForEnd) {
  BeginPlayback();
  for (const auto& path : paths) {
    const std::string existing = ExistingFile(path);
    if (!existing.empty()) SoundPlayer().PlayWave(existing, waitForEnd);
  }
  EndPlayback();
}

}  // namespace varnex
