// The device search: every port of a fresh scan is woken in turn until the device answers.
#include "LogLines.h"
#include "Ruvolt_Support.h"

namespace varnex {

namespace {
const char* const DeviceName = "Varnex";
const char* const SearchLogName = "search_vnx.txt";
}  // namespace

bool TRuvolt::SearchDevice(const std::string& logFolder, ISearchWindow* window) {
  LogLines log;
  for (const auto& line : Port.EnumeratePorts()) log.Add(line);
  const uint8_t remembered = Port.PortNumber;
  Port.PortNumber = 0;

  bool found = false;
  const std::vector<std::string> ports = Port.PortList;
  for (const auto& entry : ports) {
    if (window) window->ShowPort(entry);
    log.Add(TickLine(std::string("trying to Connect ") + DeviceName + " at " + entry));
    Port.PortNumber = TComPort::PortNumberFromName(entry);
    const int result = Connect(false, false);
    // A busy device (NAK) has answered too: it is there.
    found = result == 0 || result == 1;
    log.Add(TickLine(found ? std::string(DeviceName) + " found at " + entry
                           : std::string("  not connected")));
    log.Add(TickLine(std::string("disconnecting ") + DeviceName + " ..."));
    Disconnect();
    if (found) break;
  }
  if (window) window->CloseWindow();

  std::string folder = logFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  SaveLinesToFile(log, folder + SearchLogName);
  if (!found) Port.PortNumber = remembered;
  return found;
}

}  // namespace varnex
