// varnexctl and varnex_sim as a user runs them.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "TestPaths.h"

using namespace varnex;
using namespace varnex::test;

namespace {

// varnex_sim as a child process; reads the terminal path (and COM line) it prints.
class SimProcess {
 public:
  explicit SimProcess(const std::string& args) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      execl("/bin/sh", "sh", "-c", ("exec " + ProgramPath("varnex_sim") + " " + args).c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    stream_ = fdopen(out[0], "r");
    path_ = Line();
  }
  ~SimProcess() {
    if (pid_ > 0) Terminate();
    fclose(stream_);
  }
  std::string Line() {
    char line[256] = {};
    if (!fgets(line, sizeof line, stream_)) return {};
    std::string s = line;
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
  }
  const std::string& Path() const { return path_; }
  // Stops with SIGTERM; the exit status.
  int Terminate() {
    if (pid_ <= 0) return -1;  // never kill(-1): that signals every process
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
  std::string path_;
};

}  // namespace

TEST(Varnexctl, VersionFromTheSimulator) {
  SimProcess sim("--version 4.2");
  ASSERT_EQ(sim.Path().rfind("/dev/pts/", 0), 0u) << sim.Path();
  const auto r = RunCommand(ProgramPath("varnexctl") + " --device " + sim.Path() + " version");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Firmware Version : 4.2\n");
}

TEST(Varnexctl, BusyDeviceFailsWithTheBusyMessage) {
  SimProcess sim("--busy");
  const auto r = RunCommand(ProgramPath("varnexctl") + " --device " + sim.Path() + " version");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ISDN-Telefonat"), std::string::npos) << r.err;
  const auto accepted = RunCommand(ProgramPath("varnexctl") + " --accept-busy --device " +
                                   sim.Path() + " version");
  EXPECT_EQ(accepted.status, 0) << accepted.err;
}

TEST(Varnexctl, RegisteredSimulatorIsReachedByComNumber) {
  TempDir dir;
  const std::string map = dir.File("ports.conf");
  SimProcess sim("--com 7 --portmap " + map);
  EXPECT_EQ(sim.Line(), "COM7");
  const auto r = RunCommand(ProgramPath("varnexctl") + " --portmap " + map + " --port 7 version");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sim.Terminate(), 0);
  EXPECT_FALSE(PortMap(map).Find(7).has_value()) << "the simulator takes its entry away";
}

TEST(Varnexctl, UsageErrors) {
  struct Case {
    const char* args;
    int status;
    const char* says;
  };
  for (const Case c : {Case{"", 2, "Usage"}, Case{"frobnicate", 2, "unknown command"},
                       Case{"--port 0 version", 2, "--port"}, Case{"version", 1, "no port"},
                       Case{"version extra", 2, "takes no arguments"}}) {
    const auto r = RunCommand(ProgramPath("varnexctl") + " " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
  }
}
