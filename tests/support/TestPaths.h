// Small fixtures for the core tests: a scratch folder, a gtest-reporting prompter, and a
// simulated device on a pseudo-terminal reachable as a COM number.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PortMap.h"
#include "PtyServer.h"
#include "Ruvolt_Support.h"
#include "ScriptedPrompter.h"

namespace varnex::test {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }  // with trailing "/"
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline ScriptedPrompter::FailureFn GTestFailure() {
  return [](const std::string& message) { ADD_FAILURE() << message; };
}

// A simulator on a pseudo-terminal, listed in a private port map; `link` is a device link whose
// port points at it.
class SimFixture {
 public:
  explicit SimFixture(sim::SimOptions options = {}, bool paced = false);
  ~SimFixture();

  sim::PtyServer& Server() { return *server_; }
  template <typename Fn>
  auto Device(Fn fn) {
    return server_->WithDevice(fn);
  }
  PortMap& Map() { return map_; }
  int ComNumber() const { return com_; }
  // Points a device link at the simulator.
  void Attach(TRuvolt& link);

 private:
  TempDir dir_;
  PortMap map_;
  std::unique_ptr<sim::PtyServer> server_;
  int com_ = 0;
};

// Path of a program built beside the tests (varnex_sim, varnexctl).
std::string ProgramPath(const std::string& name);

// Runs a command line through the shell; returns its exit status and standard output and error.
struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};
CommandResult RunCommand(const std::string& commandLine);

}  // namespace varnex::test

namespace varnex::test {

// A bare pseudo-terminal: the test plays the device byte by byte on the master side, the code
// under test opens the terminal as COM number `Com()` of a private port map.
class RawLine {
 public:
  RawLine();
  ~RawLine();
  void Attach(TRuvolt& link);
  PortMap& Map() { return map_; }
  int Com() const { return com_; }
  const std::string& Path() const { return path_; }
  // Sends bytes to the PC side.
  void Send(const std::vector<uint8_t>& bytes);
  // What the PC side wrote, collected for up to waitMs (returns early once `atLeast` arrived).
  std::vector<uint8_t> Received(int waitMs = 200, size_t atLeast = SIZE_MAX);

 private:
  TempDir dir_;
  PortMap map_;
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  int com_ = 0;
};

}  // namespace varnex::test
