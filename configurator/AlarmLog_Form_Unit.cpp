#include "AlarmLog_Form_Unit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "QtHost.h"

namespace varnex {

namespace {

constexpr int DetailAreaHeight = 84;
constexpr int InitialWidth = 600;
constexpr int InitialHeight = 380;

QString Colour(uint32_t rgb) {
  return QString("#%1").arg(rgb, 6, 16, QChar('0'));
}

}  // namespace

TAlarmLog_Form::TAlarmLog_Form(QWidget* parent) : QDialog(parent) {
  setObjectName("AlarmLog_Form");
  setWindowTitle("Alarm Logbuch");
  setSizeGripEnabled(true);
  resize(InitialWidth, InitialHeight);
  CenterOnScreen(this);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  Button2 = new QPushButton("Button2", ListBox1);
  Button2->setObjectName("Button2");

  auto* details = new QWidget(this);
  details->setObjectName("Panel1");
  details->setFixedHeight(DetailAreaHeight);
  auto* grid = new QGridLayout(details);
  grid->setContentsMargins(8, 6, 8, 6);
  const auto label = [details](const char* text) { return new QLabel(text, details); };
  DateEdit = DetailField("DateEdit", 150);
  ArrowEdit = DetailField("ArrowEdit", 0);
  ArrowEdit->setFixedWidth(44);
  ArrowEdit->setAlignment(Qt::AlignCenter);
  NumberEdit = DetailField("NumberEdit", 190);
  PurposeEdit = DetailField("PurposeEdit", 0);
  DtmfEdit = DetailField("DtmfEdit", 60);
  auto* number = new QHBoxLayout;
  number->addWidget(ArrowEdit);
  number->addWidget(NumberEdit, 1);
  grid->addWidget(label("Datum:"), 0, 0);
  grid->addWidget(DateEdit, 0, 1);
  grid->addWidget(label("TelNo:"), 0, 2);
  grid->addLayout(number, 0, 3, 1, 3);
  grid->addWidget(label("Zweck:"), 1, 0);
  grid->addWidget(PurposeEdit, 1, 1, 1, 3);
  grid->addWidget(label("DTMF Eingabe:"), 1, 4);
  grid->addWidget(DtmfEdit, 1, 5);
  grid->setColumnStretch(3, 1);

  auto* strip = new QHBoxLayout;
  strip->setContentsMargins(8, 4, 8, 8);
  auto* save = new QPushButton("&Speichern", this);
  save->setObjectName("SpeichernButton");
  auto* close = new QPushButton("S&chliessen", this);
  close->setObjectName("SchliessenButton");
  strip->addStretch(1);
  strip->addWidget(save);
  strip->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ListBox1, 1);
  layout->addWidget(details);
  layout->addLayout(strip);

  connect(ListBox1, &QListWidget::itemClicked, this, &TAlarmLog_Form::ListBox1Click);
  connect(ListBox1, &QListWidget::currentRowChanged, this, &TAlarmLog_Form::ListBox1Click);
  connect(Button2, &QPushButton::clicked, this, &TAlarmLog_Form::ShowDemonstrationRecords);
  connect(save, &QPushButton::clicked, this, &TAlarmLog_Form::SpeichernClick);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  ClearDetails();
}

QLineEdit* TAlarmLog_Form::DetailField(const char* name, int width) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setReadOnly(true);
  if (width > 0) field->setMinimumWidth(width);
  return field;
}

void TAlarmLog_Form::showEvent(QShowEvent* event) {
  ShowDemonstrationRecords();
  QDialog::showEvent(event);
}

void TAlarmLog_Form::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The button sits in the list's lower right corner, clear of the scroll bar.
  const QSize size = Button2->sizeHint();
  Button2->setGeometry(ListBox1->width() - size.width() - 24,
                       ListBox1->height() - size.height() - 6, size.width(), size.height());
}

void TAlarmLog_Form::ShowDemonstrationRecords() {
  const auto records = DemonstrationLogRecords();
  std::copy(records.begin(), records.end(), LogBuffer.begin());
  LogCount = records.size();
  ListRecords();
}

void TAlarmLog_Form::ListRecords() {
  std::vector<std::string> lines;
  DecodeLogRecords(LogBuffer.data(), std::min(LogCount, LogBuffer.size()), lines);
  ListBox1->clear();
  for (const auto& line : lines) ListBox1->addItem(Q(line));
}

void TAlarmLog_Form::ClearDetails() {
  for (QLineEdit* field : {DateEdit, ArrowEdit, NumberEdit, PurposeEdit, DtmfEdit}) field->clear();
  ArrowEdit->setStyleSheet("background-color: " + Colour(ArrowWhite) + ";");
  ArrowEdit->setToolTip({});
  DtmfEdit->setToolTip({});
}

void TAlarmLog_Form::ListBox1Click() {
  const int row = ListBox1->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= std::min(LogCount, LogBuffer.size())) return;
  ClearDetails();
  const LogRecordDetails d = DescribeLogRecord(LogBuffer[static_cast<size_t>(row)]);
  DateEdit->setText(Q(d.date));
  ArrowEdit->setText(Q(d.arrow));
  ArrowEdit->setStyleSheet("background-color: " + Colour(d.arrowColour) + ";");
  ArrowEdit->setToolTip(Q(d.arrowHint));
  NumberEdit->setText(Q(d.number));
  PurposeEdit->setText(Q(d.purpose));
  DtmfEdit->setText(Q(d.dtmf));
  DtmfEdit->setToolTip(Q(d.dtmfHint));
}

void TAlarmLog_Form::SpeichernClick() {
  FileDialogRequest request;
  request.title = "Alarmlog speichern";
  request.fileName = "varnex_alarmlog";
  request.filter = "Alarmlog|*.txt";
  request.defaultExt = "txt";
  const auto path = Prompter().SaveFileName(request);
  if (!path) return;
  std::vector<std::string> lines;
  for (int i = 0; i < ListBox1->count(); ++i) lines.push_back(S(ListBox1->item(i)->text()));
  std::string error;
  if (!SaveAlarmLogLines(lines, *path, &error))
    MessageBox("Das Alarmlog konnte nicht gespeichert werden:\r\n" + error, "Varnex - Error",
               MsgIcon::Error);
}

}  // namespace varnex
