// COM numbers for Linux serial device nodes. Users and settings speak of "COM3"; the kernel
// speaks of /dev/ttyUSB0. The map keeps the numbers small and stable: an entry is remembered by
// the device's stable id (a USB adapter keeps its number across replugging), and a number
// without an entry falls back to the legacy UART /dev/ttyS<n-1>.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

struct PortMapEntry {
  int number = 0;           // 1 to 255
  std::string path;         // device node
  std::string id;           // stable identity; the path when the device has none
  std::string description;  // what the user is shown beside the COM name
  bool transient = false;   // known to this process only
};

class PortMap {
 public:
  static constexpr int MaxNumber = 255;

  // file: where the map is kept; empty keeps it in memory only.
  explicit PortMap(std::string file);

  // The user's map: $VARNEX_PORTMAP, else $XDG_CONFIG_HOME/Brelmo/varnex-ports.conf.
  static PortMap& Default();
  static std::string DefaultFile();

  const std::string& File() const { return file_; }

  // Every entry, transient ones included, ordered by number.
  std::vector<PortMapEntry> Entries() const;
  std::optional<PortMapEntry> Find(int number) const;
  std::optional<PortMapEntry> FindById(const std::string& id) const;
  std::optional<PortMapEntry> FindByPath(const std::string& path) const;

  // The device node behind a COM number; empty for 0 or numbers out of range.
  std::string DevicePathFor(int number) const;

  // Gives the device its number: the one its id already has, else `preferred` when free, else
  // the lowest free number not below `lowest`. Updates path and description. Returns the number,
  // 0 when all are taken or the map cannot be written.
  int Assign(const std::string& id, const std::string& path, const std::string& description,
             int preferred = 0, int lowest = 1);
  // Puts the device at exactly this number, replacing whatever entry held it.
  bool Put(int number, const std::string& id, const std::string& path,
           const std::string& description);
  bool Remove(int number);

  // An entry for this process only (a device named by path on the command line).
  int AddTransient(const std::string& path, const std::string& description);

 private:
  std::vector<PortMapEntry> Load() const;
  bool Store(const std::vector<PortMapEntry>& entries) const;
  template <typename Change>
  bool Update(Change change);

  std::string file_;
  std::vector<PortMapEntry> memory_;  // used when there is no file
  std::vector<PortMapEntry> transient_;
};

}  // namespace varnex
