#include "kml_checks.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <iostream>

#include "test_app.h"

namespace sky::test {

std::string Rec::Line() const {
  return stamp + ":" + lon + ":" + lat + ":" + alt + ":" + ground + ":" + code + ":" + ias + ":" +
         agl + ":" + tas + ":" + vs + ":" + gs + ":" + hdg + ":" + prev;
}

std::string LogText(const std::vector<Rec>& records) {
  std::string text;
  for (const Rec& r : records) text += r.Line() + "\r\n";
  return text;
}

KmlTemplateSet CompactSnippets() {
  const std::string values =
      "|DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>";
  const std::string dot = "|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>";
  KmlTemplateSet k;
  k.KML = "<KML NAME><StyleMap id=\"msn_ylw-pin\">";
  k.KMLEnd = "</KML>";
  k.Folder = "<F NAME><listItemType>check</listItemType>";
  k.FolderEnd = "</F>";
  k.LookAt = "<LookAt LONY,LATX h=HDG r=RANGE t=TILT>";
  k.Path = "<A NAME|";
  k.PathWarning = "<W NAME|";
  k.PathGND = "<G NAME|";
  k.PlacemarkEnd = ">";
  k.PlacemarkPin =
      "<Pin NAME|LONAC,LATACALTM|LONAC,LATAC|h=HDG r=RANGE|<altitudeMode>absolute</altitudeMode>|"
      "<altitudeMode>absolute</altitudeMode>>";
  k.PlacemarkPinSmall = "<PS NAME" + values;
  k.PlacemarkPinSmallAir = "<PSA NAME" + values;
  k.PlacemarkPinWarning = "<PW NAME" + values;
  k.PlacemarkPinWarningAir = "<PWA NAME" + values;
  k.PinDot = "<D NAME" + dot;
  k.PinDotAir = "<DA NAME" + dot;
  k.KMLRealtime = "<Link FILE1|FILE2>";
  k.KMLTCASBlue = "<TB NAME|";
  k.KMLTCASYellow = "<TY NAME|";
  k.KMLTCASOrange = "<TO NAME|";
  k.KMLTCASRed = "<TR NAME|";
  k.PredictedPath = "<P NAME|";
  k.PredictedPathGND = "<PG NAME|";
  return k;
}

KmlTemplateSet ShippedSnippets() {
  KmlTemplateSet set;
  ParseKmlTemplates(ReadFile(SourceData("KMLSettings.txt")), set);
  return set;
}

void ExpectGolden(const std::string& dir, const std::string& name, const std::string& actual) {
  const std::string path = std::string(SKYTRACE_SOURCE_DIR) + "/tests/" + dir + "/golden/" + name;
  if (const char* update = std::getenv("SKYTRACE_UPDATE_GOLDEN"); update && *update == '1') {
    WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(FileExists(path)) << "missing golden file " << path;
  const std::string expected = ReadFile(path);
  if (expected == actual) return;
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = at < 80 ? 0 : at - 80;
  ADD_FAILURE() << name << " differs from its golden file at byte " << at
                << "\n  golden: " << expected.substr(from, 200)
                << "\n  actual: " << actual.substr(from, 200);
}

bool HaveTool(const std::string& name) {
  std::string ignored;
  return RunCommand("command -v " + name, ignored) == 0;
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& path) {
  std::string quoted = "'";
  for (const char c : path) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

void ExpectWellFormed(const std::string& path) {
  static const bool haveXmllint = HaveTool("xmllint");
  if (!haveXmllint) {
    static bool told = false;
    if (!told) {
      std::cerr << "xmllint (package libxml2-utils) is not installed: the well-formedness checks "
                   "of written documents are skipped\n";
    }
    told = true;
    return;
  }
  std::string output;
  EXPECT_EQ(RunCommand("xmllint --noout --nonet " + Quoted(path), output), 0)
      << path << " is not well-formed XML:\n"
      << output;
}

std::string KmlSchemaPath() {
  const std::string path =
      std::string(SKYTRACE_SOURCE_DIR) + "/../shared/schemas/kml22/ogckml22.xsd";
  return FileExists(path) ? path : std::string();
}

}  // namespace sky::test
