// TAlarmtext_Form: puts the alarm voice message of one input together from the voice prompt
// catalogue, and plays single prompts or the whole message.
#pragma once

#include <QDialog>
#include <QIcon>

#include <array>
#include <cstdint>
#include <string>

#include "DeviceConfig.h"

class QGroupBox;
class QLabel;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace varnex {

class Tsound_splash_form;

class TAlarmtext_Form : public QDialog {
  Q_OBJECT

 public:
  static constexpr int MaxSegments = 25;

  // Edits AlarmText of one input of `config`; plays through `notice` and the process's sound
  // player from `wavFolder` (with trailing "/"); "&Hilfe" opens helpDir + ComposerHelpPage.
  TAlarmtext_Form(TDeviceConfig& config, Tsound_splash_form& notice, std::string wavFolder,
                  std::string helpDir, QWidget* parent = nullptr);
  ~TAlarmtext_Form() override;

  int InputIndex = 0;  // set by the caller before showing: 0 or 1

  // The whole input as it was when the dialog was shown; "&Cancel" writes it back.
  std::array<uint8_t, alarm_input::Size> SavedInput{};
  // 0 idle, 1 left button held on a catalogue sample, 2 held on a message segment.
  int DragState = 0;
  // Where the last drag began: 1 catalogue, 2 message.
  int DragOrigin = 0;

  // Counter label: "Verwendet: n/25".
  void ShowUsage();
  // False (and any drag out of the catalogue cancelled) when the message is full.
  bool CanAddSegment();
  // Writes the segments into AlarmText: sample id and short pause per segment, then zeros.
  void StoreMessage();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void Relayout();
  void BuildCatalogueTree();
  void BuildMessageTree();
  // AlarmText of the input edited; null when InputIndex names no input.
  uint8_t* AlarmTextBytes();

  // Catalogue index of the sample named by the selected catalogue node; 0 for none.
  uint8_t SelectedSample() const;
  std::string WavPath(uint8_t sampleIndex) const;
  bool WavExists(uint8_t sampleIndex) const;
  QTreeWidgetItem* NewSegment(const QString& text) const;
  void EnablePlayMessage();

  void AddSelectedSample();
  void UpdatePlaySample();
  void PlaySample();
  void PlayMessage();
  void DeleteSegment();
  void DeleteAllSegments();
  void OkClick();
  void CancelClick();
  void HelpClick();

  bool TreeSrcMouseDown(QMouseEvent* event);
  bool TreeDstMouseDown(QMouseEvent* event);
  void TreeMouseUp(QTreeWidget* tree, QMouseEvent* event);
  void Timer1Timer();
  void Timer2Timer();
  void BeginDrag(QTreeWidget* source);
  void DragOver(const QPointF& globalPos);
  void EndDrag();
  void DropAt(const QPoint& viewportPos);
  bool OverTreeDst(const QPointF& globalPos) const;

  TDeviceConfig& config_;
  Tsound_splash_form& notice_;
  std::string wavFolder_;
  std::string helpDir_;

  // The trees' images: 0 category, 1 category selected, 2 sample or segment.
  std::array<QIcon, 3> ImageList1;
  QIcon categoryIcon_;

  QGroupBox* GroupBox1;
  QTreeWidget* TreeSrc;
  QTreeWidget* TreeDst;
  QToolButton* SpeedButton1;  // play the selected sample
  QToolButton* SpeedButton2;  // play the whole message
  QLabel* Label1;             // "Verwendet: n/25"
  QPushButton* BtnHilfe;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;
  QMenu* PopupMenu1;  // TreeSrc: "&Play"
  QMenu* PopupMenu2;  // TreeDst: "&Play", "löschen", "alle löschen"
  QTimer* Timer1;
  QTimer* Timer2;

  QTreeWidget* dragSource_ = nullptr;  // the tree whose drag runs, null when none
};

}  // namespace varnex
