// Realtime tracking: the network link, switching realtime on and off, the view modes, and the
// realtime documents written by the tick and by stopping the log.
#include "realtime/link.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "kml_checks.h"
#include "recorder/logging.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky::test {
namespace {

class RealtimeLinkTest : public ::testing::Test {
 protected:
  RealtimeLinkTest() {
    EXPECT_TRUE(t.Load());
    first = t.Messages().size();
  }
  std::vector<std::string> NewMessages() const {
    const auto all = t.Messages();
    return {all.begin() + static_cast<long>(first), all.end()};
  }
  std::vector<bool> ViewButtons() {
    const Form1Controls& f = t.app().Form1;
    return {f.btn_setChase.enabled, f.btn_setLeft.enabled, f.btn_setRight.enabled,
            f.btn_setOverview.enabled};
  }
  std::string LinkFile() { return t.DataFile("Skytrace Realtime.kml"); }
  std::string ExpectedLink() {
    return ReplaceFirst(ReplaceFirst(t.app().kml.KMLRealtime, "FILE1", t.DataFile("Realtime.kml")),
                        "FILE2", t.DataFile("RealtimeLocation.kml")) +
           "\r\n";
  }

  TestApp t;
  size_t first = 0;
  const std::vector<bool> kOn{true, true, true, true};
  const std::vector<bool> kOff{false, false, false, false};
};

TEST_F(RealtimeLinkTest, GenerateWhileLogging) {
  t.g().LoggingOn = true;
  InitiateRealtime(t.app());
  EXPECT_TRUE(t.g().RealtimeOn);
  EXPECT_EQ(ViewButtons(), kOn);
  EXPECT_EQ(ReadFile(LinkFile()), ExpectedLink());
  EXPECT_EQ(t.shell.opened.back(), LinkFile());
  EXPECT_EQ(NewMessages(),
            std::vector<std::string>{"Realtime network link generated, check Google Earth."});
  EXPECT_EQ(t.app().Form1.Label5.text, "Logging");
  EXPECT_EQ(t.app().Form1.Label6.text, "Realtime");
  ExpectWellFormed(LinkFile());

  // Generating again writes the same document and opens it again.
  const size_t opened = t.shell.opened.size();
  InitiateRealtime(t.app());
  EXPECT_EQ(ReadFile(LinkFile()), ExpectedLink());
  EXPECT_EQ(t.shell.opened.size(), opened + 1);
}

TEST_F(RealtimeLinkTest, GenerateWhileConnectedTurnsLoggingOn) {
  t.g().Connected = true;
  t.g().LoggingOn = false;
  InitiateRealtime(t.app());
  EXPECT_TRUE(t.g().LoggingOn);
  EXPECT_TRUE(t.g().RealtimeOn);
  EXPECT_EQ(t.app().Form1.Label5.text, "Logging");
  EXPECT_EQ(t.app().Form1.Label6.text, "Realtime");
  EXPECT_TRUE(FileExists(LinkFile()));
  // No start record: the log is untouched.
  EXPECT_EQ(ReadFile(t.DataFile("Flightlog.txt")), "");
}

TEST_F(RealtimeLinkTest, GenerateWithoutConnection) {
  t.g().Connected = false;
  t.g().RealtimeOn = true;
  InitiateRealtime(t.app());
  EXPECT_FALSE(t.g().RealtimeOn);
  EXPECT_EQ(ViewButtons(), kOff);
  EXPECT_EQ(NewMessages(), std::vector<std::string>{"No open FS connection."});
  EXPECT_EQ(t.app().Form1.Label6.text, "No realtime");
  EXPECT_FALSE(FileExists(LinkFile()));
}

TEST_F(RealtimeLinkTest, LinkTemplates) {
  struct Case {
    const char* name;
    std::string snippet;
    std::string expected;  // empty: no document
  } cases[] = {
      {"FILE1 twice keeps the second", "<a>FILE1</a><b>FILE2</b><c>FILE1</c>",
       "<a>" + t.DataFile("Realtime.kml") + "</a><b>" + t.DataFile("RealtimeLocation.kml") +
           "</b><c>FILE1</c>\r\n"},
      {"no FILE1", "<b>FILE2</b>", ""},
      {"no FILE2", "<a>FILE1</a>", ""},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(LinkFile());
    t.app().kml.KMLRealtime = c.snippet;
    t.g().LoggingOn = true;
    const size_t before = t.Messages().size();
    InitiateRealtime(t.app());
    const auto all = t.Messages();
    const std::vector<std::string> messages(all.begin() + static_cast<long>(before), all.end());
    if (c.expected.empty()) {
      EXPECT_EQ(messages,
                (std::vector<std::string>{"Realtime network link generated, check Google Earth.",
                                          "Unable to initialize realtime tracking."}))
          << c.name;
      EXPECT_FALSE(FileExists(LinkFile())) << c.name;
      EXPECT_TRUE(t.g().RealtimeOn) << c.name;
    } else {
      EXPECT_EQ(ReadFile(LinkFile()), c.expected) << c.name;
    }
  }
}

TEST_F(RealtimeLinkTest, LinkDocumentThatCannotBeWritten) {
  t.files.FailOn("write", "Skytrace Realtime.kml");
  t.g().LoggingOn = true;
  const size_t opened = t.shell.opened.size();
  InitiateRealtime(t.app());
  EXPECT_EQ(t.LastMessage(), "Unable to initialize realtime tracking.");
  EXPECT_EQ(t.shell.opened.size(), opened);
  EXPECT_TRUE(t.g().RealtimeOn);
}

TEST(RealtimeLink, PathsAreEscapedInTheLinkDocument) {
  TestApp t;
  t.folders =
      FixedFolders(t.root / "Tom & Jerry's <data>", t.root / "documents", t.root / "program");
  ASSERT_TRUE(t.Load());
  t.g().LoggingOn = true;
  InitiateRealtime(t.app());
  const std::string link =
      ReadFile(t.root / "Tom & Jerry's <data>/Skytrace flightlogger/Skytrace Realtime.kml");
  EXPECT_NE(link.find("Tom &amp; Jerry&apos;s &lt;data&gt;"), std::string::npos) << link;
  EXPECT_EQ(link.find("Tom & Jerry"), std::string::npos);
}

TEST_F(RealtimeLinkTest, ToggleRealtime) {
  // On: off again, logging untouched, nothing written.
  t.g().RealtimeOn = true;
  t.g().LoggingOn = true;
  EnableViewButtons(t.app(), true);
  ToggleRealtime(t.app());
  EXPECT_FALSE(t.g().RealtimeOn);
  EXPECT_TRUE(t.g().LoggingOn);
  EXPECT_EQ(ViewButtons(), kOff);
  EXPECT_EQ(t.LastMessage(), "Realtime stopped.");

  // Off without a connection: nothing changes.
  t.g().Connected = false;
  t.g().LoggingOn = false;
  ToggleRealtime(t.app());
  EXPECT_FALSE(t.g().RealtimeOn);
  EXPECT_FALSE(t.g().LoggingOn);
  EXPECT_EQ(t.LastMessage(), "No open FS connection.");

  // Off and connected: on, with logging, and still no link document.
  t.g().Connected = true;
  const std::string labels = t.app().Form1.Label6.text;
  ToggleRealtime(t.app());
  EXPECT_TRUE(t.g().RealtimeOn);
  EXPECT_TRUE(t.g().LoggingOn);
  EXPECT_EQ(ViewButtons(), kOn);
  EXPECT_EQ(t.LastMessage(), "Realtime started.");
  EXPECT_EQ(t.app().Form1.Label6.text, labels);
  EXPECT_FALSE(FileExists(LinkFile()));
}

TEST_F(RealtimeLinkTest, ViewButtons) {
  EXPECT_TRUE(t.g().ChaseView);
  EXPECT_FALSE(t.g().ViewRight);
  EXPECT_EQ(ViewButtons(), kOff);
  EXPECT_EQ(Click(t.app(), "Form1", "btn_setOverview"), ClickResult::Disabled);

  EnableViewButtons(t.app(), true);
  struct Step {
    const char* button;
    bool chase;
    bool right;
    const char* message;
  } steps[] = {
      {"btn_setRight", true, true, "View set to the right."},
      {"btn_setOverview", false, true, "View set to overview."},
      {"btn_setLeft", false, false, "View set to the left."},
      {"btn_setChase", true, false, "View set to chase airplane."},
      {"btn_setOverview", false, false, "View set to overview."},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(Click(t.app(), "Form1", s.button), ClickResult::Done) << s.button;
    EXPECT_EQ(t.g().ChaseView, s.chase) << s.button;
    EXPECT_EQ(t.g().ViewRight, s.right) << s.button;
    EXPECT_EQ(t.LastMessage(), s.message) << s.button;
  }
  // The mode survives switching realtime off and on.
  t.g().Connected = true;
  t.g().RealtimeOn = true;
  ToggleRealtime(t.app());
  ToggleRealtime(t.app());
  EXPECT_FALSE(t.g().ChaseView);
  EXPECT_FALSE(t.g().ViewRight);
}

TEST_F(RealtimeLinkTest, TickAndStopWriteTheRealtimeDocuments) {
  const std::string log =
      ReadFile(std::string(SKYTRACE_SOURCE_DIR) + "/tests/kml/golden/flightlog.txt");
  WriteFile(t.DataFile("Realtime.txt"), log);
  t.g().Connected = true;
  t.g().LoggingOn = true;
  t.g().RealtimeOn = true;
  t.g().ViewRight = true;
  FlightSample& s = t.app().sample;  // as the simulator reports it (the tick may refresh it)
  s.Latitude = "52.1";
  s.Longitude = "4.5";
  s.Altitude = "0";
  s.GroundSpeed = "0";
  s.Heading = "0";
  s.HeightAboveGround = "0";
  t.Tick();
  ASSERT_TRUE(t.g().Connected);
  const std::string location = ReadFile(t.DataFile("RealtimeLocation.kml"));
  EXPECT_NE(location.find("<name>Skytrace Realtime Chase View</name>"), std::string::npos);
  EXPECT_NE(ReadFile(t.DataFile("Realtime.kml")).find("<name>Skytrace Realtime Flightpath</name>"),
            std::string::npos);
  ExpectWellFormed(t.DataFile("Realtime.kml"));
  ExpectWellFormed(t.DataFile("RealtimeLocation.kml"));

  // Stopping the log writes them a last time, with realtime already off.
  std::filesystem::remove(t.DataFile("Realtime.kml"));
  StopLogging(t.app());
  EXPECT_TRUE(FileExists(t.DataFile("Realtime.kml")));
  EXPECT_FALSE(t.g().RealtimeOn);

  // Without a log to read the tick posts the writer's message.
  std::filesystem::remove(t.DataFile("Realtime.txt"));
  WriteRealtimeDocuments(t.app());
  EXPECT_EQ(t.LastMessage(), "Not able to convert flightlog");
}

TEST_F(RealtimeLinkTest, GenerateButtonReachesTheCommand) {
  t.g().LoggingOn = true;
  EXPECT_EQ(Click(t.app(), "Form1", "btn_InitiateRealtime"), ClickResult::Done);
  EXPECT_TRUE(FileExists(LinkFile()));
  t.g().Connected = true;
  t.app().Form1.btn_ToggleRealtime.enabled = true;
  EXPECT_EQ(Click(t.app(), "Form1", "btn_ToggleRealtime"), ClickResult::Done);
  EXPECT_FALSE(t.g().RealtimeOn);
}

}  // namespace
}  // namespace sky::test
