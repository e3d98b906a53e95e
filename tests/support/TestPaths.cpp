#include "TestPaths.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "misc_functions.h"

namespace varnex::test {

TempDir::TempDir() {
  std::string base = (std::filesystem::temp_directory_path() / "varnex-test-XXXXXX").string();
  if (!mkdtemp(base.data())) throw std::runtime_error("mkdtemp failed");
  path_ = base + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

SimFixture::SimFixture(sim::SimOptions options, bool paced)
    : map_(dir_.File("ports.conf")),
      server_(std::make_unique<sim::PtyServer>(std::move(options), paced)) {
  std::string error;
  if (!server_->Start(&error)) throw std::runtime_error("simulator: " + error);
  com_ = map_.Assign("varnex_sim:test", server_->TerminalPath(), "Varnex-Simulator (test)");
  server_->RunInBackground();
}

SimFixture::~SimFixture() {
  server_->Stop();
  server_.reset();
}

void SimFixture::Attach(TRuvolt& link) {
  link.Port.SetPortMap(&map_);
  link.Port.PortNumber = static_cast<uint8_t>(com_);
}

std::string ProgramPath(const std::string& name) { return std::string(VARNEX_BIN_DIR) + "/" + name; }

CommandResult RunCommand(const std::string& commandLine) {
  TempDir dir;
  const std::string out = dir.File("out"), err = dir.File("err");
  CommandResult result;
  const int raw = std::system((commandLine + " >" + out + " 2>" + err + " </dev/null").c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  ReadFileBytes(out, result.out);
  ReadFileBytes(err, result.err);
  return result;
}

}  // namespace varnex::test

#include <fcntl.h>
#include <poll.h>
#include <termios.h>

#include <chrono>

namespace varnex::test {

RawLine::RawLine() : map_(dir_.File("ports.conf")) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
    throw std::runtime_error("no pseudo-terminal");
  char name[128];
  ptsname_r(master_, name, sizeof name);
  path_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  termios tio{};
  tcgetattr(slave_, &tio);
  cfmakeraw(&tio);
  tcsetattr(slave_, TCSANOW, &tio);
  com_ = map_.Assign("rawline", path_, "test line");
}

RawLine::~RawLine() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

void RawLine::Attach(TRuvolt& link) {
  link.Port.SetPortMap(&map_);
  link.Port.PortNumber = static_cast<uint8_t>(com_);
}

void RawLine::Send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) done += static_cast<size_t>(n);
    else if (n < 0 && errno != EAGAIN && errno != EINTR) break;
  }
}

std::vector<uint8_t> RawLine::Received(int waitMs, size_t atLeast) {
  std::vector<uint8_t> bytes;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (bytes.size() < atLeast) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    uint8_t buffer[4096];
    ssize_t n = read(master_, buffer, sizeof buffer);
    if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

}  // namespace varnex::test
