#include "LogLines.h"

#include "misc_functions.h"

namespace varnex {

void LogLines::Add(const std::string& line) {
  lines_.push_back(line);
  if (observer_) observer_(*this);
}

std::string LogLines::At(int index) const {
  if (index < 0 || index >= Count()) return {};
  return lines_[static_cast<size_t>(index)];
}

void LogLines::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  lines_.erase(lines_.begin() + index);
  if (observer_) observer_(*this);
}

void LogLines::Clear() {
  lines_.clear();
  if (observer_) observer_(*this);
}

bool SaveLinesToFile(const ILogLines& lines, const std::string& path) {
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) {
    text += lines.At(i);
    text += '\n';
  }
  return WriteFileAtomic(path, text);
}

}  // namespace varnex
