// Test helpers for the KML writers: compact snippets whose output reads at a glance, golden
// files, and independent checks of written documents by real XML and GIS tools.
#pragma once

#include <string>

#include "kml/templates.h"

namespace sky::test {

// Snippets for the path, event and aircraft pins that write marks like "<F name>", "<G name|",
// "<PSA name|...>", "</F>", so that a document's structure can be compared as text.
KmlTemplateSet CompactSnippets();
// The golden flight log, tests/kml/golden/flightlog.txt.
std::string GoldenLog();

class TestApp;
// Presses a Form1 button (a test failure when it is disabled); returns the messages it posts,
// each ended by a line break.
std::string Press(TestApp& t, const std::string& button);

// Compares `actual` with tests/<dir>/golden/<name>; with SKYTRACE_UPDATE_GOLDEN=1 in the
// environment the golden file is rewritten instead.
void ExpectGolden(const std::string& dir, const std::string& name, const std::string& actual);

// Runs an independent checker (xmllint, ogrinfo) with `args`: its exit status, -1 when the tool
// is not installed (the caller skips), and its stdout and stderr.
struct ToolRun {
  int status = -1;
  std::string output;
};
ToolRun RunTool(const std::string& tool, const std::string& args);
std::string Quoted(const std::string& path);

// The document is well-formed XML as xmllint reads it (a test failure otherwise). Without
// xmllint it says once on the standard error that these checks are skipped.
void ExpectWellFormed(const std::string& path);

}  // namespace sky::test
