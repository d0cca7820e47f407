#include "commands/parameters_dialog.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <variant>

#include "commands/app.h"
#include "core/numtext.h"
#include "settings/offsets_file.h"

namespace sky {
namespace {

using NumberField = std::variant<float LoggingParameters::*, int16_t LoggingParameters::*>;

struct Binding {
  std::string_view box;
  NumberField field;
};

using P = LoggingParameters;
const Binding kBindings[] = {
    {"txtHDGOffset", &P::HDGOffset},
    {"txtAltOffset", &P::AltOffset},
    {"txtVSOffset", &P::VSOffset},
    {"txtHDGOffset100", &P::HDGOffset100},
    {"txtAltOffset100", &P::AltOffset100},
    {"txtVSOffset100", &P::VSOffset100},
    {"txtCheckVS", &P::CheckVS},
    {"txtChaseDegreeOffset", &P::ChaseDegreeOffset},
    {"txtChaseTilt", &P::ChaseTilt},
    {"txtOverviewDegreeOffset", &P::OverviewDegreeOffset},
    {"txtOverviewTilt", &P::OverviewTilt},
    {"txtOverviewRangeMultiplier", &P::OverviewRangeMultiplier},
    {"txtOverviewRangeMin", &P::OverviewRangeMin},
    {"txtGNDTilt", &P::GNDTilt},
    {"txtGNDRange", &P::GNDRange},
    {"txtPredPathMultiplier", &P::PredPathMultiplier},
    {"txtPredPathMultiplierTCAS", &P::PredPathMultiplierTCAS},
    {"txtLocInt", &P::LocInt},
    {"txtGSInt", &P::GSInt},
    {"txtIgnoreILSBelow", &P::IgnoreILSBelow},
    {"txtIgnoreILSAbove", &P::IgnoreILSAbove},
    {"txtIgnoreILSAboveVS", &P::IgnoreILSAboveVS},
};

const NumberField& FieldOf(std::string_view box) {
  for (const Binding& binding : kBindings) {
    if (binding.box == box) return binding.field;
  }
  throw std::logic_error("a box without a field");
}

ParameterBox* FindBox(OffsetsControls& w, std::string_view name) {
  for (ParameterBox& box : w.boxes) {
    if (box.name == name) return &box;
  }
  return nullptr;
}

// A single-precision value in plain decimal with "." as the decimal point: the shortest text of
// 7 significant digits, never with an exponent.
std::string SinglePlainText(float value) {
  if (!std::isfinite(value)) throw std::domain_error("not a number");
  const auto shortest = ParseNumber(SingleText(value, "."), ".");
  return PlainText(shortest ? *shortest : value, ".");
}

std::string FieldText(const LoggingParameters& p, const NumberField& field) {
  if (const auto single = std::get_if<float P::*>(&field)) return SinglePlainText(p.**single);
  return std::to_string(p.*std::get<int16_t P::*>(field));
}

// Stores a box's value: a Single as it reads, an Integer rounded halves to even. Values beyond
// a field's range are held at its limit rather than wrapped.
void Store(LoggingParameters& p, const NumberField& field, double value) {
  if (const auto single = std::get_if<float P::*>(&field)) {
    p.** single = static_cast<float>(std::clamp<double>(value, -FLT_MAX, FLT_MAX));
  } else {
    p.*std::get<int16_t P::*>(field) =
        static_cast<int16_t>(RoundHalfEven(std::clamp(value, -32768.0, 32767.0)));
  }
}

std::string WithoutLineBreaks(const std::string& text) {
  std::string single = text;
  std::erase_if(single, [](char c) { return c == '\r' || c == '\n'; });
  return single;
}

}  // namespace

void OpenParametersDialog(App& app) {
  OffsetsControls& w = app.frmOffsets;
  w = OffsetsControls{};  // a new dialog starts as designed
  w.loaded = true;
  w.focus = w.boxes.front().name;
  try {
    for (ParameterBox& box : w.boxes) box.box.text = FieldText(app.params, FieldOf(box.name));
  } catch (const std::exception&) {
    // The boxes not yet filled keep their design-time texts, the reset values.
    app.ports.dialogs.MessageBox(
        app.g.ProductName + " logging parameters",
        "Something went wrong during the loading of the settings, default values applied.",
        MessageButtons::Ok);
  }
}

void CloseParametersDialog(App& app) {
  app.frmOffsets.loaded = false;
  app.frmOffsets.focus.clear();
}

std::string CorrectedBoxText(const ParameterBox& box, std::string_view text,
                             std::string_view separator) {
  const auto number = ParseNumber(text, separator);
  if (!number) return box.resetValue;
  double whole = std::floor(*number);
  switch (box.rule) {
    case BoxRule::Range:
      whole = std::clamp<double>(whole, 0, box.max);
      break;
    case BoxRule::NonNegative:
      whole = std::max<double>(whole, 0);
      break;
    case BoxRule::Magnitude:
      whole = std::fabs(whole);
      break;
  }
  return PlainText(whole + 0.0, ".");  // + 0.0: no "-0"
}

void MoveParametersFocus(App& app, std::string_view control) {
  OffsetsControls& w = app.frmOffsets;
  if (!w.loaded || w.focus == control) return;
  const std::string leaving = std::exchange(w.focus, std::string(control));
  if (ParameterBox* box = FindBox(w, leaving)) {
    box->box.text = CorrectedBoxText(*box, box->box.text, app.g.DecimalSeparator);
  }
}

bool TypeParameterBox(App& app, std::string_view name, const std::string& text) {
  ParameterBox* box = FindBox(app.frmOffsets, name);
  if (!box) return false;
  MoveParametersFocus(app, name);
  box->box.text = WithoutLineBreaks(text);
  return true;
}

void ParametersOK(App& app) {
  for (const ParameterBox& box : app.frmOffsets.boxes) {
    auto value = ParseNumber(box.box.text, app.g.DecimalSeparator);
    if (!value) value = ParseNumber(box.resetValue, ".");
    Store(app.params, FieldOf(box.name), value.value_or(0));
  }
  SaveLoggingParameters(SettingsOf(app), app.params);
  ForgetRealtimeWork(app);  // new settings
  CloseParametersDialog(app);
}

void ParametersCancel(App& app) {
  CloseParametersDialog(app);
}

void ParametersReset(App& app) {
  const DialogAnswer answer = app.ports.dialogs.MessageBox(
      "Reset settings", "Are you sure you want to reset your settings?", MessageButtons::YesNo);
  if (answer != DialogAnswer::Yes) return;
  for (ParameterBox& box : app.frmOffsets.boxes) box.box.text = box.resetValue;
}

}  // namespace sky
