#include "Varnex_Form_Unit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstring>
#include <filesystem>
#include <utility>

#include "AdminForm_Unit.h"
#include "AlarmLog_parse.h"
#include "AlarmTexts.h"
#include "Alarmtext_Form_Unit.h"
#include "AnrufListen_Form_Unit.h"
#include "Ausgang_Form_Unit.h"
#include "ErrorSound.h"
#include "Exports.h"
#include "FormHelpers.h"
#include "IntEdit.h"
#include "Messages.h"
#include "PageControl.h"
#include "PhoneListGrid.h"
#include "ProgramHome.h"
#include "QtHost.h"
#include "Report.h"
#include "SelectPort.h"
#include "SpinEdit.h"
#include "VoiceCatalogue.h"
#include "comport_seach_form_unit.h"
#include "exit_Form_Unit.h"
#include "varnex_PlayWave_Splachscreen.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitVarnexResources() {
  Q_INIT_RESOURCE(varnex);
}

namespace varnex {

namespace {

namespace fs = std::filesystem;

constexpr const char* CaptionVarnex = "Varnex";
constexpr const char* CaptionError = "Varnex - Error";
constexpr const char* CaptionInformation = "Varnex - Information";

constexpr int ClientWidth = 487;
constexpr int ClientHeight = 314;

// WindowToConfig carries the switch outputs and the reserved tail over from Config: from here
// to the end of the record.
constexpr size_t SwitchOutputsAndTail = cfg::SwitchMsns[0];

QLabel* Text(const char* text, QWidget* parent) {
  return new QLabel(QString::fromUtf8(text), parent);
}

TIntEdit* SizedDigitBox(const char* name, int maxLength, bool sound, int width, QWidget* parent) {
  TIntEdit* box = varnex::DigitBox(name, maxLength, sound, parent);
  box->setFixedWidth(width);
  return box;
}

QComboBox* List(const char* name, std::initializer_list<const char*> items, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (const char* item : items) box->addItem(QString::fromUtf8(item));
  return box;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  return box;
}

// A disabled box looks like the button face; an enabled one like a normal edit box.
void EnableBox(QWidget* box, bool enabled) {
  box->setEnabled(enabled);
  const QPalette& standard = QApplication::palette();
  PaintField(box, standard.color(enabled ? QPalette::Base : QPalette::Button), Qt::black);
}

// A list's index as a record byte: no selection (-1) is 255.
uint8_t IndexByte(int index) {
  return static_cast<uint8_t>(index);
}

int DelayIndex(uint8_t seconds) {
  for (size_t i = 0; i < TMainForm::DelaySeconds.size(); ++i)
    if (TMainForm::DelaySeconds[i] == seconds) return static_cast<int>(i);
  return 0;
}

int ListIndex(const QComboBox* box, uint8_t value) {
  return value < box->count() ? value : -1;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent) : QMainWindow(parent) {
  InitVarnexResources();
  setObjectName("MainForm");
  UseFormFont(this);
  setWindowTitle(AppCaption);
  setWindowIcon(QIcon(":/varnex/varnex.png"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  BuildMenu();
  auto* client = new QWidget(this);
  client->setFixedSize(ClientWidth, ClientHeight);
  auto* clientLayout = new QVBoxLayout(client);
  clientLayout->setContentsMargins(2, 2, 2, 2);
  PageControl1 = new TPageControl(client);
  PageControl1->setObjectName("PageControl1");
  clientLayout->addWidget(PageControl1);
  QStyle* style = QApplication::style();
  PageControl1->AddPage(BuildBasicPage(), style->standardIcon(QStyle::SP_ComputerIcon),
                        QString::fromUtf8("Grundeinstellungen"));
  PageControl1->AddPage(BuildAdminPage(), style->standardIcon(QStyle::SP_DirHomeIcon),
                        QString::fromUtf8("Administratoren"));
  PageControl1->AddPage(BuildInputsPage(), style->standardIcon(QStyle::SP_MessageBoxWarning),
                        QString::fromUtf8("Alarmeingänge"));
  PageControl1->AddPage(BuildOutputsPage(), style->standardIcon(QStyle::SP_MediaPlay),
                        QString::fromUtf8("Schaltausgänge"));
  PageControl1->CanChange = [this](int from, int to) { return PageChanging(from, to); };
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  adminForm_ = new TAdminForm(
      link_.Config, [this] { return CountryCodeText(); }, this);
  adminForm_->OnAdminsStored = [this] { ShowAdmins(); };
  transferForm_ = new Ttransfer_form(link_, *this, this);
  playbackNotice_ = new Tsound_splash_form(this);
  searchForm_ = new Tcomport_seach_form(this);

  StartUp(arguments);
  // These dialogs take the folders and the "nopl" switch that start-up found.
  callListForm_ = new TAnruflisten_Form(link_.Config, *adminForm_, this);
  outputsForm_ = new TAusgang_Form(
      link_.Config, [this] { return DeviceNumberText(); }, noPlausibility_, helpDir_, this);
  composerForm_ = new TAlarmtext_Form(link_.Config, *playbackNotice_, wavFolder_, helpDir_, this);
  exitForm_ = new TExitForm(*this);
}

TMainForm::~TMainForm() = default;

// --- Building the window ----------------------------------------------------------------------

void TMainForm::BuildMenu() {
  auto item = [this](QMenu* menu, const char* caption, const char* name, auto slot) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    if (slot) connect(action, &QAction::triggered, this, slot);
    return action;
  };
  using Slot = void (TMainForm::*)();
  constexpr Slot none = nullptr;

  QMenu* file = menuBar()->addMenu("&Datei");
  file->setObjectName("Datei1");
  item(file, "&Neu", "Neu1", &TMainForm::Neu1Click);
  item(file, "Ö&ffnen", "Oeffnen1", &TMainForm::Oeffnen1Click);
  item(file, "&Report erstellen", "Reporterstellen1", &TMainForm::Reporterstellen1Click);
  file->addSeparator();
  item(file, "&Speichern", "Speichern1", &TMainForm::Speichern1Click);
  item(file, "Speichern &unter    ", "Speichernunter1", &TMainForm::Speichernunter1Click);
  file->addSeparator();
  QMenu* language = file->addMenu("S&prache");
  language->setObjectName("SpracheMenu");
  Sprache1 = language->menuAction();
  Sprache1->setObjectName("Sprache1");
  item(language, "&Deutsch", "Deutsch1", &TMainForm::Deutsch1Click);
  item(language, "&Englisch", "Englisch1", &TMainForm::Englisch1Click);
  file->addSeparator();
  item(file, "&Beenden", "Beenden1", &QWidget::close);

  VarnexMenu = menuBar()->addMenu("&Varnex");
  VarnexMenu->setObjectName("Varnex1");
  item(VarnexMenu, "Konfiguration &schreiben", "Konfigurationschreiben1",
       &TMainForm::Konfigurationschreiben1Click);
  item(VarnexMenu, "&Konfiguration auslesen", "Konfigurationauslesen1",
       &TMainForm::Konfigurationauslesen1Click);
  VarnexMenu->addSeparator();
  item(VarnexMenu, "Firmware &Version anzeigen", "FirmwareVersionanzeigen1",
       &TMainForm::FirmwareVersionanzeigen1Click);
  item(VarnexMenu, "Firmware &Update", "FirmwareUpdate1", &TMainForm::FirmwareUpdate1Click);
  VarnexMenu->addSeparator();
  item(VarnexMenu, "ComSchnittstelle suche&n", "ComSchnittstellesuchen1",
       &TMainForm::ComSchnittstellesuchen1Click);
  item(VarnexMenu, "&ComSchnittstelle festlegen", "ComSchnittstellefestlegen1",
       &TMainForm::ComSchnittstellefestlegen1Click);
  VarnexMenu->addSeparator();
  QMenu* log = VarnexMenu->addMenu("Alarm &Logbuch");
  log->setObjectName("AlarmLogbuchMenu");
  AlarmLogbuch1 = log->menuAction();
  AlarmLogbuch1->setObjectName("AlarmLogbuch1");
  AlarmLogbuch1->setVisible(false);
  item(log, "&anzeigen", "anzeigen1", &TMainForm::anzeigen1Click);
  item(log, "&loeschen", "loeschen1", &TMainForm::loeschen1Click);
  DebugMonitor1 = item(VarnexMenu, "Debug &Monitor", "DebugMonitor1", none);
  DebugMonitor1->setVisible(false);

  QMenu* help = menuBar()->addMenu("&?");
  help->setObjectName("Fragezeichen1");
  item(help, "&Hilfe", "Hilfe1", &TMainForm::Hilfe1Click);
  FAQ1 = item(help, "&FAQ", "FAQ1", none);
  FAQ1->setVisible(false);
  help->addSeparator();
  item(help, "Internet &Updates", "InternetUpdates1", &TMainForm::InternetUpdates1Click);
  help->addSeparator();
  QMenu* orders = help->addMenu("ISDN Bestellformulare");
  orders->setObjectName("ISDNBestellformulare1");
  CallDeflection1 = item(orders, "Call-Deflection", "CallDeflection1", none);
  CLIR1 = item(orders, "CLIR", "CLIR1", none);
  item(orders, "zusätzliche MSN", "zustzlicheMSN1", &TMainForm::zustzlicheMSN1Click);
  item(help, "&Info", "Info1", &TMainForm::Info1Click);
}

QWidget* TMainForm::BuildBasicPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet1");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(8, 6, 8, 6);

  auto* standard = new QGroupBox(" Standard ", page);
  auto* s = new QGridLayout(standard);
  s->setVerticalSpacing(4);
  IntEdit21 = SizedDigitBox("IntEdit21", static_cast<int>(cfg::Msn.Width), false, 120, standard);
  IntEdit21->SetAllowLeadingZeroes(false);
  s->addWidget(Text("Geräterufnummer (MSN ohne Vorwahl):", standard), 0, 0);
  s->addWidget(IntEdit21, 0, 1);
  CheckBox1 = Check("CheckBox1", "Nebenstelle, Amtsholung:", standard);
  Edit1 = new QLineEdit(standard);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(static_cast<int>(cfg::PbxPrefix.Width));
  Edit1->setValidator(new Cp1252Validator(Edit1));
  Edit1->setFixedWidth(30);
  s->addWidget(CheckBox1, 1, 0);
  s->addWidget(Edit1, 1, 1);
  CheckBox3 = Check("CheckBox3", "Im Alarmfall evtl. belegte ISDN Leitungen freimachen", standard);
  s->addWidget(CheckBox3, 2, 0, 1, 3);
  Label5 = Text("DTMF Authentifizieurungs-Code:             *", standard);
  IntEdit5 = SizedDigitBox("IntEdit5", 6, true, 60, standard);
  Label6 = Text("#", standard);
  auto* code = new QHBoxLayout;
  code->addWidget(IntEdit5);
  code->addWidget(Label6);
  code->addStretch();
  s->addWidget(Label5, 3, 0);
  s->addLayout(code, 3, 1, 1, 2);
  s->setColumnStretch(2, 1);
  layout->addWidget(standard);

  auto* extended = new QGroupBox(" Erweitert ", page);
  auto* e = new QGridLayout(extended);
  e->setVerticalSpacing(4);
  IntEdit2 =
      SizedDigitBox("IntEdit2", static_cast<int>(cfg::CountryCode.Width), false, 40, extended);
  IntEdit3 =
      SizedDigitBox("IntEdit3", static_cast<int>(cfg::NationalPrefix.Width), false, 40, extended);
  IntEdit4 =
      SizedDigitBox("IntEdit4", static_cast<int>(cfg::IntlPrefix.Width), false, 40, extended);
  e->addWidget(Text("Ländercode:", extended), 0, 0);
  e->addWidget(IntEdit2, 0, 1);
  e->addWidget(Text("Nationale Vorwahl:", extended), 1, 0);
  e->addWidget(IntEdit3, 1, 1);
  e->addWidget(Text("Internat. Vorwahl Prefix:", extended), 2, 0);
  e->addWidget(IntEdit4, 2, 1);
  SpinEdit1 = new TSpinEdit(RingTimeMin, RingTimeMax, RingTimeMin, extended);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setFixedWidth(56);
  auto* ring = new QHBoxLayout;
  ring->setSpacing(4);
  ring->addWidget(Text("im Alarmfall maximal", extended));
  ring->addWidget(SpinEdit1);
  ring->addWidget(Text("Sekunden bei", extended));
  ring->addStretch();
  e->addLayout(ring, 3, 0, 1, 3);
  e->addWidget(Text("Teilnehmern der Anrufliste klingeln lassen", extended), 4, 0, 1, 3);
  CheckBox4 = Check("CheckBox4", "nach Stromausfall Alarmlisten benachrichtigen", extended);
  CheckBox4->setVisible(false);
  e->addWidget(CheckBox4, 5, 0, 1, 3);
  e->setColumnStretch(2, 1);
  layout->addWidget(extended);
  layout->addStretch();

  html_tpl = new QPlainTextEdit(page);
  html_tpl->setObjectName("html_tpl");
  html_tpl->setLineWrapMode(QPlainTextEdit::NoWrap);
  html_tpl->setVisible(false);

  connect(CheckBox1, &QCheckBox::clicked, this, &TMainForm::CheckBox1Click);
  return page;
}

QWidget* TMainForm::BuildAdminPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet2");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 4, 6, 4);
  auto* group = new QGroupBox(" Berechtigte Anrufer mit administrativen Berechtigungen: ", page);
  auto* g = new QVBoxLayout(group);
  g->setSpacing(3);
  g->setContentsMargins(6, 6, 6, 6);

