// FlightGear's telnet interface as recorded: a recording's requests and answers (the exact
// bytes of one read of the own aircraft and the AI list from a running FlightGear 2020.3) become
// a table of property values, and the fake answers any request from it as FlightGear does: a
// command runs once its line ends in CR LF (a bare LF leaves it waiting), data mode answers a
// get with the bare value and a missing property with an empty line, an ls with the child
// names, and a set with nothing.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "test_app.h"

namespace sky::test {

class RecordedFlightGear {
 public:
  // From tests/sim/data/flightgear/<moment>_sent.bin and _recv.bin.
  explicit RecordedFlightGear(const std::string& moment) {
    const std::string folder = std::string(SKYTRACE_SOURCE_DIR) + "/tests/sim/data/flightgear/";
    const auto sent = Split(ReadFile(folder + moment + "_sent.bin"));
    const auto received = Split(ReadFile(folder + moment + "_recv.bin"));
    size_t answer = 0;
    for (const std::string& command : sent) {
      if (command.rfind("get ", 0) == 0 && answer < received.size()) {
        values[command.substr(4)] = received[answer++];
      } else if (command.rfind("ls ", 0) == 0) {
        // The listing runs to the empty line that answers the missing property asked next.
        std::vector<std::string>& names = listings[command.substr(3)];
        while (answer < received.size() && !received[answer].empty()) {
          names.push_back(received[answer++]);
        }
      }
    }
  }

  // The answers to the client's bytes, as one piece.
  std::string Answer(std::string_view bytes) {
    pending_.append(bytes);
    std::string out;
    for (size_t end; (end = pending_.find("\r\n")) != std::string::npos;) {
      const std::string command = pending_.substr(0, end);
      pending_.erase(0, end + 2);
      commands.push_back(command);
      if (command.find('\n') != std::string::npos) continue;  // garbled by a bare LF
      if (command == "data") {
        dataMode = true;
      } else if (command.rfind("get ", 0) == 0) {
        const auto found = values.find(command.substr(4));
        out += (found == values.end() ? "" : found->second) + "\r\n";
      } else if (command.rfind("ls ", 0) == 0) {
        for (const std::string& name : listings[command.substr(3)]) out += name + "\r\n";
      } else if (command.rfind("set ", 0) == 0) {
        const size_t blank = command.find(' ', 4);
        values[command.substr(4, blank - 4)] =
            blank == std::string::npos ? "" : command.substr(blank + 1);
      }
    }
    return out;
  }

  std::map<std::string, std::string> values;
  std::map<std::string, std::vector<std::string>> listings;
  std::vector<std::string> commands;  // every command line run, in order
  bool dataMode = false;

 private:
  static std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  std::string pending_;
};

}  // namespace sky::test
