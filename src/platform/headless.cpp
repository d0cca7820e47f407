#include "platform/headless.h"

#include <cstdio>

#include "core/timestamp.h"

#ifdef _WIN32
#include "platform/win32_platform.h"
#else
#include "platform/posix_platform.h"
#endif

namespace sky {

bool ParseLocalDateTime(const std::string& text, LocalDateTime& time) {
  LocalDateTime parsed;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &parsed.year, &parsed.month,
                  &parsed.day, &parsed.hour, &parsed.minute, &parsed.second, &tail) != 6) {
    return false;
  }
  if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 ||
      parsed.hour > 23 || parsed.minute > 59 || parsed.second > 59 || parsed.hour < 0 ||
      parsed.minute < 0 || parsed.second < 0) {
    return false;
  }
  time = parsed;
  return true;
}

LocalDateTime SimulatedClock::LocalNow() {
  return AddSeconds(start_, elapsedMs_ / 1000);
}

TimeZoneInfo SimulatedClock::TimeZone() {
  if (fixedZone_) return zone_;
  return TimeZoneAt(LocalNow());
}

std::optional<std::string> FixedFolders::SpecialFolder(int csidl) {
  const std::string& path = csidl == kAppData ? appData_ : csidl == kDocuments ? documents_ : "";
  if (path.empty()) return std::nullopt;
  return path;
}

void ScriptedDialogs::Report(Shown shownDialog) {
  if (onShown) onShown(shownDialog);
  shown.push_back(std::move(shownDialog));
}

DialogAnswer ScriptedDialogs::MessageBox(const std::string& title, const std::string& text,
                                         MessageButtons buttons) {
  const auto next = Next();
  DialogAnswer answer = buttons == MessageButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
  if (next && buttons == MessageButtons::YesNo) {
    answer = next->kind == Answer::Yes      ? DialogAnswer::Yes
             : next->kind == Answer::Cancel ? DialogAnswer::Cancel
                                            : DialogAnswer::No;
  }
  const char* names[] = {"ok", "yes", "no", "cancel"};
  Report({"message", title, text, names[static_cast<int>(answer)], next.has_value()});
  return answer;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::Next() {
  if (answers_.empty()) return std::nullopt;
  Answer next = std::move(answers_.front());
  answers_.pop_front();
  return next;
}

std::optional<std::string> ScriptedDialogs::InputBox(const std::string& prompt,
                                                     const std::string& title, const std::string&) {
  const auto next = Next();
  std::optional<std::string> answer;
  if (next && next->kind == Answer::Text) {
    answer = next->text;
  } else if (next && (next->kind == Answer::Ok || next->kind == Answer::Yes)) {
    answer = std::string();  // an empty answer confirmed
  }
  Report(
      {"input", title, prompt, answer ? "text \"" + *answer + "\"" : "cancel", next.has_value()});
  return answer;
}

std::optional<std::string> ScriptedDialogs::FileOpen(const std::string& title, const std::string&,
                                                     const std::string&, const std::string&) {
  const auto next = Next();
  std::optional<std::string> answer;
  if (next && next->kind == Answer::Text) answer = next->text;
  Report({"file", title, "", answer ? "text \"" + *answer + "\"" : "cancel", next.has_value()});
  return answer;
}

bool RecordingShell::Open(const std::string& target) {
  opened.push_back(target);
  if (onOpen) onOpen(target);
  return opens;
}

void RecordingShell::CloseMainWindow() {
  if (onCloseMainWindow) onCloseMainWindow();
}

void RecordingShell::EndProgram() {
  ended = true;
  if (onEndProgram) onEndProgram();
}

}  // namespace sky
