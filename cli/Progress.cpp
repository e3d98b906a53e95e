#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "misc_functions.h"

namespace varnex::cli {

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);
}  // namespace

TerminalProgress::TerminalProgress(std::string label, double bytesPerStep)
    : label_(std::move(label)),
      bytesPerStep_(bytesPerStep),
      terminal_(isatty(STDERR_FILENO) == 1),
      start_(Clock::now()) {}

TerminalProgress::~TerminalProgress() {
  Finish();
}

void TerminalProgress::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = minimum;
  start_ = Clock::now();
  Draw(true);
}

void TerminalProgress::SetPosition(int position) {
  position_ = position;
  Draw(position >= maximum_);
}

std::string TerminalProgress::Line() const {
  const int span = maximum_ - minimum_;
  const int done = std::clamp(position_ - minimum_, 0, std::max(span, 0));
  const int percent = span > 0 ? done * 100 / span : 0;
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  char text[160];
  if (done == 0 || seconds <= 0) {
    std::snprintf(text, sizeof text, "%s %3d %%", label_.c_str(), percent);
  } else {
    const double rate = done * bytesPerStep_ / seconds;
    const auto left = static_cast<long>((span - done) * seconds / done + 0.5);
    std::snprintf(text, sizeof text, "%s %3d %%  %.0f B/s  %ld:%02ld left", label_.c_str(), percent,
                  rate, left / 60, left % 60);
  }
  return text;
}

void TerminalProgress::Draw(bool force) {
  if (!terminal_ || finished_) return;
  const auto now = Clock::now();
  if (!force && now - lastDraw_ < RedrawInterval) return;
  lastDraw_ = now;
  std::fprintf(stderr, "\r\033[K%s", Line().c_str());
  std::fflush(stderr);
  shown_ = true;
}

void TerminalProgress::Clear() {
  if (!shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown_ = false;
  lastDraw_ = {};
}

void TerminalProgress::Finish() {
  Clear();
  finished_ = true;
}

void EchoLines::Add(const std::string& line) {
  LogLines::Add(line);
  if (progress_) progress_->Clear();
  std::string shown;
  for (char c : line)
    if (c != '\r') shown += c;
  std::printf("%s\n", shown.c_str());
  std::fflush(stdout);
}

bool RunOperation(const std::string& label, double bytesPerStep,
                  const std::function<bool(IProgress&, ILogLines&)>& operation) {
  TerminalProgress progress(label, bytesPerStep);
  EchoLines lines(&progress);
  const bool ok = operation(progress, lines);
  progress.Finish();
  return ok;
}

int RunDeviceCommand(CliContext& ctx, TRuvolt& link, const TransferArgs& args,
                     const std::string& command, double bytesPerStep, const std::string& logName,
                     const std::function<bool(IProgress&, ILogLines&)>& operation) {
  if (!ctx.ConnectDevice(link)) return ExitFailed;
  const bool ok = RunOperation(command, bytesPerStep, operation);
  link.Disconnect();
  if (ok) return ExitOk;
  std::fprintf(stderr, "varnexctl %s: failed (log: %s)\n", command.c_str(),
               (args.logFolder + logName).c_str());
  return ExitFailed;
}

std::optional<TransferArgs> ParseTransferArgs(const CliContext& ctx, const std::string& command,
                                              const std::vector<std::string>& allowedFlags) {
  TransferArgs args;
  for (size_t i = 0; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    if (arg == "--log-dir") {
      if (i + 1 >= ctx.args.size()) {
        UsageError(ctx, command, "--log-dir needs a folder");
        return std::nullopt;
      }
      args.logFolder = ctx.args[++i];
      if (args.logFolder.back() != '/') args.logFolder += '/';
    } else if (std::find(allowedFlags.begin(), allowedFlags.end(), arg) != allowedFlags.end()) {
      args.flags.push_back(arg);
    } else if (arg.size() > 1 && arg[0] == '-') {
      UsageError(ctx, command, "unknown option '" + arg + "'");
      return std::nullopt;
    } else if (args.file.empty()) {
      args.file = arg;
    } else {
      UsageError(ctx, command, "takes one file");
      return std::nullopt;
    }
  }
  if (args.file.empty()) {
    UsageError(ctx, command, "needs a file");
    return std::nullopt;
  }
  if (args.logFolder.empty()) args.logFolder = GetTempDir();
  return args;
}

bool HasFlag(const TransferArgs& args, const std::string& flag) {
  return std::find(args.flags.begin(), args.flags.end(), flag) != args.flags.end();
}

}  // namespace varnex::cli
