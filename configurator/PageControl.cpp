#include "PageControl.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace varnex {

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), stack_(new QStackedWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_->setObjectName("PageControl1Tabs");
  tabs_->setDrawBase(true);
  tabs_->setExpanding(false);
  tabs_->setIconSize(QSize(16, 16));
  tabs_->setStyleSheet("QTabBar::tab { padding: 3px 2px 3px 2px; }");
  stack_->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(tabs_);
  layout->addWidget(stack_, 1);
  connect(tabs_, &QTabBar::currentChanged, this, &TPageControl::OnTabChanged);
}

int TPageControl::AddPage(QWidget* page, const QIcon& icon, const QString& caption) {
  const bool first = stack_->count() == 0;
  stack_->addWidget(page);
  settling_ = true;
  const int index = tabs_->addTab(icon, caption);
  settling_ = false;
  if (first) SetActivePageIndex(index);
  return index;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= stack_->count()) return;
  active_ = index;
  settling_ = true;
  tabs_->setCurrentIndex(index);
  settling_ = false;
  stack_->setCurrentIndex(index);
}

QWidget* TPageControl::Page(int index) const {
  return stack_->widget(index);
}

void TPageControl::OnTabChanged(int index) {
  if (settling_ || index == active_) return;
  const int from = active_;
  // The owner may select another page itself while it decides (a failed check shows its page).
  const bool allowed = !CanChange || CanChange(from, index);
  if (active_ != from) return;
  SetActivePageIndex(allowed ? index : from);
}

}  // namespace varnex
