// The online services over the real HTTP client against the local server: a whole start-up with
// a binary download, and failing servers that cost at most the time-out and change nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "local_server.h"
#include "online/online.h"
#include "platform/system_http.h"
#include "run_programs.h"
#include "test_app.h"

namespace sky {
namespace {

constexpr HttpLimits kLimits{1000, 1000, 64 * 1024, 1024 * 1024};

// A program on fakes with the real HTTP client, an X-Plane user with module 1.2.0 installed, and
// no simulator.
struct ServerApp {
  explicit ServerApp(const std::string& base) {
    t.app().serverBase = base;
    t.transport.windows.clear();
    std::filesystem::create_directories(plugins);
    test::WriteFile(t.DataFile("Offsets.txt"),
                    "XPlane=True\r\nXPlanePath=" + plugins + "\r\nXPUIPC=1.2.0\r\n");
  }
  std::string Saved() { return test::ReadFile(t.DataFile("Offsets.txt")); }
  SystemHttp http{kLimits};
  test::TestApp t{{.http = &http}};
  std::string plugins = t.root / "X-Plane/Resources/plugins/";
};

std::string OwnVersion(int above = 0) {
  return std::to_string(static_cast<int>(ProgramVersionNumber()) + above);
}

const std::string kPlugin(
    "\x7F"
    "ELF\0\r\n\x01\x02 plug-in",
    16);

void ServeAll(const test::LocalServer& server) {
  server.Put("Bulletin.txt", "1");
  server.Put("SkytraceVersion.txt",
             "MessageAll=Skytrace news.\r\nMinVer=" + OwnVersion() + "\r\nMajVer=" + OwnVersion());
  server.Put("XPUIPCVersion.txt", "1.3.0");
  server.Put("XPUIPC.txt", kPlugin);
  server.Put("XPUIPCOffsets.txt", "0x6FFF=1\r\n");
}

TEST(OnlineServer, StartUpUpdatesTheModuleShowsTheNewsAndReportsOnce) {
  test::LocalServer server;
  ASSERT_TRUE(server.Running());
  ServeAll(server);
  ServerApp s(server.Base());
  s.t.system.userName = "Jo Smith&Co";
  ASSERT_TRUE(s.t.Load());
  s.t.Tick(2);

  EXPECT_EQ(s.t.Shown(), (std::vector<std::string>{
                             "Skytrace flightlogger: Updated from V1.2.0 to V1.3.0.\r\n\r\nXPUIPC "
                             "module update was successful.",
                             "Message: Skytrace news."}));
  EXPECT_EQ(test::ReadFile(s.plugins + "XPUIPC.xpl"), kPlugin);
  EXPECT_EQ(test::ReadFile(s.plugins + "XPUIPCOffsets.cfg"), "0x6FFF=1\r\n");
  EXPECT_NE(s.Saved().find("\r\nXPUIPC=1.3.0\r\n"), std::string::npos);

  const std::string folder = "GET /" + server.Base().substr(server.Root().size() + 1) + "/";
  const auto lines = server.Requests();
  ASSERT_EQ(lines.size(), 6u);
  const char* order[] = {"Bulletin.txt", "XPUIPCVersion.txt", "XPUIPC.txt", "XPUIPCOffsets.txt",
                         "SkytraceVersion.txt"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(lines[i], folder + order[i] + " HTTP/1.1");
  // A raw blank cannot go into a request line: blanks are percent-encoded, nothing else.
  EXPECT_EQ(lines[5], folder +
                          "Submit.asp?App=Kestrel&User=Jo%20Smith&Co&TimeDate=04-12-2026%2022:30&"
                          "Version=" +
                          ProgramVersionText() + "&OS=Windows%207&Extra=Not%20connected HTTP/1.1");

  // The next start finds the module current: nothing downloaded, no box but the news.
  ServerApp again(server.Base());
  test::WriteFile(again.t.DataFile("Offsets.txt"), s.Saved());
  ASSERT_TRUE(again.t.Load());
  EXPECT_EQ(again.t.Shown(), std::vector<std::string>{"Message: Skytrace news."});
  EXPECT_EQ(server.Requests().size(), 6u + 4u);  // bulletin, module version, version, report
}

TEST(OnlineServer, FailingServersCostAtMostTheTimeOutAndChangeNothing) {
  test::LocalServer server;
  ASSERT_TRUE(server.Running());
  ServeAll(server);
  const std::string failure =
      "Skytrace flightlogger: Was not able to download and/or install new version of the XPUIPC "
      "module.";
  const std::pair<std::string, std::string> cases[] = {
      {"down", test::DeadAddress()},
      {"missing files", server.Root() + "/nothing-here"},
      {"slow", server.Base("slow")},
      {"dripping", server.Base("drip")},
      {"junk without a length", server.Base("junk")},
      {"junk with its length", server.Base("big")},
  };
  for (const auto& [name, base] : cases) {
    ServerApp s(base);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(s.t.Load()) << name;
    s.t.Tick(2);
    const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
    // Three requests: the bulletin, the module version and the report.
    EXPECT_LT(tookMs, 3 * (kLimits.timeoutMs + 500)) << name;
    EXPECT_EQ(s.t.Shown(), std::vector<std::string>{failure}) << name;
    EXPECT_NE(s.Saved().find("\r\nXPUIPC=1.2.0\r\n"), std::string::npos) << name;
    EXPECT_TRUE(std::filesystem::is_empty(s.plugins)) << name;
  }
}

// skytrace-demo runs the whole start-up against a server given on its command line, as the user
// it is told, and answers the announcement from its actions; without --server nothing is fetched.
TEST(OnlineServer, DemoStartsUpAgainstTheServerAsTheGivenUser) {
  test::LocalServer server;
  ASSERT_TRUE(server.Running());
  server.Put("Bulletin.txt", "1");
  server.Put("SkytraceVersion.txt", "MessageAll=Hello, simmers!\r\n");
  test::TempDir dir;
  test::WriteFile(dir / "actions.txt", "0 answer ok\n");
  const test::Ran run =
      test::Demo(dir, "--seconds 1 --server '" + server.Base() + "' --user 'Jo Smith' --actions '" +
                          (dir / "actions.txt") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  test::ExpectInOutput(
      run.output,
      {
          "   0  http: GET " + server.Base() + "/Bulletin.txt -> 1 bytes\n",
          "   0  dialog \"Message\": \"Hello, simmers!\" -> ok\n",
          "   0  http: GET " + server.Base() +
              "/Submit.asp?App=Kestrel&User=Jo Smith&TimeDate=05-12-2026 10:00&Version=" +
              ProgramVersionText() + "&OS=Linux&Extra=",
      });
  ASSERT_FALSE(server.Requests().empty());
  EXPECT_NE(server.Requests().back().find("?App=Kestrel&User=Jo%20Smith&"), std::string::npos);

  const test::Ran offline = test::Demo(dir, "--seconds 1");
  EXPECT_EQ(offline.exitCode, 0) << offline.output;
  EXPECT_EQ(offline.output.find("http:"), std::string::npos) << offline.output;
}

}  // namespace
}  // namespace sky
