#include "varnex_FlashWriter_Unit01.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "Host.h"
#include "ProgramHome.h"
#include "QtHost.h"
#include "SelectPort.h"
#include "SoundPlayer.h"
#include "VoiceCatalogue.h"
#include "transfer_form_unit.h"
#include "varnex_FlashWriter_Unit02.h"
#include "varnex_PlayWave_Splachscreen.h"

namespace varnex {

namespace {

constexpr int FormWidth = 599;
constexpr int FormHeight = 682;
constexpr int GroupBox2Height = 217;
constexpr int ProgressBarHeight = 20;
constexpr int Memo1Height = 166;
constexpr int GridRowHeight = 18;
// Column widths in percent of the grid's width: ID, Text, Kategorie, Filename, Status.
constexpr std::array<int, 5> ColumnPercent = {7, 20, 30, 30, 9};
constexpr int ListedPorts = 4;  // COM1 to COM4 in the port box, after "unknown"
constexpr const char* ErrorCaption = "Varnex - Error";

namespace fs = std::filesystem;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QTableWidgetItem* Cell(const std::string& text) {
  return new QTableWidgetItem(Q(text));
}

// The "*.ini" files of a folder (any letter case), by name, without the default catalogue.
std::vector<std::string> OtherIniFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".ini" && name != DefaultLanguageIni && it->is_regular_file(ec))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The size of the image file to upload; 0 for a file that is not a readable regular file (an
// unexpected failure is shown).
int64_t UploadFileSize(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    const int error = errno;
    if (fd >= 0) close(fd);
    MessageBox("Unexpected Error: File '" + file + "' not found (" + std::to_string(error) + ")!",
               ErrorCaption, MsgIcon::Error);
    return 0;
  }
  close(fd);
  return S_ISREG(info.st_mode) ? static_cast<int64_t>(info.st_size) : 0;
}

}  // namespace

// The progress bar of an upload, with the time left once a few blocks have gone out (a full
// image takes about 19 minutes at 9600 baud).
class UploadProgress final : public IProgress {
 public:
  explicit UploadProgress(QProgressBar* bar) : bar_(bar) {}
  void SetRange(int minimum, int maximum) override {
    bar_->setRange(minimum, maximum);
    estimate_.Start(maximum);
    bar_->setFormat(ProgressFormat({}));
  }
  void SetPosition(int position) override {
    bar_->setValue(position);
    bar_->setFormat(ProgressFormat(estimate_.Update(position, NowMs())));
  }
  // Back to the idle bar: 0 of 100, no estimate.
  void Idle() {
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->resetFormat();
  }

 private:
  QProgressBar* bar_;
  TimeLeftEstimate estimate_;
};

TForm1::TForm1(Tfixmsg_form& fixMessages, Tsound_splash_form& notice, QWidget* parent)
    : QWidget(parent), fixMessages_(fixMessages), notice_(notice) {
  setObjectName("Form1");
  BuildControls();
  log_ = std::make_unique<MemoLines>(Memo1);
  progress_ = std::make_unique<UploadProgress>(ProgressBar1);
  started_ = Start();

  connect(grid, &QTableWidget::currentCellChanged, this, &TForm1::gridClick);
  connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox2Change);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
  auto* layout = new QVBoxLayout(this);

  GroupBox2 = new QGroupBox("Write Flash File", this);
  GroupBox2->setObjectName("GroupBox2");
  GroupBox2->setFixedHeight(GroupBox2Height);
  ProgressBar1 = new QProgressBar(GroupBox2);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setFixedHeight(ProgressBarHeight);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  Memo1 = new QPlainTextEdit(GroupBox2);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setMinimumHeight(Memo1Height);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* top = new QVBoxLayout(GroupBox2);
  top->addWidget(ProgressBar1);
  top->addWidget(Memo1, 1);
  layout->addWidget(GroupBox2);

  GroupBox1 = new QGroupBox("ALaw-Samples", this);
  GroupBox1->setObjectName("GroupBox1");
  grid = new QTableWidget(GroupBox1);
  grid->setObjectName("grid");
  grid->setColumnCount(static_cast<int>(ColumnPercent.size()));
  grid->setHorizontalHeaderLabels({"ID", "Text", "Kategorie", "Filename", "Status"});
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(
      std::max(GridRowHeight, grid->fontMetrics().height() + 2));
  grid->horizontalHeader()->setHighlightSections(false);
  grid->setShowGrid(false);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  // The bottom panel keeps the designed arrangement; its cells grow where the font needs room.
  auto* panel = new QWidget(GroupBox1);
  panel->setObjectName("Panel1");
  ComboBox2 = new QComboBox(panel);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->setMinimumWidth(193);
  ComboBox2->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  SpeedButton1 = new QToolButton(panel);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setText("Play Wave");
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButton1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  Label1 = new QLabel(panel);
  Label1->setObjectName("Label1");
  CheckBox1 = new QCheckBox("browse for flash.bin manually before uploading", panel);
  CheckBox1->setObjectName("CheckBox1");
  Button2 = new QPushButton("&Create flash.bin", panel);
  Button2->setObjectName("Button2");
  Button1 = new QPushButton("&Upload Flash", panel);
  Button1->setObjectName("Button1");
  Button3 = new QPushButton("&Auto", panel);
  Button3->setObjectName("Button3");
  Label2 = new QLabel("Varnex an Comport:", panel);
  Label2->setObjectName("Label2");
  ComboBox1 = new QComboBox(panel);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({"unknown", "COM1", "COM2", "COM3", "COM4"});
  ComboBox1->setMinimumWidth(89);
  Button5 = new QPushButton("&Fix-Nachrichten einsehen / abspielen", panel);
  Button5->setObjectName("Button5");
  for (QPushButton* b : {Button2, Button1, Button3, Button5})
    b->setMinimumSize(std::max(b->sizeHint().width(), 89), 25);

  auto* left = new QGridLayout;
  left->addWidget(ComboBox2, 0, 0, 1, 2);
  left->addWidget(SpeedButton1, 0, 2);
  left->addWidget(Button2, 1, 0);
  left->addWidget(Button1, 1, 1);
  left->addWidget(Button3, 1, 2);
  left->addWidget(Button5, 2, 0, 1, 2);
  left->setRowMinimumHeight(2, 48);
  left->setAlignment(Button5, Qt::AlignBottom);
  auto* port = new QHBoxLayout;
  port->addWidget(Label2);
  port->addWidget(ComboBox1);
  port->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(Label1);
  right->addWidget(CheckBox1);
  right->addLayout(port);
  right->addStretch(1);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  row->addLayout(left);
  row->addSpacing(24);
  row->addLayout(right, 1);

  auto* bottom = new QVBoxLayout(GroupBox1);
  bottom->addWidget(grid, 1);
  bottom->addWidget(panel);
  layout->addWidget(GroupBox1, 1);
  grid->viewport()->installEventFilter(this);
  resize(std::max(FormWidth, minimumSizeHint().width()), FormHeight);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid->viewport() && event->type() == QEvent::Resize) SetColumnWidths();
  return QWidget::eventFilter(watched, event);
}

