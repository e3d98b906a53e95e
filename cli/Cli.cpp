#include "Cli.h"

#include <cstdio>

namespace varnex::cli {

namespace {

const char* IconWord(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Error: return "error";
    case MsgIcon::Warning: return "warning";
    case MsgIcon::Information: return "information";
    case MsgIcon::Question: return "question";
    case MsgIcon::None: break;
  }
  return "message";
}

std::vector<CommandInfo>& CommandTable() {
  static std::vector<CommandInfo> table;
  return table;
}

}  // namespace

MsgResult CliPrompter::Message(const std::string& text, const std::string& caption, MsgIcon icon,
                               MsgButtons buttons) {
  std::string shown;
  for (char c : text)
    if (c != '\r') shown += c;
  std::fprintf(stderr, "[%s] %s: %s\n", IconWord(icon), caption.c_str(), shown.c_str());
  MsgResult result = SafeDefault(buttons);
  if (answer && buttons != MsgButtons::Ok) {
    if (buttons == MsgButtons::OkCancel)
      result = *answer ? MsgResult::Ok : MsgResult::Cancel;
    else
      result = *answer ? MsgResult::Yes : MsgResult::No;
  }
  if (buttons != MsgButtons::Ok) {
    const char* word = result == MsgResult::Yes   ? "yes"
                       : result == MsgResult::No  ? "no"
                       : result == MsgResult::Ok  ? "ok"
                                                  : "cancel";
    std::fprintf(stderr, "  -> %s\n", word);
  }
  return result;
}

PortMap& CliContext::Map() {
  if (!map_) map_.emplace(portmapFile.empty() ? PortMap::DefaultFile() : portmapFile);
  return *map_;
}

bool CliContext::SetupPort(TRuvolt& link) {
  link.Port.SetPortMap(&Map());
  if (!device.empty()) {
    const int n = Map().AddTransient(device, "--device " + device);
    if (n == 0) {
      std::fprintf(stderr, "varnexctl: no free COM number for %s\n", device.c_str());
      return false;
    }
    link.Port.PortNumber = static_cast<uint8_t>(n);
    return true;
  }
  if (port >= 1 && port <= PortMap::MaxNumber) {
    link.Port.PortNumber = static_cast<uint8_t>(port);
    return true;
  }
  std::fprintf(stderr, "varnexctl: no port given: use --port N (COM number) or --device PATH\n");
  return false;
}

bool CliContext::ConnectDevice(TRuvolt& link) {
  if (!SetupPort(link)) return false;
  const int result = link.Connect(true, acceptBusy);
  if (result == 1) return true;
  std::fprintf(stderr, "varnexctl: %s\n",
               result == 0 ? "the device is busy with a call (use --accept-busy to go on anyway)"
                           : "no connection to the device");
  return false;
}

RegisterCommand::RegisterCommand(const CommandInfo& info) { CommandTable().push_back(info); }

const std::vector<CommandInfo>& Commands() { return CommandTable(); }

int UsageError(const CliContext&, const std::string& command, const std::string& message) {
  std::fprintf(stderr, "varnexctl %s: %s\n", command.c_str(), message.c_str());
  for (const auto& c : Commands())
    if (command == c.name) std::fprintf(stderr, "usage: varnexctl [options] %s %s\n", c.name, c.usage);
  return ExitUsage;
}

}  // namespace varnex::cli
