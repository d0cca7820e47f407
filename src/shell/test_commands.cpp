#include "shell/test_commands.h"

#include <cstdlib>
#include <sstream>

#include "commands/app.h"
#include "shell/dispatch.h"

namespace sky {
namespace {

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

bool Quoted(const std::string& text, std::string& value) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  value = text.substr(1, text.size() - 2);
  return true;
}

}  // namespace

std::optional<TestCommand> ParseTestCommand(const std::string& raw, std::string& error) {
  error.clear();
  const std::string line = Trim(raw);
  if (line.empty() || line[0] == '#') return std::nullopt;
  const size_t space = line.find(' ');
  const std::string verb = line.substr(0, space);
  const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space));
  const std::string target = rest.substr(0, rest.find(' '));
  const std::string argument = Trim(rest.substr(target.size()));
  TestCommand command;
  if (verb == "run") {
    char* end = nullptr;
    const long seconds = std::strtol(rest.c_str(), &end, 10);
    if (rest.empty() || *end || seconds < 0 || seconds > 86400) {
      error = "run needs a number of seconds";
      return std::nullopt;
    }
    command.seconds = static_cast<int>(seconds);
    return command;
  }
  if (verb == "click" || verb == "type") {
    const size_t dot = target.find('.');
    command.verb = verb == "click" ? TestCommand::Verb::Click : TestCommand::Verb::Type;
    command.window = dot == std::string::npos ? "Form1" : target.substr(0, dot);
    command.control = dot == std::string::npos ? target : target.substr(dot + 1);
    if (!IsControl(command.window, command.control)) {
      error = "unknown control \"" + target + "\"";
      return std::nullopt;
    }
    if (verb == "type" && !Quoted(argument, command.text)) {
      error = "type needs a quoted text";
      return std::nullopt;
    }
    return command;
  }
  if (verb == "close") {
    command.verb = TestCommand::Verb::Close;
    command.window = target;
    if (!IsWindow(target)) {
      error = "unknown window \"" + target + "\"";
      return std::nullopt;
    }
    return command;
  }
  if (verb == "answer") {
    command.verb = TestCommand::Verb::Answer;
    command.text = target;
    if (target == "text" && Quoted(argument, command.answerText)) return command;
    if (target == "yes" || target == "no" || target == "ok" || target == "cancel") return command;
    error = "answer needs yes, no, ok, cancel or text \"...\"";
    return std::nullopt;
  }
  error = "unknown command \"" + verb + "\"";
  return std::nullopt;
}

void RunTestSeconds(App& app, int seconds, const std::function<void(int64_t)>& advance,
                    const std::function<void()>& afterEvent) {
  Clock& clock = app.ports.clock;
  const int64_t end = clock.MonotonicMs() + seconds * int64_t{1000};
  for (int64_t next; !app.ended && (next = NextTimerDueMs(app)) <= end;) {
    if (next > clock.MonotonicMs()) advance(next - clock.MonotonicMs());
    RunDueTimers(app);
    afterEvent();
  }
  if (end > clock.MonotonicMs()) advance(end - clock.MonotonicMs());
}

}  // namespace sky
