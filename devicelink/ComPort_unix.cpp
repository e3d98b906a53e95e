// TComPort over POSIX termios.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "ComPort.h"
#include "Host.h"
#include "misc_functions.h"

namespace varnex {

namespace {

// How long a write may wait for room in the driver's queue before it counts as failed.
constexpr int WriteRoomTimeoutMs = 2000;

speed_t SpeedFor(uint32_t baud) {
  static const std::array<std::pair<uint32_t, speed_t>, 14> speeds{{{300, B300},
                                                                      {600, B600},
                                                                      {1200, B1200},
                                                                      {2400, B2400},
                                                                      {4800, B4800},
                                                                      {9600, B9600},
                                                                      {19200, B19200},
                                                                      {38400, B38400},
                                                                      {57600, B57600},
                                                                      {115200, B115200},
                                                                      {230400, B230400},
                                                                      {460800, B460800},
                                                                      {500000, B500000},
                                                                      {921600, B921600}}};
  for (const auto& [b, s] : speeds)
    if (b == baud) return s;
  return B0;
}

std::string GroupOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};
  if (const group* g = getgrgid(st.st_gid)) return g->gr_name;
  return std::to_string(st.st_gid);
}

// Only the low-latency request may fail quietly: USB adapters without it still work, just with
// their receive timer's delay.
void RequestLowLatency(int fd) {
  serial_struct ss{};
  if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
    ss.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &ss);
  }
}

}  // namespace

PortUsers PortUsers::Gather() {
  PortUsers users;
  DIR* proc = opendir("/proc");
  if (!proc) return users;
  const int self = getpid();
  char target[4096];
  while (dirent* p = readdir(proc)) {
    const std::string pid = p->d_name;
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), IsDigit)) continue;
    Process process;
    process.pid = std::stoi(pid);
    if (process.pid == self) continue;
    const std::string base = "/proc/" + pid;
    ReadFileBytes(base + "/comm", process.program);
    while (!process.program.empty() &&
           (process.program.back() == '\n' || process.program.back() == '\r'))
      process.program.pop_back();
    // The seventh field, counted after the program name in parentheses (which may hold blanks).
    std::string stat;
    if (ReadFileBytes(base + "/stat", stat)) {
      std::istringstream fields(stat.substr(stat.rfind(')') + 1));
      std::string state;
      long long ppid = 0, pgrp = 0, session = 0, ttyNr = 0;
      if (fields >> state >> ppid >> pgrp >> session >> ttyNr)
        process.terminal = static_cast<unsigned long long>(ttyNr);
    }
    if (DIR* fds = opendir((base + "/fd").c_str())) {
      while (dirent* f = readdir(fds)) {
        if (f->d_name[0] == '.') continue;
        const ssize_t n =
            readlink((base + "/fd/" + f->d_name).c_str(), target, sizeof target - 1);
        if (n > 5 && std::strncmp(target, "/dev/", 5) == 0)
          process.devices.emplace_back(target, static_cast<size_t>(n));
      }
      closedir(fds);
    }
    users.processes_.push_back(std::move(process));
  }
  closedir(proc);
  std::sort(users.processes_.begin(), users.processes_.end(),
            [](const Process& a, const Process& b) { return a.pid < b.pid; });
  return users;
}

namespace {

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string Named(const std::string& program, int pid) {
  return (program.empty() ? "?" : program) + " (PID " + std::to_string(pid) + ")";
}

void Join(std::string& list, const std::string& item) {
  if (!list.empty()) list += ", ";
  list += item;
}

}  // namespace

std::string PortUsers::HoldersOf(const std::string& path) const {
  const std::string real = RealPath(path);
  std::string result;
  for (const auto& p : processes_)
    if (std::find(p.devices.begin(), p.devices.end(), real) != p.devices.end())
      Join(result, Named(p.program, p.pid));
  return result;
}