  admin_grid = new TPhoneListGrid(group);
  admin_grid->setObjectName("admin_grid");
  admin_grid->setFixedSize(439, 125);
  admin_grid->SetList([this] { return link_.Config.Admins(); });
  QWidget* headings = PhoneListHeadings(admin_grid->width(), group);
  g->addWidget(headings);
  g->addWidget(admin_grid);

  auto* buttons = new QHBoxLayout;
  auto* newButton = Button("AdminNew", "&Neu", group);
  auto* editButton = Button("AdminEdit", "&Bearbeiten", group);
  auto* deleteButton = Button("AdminDelete", "&Löschen", group);
  for (QPushButton* b : {newButton, editButton, deleteButton}) buttons->addWidget(b);
  buttons->addStretch();
  g->addLayout(buttons);

  CheckBox2 = Check("CheckBox2",
                    "zusätzlich Anrufe von beliebigen Rufnummern per DTMF-Authentifizierung "
                    "erlauben:",
                    group);
  g->addWidget(CheckBox2);
  auto* code = new QHBoxLayout;
  code->addSpacing(18);
  code->addWidget(Text("DTMF-Code:     *", group));
  IntEdit1 = SizedDigitBox("IntEdit1", 6, true, 60, group);
  code->addWidget(IntEdit1);
  code->addWidget(Text("#", group));
  code->addStretch();
  g->addLayout(code);
  layout->addWidget(group);
  layout->addStretch();

