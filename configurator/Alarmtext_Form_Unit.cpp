#include "Alarmtext_Form_Unit.h"

#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

#include "Exports.h"
#include "FormHelpers.h"
#include "Host.h"
#include "QtHost.h"
#include "SoundPlayer.h"
#include "VoiceCatalogue.h"
#include "varnex_PlayWave_Splachscreen.h"

namespace varnex {

namespace {

constexpr const char* CaptionPrefix = "Alarmtext Eingang";
constexpr const char* GroupCaption = " Alarmnachricht zusammenstellen ";
constexpr const char* UsagePrefix = "Verwendet: ";
constexpr const char* DeleteAllQuestion = "Alarm Nachricht komplett löschen ?";
constexpr int DragStartMs = 100;

constexpr int DefaultWidth = 560;
constexpr int DefaultHeight = 420;
constexpr int Margin = 8;
constexpr int GroupTitle = 20;  // room for the group box caption
constexpr int Gap = 4;          // half the space between the two trees
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int SpeedSize = 25;
constexpr int StripHeight = SpeedSize + 6;  // the strip with the play button under each tree

// A folder, closed or open, as the category nodes show it.
QPixmap Folder(bool open, qreal ratio) {
  QPixmap picture(QSize(16, 16) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor edge(140, 100, 20);
  p.setPen(QPen(edge, 1));
  p.setBrush(QColor(222, 178, 60));
  QPainterPath back;
  back.moveTo(1.5, 13.5);
  back.lineTo(1.5, 3.5);
  back.lineTo(6, 3.5);
  back.lineTo(7.5, 5);
  back.lineTo(13.5, 5);
  back.lineTo(13.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(250, 215, 110));
  if (open) {
    p.drawPolygon(
        QPolygonF({QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5)}));
  } else {
    p.drawRect(QRectF(1.5, 6.5, 12, 7));
  }
  return picture;
}

QToolButton* SpeedButton(const char* name, const QIcon& icon, const QString& hint,
                         QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(icon);
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setEnabled(false);
  return button;
}

QTreeWidget* Tree(const char* name, QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(name);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setDragEnabled(false);
  tree->setUniformRowHeights(true);
  tree->setIconSize(QSize(16, 16));
  return tree;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  // Enter belongs to the catalogue tree; it must not close the dialog.
  button->setAutoDefault(false);
  return button;
}

QTreeWidgetItem* Selected(const QTreeWidget* tree) {
  const QList<QTreeWidgetItem*> items = tree->selectedItems();
  return items.isEmpty() ? nullptr : items.first();
}

}  // namespace

TAlarmtext_Form::TAlarmtext_Form(TDeviceConfig& config, Tsound_splash_form& notice,
                                 std::string wavFolder, std::string helpDir, QWidget* parent)
    : QDialog(parent),
      config_(config),
      notice_(notice),
      wavFolder_(std::move(wavFolder)),
      helpDir_(std::move(helpDir)) {
  setObjectName("Alarmtext_Form");
  UseFormFont(this);
  setWindowTitle(CaptionPrefix);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setMinimumSize(420, 300);

  QStyle* s = style();
  const qreal ratio = devicePixelRatioF();
  ImageList1 = {QIcon(Folder(false, ratio)), QIcon(Folder(true, ratio)),
                s->standardIcon(QStyle::SP_MediaVolume)};
  // A category shows image 1 while selected: the Selected mode of one icon.
  categoryIcon_.addPixmap(Folder(false, ratio), QIcon::Normal);
  categoryIcon_.addPixmap(Folder(true, ratio), QIcon::Selected);

  GroupBox1 = new QGroupBox(GroupCaption, this);
  GroupBox1->setObjectName("GroupBox1");
  TreeSrc = Tree("TreeSrc", GroupBox1);
  TreeSrc->setContextMenuPolicy(Qt::CustomContextMenu);
  TreeDst = Tree("TreeDst", GroupBox1);
  TreeDst->setRootIsDecorated(false);
  TreeDst->setContextMenuPolicy(Qt::NoContextMenu);

  const QIcon play = s->standardIcon(QStyle::SP_MediaPlay);
  SpeedButton1 = SpeedButton("SpeedButton1", play, "Sprachbaustein anhören", GroupBox1);
  SpeedButton2 = SpeedButton("SpeedButton2", play, "Alarmnachricht anhören", GroupBox1);
  Label1 = new QLabel(GroupBox1);
  Label1->setObjectName("Label1");

  BtnHilfe = Button("BtnHilfe", "&Hilfe", this);
  BtnOK = Button("BtnOK", "&OK", this);
  BtnCancel = Button("BtnCancel", "&Cancel", this);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  QAction* play1 = PopupMenu1->addAction("&Play");
  play1->setObjectName("Play1");
  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName("PopupMenu2");
  QAction* play2 = PopupMenu2->addAction("&Play");
  play2->setObjectName("Play2");
  QAction* remove = PopupMenu2->addAction(QString::fromUtf8("löschen"));
  remove->setObjectName("Loeschen1");
  // Shown in the menu; outside it the tree's own key handling asks.
  remove->setShortcut(QKeySequence(Qt::Key_Delete));
  remove->setShortcutContext(Qt::WidgetShortcut);
  QAction* removeAll = PopupMenu2->addAction(QString::fromUtf8("alle löschen"));
  removeAll->setObjectName("AlleLoeschen1");

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(DragStartMs);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(DragStartMs);

  connect(Timer1, &QTimer::timeout, this, &TAlarmtext_Form::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &TAlarmtext_Form::Timer2Timer);
  connect(SpeedButton1, &QToolButton::clicked, this, &TAlarmtext_Form::PlaySample);
  connect(SpeedButton2, &QToolButton::clicked, this, &TAlarmtext_Form::PlayMessage);
  connect(play1, &QAction::triggered, this, &TAlarmtext_Form::PlayMessage);
  connect(play2, &QAction::triggered, this, &TAlarmtext_Form::PlayMessage);
  connect(remove, &QAction::triggered, this, &TAlarmtext_Form::DeleteSegment);
  connect(removeAll, &QAction::triggered, this, &TAlarmtext_Form::DeleteAllSegments);
  connect(BtnOK, &QPushButton::clicked, this, &TAlarmtext_Form::OkClick);
  connect(BtnCancel, &QPushButton::clicked, this, &TAlarmtext_Form::CancelClick);
  connect(BtnHilfe, &QPushButton::clicked, this, &TAlarmtext_Form::HelpClick);
  connect(TreeSrc, &QTreeWidget::itemSelectionChanged, this, &TAlarmtext_Form::UpdatePlaySample);
  connect(TreeSrc, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (QTreeWidgetItem* item = TreeSrc->itemAt(pos)) TreeSrc->setCurrentItem(item);
    PopupMenu1->popup(TreeSrc->viewport()->mapToGlobal(pos));
  });

