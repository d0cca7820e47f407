// The local stand-in for the maker's web server (scripts/http-server.py) that the test run
// starts once on 127.0.0.1: each test serves a folder of its own from it and reads back the
// request lines the server logged for that folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "platform/web_request.h"

namespace sky::test {

class LocalServer {
 public:
  // A fresh folder of the server, named after the running test.
  LocalServer();
  // False when the server is not running (its port file is missing).
  bool Running() const { return port_ != 0; }
  // "http://127.0.0.1:PORT"
  std::string Root() const;
  // The folder's address; with a word ("slow", "drip", "junk", "big") the server answers its
  // files that way.
  std::string Base(const std::string& word = "") const;
  // Writes a file into the folder.
  void Put(const std::string& name, const std::string& bytes) const;
  // The logged request lines for this folder, in order, each as received.
  std::vector<std::string> Requests() const;

 private:
  int port_ = 0;
  std::string name_;
  std::string state_;
};

// An address of 127.0.0.1 where nothing listens.
std::string DeadAddress();

// Runs an HTTP adapter against the local server: whole text and binary replies (the largest one
// the cap allows), and each failure within the time-out: nobody listening, a missing file, a slow
// or dripping server, replies over the cap with and without an announced length, addresses that
// are not http. Then the request line as the server received it: blanks, "#" and other bytes a
// request line cannot carry percent-encoded, "&" as it is. `limits` are the adapter's, with a
// time-out of about a second.
void CheckHttpAdapter(Http& http, const std::function<HttpFailure()>& lastFailure,
                      const HttpLimits& limits);

}  // namespace sky::test
