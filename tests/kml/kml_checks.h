// Test helpers for the KML writers: flight-log records, compact snippets whose output reads at a
// glance, golden files, and independent checks of written documents by real XML and GIS tools.
#pragma once

#include <string>
#include <vector>

#include "kml/templates.h"

namespace sky::test {

// One flight-log record; fields in log order (time stamp, lon, lat, altitude, on ground, code,
// IAS, height above ground, TAS, vertical speed, ground speed, heading, previous time stamp).
struct Rec {
  std::string stamp = "20261204223015";
  std::string lon = "4.5";
  std::string lat = "52";
  std::string alt = "1000";
  std::string ground = "0";
  std::string code;
  std::string ias = "120";
  std::string agl = "900";
  std::string tas = "125";
  std::string vs = "0";
  std::string gs = "118";
  std::string hdg = "270";
  std::string prev = "20261204223014";
  std::string Line() const;
};

// The records as a log file's text, each line ending with CR LF.
std::string LogText(const std::vector<Rec>& records);

// Snippets that write marks like "<F name>", "<G name|", "<PSA name|...>", "</F>", so that a
// document's structure can be compared as text. Every placeholder word is present.
KmlTemplateSet CompactSnippets();

// The shipped snippet file, parsed.
KmlTemplateSet ShippedSnippets();

// Compares `actual` with tests/<dir>/golden/<name>; with SKYTRACE_UPDATE_GOLDEN=1 in the
// environment the golden file is rewritten instead.
void ExpectGolden(const std::string& dir, const std::string& name, const std::string& actual);

// Whether a command-line tool is on the PATH.
bool HaveTool(const std::string& name);
// Runs a shell command; returns its exit status and fills `output` with stdout and stderr.
int RunCommand(const std::string& command, std::string& output);
std::string Quoted(const std::string& path);

// The document is well-formed XML as xmllint reads it (a test failure otherwise). Without
// xmllint it says once on the standard error that these checks are skipped.
void ExpectWellFormed(const std::string& path);

// The OGC KML 2.2 schema beside the repository ("../shared/schemas/kml22"); empty when absent.
std::string KmlSchemaPath();

}  // namespace sky::test
