// The test option of the programs with windows: with SKYTRACE_TEST_CLOCK="YYYY-MM-DD HH:MM:SS"
// set, a program runs on a simulated clock that starts there and advances only when told, and
// takes one command a line on its standard input. A test feeds the same commands to the Linux
// and the Windows program and compares what they wrote. Clicks and typing go through the real
// controls of the toolkit; an answer is given to the next box the program shows.
//
//   run SECONDS                 the timers run for that many simulated seconds, at once
//   click WINDOW.CONTROL        presses a button or check box ("Form1." may be left out)
//   type WINDOW.CONTROL "TEXT"  replaces a text box's text
//   close WINDOW                closes a window as its close box does
//   answer yes|no|ok|cancel     the next message box's answer
//   answer text "TEXT"          the next input box's answer
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace sky {

struct App;

inline constexpr char kTestClockVariable[] = "SKYTRACE_TEST_CLOCK";

struct TestCommand {
  enum class Verb { Run, Click, Type, Close, Answer };
  Verb verb = Verb::Run;
  int seconds = 0;
  std::string window;
  std::string control;
  std::string text;  // typed text; for an answer: "yes", "no", "ok", "cancel" or "text"
  std::string answerText;
};

// Parses one line; an empty optional with `error` set for a line that is no command (blank lines
// and lines starting with "#" give an empty optional and no error).
std::optional<TestCommand> ParseTestCommand(const std::string& line, std::string& error);

// "run SECONDS": fires each timer at its due time within the next `seconds` simulated seconds,
// `advance` moving the simulated clock forward by that many milliseconds, and `afterEvent`
// (the host's render) following each firing.
void RunTestSeconds(App& app, int seconds, const std::function<void(int64_t)>& advance,
                    const std::function<void()>& afterEvent);

}  // namespace sky