  TreeSrc->installEventFilter(this);
  TreeSrc->viewport()->installEventFilter(this);
  TreeDst->installEventFilter(this);
  TreeDst->viewport()->installEventFilter(this);

  resize(DefaultWidth, DefaultHeight);
  Relayout();
}

TAlarmtext_Form::~TAlarmtext_Form() {
  EndDrag();  // gives the cursor back
}

// --- Layout -----------------------------------------------------------------------------------

void TAlarmtext_Form::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Relayout();
}

void TAlarmtext_Form::Relayout() {
  const int w = width();
  const int h = height();
  const int buttonsTop = h - Margin - ButtonHeight;
  GroupBox1->setGeometry(Margin, Margin, w - 2 * Margin, buttonsTop - 2 * Margin);

  // The catalogue side is half the client width, so both trees stay equally wide whatever the
  // size; the boundary between them lies at the middle of the dialog.
  const int split = w / 2 - Margin;  // in the group box's coordinates
  const int left = Margin;
  const int srcWidth = split - Gap - left;
  const int dstLeft = split + Gap;
  const int dstWidth = GroupBox1->width() - Margin - dstLeft;
  const int treeHeight = GroupBox1->height() - GroupTitle - StripHeight - Margin / 2;
  const int stripTop = GroupTitle + treeHeight + 3;

  TreeSrc->setGeometry(left, GroupTitle, srcWidth, treeHeight);
  TreeDst->setGeometry(dstLeft, GroupTitle, dstWidth, treeHeight);
  SpeedButton1->setGeometry(left, stripTop, SpeedSize, SpeedSize);
  SpeedButton2->setGeometry(dstLeft, stripTop, SpeedSize, SpeedSize);
  const int labelLeft = dstLeft + SpeedSize + Margin;
  Label1->setGeometry(labelLeft, stripTop, std::max(0, dstLeft + dstWidth - labelLeft), SpeedSize);

  BtnHilfe->setGeometry(Margin, buttonsTop, ButtonWidth, ButtonHeight);
  BtnCancel->setGeometry(w - Margin - ButtonWidth, buttonsTop, ButtonWidth, ButtonHeight);
  BtnOK->setGeometry(w - 2 * Margin - 2 * ButtonWidth + Margin / 2, buttonsTop, ButtonWidth,
                     ButtonHeight);
}