  // The status lights, as pictures of their own (hidden) like on the original page.
  auto* green = new QLabel(group);
  green->setObjectName("image_green");
  green->setPixmap(TPhoneListGrid::GreenLight());
  green->setVisible(false);
  auto* red = new QLabel(group);
  red->setObjectName("image_red");
  red->setPixmap(TPhoneListGrid::RedLight());
  red->setVisible(false);

  connect(newButton, &QPushButton::clicked, this, &TMainForm::AdminNewClick);
  connect(editButton, &QPushButton::clicked, this, &TMainForm::AdminEditClick);
  connect(deleteButton, &QPushButton::clicked, this, &TMainForm::AdminDeleteClick);
  connect(admin_grid, &TPhoneListGrid::NewRequested, this, &TMainForm::AdminNewClick);
  connect(admin_grid, &TPhoneListGrid::EditRequested, this, &TMainForm::AdminEditClick);
  connect(admin_grid, &TPhoneListGrid::DeleteRequested, this, &TMainForm::AdminDeleteClick);
  connect(CheckBox2, &QCheckBox::clicked, this, &TMainForm::CheckBox2Click);
  return page;
}

QWidget* TMainForm::BuildInputsPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet3");
  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(6, 4, 6, 4);
  struct Input {
    QComboBox*& trigger;
    QComboBox*& delay;
    QComboBox*& output;
    QPushButton*& callList;
    QPushButton*& message;
    QPlainTextEdit*& summary;
    const char* names[6];
    const char* caption;
  };
  const std::array<Input, 2> inputs = {
      {{ComboBox1,
        ComboBox2,
        ComboBox5,
        SpeedButton2,
        SpeedButton1,
        Memo1,
        {"ComboBox1", "ComboBox2", "ComboBox5", "SpeedButton2", "SpeedButton1", "Memo1"},
        " Alarmeingang 1 "},
       {ComboBox3,
        ComboBox4,
        ComboBox6,
        SpeedButton4,
        SpeedButton3,
        Memo2,
        {"ComboBox3", "ComboBox4", "ComboBox6", "SpeedButton4", "SpeedButton3", "Memo2"},
        " Alarmeingang 2"}}};
  for (const Input& in : inputs) {
    auto* group = new QGroupBox(QString::fromUtf8(in.caption), page);
    auto* g = new QVBoxLayout(group);
    g->setSpacing(2);
    g->addWidget(Text("Alarmeingang schaltet bei Ereignis:", group));
    in.trigger = List(in.names[0], {"nie", "Öffner", "Schliesser"}, group);
    g->addWidget(in.trigger);
    g->addWidget(Text(" Verzögerung nach Ereignis:", group));
    in.delay = List(in.names[1],
                    {"sofort alarmieren", "nach 5 sek. alarmieren", "nach 10 sek. alarmieren",
                     "nach 20 sek. alarmieren"},
                    group);
    g->addWidget(in.delay);
    g->addWidget(Text("Im Alarmfall Schaltausgang schalten:", group));
    in.output = List(in.names[2], {"keinen", "Ausgang1", "Ausgang2", "Ausgang1+2"}, group);
    g->addWidget(in.output);
    auto* buttons = new QHBoxLayout;
    in.callList = Button(in.names[3], "Anrufliste", group);
    in.message = Button(in.names[4], "Alarmtext", group);
    buttons->addWidget(in.callList);
    buttons->addWidget(in.message);
    g->addSpacing(4);
    g->addLayout(buttons);
    g->addWidget(Text("Alarmtext:", group));
    in.summary = new QPlainTextEdit(group);
    in.summary->setObjectName(in.names[5]);
    in.summary->setReadOnly(true);
    in.summary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PaintField(in.summary, QApplication::palette().color(QPalette::Button), Qt::black);
    g->addWidget(in.summary, 1);
    layout->addWidget(group);
  }
  connect(ComboBox1, &QComboBox::activated, this, &TMainForm::ComboBox1Change);
  connect(ComboBox3, &QComboBox::activated, this, &TMainForm::ComboBox3Change);
  connect(SpeedButton1, &QPushButton::clicked, this, &TMainForm::SpeedButton1Click);
  connect(SpeedButton2, &QPushButton::clicked, this, &TMainForm::SpeedButton2Click);
  connect(SpeedButton3, &QPushButton::clicked, this, &TMainForm::SpeedButton3Click);
  connect(SpeedButton4, &QPushButton::clicked, this, &TMainForm::SpeedButton4Click);
  return page;
}

