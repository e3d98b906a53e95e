// The device search over simulated devices that only the port map lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "PtyServer.h"
#include "Ruvolt_Support.h"
#include "TestPaths.h"
#include "misc_functions.h"

using namespace varnex;
using namespace varnex::test;

namespace {

// The search window as a list of what it was told.
class RecordingWindow : public ISearchWindow {
 public:
  void ShowPort(const std::string& portName) override { events.push_back("show " + portName); }
  void CloseWindow() override { events.push_back("close"); }
  std::vector<std::string> events;
};

// Simulators on COM1, COM2, ... of one private map, on a machine without serial hardware.
class SearchBench {
 public:
  explicit SearchBench(const std::vector<sim::SimOptions>& devices)
      : map_(dir_.File("ports.conf")) {
    std::filesystem::create_directories(dir_.File("sys/class/tty"));
    for (const auto& options : devices) {
      servers_.push_back(std::make_unique<sim::PtyServer>(options, false));
      std::string error;
      if (!servers_.back()->Start(&error)) throw std::runtime_error("simulator: " + error);
      const int n = static_cast<int>(servers_.size());
      map_.Put(n, "sim" + std::to_string(n), servers_.back()->TerminalPath(), "Varnex-Simulator");
      servers_.back()->RunInBackground();
    }
    link.Port.SetPortMap(&map_);
    link.Port.DiscoveryRoots = {dir_.File("sys"), dir_.File("dev")};
  }
  ~SearchBench() {
    for (auto& s : servers_) s->Stop();
  }
  std::string LogFolder() const { return dir_.Path(); }
  sim::PtyServer& Server(size_t i) { return *servers_[i]; }

  TRuvolt link;

 private:
  TempDir dir_;
  PortMap map_;
  std::vector<std::unique_ptr<sim::PtyServer>> servers_;
};

// The saved log's lines after their "<ticks>: " prefix, from the first search line on.
std::vector<std::string> SearchLines(const std::string& file, size_t* scanLines = nullptr) {
  std::string text;
  EXPECT_TRUE(ReadFileBytes(file, text)) << file;
  std::vector<std::string> lines;
  size_t start = 0, scan = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    const size_t colon = line.find(": ");
    EXPECT_NE(colon, std::string::npos) << line;
    const std::string body = line.substr(colon + 2);
    if (lines.empty() && body.rfind("trying to Connect", 0) != 0) {
      ++scan;
      continue;
    }
    lines.push_back(line.substr(colon + 1));  // keeps the blanks after the colon
  }
  if (scanLines) *scanLines = scan;
  return lines;
}

sim::SimOptions Silent() {
  sim::SimOptions o;
  o.silent = true;
  return o;
}

sim::SimOptions Busy() {
  sim::SimOptions o;
  o.busy = true;
  return o;
}

TEST(Search, TriesThePortsInListOrderUntilOneAnswers) {
  SearchBench bench({Silent(), sim::SimOptions{}});
  bench.link.Port.PortNumber = 9;
  RecordingWindow window;
  ASSERT_TRUE(bench.link.SearchDevice(bench.LogFolder(), &window));

  EXPECT_EQ(bench.link.Port.PortNumber, 2);
  EXPECT_FALSE(bench.link.Port.IsOpen());
  EXPECT_EQ(window.events, (std::vector<std::string>{"show COM1", "show COM2", "close"}));
  size_t scanLines = 0;
  const auto lines = SearchLines(bench.LogFolder() + "search_vnx.txt", &scanLines);
  EXPECT_GE(scanLines, 7u) << "the scan's own lines come first";
  EXPECT_EQ(lines, (std::vector<std::string>{
                       " trying to Connect Varnex at COM1", "   not connected",
                       " disconnecting Varnex ...", " trying to Connect Varnex at COM2",
                       " Varnex found at COM2", " disconnecting Varnex ..."}));
  EXPECT_EQ(bench.Server(1).WithDevice([](sim::SimDevice& d) { return d.EotCount(); }), 1)
      << "the device was released";
}

TEST(Search, NothingAnsweringGivesTheOldPortNumberBack) {
  SearchBench bench({Silent()});
  bench.link.Port.PortNumber = 9;
  ASSERT_FALSE(bench.link.SearchDevice(bench.LogFolder()));
  EXPECT_EQ(bench.link.Port.PortNumber, 9);
  EXPECT_EQ(SearchLines(bench.LogFolder() + "search_vnx.txt"),
            (std::vector<std::string>{" trying to Connect Varnex at COM1", "   not connected",
                                      " disconnecting Varnex ..."}));
}

TEST(Search, ABusyDeviceCountsAsFound) {
  SearchBench bench({Busy()});
  ASSERT_TRUE(bench.link.SearchDevice(bench.LogFolder()));
  EXPECT_EQ(bench.link.Port.PortNumber, 1);
  EXPECT_FALSE(bench.link.Port.IsOpen());
}

TEST(Search, WithoutAnyPortNothingIsTriedAndTheLogIsStillWritten) {
  SearchBench bench({});
  bench.link.Port.PortNumber = 4;
  RecordingWindow window;
  EXPECT_FALSE(bench.link.SearchDevice(bench.LogFolder(), &window));
  EXPECT_EQ(bench.link.Port.PortNumber, 4);
  EXPECT_EQ(window.events, std::vector<std::string>{"close"});
  EXPECT_TRUE(SearchLines(bench.LogFolder() + "search_vnx.txt").empty());
}

TEST(Search, VarnexctlFindsAndListsASimulatorOfThePortMap) {
  TempDir dir;
  PortMap map(dir.File("ports.conf"));
  sim::PtyServer server;
  ASSERT_TRUE(server.Start());
  ASSERT_TRUE(map.Put(7, "varnex_sim:cli", server.TerminalPath(), "Varnex-Simulator (cli)"));
  server.RunInBackground();
  const std::string ctl = ProgramPath("varnexctl") + " --portmap " + map.File();

  const CommandResult search = RunCommand(ctl + " search");
  EXPECT_EQ(search.status, 0) << search.err;
  EXPECT_EQ(search.out, "COM7\n");
  const CommandResult ports = RunCommand(ctl + " ports");
  EXPECT_EQ(ports.status, 0) << ports.err;
  EXPECT_NE(ports.out.find("COM7    Varnex-Simulator (cli), " + server.TerminalPath() + "\n"),
            std::string::npos)
      << ports.out;
  const CommandResult verbose = RunCommand(ctl + " ports --verbose");
  EXPECT_NE(verbose.out.find(": creating Handle to '" + server.TerminalPath() +
                             "' succeeded --> 'COM7' added to found devices!"),
            std::string::npos)
      << verbose.out;
  server.Stop();
}

}  // namespace