// --- Show -------------------------------------------------------------------------------------

void TAlarmtext_Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TAlarmtext_Form::hideEvent(QHideEvent* event) {
  EndDrag();
  DragState = 0;
  Timer1->stop();
  Timer2->stop();
  QDialog::hideEvent(event);
}

uint8_t* TAlarmtext_Form::AlarmTextBytes() {
  if (InputIndex < 0 || InputIndex >= static_cast<int>(cfg::Inputs.size())) return nullptr;
  return config_.Input(static_cast<size_t>(InputIndex)).AlarmText();
}

void TAlarmtext_Form::FormShow() {
  if (AlarmTextBytes()) {
    const uint8_t* input = config_.Data() + cfg::Inputs[static_cast<size_t>(InputIndex)];
    std::copy_n(input, SavedInput.size(), SavedInput.begin());
  }
  setWindowTitle(CaptionPrefix + QString::number(InputIndex + 1));
  BuildCatalogueTree();
  BuildMessageTree();
  ShowUsage();
}

void TAlarmtext_Form::BuildCatalogueTree() {
  TreeSrc->clear();
  for (int c = 1; c <= CategoryCount; ++c) {
    if (!CategoryVisible[static_cast<size_t>(c)]) continue;
    auto* category = new QTreeWidgetItem(TreeSrc, {Q(CategoryNames[static_cast<size_t>(c)])});
    category->setIcon(0, categoryIcon_);
    for (int k = 1; k <= SampleCount; ++k) {
      const TAlarm_struct& sample = Samples[static_cast<size_t>(k)];
      if (sample.category != c) continue;
      auto* node = new QTreeWidgetItem(category, {Q(sample.text)});
      node->setIcon(0, ImageList1[2]);
    }
  }
}

void TAlarmtext_Form::BuildMessageTree() {
  TreeDst->clear();
  const uint8_t* text = AlarmTextBytes();
  if (!text) return;
  for (size_t i = 0; i < alarm_input::AlarmTextSize; ++i) {
    const uint8_t b = text[i];
    // A short pause is skipped by its id, also when the catalogue lacks its sample: taken as an
    // unknown segment it would be stored as 0 and cut the message short.
    if (b == 0 || IsShortPause(b)) continue;
    // A message written elsewhere may hold more than fits; what is shown is what gets stored.
    if (TreeDst->topLevelItemCount() >= MaxSegments) break;
    const uint8_t k = FindSampleById(b);
    TreeDst->addTopLevelItem(NewSegment(k ? Q(Samples[k].text) : QString()));
    EnablePlayMessage();
  }
}

QTreeWidgetItem* TAlarmtext_Form::NewSegment(const QString& text) const {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setIcon(0, ImageList1[2]);
  return item;
}

void TAlarmtext_Form::EnablePlayMessage() {
  SpeedButton2->setEnabled(true);
}

// --- Message ----------------------------------------------------------------------------------

void TAlarmtext_Form::ShowUsage() {
  Label1->setText(UsagePrefix + QString::number(TreeDst->topLevelItemCount()) + "/" +
                  QString::number(MaxSegments));
}

bool TAlarmtext_Form::CanAddSegment() {
  ShowUsage();
  if (TreeDst->topLevelItemCount() < MaxSegments) return true;
  DragState = 0;
  if (dragSource_ == TreeSrc) EndDrag();
  return false;
}

void TAlarmtext_Form::StoreMessage() {
  uint8_t* text = AlarmTextBytes();
  if (!text) return;
  std::fill_n(text, alarm_input::AlarmTextSize, uint8_t{0});
  const int segments = std::min(TreeDst->topLevelItemCount(), MaxSegments);
  for (int k = 0; k < segments; ++k) {
    const uint8_t index = FindSampleByText(S(TreeDst->topLevelItem(k)->text(0)));
    text[2 * k] = index ? Samples[index].id : 0;
    text[2 * k + 1] = static_cast<uint8_t>(ShortPauseId);
  }
}

