#include "platform/headless.h"

#include <cstdio>

#ifdef _WIN32
#include "platform/win32_platform.h"
#else
#include "platform/posix_platform.h"
#endif

namespace sky {
namespace {

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

}  // namespace

LocalDateTime AddSeconds(const LocalDateTime& time, int64_t seconds) {
  int64_t total = DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
                  time.minute * 60 + time.second + seconds;
  int64_t days = total / 86400;
  int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  LocalDateTime result;
  CivilFromDays(days, result.year, result.month, result.day);
  result.hour = static_cast<int>(rest / 3600);
  result.minute = static_cast<int>(rest / 60 % 60);
  result.second = static_cast<int>(rest % 60);
  return result;
}

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
