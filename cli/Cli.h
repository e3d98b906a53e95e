// varnexctl's shared parts: global options, the terminal prompter and the command table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Host.h"
#include "PortMap.h"
#include "Ruvolt_Support.h"

namespace varnex::cli {

// Message boxes go to standard error as "caption: text"; questions are answered by --yes/--no
// or with their safe default.
class CliPrompter : public IPrompter {
 public:
  std::optional<bool> answer;  // --yes / --no
  MsgResult Message(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return {}; }
};

struct CliContext {
  int port = 0;             // --port N
  std::string device;       // --device PATH
  std::string portmapFile;  // --portmap FILE
  bool acceptBusy = false;  // --accept-busy
  bool verbose = false;     // --verbose
  std::vector<std::string> args;  // the command's own arguments
  CliPrompter prompter;

  PortMap& Map();
  // Points the device link's port at --port or --device. False (with a message on standard
  // error) when neither names a port.
  bool SetupPort(TRuvolt& link);
  // Connects as the command line asks; prints why not and returns false on failure.
  bool ConnectDevice(TRuvolt& link);

 private:
  std::optional<PortMap> map_;
};

struct CommandInfo {
  const char* name;
  const char* usage;  // arguments after the command name
  const char* help;   // one line
  int (*run)(CliContext&);
};

// Commands register themselves from their own source files.
struct RegisterCommand {
  explicit RegisterCommand(const CommandInfo& info);
};
const std::vector<CommandInfo>& Commands();

// Exit statuses.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int UsageError(const CliContext& ctx, const std::string& command, const std::string& message);

}  // namespace varnex::cli
