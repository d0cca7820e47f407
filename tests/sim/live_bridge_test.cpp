// The bridge from a live simulator to the program's link: open, lost and regained, with a scripted
// simulator and with FlightGear's recorded replies over real sockets and the real transport.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "recorded_flightgear.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/live_bridge.h"
#include "skytrace-sim/live_network.h"
#include "skytrace-sim/posix_server.h"
#include "skytrace-sim/traffic_source.h"
#include "track_feed.h"

namespace sky::sim {
namespace {

class ScriptedSimulator final : public LiveSimulator {
 public:
  std::string Name() const override { return "the simulator"; }
  bool Open(int64_t, std::string& error) override {
    ++attempts;
    if (!reachable) error = "refused";
    open = reachable;
    answeredMs = -1;
    return reachable;
  }
  void Close() override { open = false; }
  bool Pump(int64_t nowMs, int, std::string& error) override {
    if (closes) {
      error = "closed";
      return false;
    }
    if (answering) {
      answeredMs = nowMs;
      LiveReading reading;
      if (positioned) {
        reading.Add(Feed::LatitudeDeg, 50.5);
        reading.Add(Feed::LongitudeDeg, 7.25);
        reading.Add(Feed::AltitudeFt, 1200);
      }
      aircraft.Take(reading, nowMs);
    }
    return true;
  }
  int64_t LastAnswerMs() const override { return answeredMs; }
  const LiveAircraft& Aircraft() const override { return aircraft; }
  LiveTraffic& Traffic() override { return traffic; }

  bool reachable = false, answering = false, positioned = true, closes = false, open = false;
  int attempts = 0;
  int64_t answeredMs = -1;
  LiveAircraft aircraft;
  LiveTraffic traffic;
};

TEST(LiveBridge, TheLinkFollowsTheSimulator) {
  struct Step {
    int64_t atMs;
    const char* simulator;  // from this moment on
    bool linkOpen;          // at this moment
    int attempts;           // to reach the simulator so far
    bool connected;         // to the simulator at this moment (a lost one is closed at once)
  } steps[] = {
      {0, "down", false, 1, false},
      {1900, "down", false, 1, false},
      {2000, "starting", false, 2, true},  // answers, but has no aircraft yet
      {3000, "answering", true, 2, true},
      {4000, "silent", true, 2, true},
      {8900, "silent", true, 2, true},  // silent for 5 s (the last answer came at 3900)
      {9000, "silent", false, 2, false},
      {9100, "answering", false, 2, false},  // the next attempt is due 2 s after the loss
      {11000, "answering", true, 3, true},
      {12000, "closes", false, 3, false},
      {14000, "answering", true, 4, true},
  };
  ScriptedSimulator simulator;
  SimulatorCore core;
  bool linkOpen = false;
  int starts = 0;
  LiveBridge bridge(
      simulator, core,
      {[&](std::string&) { return ++starts, linkOpen = true; }, [&] { linkOpen = false; }});
  int64_t now = 0;
  for (const Step& step : steps) {
    for (; now < step.atMs; now += 100) bridge.Step(now, 0);
    const std::string state = step.simulator;
    simulator.reachable = state != "down";
    simulator.answering = state == "answering" || state == "starting";
    simulator.positioned = state != "starting";
    simulator.closes = state == "closes";
    bridge.Step(now, 0);
    now += 100;
    EXPECT_EQ(linkOpen, step.linkOpen) << step.atMs;
    EXPECT_EQ(simulator.attempts, step.attempts) << step.atMs;
    EXPECT_EQ(simulator.open, step.connected) << step.atMs;
    if (linkOpen) {
      EXPECT_DOUBLE_EQ(OwnStateFromCore(core).latDeg, 50.5) << step.atMs;
    }
  }
  EXPECT_EQ(starts, 3);
  bridge.Stop();
  EXPECT_FALSE(linkOpen || simulator.open);
}

// A simulator that is not there, or never answers, is told once, not at every attempt; a lost
// one is told when it goes.
TEST(LiveBridge, WhatItSays) {
  struct Case {
    const char* simulator;
    std::vector<std::string> said;
  } cases[] = {
      {"down", {"cannot reach the simulator: refused; trying again every 2 s"}},
      {"mute",
       {"connected to the simulator; waiting for it",
        "no answer from the simulator (silent for 5 s); trying again every 2 s"}},
      {"answering then silent",
       {"connected to the simulator; waiting for it",
        "the simulator reports its aircraft; the program's link is open",
        "lost the simulator (silent for 5 s); the program's link is closed until it is back",
        "connected to the simulator; waiting for it",
        "no answer from the simulator (silent for 5 s); trying again every 2 s"}},
  };
  for (const Case& c : cases) {
    ScriptedSimulator simulator;
    SimulatorCore core;
    std::vector<std::string> said;
    LiveBridge bridge(simulator, core, {[](std::string&) { return true; }, [] {}}, {},
                      [&said](const std::string& text) { said.push_back(text); });
    const std::string state = c.simulator;
    simulator.reachable = state != "down";
    simulator.answering = state == "answering then silent";
    for (int64_t now = 0; now < 60000; now += 100) {
      if (now == 1000) simulator.answering = false;
      bridge.Step(now, 0);
    }
    EXPECT_EQ(said, c.said) << c.simulator;
  }
}

// FlightGear on a TCP socket, answering from a recording; it can quit, fall silent or answer
// garbage, and come back.
class TinyFlightGear {
 public:
  explicit TinyFlightGear(const std::string& moment) : recorded_(moment) { Listen(); }
  ~TinyFlightGear() { Quit(); }

