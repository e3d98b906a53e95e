#include "misc_functions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include "Host.h"

namespace varnex {

namespace {
// Longest sleep between two event pumps: short enough that windows stay fluid.
constexpr int PumpSliceMs = 5;
}  // namespace

void Delay(uint16_t milliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    UiPump().ProcessMessages();
    const auto now = Clock::now();
    if (now >= end) break;
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(end - now);
    std::this_thread::sleep_for(std::min<std::chrono::microseconds>(
        left, std::chrono::milliseconds(PumpSliceMs)));
  }
}

uint32_t GetTickCount() {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                      static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

std::string GetTempDir() {
  std::string base;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    base = std::string(runtime) + "/varnex";
  } else {
    const char* tmp = std::getenv("TMPDIR");
    base = std::string(tmp && *tmp ? tmp : "/tmp") + "/varnex-" + std::to_string(getuid());
  }
  if (mkdir(base.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st {};
  // Someone else's folder of that name in a shared /tmp is not ours to write into.
  if (lstat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
  if ((st.st_mode & 0077) != 0 && chmod(base.c_str(), 0700) != 0) return {};
  return base + "/";
}

std::string RemoveDoubleSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string TwoDigits(int value) {
  return value < 10 && value >= 0 ? "0" + std::to_string(value) : std::to_string(value);
}

std::string HexByte(uint8_t value) {
  static const char digits[] = "0123456789ABCDEF";
  return {digits[value >> 4], digits[value & 0x0F]};
}

bool IsWinNT() { return false; }

std::string ErrnoText(int error) { return std::strerror(error); }

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* errorText) {
  auto fail = [&](const std::string& what, int error) {
    if (errorText) *errorText = what + ": " + ErrnoText(error);
    return false;
  };
  std::string tmp = path + ".XXXXXX";
  int fd = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) return fail(path, errno);
  // mkostemp makes 0600; a saved file should carry the user's usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      close(fd);
      unlink(tmp.c_str());
      return fail(path, e);
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) {
    int e = errno;
    close(fd);
    unlink(tmp.c_str());
    return fail(path, e);
  }
  if (close(fd) != 0) {
    int e = errno;
    unlink(tmp.c_str());
    return fail(path, e);
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    int e = errno;
    unlink(tmp.c_str());
    return fail(path, e);
  }
  return true;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* errorText) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errorText) *errorText = path + ": " + ErrnoText(errno);
    return false;
  }
  bytes.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errorText) *errorText = path + ": " + ErrnoText(errno);
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

}  // namespace varnex