bool TForm1::Start() {
  const std::string folder = ProgramDir();
  const std::string ini = folder + DefaultLanguageIni;
  std::error_code ec;
  if (!fs::exists(ini, ec)) {
    MessageBox("INI-File missing: \r\n" + ini + " not found!", ErrorCaption, MsgIcon::Error);
    return false;
  }
  if (!LoadVoiceCatalogue(ini)) return false;
  ComboBox2->addItem(DefaultLanguageIni);
  for (const std::string& name : OtherIniFiles(folder)) ComboBox2->addItem(Q(name));
  ComboBox2->setCurrentIndex(0);
  return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (uploading_) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored from the task bar: nothing to list again
  CenterOnScreen(this);
  ListSamples();
}

void TForm1::SetColumnWidths() {
  const int width = grid->viewport()->width();
  for (size_t c = 0; c < ColumnPercent.size(); ++c)
    grid->setColumnWidth(static_cast<int>(c),
                         static_cast<int>(std::lround(width * ColumnPercent[c] / 100.0)));
}

void TForm1::ListSamples() {
  setWindowTitle(Caption);
  folders_ = FlashFoldersOf(ProgramDir());
  std::vector<std::string> missing;
  for (const std::string* folder : {&folders_.alaw, &folders_.wav, &folders_.flash}) {
    std::error_code ec;
    if (!fs::is_directory(*folder, ec)) missing.push_back(*folder);
  }
  if (!missing.empty()) {
    log_->Add("ERROR : The following Directories could not be found :");
    for (const std::string& folder : missing) log_->Add("  '" + folder + "'");
    foldersMissing_ = true;
    SetActionsEnabled(false);
    grid->setRowCount(0);  // rows of an older catalogue would name the wrong samples
    gridClick();
  } else {
    const QSignalBlocker quiet(grid);
    grid->setRowCount(SampleCount);
    SetColumnWidths();
    for (int i = 1; i <= SampleCount; ++i) {
      const TAlarm_struct& s = Samples[static_cast<size_t>(i)];
      const bool known = s.category >= 1 && s.category <= CategoryCount;
      grid->setItem(i - 1, 0, Cell(std::to_string(s.id)));
      grid->setItem(i - 1, 1, Cell(s.text));
      grid->setItem(i - 1, 2, Cell(known ? CategoryNames[s.category] : "UNKOWN"));
      grid->setItem(i - 1, 3, Cell(s.filename + AlawExtension));
    }
    for (const std::string& line : UnusedFixMessageSamples()) log_->Add(line);
    const SampleMeasure measure = MeasureSamples(folders_.alaw);
    for (int i = 0; i < SampleCount; ++i)
      grid->setItem(i, 4, Cell(measure.statuses[static_cast<size_t>(i)]));
    for (const std::string& line : measure.warnings) log_->Add(line);
    for (const std::string& line : CapacityReport(measure.total)) log_->Add(line);
    if (grid->currentRow() < 0 && SampleCount > 0) grid->setCurrentCell(0, 0);
    gridClick();
  }

  // The configurator's saved port and device; only read, never written.
  ISettingsStore& settings = Settings();
  const auto byteValue = [&](const char* name) -> std::optional<uint8_t> {
    const auto value = settings.ReadInt(SettingsScope::Application, name);
    if (!value || *value < 0 || *value > 255) return {};
    return static_cast<uint8_t>(*value);
  };
  if (const auto port = byteValue("ComPort")) link_.Port.PortNumber = *port;
  if (const auto file = settings.ReadString(SettingsScope::Application, "ConfigFile"))
    link_.ConfigFileName = *file;
  if (const auto major = byteValue("firmware_major")) link_.Version.Major = *major;
  if (const auto minor = byteValue("firmware_minor")) link_.Version.Minor = *minor;
  if (link_.Port.PortNumber >= 1 && link_.Port.PortNumber <= ListedPorts)
    ComboBox1->setCurrentIndex(link_.Port.PortNumber);

  CurrentIniName = S(ComboBox2->currentText());
}

