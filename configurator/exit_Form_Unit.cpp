#include "exit_Form_Unit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>

#include "FormHelpers.h"
#include "Varnex_Form_Unit.h"

namespace varnex {

namespace {
constexpr const char* ProgramCaption = "Daten auf PC speichern und Varnex programmieren";
}

TExitForm::TExitForm(TMainForm& mainForm) : QDialog(&mainForm), main_(mainForm) {
  setObjectName("ExitForm");
  UseFormFont(this);
  setWindowTitle("Beenden");
  setFixedSize(370, 150);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* icon = new QLabel(this);
  icon->setObjectName("Image1");
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  icon->setGeometry(12, 12, 32, 32);

  const std::array<const char*, 3> captions = {ProgramCaption, "Daten nur auf PC schreiben",
                                               "Beenden ohne zu speichern"};
  for (size_t i = 0; i < choices_.size(); ++i) {
    choices_[i] = new QRadioButton(captions[i], this);
    choices_[i]->setObjectName(QString("RadioButton%1").arg(i + 1));
    choices_[i]->setGeometry(56, 12 + static_cast<int>(i) * 24, 306, 20);
  }
  choices_[1]->setChecked(true);

  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rule->setGeometry(8, 96, 354, 4);

  Button1 = new QPushButton("&OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(206, 112, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton("&Abbrechen", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(287, 112, 75, 25);
  // Escape and the title-bar button reject too, which leaves ExitChoice at 0.
  connect(Button1, &QPushButton::clicked, this, &TExitForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TExitForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  choices_[0]->setText(ProgramCaption);
  Button1->setFocus();
}

void TExitForm::Button1Click() {
  for (size_t i = 0; i < choices_.size(); ++i)
    if (choices_[i]->isChecked()) ExitChoice = static_cast<uint8_t>(i + 1);
  accept();
}

bool TExitForm::MayClose() {
  TDeviceConfig window;
  main_.WindowToConfig(window);
  if (window == main_.SavedConfig()) return true;

  ExitChoice = ChoiceCancel;
  exec();
  switch (ExitChoice) {
    case ChoiceSaveOnly:
      return main_.StoreConfig();
    case ChoiceDiscard:
      return true;
    case ChoiceSaveAndProgram:
      if (!main_.StoreConfig()) return false;
      // Without a device the configuration was not programmed, so the program stays open
      // rather than reporting the last transfer's outcome.
      if (!main_.EnsureConnection()) return false;
      main_.TransferForm().Run(Ttransfer_form::ModeWrite, true);
      return main_.TransferForm().WriteSucceeded();
    default:
      return false;
  }
}

}  // namespace varnex
