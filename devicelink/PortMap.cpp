#include "PortMap.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "misc_functions.h"

namespace varnex {

namespace {

bool IsFree(const std::vector<PortMapEntry>& entries, int number) {
  return std::none_of(entries.begin(), entries.end(),
                      [&](const PortMapEntry& e) { return e.number == number; });
}

void MakeParents(const std::string& file) {
  for (size_t pos = file.find('/', 1); pos != std::string::npos; pos = file.find('/', pos + 1))
    mkdir(file.substr(0, pos).c_str(), 0700);
}

// Serialises read-modify-write between programs (the simulator registers while a window scans).
class FileLock {
 public:
  explicit FileLock(const std::string& file) {
    fd_ = open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

PortMap::PortMap(std::string file) : file_(std::move(file)) {}

std::string PortMap::DefaultFile() {
  if (const char* env = std::getenv("VARNEX_PORTMAP"); env && *env) return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = "/tmp";
  }
  return base + "/Brelmo/varnex-ports.conf";
}

PortMap& PortMap::Default() {
  static PortMap map(DefaultFile());
  return map;
}

std::vector<PortMapEntry> PortMap::Load() const {
  if (file_.empty()) return memory_;
  std::vector<PortMapEntry> entries;
  std::string text;
  if (!ReadFileBytes(file_, text)) return entries;
  std::istringstream in(text);
  std::string line;
  // One entry a line: "COM<n>" TAB path TAB id TAB description; anything else is skipped.
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::string field;
    std::istringstream ls(line);
    while (std::getline(ls, field, '\t')) fields.push_back(field);
    if (fields.size() < 2 || fields[0].rfind("COM", 0) != 0) continue;
    const std::string digits = fields[0].substr(3);
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), IsDigit))
      continue;
    PortMapEntry e;
    e.number = std::stoi(digits);
    if (e.number < 1 || e.number > MaxNumber || fields[1].empty()) continue;
    if (!IsFree(entries, e.number)) continue;
    e.path = fields[1];
    e.id = fields.size() > 2 && !fields[2].empty() ? fields[2] : e.path;
    e.description = fields.size() > 3 ? fields[3] : "";
    entries.push_back(e);
  }
  return entries;
}

bool PortMap::Store(const std::vector<PortMapEntry>& entries) const {
  std::string text = "# Varnex COM port map: COM number, device node, stable id, description\n";
  for (const auto& e : entries) {
    auto clean = [](std::string s) {
      std::replace(s.begin(), s.end(), '\t', ' ');
      std::replace(s.begin(), s.end(), '\n', ' ');
      return s;
    };
    text += "COM" + std::to_string(e.number) + "\t" + clean(e.path) + "\t" + clean(e.id) + "\t" +
            clean(e.description) + "\n";
  }
  MakeParents(file_);
  return WriteFileAtomic(file_, text);
}

template <typename Change>
bool PortMap::Update(Change change) {
  if (file_.empty()) return change(memory_);
  MakeParents(file_);
  FileLock lock(file_);
  auto entries = Load();
  if (!change(entries)) return false;
  std::sort(entries.begin(), entries.end(),
            [](const PortMapEntry& a, const PortMapEntry& b) { return a.number < b.number; });
  return Store(entries);
}

std::vector<PortMapEntry> PortMap::Entries() const {
  auto entries = Load();
  for (const auto& t : transient_) {
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const PortMapEntry& e) { return e.number == t.number; }),
                  entries.end());
    entries.push_back(t);
  }
  std::sort(entries.begin(), entries.end(),
            [](const PortMapEntry& a, const PortMapEntry& b) { return a.number < b.number; });
  return entries;
}

std::optional<PortMapEntry> PortMap::Find(int number) const {
  for (const auto& e : Entries())
    if (e.number == number) return e;
  return {};
}

std::optional<PortMapEntry> PortMap::FindById(const std::string& id) const {
  for (const auto& e : Entries())
    if (e.id == id) return e;
  return {};
}

std::optional<PortMapEntry> PortMap::FindByPath(const std::string& path) const {
  for (const auto& e : Entries())
    if (e.path == path) return e;
  return {};
}

std::string PortMap::DevicePathFor(int number) const {
  if (number < 1 || number > MaxNumber) return {};
  if (auto e = Find(number)) return e->path;
  return "/dev/ttyS" + std::to_string(number - 1);
}

int PortMap::Assign(const std::string& id, const std::string& path,
                    const std::string& description, int preferred, int lowest) {
  int result = 0;
  auto taken = transient_;
  bool ok = Update([&](std::vector<PortMapEntry>& entries) {
    auto all = entries;
    all.insert(all.end(), taken.begin(), taken.end());
    for (auto& e : entries) {
      if (e.id == id) {
        e.path = path;
        e.description = description;
        result = e.number;
        return true;
      }
    }
    if (preferred >= 1 && preferred <= MaxNumber && IsFree(all, preferred)) {
      result = preferred;
    } else {
      for (int n = std::max(1, lowest); n <= MaxNumber && result == 0; ++n)
        if (IsFree(all, n)) result = n;
    }
    if (result == 0) return false;
    entries.push_back({result, path, id, description, false});
    return true;
  });
  return ok ? result : 0;
}

bool PortMap::Put(int number, const std::string& id, const std::string& path,
                  const std::string& description) {
  if (number < 1 || number > MaxNumber) return false;
  return Update([&](std::vector<PortMapEntry>& entries) {
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const PortMapEntry& e) {
                                   return e.number == number || e.id == id;
                                 }),
                  entries.end());
    entries.push_back({number, path, id, description, false});
    return true;
  });
}

bool PortMap::Remove(int number) {
  return Update([&](std::vector<PortMapEntry>& entries) {
    auto before = entries.size();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const PortMapEntry& e) { return e.number == number; }),
                  entries.end());
    return entries.size() != before;
  });
}

int PortMap::AddTransient(const std::string& path, const std::string& description) {
  auto all = Entries();
  for (const auto& e : all)
    if (e.path == path) return e.number;
  for (int n = 1; n <= MaxNumber; ++n) {
    if (IsFree(all, n)) {
      transient_.push_back({n, path, path, description, true});
      return n;
    }
  }
  return 0;
}

}  // namespace varnex
