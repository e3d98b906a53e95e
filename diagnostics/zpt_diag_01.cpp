#include "zpt_diag_01.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>  // QtHost.h holds a QPointer to it
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "Cp1252.h"
#include "Messages.h"
#include "PortMap.h"
#include "Protocol.h"
#include "QtHost.h"
#include "SystemFacts.h"
#include "misc_functions.h"

namespace varnex {

namespace {

const char* const DeviceName = "Varnex";
// The byte that puts the device into its logging mode.
constexpr uint8_t LoggingModeByte = 0x6C;
// Big enough for the driver's whole receive queue, so that a tick never leaves bytes behind.
constexpr uint32_t ReceiveQueueCapacity = 65536;

const QColor OpenColour(0, 128, 0);

// Room a button's frame needs beside its caption.
constexpr int ButtonTextMarginPx = 12;

// A button at its designed place, widened to the right where the font needs more room.
QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect place,
                        bool enabled = true) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  const int needed =
      button->fontMetrics().horizontalAdvance(button->text().remove('&')) + ButtonTextMarginPx;
  place.setWidth(std::max(place.width(), needed));
  button->setGeometry(place);
  button->setAutoDefault(false);
  button->setEnabled(enabled);
  return button;
}

// Keeps the user from starting a second action while one pumps events; gives every widget its
// enabled state back afterwards.
class BusyScope {
 public:
  BusyScope(bool& busy, std::initializer_list<QWidget*> widgets) : busy_(busy) {
    busy_ = true;
    for (QWidget* w : widgets) {
      saved_.emplace_back(w, w->isEnabledTo(w->parentWidget()));
      w->setEnabled(false);
    }
  }
  ~BusyScope() {
    for (auto& [w, enabled] : saved_) w->setEnabled(enabled);
    busy_ = false;
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
  std::vector<std::pair<QWidget*, bool>> saved_;
};

}  // namespace