QWidget* TMainForm::BuildOutputsPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet4");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(2);
  Label23 = Text(
      "Alle Administratoren können bei Anruf auf die Geräterufnummer die "
      "Schaltausgänge mit folgenden",
      page);
  Label23->setObjectName("Label23");
  Label23->setWordWrap(true);
  layout->addWidget(Label23);
  layout->addWidget(Text(" DTMF Kommandos bedienen:", page));

  ValueListEditor1 = new QTableWidget(0, 2, page);
  ValueListEditor1->setObjectName("ValueListEditor1");
  ValueListEditor1->setHorizontalHeaderLabels({"DTMF-Kommando", "Funktion"});
  ValueListEditor1->verticalHeader()->hide();
  ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);
  ValueListEditor1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  ValueListEditor1->setColumnWidth(0, 150);
  ValueListEditor1->setColumnWidth(1, 290);
  ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ValueListEditor1->setSelectionMode(QAbstractItemView::SingleSelection);
  ValueListEditor1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                    QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed);
  layout->addWidget(ValueListEditor1, 1);
  ShowDtmfRows(ShippedDtmfCommands());

  auto* buttons = new QHBoxLayout;
  auto* extended = Button("Button4", "&Erweitert", page);
  auto* exportButton = Button("Button5", "E&xport", page);
  buttons->addStretch();
  buttons->addWidget(extended);
  buttons->addWidget(exportButton);
  layout->addLayout(buttons);

  ExportMenu = new QMenu(this);
  ExportMenu->setObjectName("ExportMenu");
  QAction* html = ExportMenu->addAction("&HTML");
  html->setObjectName("HTML1");
  QAction* text = ExportMenu->addAction("&Textdatei");
  text->setObjectName("ASCII1");
  connect(html, &QAction::triggered, this, &TMainForm::HTML1Click);
  connect(text, &QAction::triggered, this, &TMainForm::ASCII1Click);
  connect(extended, &QPushButton::clicked, this, &TMainForm::ErweitertClick);
  connect(exportButton, &QPushButton::clicked, this, &TMainForm::ExportClick);
  return page;
}

