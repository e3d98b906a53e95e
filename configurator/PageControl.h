// A page control whose owner may refuse a change of page before it happens: the tab bar asks,
// and the page on show changes only when the owner agrees.
#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

class QStackedWidget;
class QTabBar;

namespace varnex {

class TPageControl : public QWidget {
  Q_OBJECT

 public:
  explicit TPageControl(QWidget* parent = nullptr);

  // Decides a change the user asked for (tab click or key): true lets it happen. Unset: always.
  std::function<bool(int from, int to)> CanChange;

  int AddPage(QWidget* page, const QIcon& icon, const QString& caption);
  int ActivePageIndex() const { return active_; }
  // Shows the page at once, without asking CanChange.
  void SetActivePageIndex(int index);
  QWidget* Page(int index) const;
  QTabBar* TabBar() const { return tabs_; }

 private:
  void OnTabChanged(int index);

  QTabBar* tabs_;
  QStackedWidget* stack_;
  int active_ = -1;
  bool settling_ = false;
};

}  // namespace varnex
