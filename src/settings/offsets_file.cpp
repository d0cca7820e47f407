#include "settings/offsets_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <variant>
#include <vector>

#include "core/numtext.h"
#include "core/system.h"
#include "core/text.h"

namespace sky {
namespace {

using FieldRef = std::variant<float LoggingParameters::*, int16_t LoggingParameters::*,
                              bool LoggingParameters::*, std::string LoggingParameters::*>;

struct Key {
  const char* name;  // with its "="
  FieldRef field;
};

// The file's keys, in the order the loader tests them and the saver writes them.
const Key kKeys[] = {
    {"HDGOffset=", &LoggingParameters::HDGOffset},
    {"AltOffset=", &LoggingParameters::AltOffset},
    {"VSOffset=", &LoggingParameters::VSOffset},
    {"HDGOffset100=", &LoggingParameters::HDGOffset100},
    {"AltOffset100=", &LoggingParameters::AltOffset100},
    {"VSOffset100=", &LoggingParameters::VSOffset100},
    {"ChaseDegreeOffset=", &LoggingParameters::ChaseDegreeOffset},
    {"OverviewDegreeOffset=", &LoggingParameters::OverviewDegreeOffset},
    {"ChaseTilt=", &LoggingParameters::ChaseTilt},
    {"OverviewTilt=", &LoggingParameters::OverviewTilt},
    {"OverviewRangeMultiplier=", &LoggingParameters::OverviewRangeMultiplier},
    {"OverviewRangeMin=", &LoggingParameters::OverviewRangeMin},
    {"GNDTilt=", &LoggingParameters::GNDTilt},
    {"GNDRange=", &LoggingParameters::GNDRange},
    {"PredPathMultiplier=", &LoggingParameters::PredPathMultiplier},
    {"PredPathMultiplierTCAS=", &LoggingParameters::PredPathMultiplierTCAS},
    {"Debuging=", &LoggingParameters::Debuging},
    {"CheckVS=", &LoggingParameters::CheckVS},
    {"LocInt=", &LoggingParameters::LocInt},
    {"GSInt=", &LoggingParameters::GSInt},
    {"IgnoreILSBelow=", &LoggingParameters::IgnoreILSBelow},
    {"IgnoreILSAbove=", &LoggingParameters::IgnoreILSAbove},
    {"IgnoreILSAboveVS=", &LoggingParameters::IgnoreILSAboveVS},
    {"ForceNoWinXP=", &LoggingParameters::ForceNoWinXP},
    {"XPlane=", &LoggingParameters::XPlane},
    {"XPlanePath=", &LoggingParameters::XPlanePath},
    {"XPUIPC=", &LoggingParameters::XPUIPC},
    {"MinUpdate=", &LoggingParameters::MinUpdate},
    {"Update=", &LoggingParameters::Update},
};
constexpr int kThresholdFields = 23;  // fields 1 to 23 fall back to their defaults together

class BadValue : public std::runtime_error {
 public:
  BadValue() : std::runtime_error("value does not convert") {}
};

void ResetField(LoggingParameters& parameters, const FieldRef& field) {
  const LoggingParameters defaults;
  std::visit([&](auto member) { parameters.*member = defaults.*member; }, field);
}

void ResetThresholds(LoggingParameters& parameters) {
  const LoggingParameters defaults;
  for (int i = 0; i < kThresholdFields; ++i) {
    std::visit([&](auto member) { parameters.*member = defaults.*member; }, kKeys[i].field);
  }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

void Store(LoggingParameters& parameters, const FieldRef& field, const std::string& value,
           std::string_view separator) {
  struct Visitor {
    LoggingParameters& p;
    const std::string& value;
    std::string_view separator;
    void operator()(float LoggingParameters::*member) const {
      // Any number that rounds to a finite single: up to half a step above the largest.
      static const double kLimit = FLT_MAX + std::ldexp(1.0, FLT_MAX_EXP - FLT_MANT_DIG - 1);
      const auto number = ParseNumber(value, separator);
      if (!number || std::fabs(*number) >= kLimit) throw BadValue();
      p.*member = static_cast<float>(std::clamp<double>(*number, -FLT_MAX, FLT_MAX));
    }
    void operator()(int16_t LoggingParameters::*member) const {
      const auto number = ParseNumber(value, separator);
      if (!number) throw BadValue();
      const int64_t whole = RoundHalfEven(*number);
      if (whole < -32768 || whole > 32767) throw BadValue();
      p.*member = static_cast<int16_t>(whole);
    }
    void operator()(bool LoggingParameters::*member) const {
      std::string_view text(value);
      while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
      if (EqualsNoCase(text, "True")) {
        p.*member = true;
      } else if (EqualsNoCase(text, "False")) {
        p.*member = false;
      } else if (const auto number = ParseNumber(text, separator)) {
        p.*member = *number != 0;
      } else {
        throw BadValue();
      }
    }
    void operator()(std::string LoggingParameters::*member) const { p.*member = value; }
  };
  std::visit(Visitor{parameters, value, separator}, field);
}

// Splits the file into fields as the record-input statement reads them: leading blanks are
// skipped, a field in double quotes runs to the closing quote, any other field ends at a comma
// or at the end of the line.
std::vector<std::string> ReadFields(std::string_view text) {
  std::vector<std::string> fields;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string field;
    if (i < n && text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t stop = close == std::string_view::npos ? n : close;
      field.assign(text.substr(i + 1, stop - i - 1));
      i = stop == n ? n : stop + 1;
      while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') ++i;
    } else {
      const size_t stop = text.find_first_of(",\r\n", i);
      const size_t end = stop == std::string_view::npos ? n : stop;
      field.assign(text.substr(i, end - i));
      i = end;
    }
    if (i < n && text[i] == ',') {
      ++i;
    } else if (i < n && text[i] == '\r') {
      ++i;
      if (i < n && text[i] == '\n') ++i;
    } else if (i < n && text[i] == '\n') {
      ++i;
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

// A settings file larger than this is damaged.
constexpr size_t kMaxSettingsBytes = 1 << 20;

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The settings' text: "Offsets.txt", or, when that is missing or empty, the backup a save left
// behind ("OffsetsBackup.txt"), which then holds the user's settings. Empty when neither can be
// read; throws BadValue for a file over the size limit.
std::optional<std::string> ReadSettingsText(FileSystem& files, const std::string& file,
                                            const std::string& backup) {
  auto text = files.ReadHead(file, kMaxSettingsBytes + 1);
  if (!text || IsBlank(*text)) {
    if (auto saved = files.ReadHead(backup, kMaxSettingsBytes + 1); saved && !IsBlank(*saved)) {
      text = std::move(saved);
    }
  }
  if (text && text->size() > kMaxSettingsBytes) throw BadValue();
  return text;
}

std::string ValueText(const LoggingParameters& parameters, const FieldRef& field) {
  struct Visitor {
    const LoggingParameters& p;
    std::string operator()(float LoggingParameters::*member) const {
      return PlainSingleText(p.*member, ".");
    }
    std::string operator()(int16_t LoggingParameters::*member) const {
      return std::to_string(p.*member);
    }
    std::string operator()(bool LoggingParameters::*member) const {
      return p.*member ? "True" : "False";
    }
    std::string operator()(std::string LoggingParameters::*member) const { return p.*member; }
  };
  return std::visit(Visitor{parameters}, field);
}

}  // namespace

std::string FormatLoggingParameters(const LoggingParameters& parameters) {
  std::string text;
  for (const Key& key : kKeys) {
    text += key.name;
    text += ValueText(parameters, key.field);
    text += "\r\n";
  }
  return text;
}

std::string LoadLoggingParameters(const SettingsFile& file, std::string_view separator,
                                  LoggingParameters& p) {
  p.MinUpdate = true;
  p.Update = true;
  ResetThresholds(p);
  p.XPlanePath.clear();
  p.XPUIPC = "0";
  p.XPlane = false;
  const std::string unable =
      "Unable to load variables, try re-installing the " + file.appTitle + ".";
  std::vector<std::pair<std::string, FieldRef>> bad;  // the fields that did not convert
  try {
    const std::string folder = AppDataFolder(file.folders);
    const auto text =
        ReadSettingsText(file.files, folder + kOffsetsFile, folder + kOffsetsBackupFile);
    if (!text) throw BadValue();
    for (const std::string& field : ReadFields(*text)) {
      for (const Key& key : kKeys) {
        if (field.rfind(key.name, 0) != 0) continue;
        try {
          Store(p, key.field, field.substr(field.find('=') + 1), separator);
        } catch (const BadValue&) {
          // Only this value goes back to its default: one typing error costs no other setting.
          ResetField(p, key.field);
          bad.emplace_back(field, key.field);
        }
        break;
      }
    }
  } catch (const std::exception&) {
    // No settings file to read, or a damaged one: the thresholds start over.
    file.board.Post(unable);
    ResetThresholds(p);
    return unable;
  }
  if (bad.empty()) return "";
  std::string sentence = unable + " In " + kOffsetsFile + " " + QuotedInput(bad.front().first);
  if (bad.size() == 1) {
    sentence += " could not be read; its standard value " +
                ValueText(LoggingParameters{}, bad.front().second) + " is used.";
  } else {
    sentence += " and " + std::to_string(bad.size() - 1) + " more value" +
                (bad.size() > 2 ? "s" : "") + " could not be read; their standard values are used.";
  }
  file.board.Post(sentence);
  return sentence;
}

void SaveLoggingParameters(const SettingsFile& file, const LoggingParameters& parameters) {
  FileSystem& files = file.files;
  try {
    const std::string folder = AppDataFolder(file.folders);
    const std::string path = folder + kOffsetsFile;
    if (!files.Exists(path)) throw BadValue();  // start-up creates the file before the first save
    // A full disk or a kill at any step leaves either the old settings or the new ones, whole,
    // and the old file is never emptied first.
    if (!WriteIntoPlace(files, path, FormatLoggingParameters(parameters))) throw BadValue();
    // A backup left behind by an interrupted save has served its purpose.
    if (files.Exists(folder + kOffsetsBackupFile)) files.Remove(folder + kOffsetsBackupFile);
  } catch (const std::exception&) {
    file.board.Post("Unable to save variables, try re-installing the " + file.appTitle + ".");
  }
}

}  // namespace sky
