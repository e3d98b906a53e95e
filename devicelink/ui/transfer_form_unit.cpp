#include "transfer_form_unit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <exception>

#include "Host.h"
#include "QtHost.h"

namespace varnex {

namespace {

constexpr int ClientWidth = 344;
constexpr int ClientHeight = 205;
constexpr int PictureTop = 8;
constexpr int LeftPictureX = 3;  // the source of the data when the device sends
constexpr int RightPictureX = 254;
constexpr int PcLeftX = 8;  // the source of the data when the PC sends
constexpr int DeviceRightX = 260;
constexpr int ArrowStartX = 92;
constexpr int ArrowTop = 24;
constexpr int ArrowStepPx = 20;
constexpr int ArrowTurnX = 260;  // past this left edge the arrow starts over
constexpr int ArrowRestartX = 65;
constexpr int StartDelayMs = 1;
constexpr int ArrowIntervalMs = 100;

const MessageTable MsgTimeLeft = {"noch %1 min", "%1 min left", "ancora %1 min", ""};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A picture of the given size drawn on a transparent ground.
QPixmap Drawn(QSize size, const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pixmap;
}

// The configurator's window: title bar, a page with a few fields.
void DrawPc(QPainter& p) {
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(QColor(236, 236, 236));
  p.drawRoundedRect(QRectF(0.5, 0.5, 81, 58), 3, 3);
  QLinearGradient title(0, 0, 82, 0);
  title.setColorAt(0, QColor(10, 36, 106));
  title.setColorAt(1, QColor(90, 130, 210));
  p.setPen(Qt::NoPen);
  p.setBrush(title);
  p.drawRect(QRectF(1, 1, 80, 10));
  p.setBrush(QColor(220, 220, 220));
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(60 + i * 7, 3, 5, 6));
  p.setPen(QPen(QColor(128, 128, 128), 1));
  p.setBrush(Qt::white);
  for (int row = 0; row < 4; ++row) {
    const double y = 16.5 + row * 10;
    p.drawLine(QPointF(6, y + 3), QPointF(26, y + 3));
    p.drawRect(QRectF(32.5, y, 42, 7));
  }
}

// The device: a box with its status lights and name plate.
void DrawDevice(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  QLinearGradient body(0, 8, 0, 60);
  body.setColorAt(0, QColor(238, 236, 228));
  body.setColorAt(1, QColor(196, 192, 180));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(2.5, 12.5, 77, 44), 5, 5);
  p.setBrush(QColor(170, 166, 156));
  p.drawRect(QRectF(14.5, 6.5, 10, 6));  // the line connectors on the top
  p.drawRect(QRectF(56.5, 6.5, 10, 6));
  p.setBrush(QColor(60, 72, 96));
  p.drawRoundedRect(QRectF(8.5, 20.5, 65, 15), 2, 2);
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setPixelSize(10);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(8, 20, 66, 16), Qt::AlignCenter, "Varnex");
  const QColor lights[] = {QColor(40, 200, 60), QColor(250, 200, 0), QColor(230, 40, 30)};
  p.setPen(QPen(QColor(50, 50, 50), 0.8));
  for (int i = 0; i < 3; ++i) {
    p.setBrush(lights[i]);
    p.drawEllipse(QPointF(14 + i * 10, 46), 3, 3);
  }
  p.setBrush(QColor(120, 120, 120));
  p.drawRect(QRectF(52.5, 42.5, 20, 7));
}

// A grey arrow pointing right.
void DrawArrow(QPainter& p) {
  QPainterPath arrow;
  arrow.moveTo(2, 10);
  arrow.lineTo(15, 10);
  arrow.lineTo(15, 3);
  arrow.lineTo(27, 14.5);
  arrow.lineTo(15, 26);
  arrow.lineTo(15, 19);
  arrow.lineTo(2, 19);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(160, 160, 160));
  p.drawPath(arrow);
}

QLabel* Picture(QWidget* parent, const char* name, const QPixmap& pixmap, QPoint at) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setPixmap(pixmap);
  label->setGeometry(QRect(at, pixmap.size()));
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

std::string MinutesAndSeconds(int seconds) {
  return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") +
         std::to_string(seconds % 60);
}

}  // namespace

// The progress bar of the dialog, with the time left once a few blocks have run.
class TransferProgress final : public IProgress {
 public:
  explicit TransferProgress(QProgressBar* bar) : bar_(bar), sink_(bar) {}
  void SetRange(int minimum, int maximum) override {
    sink_.SetRange(minimum, maximum);
    estimate_.Start(maximum);
    bar_->setFormat(ProgressFormat({}));
  }
  void SetPosition(int position) override {
    sink_.SetPosition(position);
    bar_->setFormat(ProgressFormat(estimate_.Update(position, NowMs())));
  }
  void Reset() {
    SetRange(0, 100);
    sink_.SetPosition(0);
  }
  // A transfer that stopped early must not go on promising its end.
  void Stop() { bar_->setFormat(ProgressFormat({})); }

