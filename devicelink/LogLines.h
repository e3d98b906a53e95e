// The list of text lines a device operation reports into (a memo's lines in the windows).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace varnex {

class ILogLines {
 public:
  virtual ~ILogLines() = default;
  virtual void Add(const std::string& line) = 0;
  virtual int Count() const = 0;
  virtual std::string At(int index) const = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
};

// Lines kept in memory; an optional observer sees every change (a terminal, a memo).
class LogLines : public ILogLines {
 public:
  using Observer = std::function<void(const LogLines&)>;

  void Add(const std::string& line) override;
  int Count() const override { return static_cast<int>(lines_.size()); }
  std::string At(int index) const override;
  void Delete(int index) override;
  void Clear() override;
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  std::vector<std::string> lines_;
  Observer observer_;
};

// Saves the lines, one per line with "\n", replacing the file whole. False when it cannot.
bool SaveLinesToFile(const ILogLines& lines, const std::string& path);

}  // namespace varnex