uint8_t TAlarmtext_Form::SelectedSample() const {
  const QTreeWidgetItem* item = Selected(TreeSrc);
  if (!item || !item->parent()) return 0;  // a category names no sample
  return FindSampleByText(S(item->text(0)));
}

std::string TAlarmtext_Form::WavPath(uint8_t sampleIndex) const {
  return wavFolder_ + Samples[sampleIndex].filename + ".wav";
}

bool TAlarmtext_Form::WavExists(uint8_t sampleIndex) const {
  return !ExistingFile(WavPath(sampleIndex)).empty();
}

void TAlarmtext_Form::AddSelectedSample() {
  const uint8_t k = SelectedSample();
  if (k && CanAddSegment() && WavExists(k)) {
    TreeDst->addTopLevelItem(NewSegment(Q(Samples[k].text)));
    EnablePlayMessage();
  }
  ShowUsage();
}

void TAlarmtext_Form::UpdatePlaySample() {
  if (const uint8_t k = SelectedSample()) SpeedButton1->setEnabled(WavExists(k));
}

void TAlarmtext_Form::DeleteSegment() {
  QTreeWidgetItem* item = Selected(TreeDst);
  if (item && MessageBox("Segment wirklich '" + S(item->text(0)) + "' löschen ?", "Varnex",
                         MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
    delete item;
  ShowUsage();
}

void TAlarmtext_Form::DeleteAllSegments() {
  if (TreeDst->topLevelItemCount() > 0 && MessageBox(DeleteAllQuestion, "Varnex", MsgIcon::Question,
                                                     MsgButtons::YesNo) == MsgResult::Yes)
    TreeDst->clear();
  ShowUsage();
}

// --- Playback ---------------------------------------------------------------------------------

void TAlarmtext_Form::PlaySample() {
  notice_.BeginPlayback();
  if (const uint8_t k = SelectedSample()) {
    const std::string path = WavPath(k);
    const std::string existing = ExistingFile(path);
    if (!existing.empty()) {
      SoundPlayer().PlayWave(existing, false);
    } else {
      MessageBox(path + " nicht gefunden !", "Varnex - Error", MsgIcon::Error);
    }
  }
  notice_.EndPlayback();
}

void TAlarmtext_Form::PlayMessage() {
  const std::array<QWidget*, 3> controls = {GroupBox1, BtnOK, BtnCancel};
  for (QWidget* w : controls) w->setEnabled(false);
  StoreMessage();
  std::vector<std::string> paths;
  if (const uint8_t* text = AlarmTextBytes()) {
    for (size_t i = 0; i < alarm_input::AlarmTextSize && text[i] != 0; ++i) {
      if (const uint8_t k = FindSampleById(text[i])) paths.push_back(WavPath(k));
    }
  }
  notice_.PlayWaveFiles(paths, true);
  for (QWidget* w : controls) w->setEnabled(true);
}

// --- Buttons ----------------------------------------------------------------------------------

void TAlarmtext_Form::OkClick() {
  StoreMessage();
  accept();
}

void TAlarmtext_Form::CancelClick() {
  if (AlarmTextBytes()) {
    uint8_t* input = config_.Data() + cfg::Inputs[static_cast<size_t>(InputIndex)];
    std::copy(SavedInput.begin(), SavedInput.end(), input);
  }
  reject();
}

void TAlarmtext_Form::HelpClick() {
  OpenDocument(helpDir_ + ComposerHelpPage);
}

// --- Mouse and keys ---------------------------------------------------------------------------

bool TAlarmtext_Form::eventFilter(QObject* watched, QEvent* event) {
  const bool src = watched == TreeSrc->viewport();
  const bool dst = watched == TreeDst->viewport();
  if (src || dst) {
    QTreeWidget* tree = src ? TreeSrc : TreeDst;
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        EndDrag();  // a drag whose release never came
        return src ? TreeSrcMouseDown(me) : TreeDstMouseDown(me);
      }
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        // The trees drag only through the timers: a held button never drags a selection along.
        if (!(me->buttons() & Qt::LeftButton)) break;
        if (dragSource_) DragOver(me->globalPosition());
        return true;
      }
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) TreeMouseUp(tree, me);
        break;
      }
      case QEvent::MouseButtonDblClick:
        if (src && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
          AddSelectedSample();
        break;
      default:
        break;
    }
    return QDialog::eventFilter(watched, event);
  }

  if ((watched == TreeSrc || watched == TreeDst) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape && dragSource_) {
      EndDrag();
      DragState = 0;
      return true;
    }
    if (watched == TreeSrc) {
      UpdatePlaySample();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        AddSelectedSample();
        return true;
      }
    }
  }
  if (watched == TreeDst && event->type() == QEvent::KeyRelease &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
      !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
    DeleteSegment();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TAlarmtext_Form::TreeSrcMouseDown(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return false;
  QTreeWidgetItem* item = TreeSrc->itemAt(event->position().toPoint());
  if (!item) return false;
  if (!item->parent()) {
    SpeedButton1->setEnabled(false);
    return false;
  }
  DragState = 1;
  DragOrigin = 1;
  Timer1->start();
  return false;
}

bool TAlarmtext_Form::TreeDstMouseDown(QMouseEvent* event) {
  SpeedButton1->setEnabled(false);
  QTreeWidgetItem* item = TreeDst->itemAt(event->position().toPoint());
  if (event->button() == Qt::RightButton) {
    if (item) {
      TreeDst->setCurrentItem(item);
      PopupMenu2->popup(event->globalPosition().toPoint());
    }
    return true;
  }
  if (event->button() == Qt::LeftButton && item) {
    DragState = 2;
    DragOrigin = 2;
    Timer2->start();
  }
  return false;
}

void TAlarmtext_Form::TreeMouseUp(QTreeWidget* tree, QMouseEvent* event) {
  if (tree == TreeSrc) Timer1->stop();
  DragState = 0;
  if (dragSource_ != tree) return;
  const bool over = OverTreeDst(event->globalPosition());
  EndDrag();
  if (over) DropAt(TreeDst->viewport()->mapFromGlobal(event->globalPosition()).toPoint());
}

void TAlarmtext_Form::Timer1Timer() {
  Timer1->stop();
  if (DragState == 1) BeginDrag(TreeSrc);
}

void TAlarmtext_Form::Timer2Timer() {
  Timer2->stop();
  if (DragState == 2) BeginDrag(TreeDst);
}

// The drag runs on the trees' own mouse events: the button is held, so the pressed tree keeps
// receiving the moves and the release wherever the pointer goes.
void TAlarmtext_Form::BeginDrag(QTreeWidget* source) {
  EndDrag();
  dragSource_ = source;
  QApplication::setOverrideCursor(Qt::ForbiddenCursor);
  DragOver(QCursor::pos());
}

void TAlarmtext_Form::DragOver(const QPointF& globalPos) {
  if (!dragSource_) return;
  const Qt::CursorShape shape = !OverTreeDst(globalPos)  ? Qt::ForbiddenCursor
                                : dragSource_ == TreeSrc ? Qt::DragCopyCursor
                                                         : Qt::DragMoveCursor;
  QApplication::changeOverrideCursor(shape);
}

void TAlarmtext_Form::EndDrag() {
  if (!dragSource_) return;
  dragSource_ = nullptr;
  QApplication::restoreOverrideCursor();
}

bool TAlarmtext_Form::OverTreeDst(const QPointF& globalPos) const {
  QWidget* viewport = TreeDst->viewport();
  return viewport->isEnabled() &&
         viewport->rect().contains(viewport->mapFromGlobal(globalPos).toPoint());
}

void TAlarmtext_Form::DropAt(const QPoint& viewportPos) {
  QTreeWidgetItem* target = TreeDst->itemAt(viewportPos);
  if (DragOrigin == 1) {
    const uint8_t k = SelectedSample();
    if (k && CanAddSegment() && WavExists(k)) {
      QTreeWidgetItem* segment = NewSegment(Q(Samples[k].text));
      if (target) {
        TreeDst->insertTopLevelItem(TreeDst->indexOfTopLevelItem(target), segment);
      } else {
        TreeDst->addTopLevelItem(segment);
      }
      EnablePlayMessage();
    }
  } else if (DragOrigin == 2) {
    QTreeWidgetItem* moved = Selected(TreeDst);
    if (moved && FindSampleByText(S(moved->text(0))) && target != moved) {
      int at = TreeDst->topLevelItemCount();
      if (target) {
        const int t = TreeDst->indexOfTopLevelItem(target);
        at = TreeDst->indexOfTopLevelItem(moved) < t ? t + 1 : t;
      }
      QTreeWidgetItem* copy = moved->clone();
      TreeDst->insertTopLevelItem(at, copy);
      delete moved;
      TreeDst->setCurrentItem(copy);
    }
  }
  ShowUsage();
}

}  // namespace varnex