  void Listen() {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int on = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    ASSERT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listen_, 4), 0);
    socklen_t length = sizeof address;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }

  void Quit() {
    for (int* fd : {&client_, &listen_}) {
      if (*fd >= 0) ::close(*fd);
      *fd = -1;
    }
  }

  // Takes a connection and the requests that have come, and answers them as the mode says.
  void Serve() {
    if (client_ < 0 && listen_ >= 0) client_ = ::accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK);
    if (client_ < 0) return;
    char buffer[65536];
    const ssize_t got = ::recv(client_, buffer, sizeof buffer, 0);
    if (got == 0) {
      ::close(client_);
      client_ = -1;
      return;
    }
    if (got < 0) return;
    std::string answers = recorded_.Answer(std::string_view(buffer, static_cast<size_t>(got)));
    if (mode == "silent") return;
    if (mode == "garbage") answers = std::string(5000, '#') + "\r\n";
    ::send(client_, answers.data(), answers.size(), MSG_NOSIGNAL);
  }

  uint16_t port = 0;
  std::string mode = "answers";

 private:
  test::RecordedFlightGear recorded_;
  int listen_ = -1;
  int client_ = -1;
};

TEST(LiveBridge, TheProgramLosesFlightGearAndReconnectsWithNoRecordLost) {
  for (const std::string fault : {"quits", "silent", "garbage"}) {
    SCOPED_TRACE(fault);
    test::TempDir runtime;
    SimulatorCore core;
    PosixSimServer server(core, PosixServerOptions{runtime.path(), "UIPCMAIN"});
    TinyFlightGear flightgear("climbing-turn");
    FlightGearLink link({"127.0.0.1", flightgear.port}, {}, 500);
    LiveBridge bridge(link, core,
                      {[&server](std::string& error) {
                         error = server.Error();
                         return server.Start();
                       },
                       [&server] { server.Stop(); }});
    int64_t now = 0;
    auto run = [&](int64_t forMs) {
      for (const int64_t until = now + forMs; now < until; now += 100) {
        bridge.Step(now, 0);
        flightgear.Serve();
        bridge.Step(now, 5);
      }
    };
    PosixTransport transport(PosixTransportOptions{runtime.path(), 20});
    test::TestApp t({.transport = &transport});
    ASSERT_TRUE(t.Load());
    EXPECT_FALSE(t.g().Connected);

    run(1500);
    ASSERT_EQ(bridge.State(), LiveBridge::Status::Serving);
    t.Tick(2);
    ASSERT_TRUE(t.g().Connected);
    StartLogging(t.app());
    t.Tick(2);
    const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
    const auto records = test::Lines(log);
    ASSERT_GE(records.size(), 1u);
    EXPECT_EQ(test::Field(records.back(), 3), "21.3247149");
    EXPECT_EQ(test::Field(records.back(), 4), "783");

    if (fault == "quits") flightgear.Quit();
    flightgear.mode = fault;
    run(fault == "silent" ? 5500 : 300);
    EXPECT_EQ(bridge.State(), LiveBridge::Status::Reaching);
    t.Tick();
    EXPECT_FALSE(t.g().Connected || t.g().LoggingOn);
    EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), log);

    if (fault == "quits") flightgear.Listen();
    flightgear.mode = "answers";
    run(3000);
    EXPECT_EQ(bridge.State(), LiveBridge::Status::Serving);
    t.Tick();
    EXPECT_TRUE(t.g().Connected);
    bridge.Stop();
  }
}

}  // namespace
}  // namespace sky::sim