void TMainForm::ShowDtmfRows(const std::vector<DtmfCommandRow>& rows) {
  ValueListEditor1->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    ValueListEditor1->setItem(r, 0, new QTableWidgetItem(Q(rows[r].key)));
    ValueListEditor1->setItem(r, 1, new QTableWidgetItem(Q(rows[r].value)));
  }
}

std::vector<DtmfCommandRow> TMainForm::DtmfRows() const {
  std::vector<DtmfCommandRow> rows;
  for (int r = 0; r < ValueListEditor1->rowCount(); ++r) {
    auto cell = [&](int c) {
      const QTableWidgetItem* item = ValueListEditor1->item(r, c);
      return item ? S(item->text()) : std::string();
    };
    rows.push_back({cell(0), cell(1)});
  }
  return rows;
}

QString TMainForm::DeviceNumberText() const {
  return IntEdit21->text();
}
QString TMainForm::CountryCodeText() const {
  return IntEdit2->text();
}

// --- Start-up -----------------------------------------------------------------------------------

void TMainForm::StartUp(const QStringList& arguments) {
  programDir_ = varnex::ProgramDir();
  helpDir_ = programDir_ + "hilfe_vnx/";
  tmpDir_ = programDir_ + "tmp/";
  templatesDir_ = helpDir_ + "templates/";
  wavFolder_ = tmpDir_ + "wav/";

  std::error_code ec;
  if (!fs::is_directory(tmpDir_, ec) && !fs::create_directories(tmpDir_, ec)) {
    MessageBox(tmpDir_ + " could not be created!", CaptionError, MsgIcon::Error);
    started_ = false;
  }
  InstallErrorSound(tmpDir_);

  const std::string fileToOpen = S(arguments.join(' '));
  for (const QString& argument : arguments) {
    const QString lower = argument.toLower();
    if (lower == "-nopl" || lower == "/nopl") noPlausibility_ = true;
  }

  LoadSettings();
  if (link_.Port.PortNumber == 0)
    link_.Port.PortNumber = link_.Port.FtdiPortNumber(FtdiVendorId, VarnexUsbProductId);
  SetDefaults();
  // A file named on the command line opens as it is, like a remembered one.
  if (!OpenConfigFile(fileToOpen)) OpenConfigFile(link_.ConfigFileName);

  Sprache1->setVisible(false);
  CallDeflection1->setVisible(false);
  CLIR1->setVisible(false);
  IntEdit21->SetAllowLeadingZeroes(true);

  const std::string named = programDir_ + iniName_;
  languageIniFile_ = !iniName_.empty() && fs::is_regular_file(named, ec)
                         ? named
                         : programDir_ + DefaultLanguageIni;
  if (fs::is_regular_file(languageIniFile_, ec)) {
    LoadVoiceCatalogue(languageIniFile_);
  } else {
    MessageBox("CRITICAL ERROR: IniFile ('" + languageIniFile_ + "') not found!", AppCaption,
               MsgIcon::Error);
    started_ = false;
  }

  ShowDtmfRows(ProgramDtmfCommands(programDir_));
  savedConfig_ = link_.Config;
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TMainForm::FormShow() {
  CenterOnScreen(this);
  ConfigToWindow(link_.Config);
  PageControl1->SetActivePageIndex(PageBasic);
  VarnexMenu->setTitle("&Varnex");
  for (QWidget* w : std::initializer_list<QWidget*>{Label5, IntEdit5, Label6}) w->setVisible(false);
}

void TMainForm::UseDemoPort(uint8_t comNumber) {
  portBeforeDemo_ = link_.Port.PortNumber;
  demoPort_ = comNumber;
  link_.Port.PortNumber = comNumber;
}

// --- Record and window --------------------------------------------------------------------------

void TMainForm::CheckBox1Click() {
  const bool on = CheckBox1->isChecked();
  if (!on) Edit1->clear();
  EnableBox(Edit1, on);
}

void TMainForm::CheckBox2Click() {
  EnableBox(IntEdit1, CheckBox2->isChecked());
}

void TMainForm::ComboBox1Change() {
  InputTriggerChanged(0);
}
void TMainForm::ComboBox3Change() {
  InputTriggerChanged(1);
}

void TMainForm::InputTriggerChanged(int input) {
  const bool on = (input == 0 ? ComboBox1 : ComboBox3)->currentIndex() > 0;
  const std::array<std::array<QWidget*, 4>, 2> dependent = {
      {{ComboBox2, ComboBox5, SpeedButton1, SpeedButton2},
       {ComboBox4, ComboBox6, SpeedButton3, SpeedButton4}}};
  for (QWidget* w : dependent[static_cast<size_t>(input)]) w->setEnabled(on);
  ShowAlarmTexts();
}

void TMainForm::WindowToConfig(TDeviceConfig& config) {
  TDeviceConfig image;
  CheckBox1Click();
  CheckBox2Click();
  ComboBox1Change();
  ComboBox3Change();

  image.SetMsn(S(IntEdit21->text()));
  image.SetPbxMode(CheckBox1->isChecked());
  image.SetPbxPrefix(S(Edit1->text()));
  image.SetCountryCode(S(IntEdit2->text()));
  image.SetNationalPrefix(S(IntEdit3->text()));
  image.SetIntlPrefix(S(IntEdit4->text()));
  image.SetFreeLinesOnAlarm(CheckBox3->isChecked());
  image.SetPowerFailNotify(CheckBox4->isChecked());
  image.SetRingTime(static_cast<uint8_t>(SpinEdit1->Value()));
  image.SetAnyCallerAllowed(CheckBox2->isChecked());
  image.SetDtmfCode(S(IntEdit1->text()));
  const std::array<std::array<QComboBox*, 3>, 2> lists = {
      {{ComboBox1, ComboBox2, ComboBox5}, {ComboBox3, ComboBox4, ComboBox6}}};
  for (size_t i = 0; i < lists.size(); ++i) {
    const int delay = lists[i][1]->currentIndex();
    image.Input(i).SetTrigger(IndexByte(lists[i][0]->currentIndex()));
    image.Input(i).SetAlarmDelay(delay >= 0 ? DelaySeconds[static_cast<size_t>(delay)] : 0);
    image.InputSwitch(i).SetOutputs(IndexByte(lists[i][2]->currentIndex()));
  }

  const TDeviceConfig& current = link_.Config;
  std::memcpy(image.Admins(), current.Admins(), PhoneListSize);
  for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
    image.Input(i).SetRunToEnd(current.Input(i).RunToEnd());
    image.Input(i).SetPasses(current.Input(i).Passes());
    std::memcpy(image.Input(i).CallList(), current.Input(i).CallList(), PhoneListSize);
    std::memcpy(image.Input(i).AlarmText(), current.Input(i).AlarmText(),
                alarm_input::AlarmTextSize);
  }
  std::memcpy(image.Data() + SwitchOutputsAndTail, current.Data() + SwitchOutputsAndTail,
              ConfigSize - SwitchOutputsAndTail);
  config = image;
}

