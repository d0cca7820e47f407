// The demo's scripted user actions: a text file, one action a line, "SECOND VERB ARGUMENTS"
// ("12 click btn_startlog", "40 type frmOffsets.txtChaseTilt 90", "41 answer yes",
// "50 close frmTCAS"); blank lines and lines starting with "#" are skipped.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sky {

// One scripted user action.
struct DemoAction {
  int second = 0;
  int line = 0;
  std::string verb;    // click, type, answer, close
  std::string window;  // for click, type, close
  std::string control;
  std::string argument;  // answer kind, or the text
};

// Parses an actions file; on error returns an empty optional and sets `error` to
// "line N: reason".
std::optional<std::vector<DemoAction>> ParseDemoActions(const std::string& text,
                                                        std::string& error);

// Reads and parses an actions file; on error returns an empty optional and sets `error` to
// "cannot read FILE" or "FILE: line N: reason".
std::optional<std::vector<DemoAction>> ReadDemoActions(const std::string& path, std::string& error);

}  // namespace sky
