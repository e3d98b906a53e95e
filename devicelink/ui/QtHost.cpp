#include "QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QUrl>

namespace varnex {

namespace {

std::unique_ptr<QSettings> Open(SettingsScope scope) {
  return scope == SettingsScope::Organisation ? std::make_unique<QSettings>("Brelmo", "")
                                              : std::make_unique<QSettings>("Brelmo", "Varnex");
}

}  // namespace

void QtPump::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

MsgResult QtPrompter::Message(const std::string& text, const std::string& caption, MsgIcon icon,
                              MsgButtons buttons) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(Q(caption));
  QString shown = Q(text);
  shown.replace("\r\n", "\n");
  box.setText(shown);
  switch (icon) {
    case MsgIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (buttons) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MsgResult::Ok;
    case QMessageBox::Yes:
      return MsgResult::Yes;
    case QMessageBox::No:
      return MsgResult::No;
    default:
      return SafeDefault(buttons);
  }
}

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

QString QtFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
  }
  return filters.join(";;");
}

std::optional<std::string> QtPrompter::OpenFileName(const FileDialogRequest& request) {
  const QString start =
      Q(request.initialDir + (request.fileName.empty() ? "" : "/" + request.fileName));
  const QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), Q(request.title),
                                                    start, QtFilter(request.filter));
  if (path.isEmpty()) return {};
  return S(path);
}

std::optional<std::string> QtPrompter::SaveFileName(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), Q(request.title), Q(request.initialDir),
                     QtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(Q(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(Q(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return S(dialog.selectedFiles().front());
}

std::optional<int> QSettingsStore::ReadInt(SettingsScope scope, const std::string& name) {
  const QVariant v = Open(scope)->value(Q(name));
  bool ok = false;
  const int value = v.toInt(&ok);
  if (!v.isValid() || !ok) return {};
  return value;
}

std::optional<std::string> QSettingsStore::ReadString(SettingsScope scope,
                                                      const std::string& name) {
  const QVariant v = Open(scope)->value(Q(name));
  if (!v.isValid()) return {};
  return S(v.toString());
}

void QSettingsStore::WriteInt(SettingsScope scope, const std::string& name, int value) {
  Open(scope)->setValue(Q(name), value);
}

void QSettingsStore::WriteString(SettingsScope scope, const std::string& name,
                                 const std::string& value) {
  Open(scope)->setValue(Q(name), Q(value));
}

void ProgressBarSink::SetRange(int minimum, int maximum) {
  if (bar_) bar_->setRange(minimum, maximum);
}

void ProgressBarSink::SetPosition(int position) {
  if (bar_) bar_->setValue(position);
}

MemoLines::MemoLines(QPlainTextEdit* memo) : memo_(memo) {
  SetObserver([this](const LogLines& lines) {
    if (!memo_) return;
    // Appending is the common case; anything else redraws the memo.
    const int shown = memo_->document()->blockCount() - (memo_->document()->isEmpty() ? 1 : 0);
    if (lines.Count() == shown + 1) {
      memo_->appendPlainText(Q(lines.Lines().back()));
    } else {
      QStringList all;
      for (const auto& line : lines.Lines()) all << Q(line);
      memo_->setPlainText(all.join('\n'));
    }
    memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
  });
}

QtHost::QtHost() : scope_(&prompter_, &pump_, &settings_) {}

namespace {
std::function<bool(const std::string&)>& DocumentOpener() {
  static std::function<bool(const std::string&)> opener;
  return opener;
}
}  // namespace

void SetDocumentOpener(std::function<bool(const std::string&)> opener) {
  DocumentOpener() = std::move(opener);
}

bool OpenDocument(const std::string& pathOrUrl) {
  if (DocumentOpener()) return DocumentOpener()(pathOrUrl);
  const QString target = Q(pathOrUrl);
  const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
}

}  // namespace varnex
