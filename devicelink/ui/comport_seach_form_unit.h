// The small borderless window shown while the device search tries one port after another.
#pragma once

#include <QWidget>

#include "Ruvolt_Support.h"

class QFrame;
class QLabel;
class QTimer;

namespace varnex {

class Tcomport_seach_form : public QWidget, public ISearchWindow {
  Q_OBJECT

 public:
  // Centred on its owner (on the screen without one) whenever it is shown.
  explicit Tcomport_seach_form(QWidget* owner = nullptr);

  // Shows the window (not modally) with the port being tried.
  void ShowPort(const std::string& portName) override;
  void CloseWindow() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private slots:
  void Timer1Timer();

 private:
  QWidget* owner_;
  QFrame* Panel1;
  QFrame* Bevel1;
  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QTimer* Timer1;
};

}  // namespace varnex
