#include "demo_actions.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "shell/dispatch.h"

namespace sky {
namespace {

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  const size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

// A double-quoted argument; false when it is not one.
bool Quoted(const std::string& text, std::string& value) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  value = text.substr(1, text.size() - 2);
  return true;
}

void SplitTarget(const std::string& target, std::string& window, std::string& control) {
  const size_t dot = target.find('.');
  window = dot == std::string::npos ? "Form1" : target.substr(0, dot);
  control = dot == std::string::npos ? target : target.substr(dot + 1);
}

}  // namespace

std::optional<std::vector<DemoAction>> ParseDemoActions(const std::string& text,
                                                        std::string& error) {
  std::vector<DemoAction> actions;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const std::string& reason) {
      error = "line " + std::to_string(number) + ": " + reason;
      return std::nullopt;
    };
    DemoAction action;
    action.line = number;
    std::istringstream words(line);
    std::string second;
    words >> second >> action.verb;
    char* end = nullptr;
    const long t = std::strtol(second.c_str(), &end, 10);
    if (second.empty() || *end || t < 0)
      return fail("the time " + QuotedInput(second) + " is not a second");
    action.second = static_cast<int>(t);
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    if (action.verb == "click" || action.verb == "close" || action.verb == "type") {
      std::string target = rest.substr(0, rest.find(' '));
      if (target.empty()) return fail(action.verb + " needs a control");
      if (action.verb == "close") {
        action.window = target;
        if (!IsWindow(action.window)) return fail("unknown window " + QuotedInput(target));
      } else {
        SplitTarget(target, action.window, action.control);
        if (action.verb == "click" && !IsControl(action.window, action.control)) {
          return fail("unknown control " + QuotedInput(target));
        }
        if (action.verb == "type") {
          // The text: quoted, or the rest of the line as it stands.
          const std::string text = Trim(rest.substr(target.size()));
          if (text.empty()) return fail("type needs a text");
          if (!Quoted(text, action.argument)) action.argument = text;
          if (!IsControl(action.window, action.control)) {
            return fail("unknown text box \"" + target + "\"");
          }
        }
      }
    } else if (action.verb == "answer") {
      const std::string kind = rest.substr(0, rest.find(' '));
      action.argument = kind;
      if (kind == "text") {
        std::string value;
        if (kind.size() >= rest.size() || !Quoted(Trim(rest.substr(kind.size())), value)) {
          return fail("answer text needs a quoted text");
        }
        action.control = value;
      } else if (kind != "yes" && kind != "no" && kind != "ok" && kind != "cancel") {
        return fail("unknown answer " + QuotedInput(kind));
      }
    } else {
      return fail("unknown verb " + QuotedInput(action.verb));
    }
    actions.push_back(action);
  }
  return actions;
}

std::optional<std::vector<DemoAction>> ReadDemoActions(const std::string& path,
                                                       std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string reason;
  auto actions = ParseDemoActions(text.str(), reason);
  if (!actions) error = path + ": " + reason;
  return actions;
}

}  // namespace sky
