#include "PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "Protocol.h"

namespace varnex::sim {

namespace {
const auto ByteTime = std::chrono::nanoseconds(static_cast<long>(protocol::ByteTimeUs9600 * 1000));
}

PtyServer::PtyServer(SimOptions options, bool paced) : device_(std::move(options)), paced_(paced) {}

PtyServer::~PtyServer() {
  Stop();
  if (thread_.joinable()) thread_.join();
  CloseAll();
}

void PtyServer::CloseAll() {
  for (int* fd : {&master_, &slave_, &wakeRead_, &wakeWrite_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool PtyServer::Start(std::string* errorText) {
  auto fail = [&](const char* what) {
    if (errorText) *errorText = std::string(what) + ": " + std::strerror(errno);
    CloseAll();
    return false;
  };
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (master_ < 0) return fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) return fail("unlockpt");
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
  terminalPath_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (slave_ < 0) return fail("open terminal");
  // Raw from the start: no echo of what the PC sends before it configures the line itself.
  termios tio{};
  if (tcgetattr(slave_, &tio) == 0) {
    cfmakeraw(&tio);
    cfsetspeed(&tio, B9600);
    tcsetattr(slave_, TCSANOW, &tio);
  }
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  return true;
}

void PtyServer::Stop() {
  stop_ = true;
  if (wakeWrite_ >= 0) {
    const char b = 's';
    ssize_t ignored = write(wakeWrite_, &b, 1);
    (void)ignored;
  }
}

void PtyServer::HangUp() {
  hangUp_ = true;
  if (wakeWrite_ >= 0) {
    const char b = 'h';
    ssize_t ignored = write(wakeWrite_, &b, 1);
    (void)ignored;
  }
}

void PtyServer::RunInBackground() {
  thread_ = std::thread([this] { Run(); });
}

std::vector<double> PtyServer::TurnaroundsMs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return turnarounds_;
}

PtyServer::LineBytes PtyServer::Counted() {
  std::lock_guard<std::mutex> lock(mutex_);
  return counted_;
}

void PtyServer::ResetCounted() {
  std::lock_guard<std::mutex> lock(mutex_);
  counted_ = {};
}

void PtyServer::ReadInput(std::vector<Timed>& input) {
  uint8_t buffer[4096];
  for (;;) {
    ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return;
    const auto now = Clock::now();
    for (ssize_t i = 0; i < n; ++i) input.push_back({now, buffer[i]});
  }
}

void PtyServer::Run() {
  std::deque<Timed> pendingIn;   // bytes on their way in, with the time each is complete
  std::deque<Timed> pendingOut;  // bytes on their way out, with the time each is complete
  Clock::time_point lastInDone{};
  Clock::time_point lastOutDone{};

  while (!stop_ && master_ >= 0) {
    if (hangUp_) {
      // The PC's open descriptor now reads EIO, as after pulling a USB adapter.
      close(master_);
      master_ = -1;
      close(slave_);
      slave_ = -1;
      break;
    }
    const auto now = Clock::now();

    // Bytes whose time has come reach the device.
    while (!pendingIn.empty() && pendingIn.front().at <= now) {
      const uint8_t byte = pendingIn.front().byte;
      pendingIn.pop_front();
      std::vector<SimChunk> out;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (replyPending_) {
          turnarounds_.push_back(
              std::chrono::duration<double, std::milli>(now - lastReplyEnd_).count());
          replyPending_ = false;
        }
        device_.OnByte(byte, out);
        ++counted_.in;
        if (device_.TakeHangUp()) hangUp_ = true;
      }
      auto t = std::max(now, lastOutDone);
      for (const SimChunk& chunk : out) {
        t += std::chrono::milliseconds(chunk.delayMs);
        for (uint8_t b : chunk.bytes) {
          if (paced_) t += ByteTime;
          pendingOut.push_back({t, b});
        }
        if (paced_) lastOutDone = t;
      }
      if (!paced_) lastOutDone = t;
      if (hangUp_) break;
    }
    if (hangUp_) continue;

    // Bytes whose time has come leave for the PC, all due bytes in one write.
    std::vector<uint8_t> due;
    while (!pendingOut.empty() && pendingOut.front().at <= Clock::now()) {
      due.push_back(pendingOut.front().byte);
      pendingOut.pop_front();
    }
    if (!due.empty()) {
      size_t done = 0;
      while (done < due.size()) {
        ssize_t n = write(master_, due.data() + done, due.size() - done);
        if (n > 0) {
          done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
          pollfd p{master_, POLLOUT, 0};
          poll(&p, 1, 10);
        } else if (n < 0 && errno != EINTR) {
          break;
        }
      }
      std::lock_guard<std::mutex> lock(mutex_);
      counted_.out += done;
      if (pendingOut.empty()) {
        lastReplyEnd_ = Clock::now();
        replyPending_ = true;
      }
    }

    // Sleep until input, the next due byte, or a wake-up.
    Clock::time_point next = Clock::time_point::max();
    if (!pendingIn.empty()) next = std::min(next, pendingIn.front().at);
    if (!pendingOut.empty()) next = std::min(next, pendingOut.front().at);
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (next != Clock::time_point::max()) {
      auto left = std::max(Clock::duration::zero(), next - Clock::now());
      auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
      timeout.tv_nsec = static_cast<long>(ns % 1000000000);
      timeoutPtr = &timeout;
    }
    pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (ppoll(fds, 2, timeoutPtr, nullptr) < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char drain[16];
      while (read(wakeRead_, drain, sizeof drain) > 0) {
      }
    }
    if (fds[0].revents & POLLIN) {
      std::vector<Timed> input;
      ReadInput(input);
      for (Timed& t : input) {
        if (paced_) {
          lastInDone = std::max(t.at, lastInDone) + ByteTime;
          t.at = lastInDone;
        }
        pendingIn.push_back(t);
      }
    }
  }
}

}  // namespace varnex::sim