void TMainForm::ConfigToWindow(const TDeviceConfig& config) {
  IntEdit21->setText(Q(config.Msn()));
  CheckBox1->setChecked(config.PbxMode());
  Edit1->setText(Q(config.PbxPrefix()));
  IntEdit2->setText(Q(config.CountryCode()));
  IntEdit3->setText(Q(config.NationalPrefix()));
  IntEdit4->setText(Q(config.IntlPrefix()));
  CheckBox3->setChecked(config.FreeLinesOnAlarm());
  CheckBox4->setChecked(config.PowerFailNotify());
  SpinEdit1->SetValue(config.RingTime());
  CheckBox2->setChecked(config.AnyCallerAllowed());
  IntEdit1->setText(Q(config.DtmfCode()));
  const std::array<std::array<QComboBox*, 3>, 2> lists = {
      {{ComboBox1, ComboBox2, ComboBox5}, {ComboBox3, ComboBox4, ComboBox6}}};
  for (size_t i = 0; i < lists.size(); ++i) {
    lists[i][0]->setCurrentIndex(ListIndex(lists[i][0], config.Input(i).Trigger()));
    lists[i][1]->setCurrentIndex(DelayIndex(config.Input(i).AlarmDelay()));
    lists[i][2]->setCurrentIndex(ListIndex(lists[i][2], config.InputSwitch(i).Outputs()));
  }

  CheckBox1Click();
  CheckBox2Click();
  ComboBox1Change();
  ComboBox3Change();
  ShowAdmins();
  ShowAlarmTexts();
}

void TMainForm::ShowAlarmTexts() {
  const std::array<std::pair<QComboBox*, QPlainTextEdit*>, 2> inputs = {
      {{ComboBox1, Memo1}, {ComboBox3, Memo2}}};
  for (size_t i = 0; i < inputs.size(); ++i) {
    const auto& [trigger, memo] = inputs[i];
    const std::string summary =
        AlarmTextSummary(trigger->currentIndex(), link_.Config.Input(i).AlarmText());
    memo->setPlainText(Q(summary));
    memo->setToolTip(Q(AlarmTextHint(summary)));
  }
}

bool TMainForm::PageChanging(int from, int) {
  WindowToConfig(link_.Config);
  if (!CheckPage(from)) return false;
  if (from == PageBasic)
    Label23->setText(QString::fromUtf8("Alle Administratoren können bei Anruf auf die "
                                       "Geräterufnummer ") +
                     IntEdit21->text());
  return true;
}

bool TMainForm::CheckPage(int page) {
  if (noPlausibility_) return true;
  auto fail = [this](QWidget* field, int onPage, const char* text) {
    MarkField(field, true);
    PageControl1->SetActivePageIndex(onPage);
    field->setFocus();
    MessageBox(text, AppCaption, MsgIcon::Error);
    return false;
  };
  auto warn = [](const std::string& text) {
    return MessageBox(text, AppCaption, MsgIcon::Question, MsgButtons::OkCancel) == MsgResult::Ok;
  };
  switch (page) {
    case PageBasic:
      if (IntEdit21->text().isEmpty())
        return fail(IntEdit21, PageBasic, "Sie müssen dem Varnex eine MSN zuweisen!");
      MarkField(IntEdit21, false);
      if (CheckBox1->isChecked() && Edit1->text().isEmpty())
        return fail(Edit1, PageBasic,
                    "Der Nebenstellenbetrieb muss nur zur Amtsholung angegeben werden!");
      MarkField(Edit1, false);
      return true;
    case PageAdmins:
      if (CheckBox2->isChecked() && IntEdit1->text().isEmpty())
        return fail(IntEdit1, PageAdmins, "Sie haben keinen DTMF Code angegeben!");
      MarkField(IntEdit1, false);
      if (TRuvolt::CountActive(link_.Config.Admins()) == 0 && !CheckBox2->isChecked())
        return warn(
            "Sie haben weder einen Administrator eingetragen, noch sind beliebige Anrufer "
            "zugelassen!\r\nDas Gerät kann somit nicht per Telefon gesteuert werden!");
      return true;
    case PageInputs:
      for (size_t i = 0; i < cfg::Inputs.size(); ++i) {
        const TConstAlarmInput input = std::as_const(link_.Config).Input(i);
        if (input.Trigger() == 0) continue;
        const std::string name = "Alarmeingang " + std::to_string(i + 1);
        if (TRuvolt::CountActive(input.CallList()) == 0 &&
            !warn(name + " wurde eingerichtet, Sie haben jedoch keine Teilnehmer eingetragen,"
                         "\r\ndie im Alarmfall benachrichtigt werden sollen!"))
          return false;
        if (input.AlarmText()[0] == 0 &&
            !warn(name + " wurde eingerichtet, Sie haben jedoch keine Voice-Nachricht "
                         "definiert,\r\ndie im Alarmfall mitgeteilt werden soll!"))
          return false;
      }
      return true;
    default:
      return true;
  }
}

