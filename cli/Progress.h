// The terminal side of varnexctl's device transfers: a progress line on standard error (only
// when it is a terminal), log lines echoed to standard output, and the transfer commands' shared
// arguments.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Cli.h"
#include "Host.h"
#include "LogLines.h"

namespace varnex::cli {

// Percentage, bytes per second and time left of a transfer whose range counts blocks.
class TerminalProgress : public IProgress {
 public:
  // bytesPerStep: the line bytes one step of the range stands for.
  TerminalProgress(std::string label, double bytesPerStep);
  ~TerminalProgress() override;
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;
  // Takes the progress line off the screen (before other output); the next update redraws it.
  void Clear();
  // Clears the line for good.
  void Finish();
  // The text the line shows now, "write  58 %  912 B/s  0:03 left".
  std::string Line() const;

 private:
  void Draw(bool force);

  std::string label_;
  double bytesPerStep_;
  bool terminal_;
  bool shown_ = false;
  bool finished_ = false;
  int minimum_ = 0;
  int maximum_ = 0;
  int position_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_{};
};

// Log lines that also go to standard output as they are added (without the CR of "\r\n").
class EchoLines : public LogLines {
 public:
  explicit EchoLines(TerminalProgress* progress = nullptr) : progress_(progress) {}
  void Add(const std::string& line) override;

 private:
  TerminalProgress* progress_;
};

// Runs one device operation with a progress line (labelled, one step = bytesPerStep line bytes)
// and its log lines echoed; returns its result.
bool RunOperation(const std::string& label, double bytesPerStep,
                  const std::function<bool(IProgress&, ILogLines&)>& operation);

struct TransferArgs;

// A device command: connects, runs `operation` as RunOperation does, disconnects, and on failure
// says so with the path of the log file `logName`. The exit status.
int RunDeviceCommand(CliContext& ctx, TRuvolt& link, const TransferArgs& args,
                     const std::string& command, double bytesPerStep, const std::string& logName,
                     const std::function<bool(IProgress&, ILogLines&)>& operation);

// FILE and the options of a transfer command: "--log-dir DIR" and the flags in `flags`.
struct TransferArgs {
  std::string file;
  std::string logFolder;  // ends in "/"; the private temporary folder unless --log-dir
  std::vector<std::string> flags;
};
// Nothing (after a usage message) when the arguments do not fit.
std::optional<TransferArgs> ParseTransferArgs(const CliContext& ctx, const std::string& command,
                                              const std::vector<std::string>& allowedFlags);
bool HasFlag(const TransferArgs& args, const std::string& flag);

}  // namespace varnex::cli