 private:
  QProgressBar* bar_;
  ProgressBarSink sink_;
  TimeLeftEstimate estimate_;
};

void TimeLeftEstimate::Start(int maximum) {
  maximum_ = maximum;
  firstPosition_.reset();
}

std::optional<int> TimeLeftEstimate::Update(int position, int64_t nowMs) {
  if (!firstPosition_ || position < *firstPosition_) {
    firstPosition_ = position;
    firstMs_ = nowMs;
    return {};
  }
  const int timed = position - *firstPosition_;
  if (timed < MeasuredBlocks || position >= maximum_) return {};
  const int64_t left = (nowMs - firstMs_) * (maximum_ - position);
  return static_cast<int>((left + timed * 1000 - 1) / (timed * 1000));
}

QString ProgressFormat(std::optional<int> secondsLeft) {
  const QString timeLeft = Q(Text(MsgTimeLeft));
  if (!secondsLeft || timeLeft.isEmpty()) return "%p %";
  return "%p % – " + timeLeft.arg(Q(MinutesAndSeconds(*secondsLeft)));
}

Ttransfer_form::Ttransfer_form(TRuvolt& link, ITransferHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      link_(link),
      host_(host) {
  setObjectName("transfer_form");
  setFixedSize(ClientWidth, ClientHeight);
  setModal(true);

  Image3 = Picture(this, "Image3", Drawn({29, 29}, DrawArrow), {ArrowStartX, ArrowTop});
  Image3->setScaledContents(true);
  Image1 = Picture(this, "Image1", Drawn({82, 60}, DrawDevice), {DeviceRightX, PictureTop});
  Image2 = Picture(this, "Image2", Drawn({82, 59}, DrawPc), {PcLeftX, PictureTop});
  Image3->raise();

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(8, 72, 329, 17);
  ProgressBar1->setAlignment(Qt::AlignCenter);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(8, 96, 329, 73);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  Button1 = new QPushButton("&Beenden", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(264, 176, 75, 25);
  Button1->setAutoDefault(false);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(StartDelayMs);
  Timer1->setSingleShot(true);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(ArrowIntervalMs);

  lines_ = std::make_unique<MemoLines>(Memo1);
  progress_ = std::make_unique<TransferProgress>(ProgressBar1);
  progress_->Reset();

  connect(Button1, &QPushButton::clicked, this, &QDialog::close);
  connect(Timer1, &QTimer::timeout, this, &Ttransfer_form::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &Ttransfer_form::Timer2Timer);
}

Ttransfer_form::~Ttransfer_form() = default;

bool Ttransfer_form::WriteSucceeded() const {
  return writeSucceeded_;
}

void Ttransfer_form::Run(uint8_t mode, bool acceptBusy) {
  const MessageTable* caption = mode == ModeUpdate  ? &MsgCaptionFirmware
                                : mode == ModeWrite ? &MsgCaptionWrite
                                : mode == ModeRead  ? &MsgCaptionRead
                                                    : nullptr;
  if (!caption) return;
  mode_ = mode;
  acceptBusy_ = acceptBusy;
  lines_->Clear();
  progress_->Reset();
  Button1->setEnabled(false);
  writeSucceeded_ = false;
  closingAllowed_ = false;

  // A busy device that the caller does not accept has been told about by Connect, and the
  // port is closed again: a transfer could only fail.
  if (link_.Connect(true, acceptBusy) != 1) return;

  setWindowTitle(Q(Text(*caption)));
  PlacePictures(mode == ModeWrite);
  Image3->move(ArrowStartX, ArrowTop);
  Image3->show();
  Timer2->start();
  runPending_ = true;
  exec();
  runPending_ = false;
  closingAllowed_ = false;
}

void Ttransfer_form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (runPending_) Timer1->start();
}

void Ttransfer_form::closeEvent(QCloseEvent* event) {
  if (!closingAllowed_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void Ttransfer_form::reject() {
  if (closingAllowed_) QDialog::reject();
}

void Ttransfer_form::CloseWindow(int result) {
  QDialog::done(result);
}

void Ttransfer_form::PlacePictures(bool towardsDevice) {
  Image2->move(towardsDevice ? PcLeftX : RightPictureX, PictureTop);
  Image1->move(towardsDevice ? DeviceRightX : LeftPictureX, PictureTop);
}

void Ttransfer_form::Timer2Timer() {
  int x = Image3->x() + ArrowStepPx;
  if (x > ArrowTurnX) x = ArrowRestartX;
  Image3->move(x, ArrowTop);
}

void Ttransfer_form::Timer1Timer() {
  Timer1->stop();
  Timer2->stop();
  if (!runPending_) return;
  runPending_ = false;
  // Nothing may leave this slot by an exception: the event loop cannot carry it.
  const MessageTable& fault = mode_ == ModeUpdate  ? MsgFaultUpdating
                              : mode_ == ModeWrite ? MsgFaultWriting
                                                   : MsgFaultReading;
  try {
    Work();
    return;
  } catch (const std::exception& e) {
    ReportFault(fault, errno, e.what(), false);
  } catch (...) {
    ReportFault(fault, errno, {}, false);
  }
  // The fault may have come from the main window itself: it is not asked again.
  Finish(false);
}

void Ttransfer_form::Work() {
  if (!host_.AskSaveChanges()) {
    link_.Disconnect();
    closingAllowed_ = true;
    CloseWindow(QDialog::Rejected);
    return;
  }
  Timer2->start();
  bool succeeded = false;
  switch (mode_) {
    case ModeUpdate:
      succeeded = RunUpdate();
      break;
    case ModeWrite:
      RunWrite();
      succeeded = writeSucceeded_;
      break;
    default:
      RunRead();
      succeeded = writeSucceeded_;
      break;
  }
  Finish();
  if (closingAllowed_ && succeeded) CloseWindow(QDialog::Accepted);
}

void Ttransfer_form::Reconnect() {
  if (!acceptBusy_) return;
  link_.Disconnect();
  link_.Connect(false, true);
}

bool Ttransfer_form::RunUpdate() {
  const std::string folder = host_.TmpDir();
  const std::string rememberedName = link_.ConfigFileName;
  const TDeviceConfig before = link_.Config;
  std::string error;
  const bool programSaved = link_.SaveConfig(folder + ProgramBackupName, &error);
  if (!programSaved) lines_->Add(error);
  Reconnect();

  lines_->Add(Text(MsgReadingBeforeUpdate));
  const bool read = Guarded([&] { return link_.ReadConfiguration(*progress_, *lines_, folder); },
                            MsgFaultReading, true);
  // Only a configuration that came from the device may stand in its backup.
  if (read && !link_.SaveConfig(folder + DeviceBackupName, &error)) lines_->Add(error);
  lines_->Add("");

  Timer2->start();
  PlacePictures(true);
  const bool updated = Guarded(
      [&] { return link_.UpdateFirmware(host_.FirmwareFileName(), *lines_, folder, *progress_); },
      MsgFaultUpdating, true);
  lines_->Add("");

  if (read) {
    lines_->Add(Text(MsgWritingBack));
    writeSucceeded_ = Guarded([&] { return link_.WriteConfiguration(*progress_, *lines_, folder); },
                              MsgFaultWriting, true);
  }

  // The file is the backup the user can see; memory still holds the same record when the file
  // could not be written or read back.
  if (!programSaved || !link_.LoadConfig(folder + ProgramBackupName, &error)) {
    if (programSaved) lines_->Add(error);
    link_.Config = before;
  }
  host_.ConfigToWindow(link_.Config);
  link_.ConfigFileName = rememberedName;
  return updated && writeSucceeded_;
}

void Ttransfer_form::RunWrite() {
  Reconnect();
  const bool versionRead = Guarded([&] { return link_.ReadVersionInfo(link_.Version, *lines_); },
                                   MsgFaultWriting, false);
  if (!versionRead) {
    lines_->Add(Text(MsgVersionFailed));
    return;
  }
  lines_->Add(Text(MsgWriting));
  host_.WindowToConfig(link_.Config);
  writeSucceeded_ =
      Guarded([&] { return link_.WriteConfiguration(*progress_, *lines_, host_.TmpDir()); },
              MsgFaultWriting, false);
}

void Ttransfer_form::RunRead() {
  Reconnect();
  lines_->Add(Text(MsgReading));
  writeSucceeded_ =
      Guarded([&] { return link_.ReadConfiguration(*progress_, *lines_, host_.TmpDir()); },
              MsgFaultReading, false);
}

bool Ttransfer_form::Guarded(const std::function<bool()>& operation, const MessageTable& fault,
                             bool showBox) {
  try {
    return operation();
  } catch (const std::exception& e) {
    ReportFault(fault, errno, e.what(), showBox);
  } catch (...) {
    ReportFault(fault, errno, {}, showBox);
  }
  return false;
}

void Ttransfer_form::ReportFault(const MessageTable& fault, int errorCode,
                                 const std::string& detail, bool showBox) {
  const std::string text = Text(fault) + std::to_string(errorCode) + ") !";
  lines_->Add(detail.empty() ? text : text + " " + detail);
  if (showBox)
    MessageBox(detail.empty() ? text : text + "\n" + detail, "Varnex - Error", MsgIcon::Error);
}

void Ttransfer_form::Finish(bool showRecord) {
  Timer2->stop();
  Image3->hide();
  progress_->Stop();
  if (showRecord) host_.ConfigToWindow(link_.Config);
  link_.Disconnect();
  // Enabled last, after the port is released: the run is over once the button can be pressed.
  closingAllowed_ = true;
  Button1->setEnabled(true);
}

}  // namespace varnex