bool TMainForm::CheckAll() {
  if (noPlausibility_) return true;
  WindowToConfig(link_.Config);
  for (int page : {PageBasic, PageAdmins, PageInputs})
    if (!CheckPage(page)) return false;
  return true;
}

bool TMainForm::AskSaveChanges() {
  TDeviceConfig scratch;
  WindowToConfig(scratch);
  if (scratch == savedConfig_) return true;
  const std::string& file = link_.ConfigFileName;
  const std::string text = "Die Konfiguration " + (file.empty() ? "" : " '" + file + "' ") +
                           "wurde geändert.\r\nSollen die Änderungen gespeichert werden ?";
  switch (MessageBox(text, CaptionVarnex, MsgIcon::Information, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
      return StoreConfig();
    case MsgResult::No:
      return true;
    default:
      return false;
  }
}

// --- Administrators -----------------------------------------------------------------------------

int TMainForm::CompactAdmins() {
  // The list's compaction also clears the reserved area behind the DTMF code.
  const int used = CompactPhoneList(link_.Config.Admins());
  const ByteRange reserved = cfg::ReservedAfterDtmfCode;
  std::memset(link_.Config.Data() + reserved.Offset, 0, reserved.Size);
  return used;
}

void TMainForm::ShowAdmins() {
  admin_grid->ShowList(CompactAdmins());
}

void TMainForm::ShowAdminDialog(uint8_t mode, int entry) {
  const int row = admin_grid->SelectedRow();
  adminForm_->EditMode = mode;
  adminForm_->EntryIndex = entry;
  adminForm_->exec();
  admin_grid->SelectRow(row);
}

void TMainForm::AdminNewClick() {
  const int row = admin_grid->SelectedRow();
  if (row < 0 || row >= admin_grid->rowCount()) return;
  const int used = CompactAdmins();
  if (used >= static_cast<int>(cfg::ListEntries)) {
    MessageBox(TAdminForm::ListFullText, CaptionVarnex, MsgIcon::Information);
    return;
  }
  ShowAdminDialog(TAdminForm::ModeNewAdmin, used);
}

void TMainForm::AdminEditClick() {
  const int row = admin_grid->SelectedRow();
  if (row < 0 || row >= static_cast<int>(cfg::ListEntries) || !link_.Config.Admin(row).Used())
    return;
  ShowAdminDialog(TAdminForm::ModeEditAdmin, row);
}

void TMainForm::AdminDeleteClick() {
  const int row = admin_grid->SelectedRow();
  if (row < 0 || row >= static_cast<int>(cfg::ListEntries) || !link_.Config.Admin(row).Used())
    return;
  if (MessageBox("Benutzer Nr." + std::to_string(row + 1) + " wirklich entfernen?", CaptionVarnex,
                 MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  ClearPhoneEntry(link_.Config.Admins() + static_cast<size_t>(row) * phone_entry::Size);
  ShowAdmins();
}

// --- Device commands ----------------------------------------------------------------------------

bool TMainForm::EnsureConnection() {
  if (link_.Port.PortNumber != 0) {
    const int r = link_.Connect(false, false);
    if (r >= 0) link_.Disconnect();
    if (r == 1) return true;
    if (r == 0)
      return MessageBox(
                 "Der Varnex führt gerade ein ISDN Telefonat.\n\rSoll die Verbindung ggf. "
                 "getrennt werden?",
                 CaptionVarnex, MsgIcon::Information, MsgButtons::YesNo) == MsgResult::Yes;
  }
  if (MessageBox("Sie haben keinen Comport ausgewählt oder der Varnex ist nicht angeschlossen.\n\r"
                 "Soll der Varnex automatisch gesucht werden?",
                 CaptionInformation, MsgIcon::Information, MsgButtons::YesNo) != MsgResult::Yes)
    return false;
  SearchCommand();
  if (link_.Port.PortNumber == 0 || link_.Connect(false, false) != 1) return false;
  link_.Disconnect();
  return true;
}

bool TMainForm::SearchCommand() {
  for (;;) {
    if (link_.SearchDevice(tmpDir_, searchForm_)) {
      MessageBox("Varnex gefunden an Com" + std::to_string(link_.Port.PortNumber) + "!",
                 CaptionVarnex, MsgIcon::Information);
      return true;
    }
    if (MessageBox("Varnex wurde nicht gefunden !\r\nPrüfen Sie, ob das serielle Kabel korrekt "
                   "angeschlossen ist und\r\ndas Gerät am ISDN-NTBA angeschlossen ist...\r\n"
                   "Suche wiederholen ?",
                   CaptionVarnex, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
      return false;
  }
}

void TMainForm::Konfigurationschreiben1Click() {
  if (!CheckAll()) return;
  if (MessageBox("Wollen Sie die aktuellen Software-Einstellungen in den Varnex übertragen?",
                 CaptionVarnex, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  StoreConfig();
  if (EnsureConnection()) transferForm_->Run(Ttransfer_form::ModeWrite, true);
}

void TMainForm::Konfigurationauslesen1Click() {
  if (MessageBox("Wollen Sie den Varnex auslesen und die aktuellen Software-Einstellungen "
                 "überschreiben",
                 CaptionVarnex, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  StoreConfig();
  if (EnsureConnection()) transferForm_->Run(Ttransfer_form::ModeRead, true);
}

void TMainForm::FirmwareVersionanzeigen1Click() {
  if (!EnsureConnection() || link_.Connect(true, true) <= 0) return;
  LogLines lines;
  if (link_.ReadVersionInfo(link_.Version, lines)) {
    MessageBox("Firmware Version : " + std::to_string(link_.Version.Major) + "." +
                   std::to_string(link_.Version.Minor) + "\n\r",
               CaptionInformation, MsgIcon::Information);
  } else {
    MessageBox("get_version_info failed!", CaptionError, MsgIcon::Error);
  }
  link_.Disconnect();
}

void TMainForm::FirmwareUpdate1Click() {
  if (!EnsureConnection()) return;
  FileDialogRequest request;
  request.title = "Firmware Update";
  request.filter = "Firmware Binary File|*.bin";
  request.defaultExt = "bin";
  if (!firmwareFile_.empty()) request.initialDir = fs::path(firmwareFile_).parent_path().string();
  const std::optional<std::string> chosen = Prompter().OpenFileName(request);
  if (!chosen) return;
  firmwareFile_ = *chosen;
  const std::string remembered = link_.ConfigFileName;
  transferForm_->Run(Ttransfer_form::ModeUpdate, true);
  link_.ConfigFileName = remembered;
}

void TMainForm::ComSchnittstellesuchen1Click() {
  SearchCommand();
}

void TMainForm::ComSchnittstellefestlegen1Click() {
  link_.Port.EnumeratePorts();
  SelectPort(link_.Port, this);
}

// --- Other menu commands ------------------------------------------------------------------------

void TMainForm::Neu1Click() {
  if (MessageBox("Wollen Sie eine neue Konfiguration anlegen und Ihre aktuellen Einstellungen "
                 "überschreiben?",
                 CaptionVarnex, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  StoreConfig();
  link_.ConfigFileName.clear();
  link_.Config = TDeviceConfig();
  SetDefaults();
  ConfigToWindow(link_.Config);
}

void TMainForm::Deutsch1Click() {
  LanguageIndex = 0;
}
void TMainForm::Englisch1Click() {
  LanguageIndex = 1;
}

void TMainForm::Info1Click() {
  MessageBox(AppCaption, CaptionInformation, MsgIcon::Information);
}

void TMainForm::Reporterstellen1Click() {
  // The report goes on whether or not the store worked: it shows the window as it is.
  StoreConfig();
  const ReportInput input{link_.Config,
                          {S(Memo1->toPlainText()), S(Memo2->toPlainText())},
                          DtmfRows(),
                          link_.ConfigFileName,
                          LocalTimeNow()};
  if (auto path = MakeConfigurationReport(input)) OpenDocument(*path);
}

void TMainForm::Hilfe1Click() {
  OpenDocument(HelpDir() + HelpPage(PageControl1->ActivePageIndex()));
}

void TMainForm::InternetUpdates1Click() {
  if (auto path =
          MakeUpdatePage(TemplatesDir(), TmpDir(), link_.Version.Major, link_.Version.Minor))
    OpenDocument(*path);
}

void TMainForm::zustzlicheMSN1Click() {
  if (auto path = MakeOrderForm(TemplatesDir(), TmpDir(), link_.Config)) OpenDocument(*path);
}

void TMainForm::anzeigen1Click() {
  ShowAlarmLogNotice();
}
void TMainForm::loeschen1Click() {
  AskClearAlarmLog();
}

void TMainForm::HTML1Click() {
  if (auto path = ExportDtmfHtml(DtmfRows())) OpenDocument(*path);
}

void TMainForm::ASCII1Click() {
  if (auto path = ExportDtmfText(DtmfRows())) OpenDocument(*path);
}

void TMainForm::ShowComposer(int input) {
  composerForm_->InputIndex = input;
  composerForm_->exec();
  ShowAlarmTexts();
}

void TMainForm::ShowCallListDialog(int input) {
  callListForm_->InputIndex = input;
  callListForm_->exec();
}

void TMainForm::SpeedButton1Click() {
  ShowComposer(0);
}
void TMainForm::SpeedButton2Click() {
  ShowCallListDialog(0);
}
void TMainForm::SpeedButton3Click() {
  ShowComposer(1);
}
void TMainForm::SpeedButton4Click() {
  ShowCallListDialog(1);
}
void TMainForm::ErweitertClick() {
  outputsForm_->exec();
}

void TMainForm::ExportClick() {
  ExportMenu->popup(QCursor::pos() - QPoint(10, 10));
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!exitForm_->MayClose()) {
    event->ignore();
    return;
  }
  SaveSettings();
  event->accept();
}

}  // namespace varnex