std::string PortUsers::TerminalOf(const std::string& path) const {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return {};
  // /proc encodes tty_nr as minor bits 0-7 and 20-31, major bits 8-19.
  const unsigned long long major = ::major(st.st_rdev), minor = ::minor(st.st_rdev);
  const unsigned long long ttyNr = (minor & 0xFF) | (major << 8) | ((minor & ~0xFFull) << 12);
  std::string result;
  for (const auto& p : processes_)
    if (p.terminal != 0 && p.terminal == ttyNr) Join(result, Named(p.program, p.pid));
  return result;
}

std::string PortUsers::KnownGrabbers() const {
  static const char* const grabbers[] = {"ModemManager", "brltty"};
  std::string result;
  for (const char* name : grabbers) {
    const bool running = std::any_of(processes_.begin(), processes_.end(),
                                     [&](const Process& p) { return p.program == name; });
    if (running) Join(result, name);
  }
  return result;
}

std::string FindPortHolders(const std::string& path) { return PortUsers::Gather().HoldersOf(path); }

std::string DescribeOpenError(const std::string& path, int error) {
  std::string text = path + ": " + ErrnoText(error) + ".";
  switch (error) {
    case EACCES:
    case EPERM: {
      const std::string group = GroupOf(path);
      text += " Keine Berechtigung für diese Schnittstelle.";
      struct stat st {};
      const bool groupMayUse = stat(path.c_str(), &st) == 0 && (st.st_mode & S_IRWXG) != 0;
      if (!group.empty() && group != "root" && groupMayUse) {
        text += " Der Benutzer muss Mitglied der Gruppe \"" + group +
                "\" sein (sudo usermod -aG " + group + " $USER, danach neu anmelden).";
      } else if (!group.empty()) {
        // No group to join: say who may open it, so that an administrator knows what to change.
        const passwd* owner = getpwuid(st.st_uid);
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        text += " Die Gerätedatei gehört \"" +
                (owner ? std::string(owner->pw_name) : std::to_string(st.st_uid)) +
                "\", Gruppe \"" + group + "\", Rechte " + mode +
                "; ein Administrator muss sie freigeben (udev-Regel).";
      }
      break;
    }
    case EBUSY:
    case EWOULDBLOCK: {
      const PortUsers users = PortUsers::Gather();
      const std::string holders = users.HoldersOf(path);
      text += " Die Schnittstelle wird von einem anderen Programm benutzt";
      text += holders.empty() ? "." : ": " + holders + ".";
      // Without the right to look into other users' processes the holder stays unknown; these
      // two are the usual suspects for USB adapters.
      if (const std::string grabbers = users.KnownGrabbers(); holders.empty() && !grabbers.empty())
        text += " Auf diesem Rechner läuft " + grabbers +
                ", das USB-Seriell-Adapter gern für sich belegt.";
      break;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
      text += " Das Gerät ist nicht vorhanden (Adapter nicht eingesteckt?).";
      break;
    case EIO:
      text += " Hinter diesem Anschluss antwortet keine Schnittstelle.";
      break;
    default:
      break;
  }
  return text;
}

bool TComPort::Open() {
  PortName = "COM" + std::to_string(PortNumber);
  if (PortNumber == 0 || IsOpen()) return false;

  Handle = InvalidHandle;
  ErrorDetail.clear();
  hungUp_ = false;
  const std::string path = PortPath();
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  int error = errno;
  // TIOCEXCL keeps other users out but not root; the lock keeps out our own programs as root.
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    fd = -1;
  }
  if (fd < 0) {
    StatusText = "Error while opening handle to COM" + std::to_string(PortNumber) + ".";
    ErrorDetail = DescribeOpenError(path, error);
    return false;
  }
  Handle = fd;
  ioctl(fd, TIOCEXCL);

  termios tio{};
  if (tcgetattr(fd, &tio) != 0) {
    MessageBox("Could not GetCommState (" + std::to_string(errno) + ") !", "Error", MsgIcon::Error);
  }
  cfmakeraw(&tio);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS |
                                         HUPCL);
  tio.c_cflag |= CLOCAL | CREAD;
  switch (Bytesize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
  }
  if (Parity == 1) tio.c_cflag |= PARENB | PARODD;
  if (Parity == 2) tio.c_cflag |= PARENB;
  if (Parity == 3) tio.c_cflag |= PARENB | PARODD | CMSPAR;
  if (Parity == 4) tio.c_cflag |= PARENB | CMSPAR;
  if (Stopbits != 0) tio.c_cflag |= CSTOPB;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  const speed_t speed = SpeedFor(Baudrate);
  bool ok = speed != B0 && cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0 &&
            tcsetattr(fd, TCSANOW, &tio) == 0;
  const int setError = speed == B0 ? EINVAL : errno;
  StatusText = "Succesfully opened handle to COM" + std::to_string(PortNumber) + ".";
  if (!ok) {
    MessageBox("Could not SetCommState (" + std::to_string(setError) + ") !", "Error",
               MsgIcon::Error);
    return false;
  }
  // Linux raises both lines on open; the device must see them low until the wake-up.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIC, &lines);
  RequestLowLatency(fd);
  // A closed port receives nothing; whatever the driver kept from before is stale.
  tcflush(fd, TCIFLUSH);
  return true;
}