TZptDiagMainForm::TZptDiagMainForm(DiagSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), setup_(std::move(setup)) {
  setObjectName("ZptDiagMainForm");
  setFixedSize(ClientWidth, ClientHeight);
  // The designed sizes were made for a small dialog font; the desktop's usual one is larger.
  QFont small = font();
  small.setPixelSize(FontPixelSize);
  setFont(small);
  if (setup_.map) link_.Port.SetPortMap(setup_.map);
  link_.Port.DiscoveryRoots = setup_.roots;

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(4, 4, 453, 149);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The padded labels of the line settings line up only in a fixed-width font.
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPixelSize(FontPixelSize);
  Memo1->setFont(fixed);

  Button2 = MakeButton(this, "Button2", "S&peichern", {4, 160, 75, 21});
  Button1 = MakeButton(this, "Button1", "Gerät automatisch &Suchen", {300, 160, 153, 21});

  GroupBox1 = new QGroupBox("Manuelle Steuerung", this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(4, 188, 453, 129);

  ComboBox1 = new QComboBox(GroupBox1);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setGeometry(8, 24, 265, 21);

  Label1 = new QLabel(GroupBox1);
  Label1->setObjectName("Label1");
  Label1->setGeometry(296, 28, 150, 16);

  Button3 = MakeButton(GroupBox1, "Button3", "Open", {8, 52, 47, 21}, false);
  Button6 = MakeButton(GroupBox1, "Button6", "Close", {62, 52, 47, 21}, false);

  Bevel1 = new QFrame(GroupBox1);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(8, 80, 437, 2);

  Button4 = MakeButton(GroupBox1, "Button4", "Send ENQ", {8, 96, 65, 21}, false);
  Button5 = MakeButton(GroupBox1, "Button5", "Send END", {88, 96, 65, 21}, false);
  Button8 = MakeButton(GroupBox1, "Button8", "GetVersionInfo", {180, 96, 85, 21}, false);
  Button7 = MakeButton(GroupBox1, "Button7", "Logging Mode", {276, 96, 85, 21}, false);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(ReceiveIntervalMs);

  lines_ = std::make_unique<MemoLines>(Memo1);
  lines_->Add("");
  FillPortItems();
  ShowOpen(false);
  Button3->setEnabled(false);  // until a port is chosen

  connect(Button1, &QPushButton::clicked, this, &TZptDiagMainForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TZptDiagMainForm::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TZptDiagMainForm::Button3Click);
  connect(Button6, &QPushButton::clicked, this, &TZptDiagMainForm::Button6Click);
  connect(Button4, &QPushButton::clicked, this,
          [this] { SendByte(protocol::ENQ, "Sende ENQ ..."); });
  connect(Button5, &QPushButton::clicked, this,
          [this] { SendByte(protocol::EOT, "Sende END ..."); });
  connect(Button7, &QPushButton::clicked, this,
          [this] { SendByte(LoggingModeByte, "Sende 'l' ..."); });
  connect(Button8, &QPushButton::clicked, this, &TZptDiagMainForm::Button8Click);
  // Only the user's choice runs the change action; selecting in code does not.
  connect(ComboBox1, &QComboBox::activated, this, &TZptDiagMainForm::ComboBox1Change);
  connect(Timer1, &QTimer::timeout, this, &TZptDiagMainForm::Timer1Timer);
}

TZptDiagMainForm::~TZptDiagMainForm() = default;

void TZptDiagMainForm::showEvent(QShowEvent* event) {
  setWindowTitle("Varnex - Diagnose");
  if (!centred_) {
    centred_ = true;
    CenterOnScreen(this);
  }
  QWidget::showEvent(event);
}

void TZptDiagMainForm::closeEvent(QCloseEvent* event) {
  // A search or version query is still waiting on the port; it ends within a few seconds.
  if (busy_) {
    event->ignore();
    return;
  }
  Timer1->stop();
  link_.Port.Close();
  QWidget::closeEvent(event);
}

void TZptDiagMainForm::AddLine(const std::string& text) {
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines_->Add(text.substr(start, end - start));
  lines_->Add(text.substr(start));
}

void TZptDiagMainForm::FillPortItems() {
  const QString current = ComboBox1->currentText();
  QStringList items{"?"};
  for (int n = 1; n <= PortItems; ++n) items << QString("COM%1").arg(n);
  for (const auto& entry : link_.Port.Map().Entries())
    if (entry.number > PortItems) items << QString("COM%1").arg(entry.number);
  ComboBox1->clear();
  ComboBox1->addItems(items);
  ComboBox1->setCurrentIndex(std::max(0, static_cast<int>(ComboBox1->findText(current))));
}

void TZptDiagMainForm::SelectPort(uint8_t number) {
  const QString name = QString("COM%1").arg(number);
  if (ComboBox1->findText(name) < 0) FillPortItems();
  ComboBox1->setCurrentIndex(std::max(0, static_cast<int>(ComboBox1->findText(name))));
}

uint8_t TZptDiagMainForm::SelectedNumber() const {
  return TComPort::PortNumberFromName(S(ComboBox1->currentText()));
}

void TZptDiagMainForm::ComboBox1Change() {
  if (ComboBox1->currentIndex() > 0) Button3->setEnabled(true);
}

void TZptDiagMainForm::ShowOpen(bool open) {
  open_ = open;
  Button3->setEnabled(!open);
  Button1->setEnabled(!open);
  ComboBox1->setEnabled(!open);
  for (QPushButton* b : {Button6, Button4, Button5, Button7, Button8}) b->setEnabled(open);
  Label1->setText(open ? "aktuell : geöffnet" : "aktuell : geschlossen");
  QPalette palette = Label1->palette();
  palette.setColor(QPalette::WindowText, open ? OpenColour : QColor(Qt::black));
  Label1->setPalette(palette);
  QFont font = Label1->font();
  font.setBold(open);
  Label1->setFont(font);
}

void TZptDiagMainForm::Button1Click() {
  if (busy_) return;
  BusyScope busy(busy_, {Button1, Button2, GroupBox1});
  lines_->Clear();
  ComboBox1->setCurrentIndex(0);
  const std::vector<std::string> scanLog = link_.Port.EnumeratePorts();
  FillPortItems();  // the scan may have numbered new ports above COM20

  AddLine(diag::SystemLine(diag::ReadLinuxSystem(setup_.osReleaseFiles)));
  for (const auto& line :
       diag::SerialDeviceReport(link_.Port.ScannedPorts, link_.Port.DiscoveryRoots.sysfs))
    AddLine(line);
  AddLine("");
  for (const auto& line : scanLog) AddLine(line);

  bool found = false;
  const std::vector<std::string> ports = link_.Port.PortList;
  for (const auto& entry : ports) {
    AddLine(TickLine(std::string("trying to Connect ") + DeviceName + " at " + entry));
    link_.Port.PortNumber = TComPort::PortNumberFromName(entry);
    if (link_.Connect(false, true) < 0) {
      AddLine(TickLine("  not connected"));
    } else {
      AddLine(std::to_string(GetTickCount()) + ":" + DeviceName + " found at " + entry);
      found = true;
      SelectPort(link_.Port.PortNumber);
      ComboBox1Change();
    }
    AddLine(TickLine(std::string("disconnecting ") + DeviceName + " ..."));
    link_.Disconnect();
    if (found) break;
  }
  AddLine(found ? "\r\n" + std::string(DeviceName) + " connected at COM" +
                      std::to_string(link_.Port.PortNumber) + "\r\n"
                : "\r\nNo " + std::string(DeviceName) + " connected !\r\n");
}

void TZptDiagMainForm::Button3Click() {
  const uint8_t n = SelectedNumber();
  if (n == 0) return;
  const std::string opening = "öffne Com" + std::to_string(n) + "...";
  AddLine(opening);
  link_.Port.PortNumber = n;
  if (link_.Port.Open()) {
    ShowOpen(true);
    AddLine(diag::LineStatusLine(link_.Port));
    for (const auto& line : diag::LineSettingsBlock(link_.Port)) AddLine(line);
  } else if (link_.Port.IsOpen()) {
    // The port refused the line settings (Open has said so): it cannot talk to the device, and
    // the window would have no way to close it.
    link_.Port.Close();
  }
  if (link_.Port.IsOpen()) {
    AddLine(opening + "   OK");
    Timer1->start();
  } else {
    AddLine(opening + "   Error");
    if (!link_.Port.ErrorDetail.empty()) AddLine(link_.Port.ErrorDetail);
  }
}

void TZptDiagMainForm::Button6Click() {
  const std::string closing = "schliesse Com" + std::to_string(SelectedNumber()) + "...";
  link_.Port.Close();
  if (link_.Port.IsOpen()) {
    AddLine(closing + "   Error");
    return;
  }
  Timer1->stop();
  ShowOpen(false);
  AddLine(closing + "   OK");
}

void TZptDiagMainForm::SendByte(uint8_t value, const char* line) {
  if (link_.Port.WriteByte(value)) AddLine(line);
}

void TZptDiagMainForm::Timer1Timer() {
  Timer1->stop();
  if (link_.Port.IsOpen() && link_.Port.WaitReadable(0) == WaitResult::HungUp) {
    AddLine("Com" + std::to_string(SelectedNumber()) + ": device gone (unplugged?)");
    Button6Click();
    return;
  }
  std::vector<uint8_t> buffer(ReceiveQueueCapacity);
  const int32_t count = link_.Port.Read(buffer.data(), ReceiveQueueCapacity);
  TakeBytes(buffer.data(), count);
  Timer1->start();
}

void TZptDiagMainForm::TakeBytes(const uint8_t* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    switch (bytes[i]) {
      case protocol::ACK:
        AddLine("Received ACK");
        break;
      case protocol::NAK:
        AddLine("Received NAK");
        break;
      case '\n':
        AddLine(Cp1252ToUtf8(receiveLine_));
        receiveLine_.clear();
        break;
      case '\r':
        break;
      default:
        receiveLine_ += static_cast<char>(bytes[i]);
    }
  }
}

