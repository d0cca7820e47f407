#include "kml_checks.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>

#include <algorithm>

#include <iostream>

#include "shell/dispatch.h"
#include "test_app.h"

namespace sky::test {

KmlTemplateSet CompactSnippets() {
  KmlTemplateSet k;
  ParseKmlTemplates(R"(KML=<KML NAME><StyleMap id="msn_ylw-pin">
KMLEnd=</KML>
Folder=<F NAME><listItemType>check</listItemType>
FolderEnd=</F>
LookAt=<LookAt LONY,LATX h=HDG r=RANGE t=TILT>
Path=<A NAME|
PathWarning=<W NAME|
PathGND=<G NAME|
PlacemarkEnd=>
PlacemarkPin=<Pin NAME|LONAC,LATACALTM|LONAC,LATAC|h=HDG r=RANGE|<altitudeMode>absolute</altitudeMode>|<altitudeMode>absolute</altitudeMode>>
PlacemarkPinSmall=<PS NAME|DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PlacemarkPinSmallAir=<PSA NAME|DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PlacemarkPinWarning=<PW NAME|DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PlacemarkPinWarningAir=<PWA NAME|DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PinDot=<D NAME|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PinDotAir=<DA NAME|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>)",
                    k);
  return k;
}

std::string GoldenLog() {
  return ReadFile(std::string(SKYTRACE_SOURCE_DIR) + "/tests/kml/golden/flightlog.txt");
}

std::string Press(TestApp& t, const std::string& button) {
  const size_t first = t.Messages().size();
  EXPECT_EQ(Click(t.app(), "Form1", button), ClickResult::Done) << button;
  std::string messages;
  for (size_t i = first; i < t.Messages().size(); ++i) messages += t.Messages()[i] + "\n";
  return messages;
}

void ExpectGolden(const std::string& dir, const std::string& name, const std::string& actual) {
  const std::string path = std::string(SKYTRACE_SOURCE_DIR) + "/tests/" + dir + "/golden/" + name;
  if (const char* update = std::getenv("SKYTRACE_UPDATE_GOLDEN"); update && *update == '1') {
    WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(FileExists(path)) << "missing golden file " << path;
  const std::string expected = ReadFile(path);
  const size_t at =
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
      expected.begin();
  EXPECT_TRUE(expected == actual) << name << " differs from its golden file at byte " << at
                                  << "\n  golden: " << expected.substr(at, 200)
                                  << "\n  actual: " << actual.substr(at, 200);
}

ToolRun RunTool(const std::string& tool, const std::string& args) {
  ToolRun run;
  if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0) return run;
  run.status = -2;  // the tool could not be run
  FILE* pipe = ::popen((tool + " " + args + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    run.output.append(buffer, got);
  }
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  return run;
}

std::string Quoted(const std::string& path) {
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void ExpectWellFormed(const std::string& path) {
  const ToolRun run = RunTool("xmllint", "--noout --nonet " + Quoted(path));
  if (run.status != -1) {
    EXPECT_EQ(run.status, 0) << path << " is not well-formed XML:\n" << run.output;
  } else if (static bool told = false; !told) {
    std::cerr << "xmllint (package libxml2-utils) is missing: XML checks are skipped\n";
    told = true;
  }
}

}  // namespace sky::test