bool TComPort::Close() {
  if (IsOpen()) {
    // The descriptor is released even when close reports an error; keeping it would only
    // lead to closing a number that may already belong to another file.
    ::close(Handle);
  }
  Handle = InvalidHandle;
  PortName.clear();
  hungUp_ = false;
  return true;
}

int32_t TComPort::Read(uint8_t* buffer, uint32_t capacity) {
  if (!IsOpen()) return -2;
  std::memset(buffer, 0, capacity);
  int queued = 0;
  if (ioctl(Handle, FIONREAD, &queued) != 0) {
    hungUp_ = true;
    return -3;
  }
  if (queued < 0) return -3;
  if (static_cast<uint32_t>(queued) > capacity) return -1;
  if (queued == 0) return 0;
  ssize_t n = ::read(Handle, buffer, static_cast<size_t>(queued));
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return 0;
    hungUp_ = true;
    return -3;
  }
  return static_cast<int32_t>(n);
}

bool TComPort::Write(const uint8_t* buffer, uint32_t capacity, uint32_t count) {
  if (!IsOpen() || count > capacity) return false;
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = ::write(Handle, buffer + done, count - done);
    if (n > 0) {
      done += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{Handle, POLLOUT, 0};
      if (poll(&p, 1, WriteRoomTimeoutMs) == 1 && (p.revents & POLLOUT)) continue;
      return false;
    }
    if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) hungUp_ = true;
    return false;
  }
  return true;
}

bool TComPort::WriteByte(uint8_t value) { return Write(&value, 1, 1); }

bool TComPort::SetControlLines(bool rts, bool dtr) {
  if (!IsOpen() || (rts && dtr)) return false;
  int lines = 0;
  if (ioctl(Handle, TIOCMGET, &lines) != 0) return false;
  lines &= ~(TIOCM_RTS | TIOCM_DTR);
  lines |= rts ? TIOCM_RTS : TIOCM_DTR;
  return ioctl(Handle, TIOCMSET, &lines) == 0;
}

bool TComPort::GetModemStatus(uint32_t& status) {
  status = 0;
  if (!IsOpen()) return false;
  int lines = 0;
  if (ioctl(Handle, TIOCMGET, &lines) != 0) return false;
  if (lines & TIOCM_CTS) status |= MS_CTS_ON;
  if (lines & TIOCM_DSR) status |= MS_DSR_ON;
  if (lines & TIOCM_RNG) status |= MS_RING_ON;
  if (lines & TIOCM_CAR) status |= MS_RLSD_ON;
  return true;
}

WaitResult TComPort::WaitReadable(int timeoutMs) {
  if (!IsOpen() || hungUp_) return WaitResult::HungUp;
  pollfd p{Handle, POLLIN, 0};
  int r = poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  if (r == 0) return WaitResult::TimedOut;
  if (r < 0) return errno == EINTR ? WaitResult::TimedOut : WaitResult::HungUp;
  if (p.revents & POLLIN) return WaitResult::Readable;
  if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
    hungUp_ = true;
    return WaitResult::HungUp;
  }
  return WaitResult::TimedOut;
}

}  // namespace varnex