void TForm1::gridClick() {
  const int row = grid->currentRow();
  if (row < 0 || row >= grid->rowCount() || row >= SampleCount) {
    Label1->clear();
    SpeedButton1->setEnabled(false);
    return;
  }
  const TAlarm_struct& s = Samples[static_cast<size_t>(row + 1)];
  Label1->setText(Q("A-Law FileSize : " + std::to_string(s.alaw_size) + " bytes"));
  SpeedButton1->setEnabled(!uploading_ &&
                           !ExistingFile(folders_.wav + s.filename + WavExtension).empty());
}

void TForm1::SpeedButton1Click() {
  const int row = grid->currentRow();
  if (row < 0 || row >= SampleCount) return;
  notice_.PlayWaveFiles(
      {folders_.wav + Samples[static_cast<size_t>(row + 1)].filename + WavExtension}, true);
}

void TForm1::ComboBox2Change() {
  const std::string name = S(ComboBox2->currentText());
  if (name == CurrentIniName) return;
  log_->Clear();
  log_->Add("Reading " + name + "...");
  log_->Add("");
  LoadVoiceCatalogue(ProgramDir() + name);  // its messages have been shown
  ListSamples();
  CurrentIniName = name;
}

bool TForm1::BuildImage() {
  const FlashBuildResult result =
      BuildFlashFile(folders_.alaw, folders_.flash + FlashFileName, *log_);
  // The build measured the files again: show what went into the image.
  for (int i = 0; i < std::min(SampleCount, grid->rowCount()); ++i)
    grid->setItem(i, 4, Cell(SampleStatus(Samples[static_cast<size_t>(i + 1)])));
  gridClick();
  return result.outcome == FlashBuildOutcome::Created;
}

void TForm1::Button2Click() {
  BuildImage();
}

void TForm1::Button1Click() {
  Upload();
}

void TForm1::Button3Click() {
  CheckBox1->setChecked(false);
  // An image that was not built must not be replaced in the device by an older file.
  if (BuildImage()) Upload();
}

void TForm1::Button5Click() {
  fixMessages_.exec();
}

void TForm1::SetActionsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, Button3})
    w->setEnabled(enabled && !foldersMissing_);
  Button5->setEnabled(!uploading_);
  gridClick();  // "Play Wave" follows the selected sample's WAV file, off during an upload
  if (!enabled) SpeedButton1->setEnabled(false);
}

void TForm1::Upload() {
  uploading_ = true;
  SetActionsEnabled(false);
  TComPort& port = link_.Port;
  port.EnumeratePorts();
  port.PortNumber = 1;
  if (ComboBox1->currentIndex() <= 0) {
    SelectPort(port, this);  // cancelled: COM1
  } else {
    port.PortNumber = static_cast<uint8_t>(ComboBox1->currentIndex());
  }

  std::string file = folders_.flash + FlashFileName;
  std::error_code ec;
  if (CheckBox1->isChecked() || !fs::exists(file, ec)) {
    FileDialogRequest request;
    request.initialDir = folders_.flash;
    request.fileName = FlashFileName;
    request.filter = "Firmware Binary File|*.bin";
    file = Prompter().OpenFileName(request).value_or("");
  }
  if (file.empty()) {
    // cancelled
  } else if (!fs::exists(file, ec)) {
    log_->Add("ERROR : " + file + " not found!");
  } else if (UploadFileSize(file) <= 0) {
    MessageBox("Wrong FileSize!", ErrorCaption, MsgIcon::Error);
  } else {
    MsgResult again = MsgResult::No;
    do {
      again = MsgResult::No;
      if (link_.Connect(true, true) > 0) {
        ProgressBar1->setValue(0);
        // Its log lands in the program folder, as "flash_write.txt".
        if (link_.WriteFlash(file, *log_, ProgramDir(), *progress_))
          again = MessageBox("Firmware nochmal schreiben ?", "Firmware update", MsgIcon::Question,
                             MsgButtons::YesNo);
      }
      link_.Disconnect();
    } while (again == MsgResult::Yes);
  }
  progress_->Idle();
  uploading_ = false;
  SetActionsEnabled(true);
}

}  // namespace varnex
