// The message board as the units that report to the user see it: every operation ends by posting
// one short sentence ("Logging started.", "Unable to draw the TCAS.", "Event: Gear down"). The
// program's board routes texts beginning "Event: " to the status window while it is open and
// everything else to the main window's message line; each line is wiped five seconds after its
// last post.
#pragma once

#include <string>
#include <vector>

namespace sky {

class MessageBoard {
 public:
  virtual ~MessageBoard() = default;
  virtual void Post(const std::string& text) = 0;
};

// A board that keeps the sentences, in order, for its owner to post later (or to look at).
class SentenceList final : public MessageBoard {
 public:
  explicit SentenceList(std::vector<std::string>& sentences) : sentences_(sentences) {}
  void Post(const std::string& text) override { sentences_.push_back(text); }

 private:
  std::vector<std::string>& sentences_;
};

}  // namespace sky