void TZptDiagMainForm::Button8Click() {
  if (busy_) return;
  {
    BusyScope busy(busy_, {GroupBox1});
    // The receive timer would take the device's answers away from the query.
    Timer1->stop();
    if (link_.Connect(true, true) > 0) {
      TVersionInfo version;
      if (link_.ReadVersionInfo(version, *lines_))
        AddLine("Actual Firmware-Version : " + std::to_string(version.Major) + "." +
                std::to_string(version.Minor));
      else
        AddLine(Text(MsgVersionFailed));
      link_.Disconnect();
    }
  }
  if (!open_) return;
  // The query released the port; the manual session gets it back.
  const std::string opening = "öffne Com" + std::to_string(SelectedNumber()) + "...";
  if (link_.Port.IsOpen() || link_.Port.Open()) {
    Timer1->start();
    return;
  }
  if (link_.Port.IsOpen()) link_.Port.Close();
  ShowOpen(false);
  AddLine(opening + "   Error");
  if (!link_.Port.ErrorDetail.empty()) AddLine(link_.Port.ErrorDetail);
}

void TZptDiagMainForm::Button2Click() {
  FileDialogRequest request;
  request.title = "Speichern unter";
  request.fileName = SaveFileName;
  request.filter = "Textfile|*.txt";
  request.defaultExt = "txt";
  const std::optional<std::string> path = Prompter().SaveFileName(request);
  if (!path) return;
  std::string text;
  for (const auto& line : lines_->Lines()) text += line + "\n";
  std::string error;
  if (!WriteFileAtomic(*path, text, &error))
    MessageBox("Das Protokoll konnte nicht gespeichert werden:\n" + error, "Varnex - Error",
               MsgIcon::Error);
}

}  // namespace varnex
