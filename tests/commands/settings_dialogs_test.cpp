// The two settings dialogs driven through the dispatch: boxes correcting themselves, OK, Cancel
// and Reset against Offsets.txt, bad input, the options and Browse, and modality.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <tuple>

#include "commands/parameters_dialog.h"
#include "core/messages.h"
#include "settings/offsets_file.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky {
namespace {

class SettingsDialogs : public ::testing::Test {
 protected:
  SettingsDialogs() { EXPECT_TRUE(t.Load()); }
  App& app() { return t.app(); }
  std::string Offsets() { return test::ReadFile(t.DataFile("Offsets.txt")); }
  void OpenParameters() {
    ASSERT_EQ(Click(app(), "Form1", "btn_Options"), ClickResult::Done);
    ASSERT_EQ(Click(app(), "frmOptions", "Command2"), ClickResult::Done);
  }
  std::string& Box(const char* name) {
    for (ParameterBox& box : app().frmOffsets.boxes) {
      if (box.name == name) return box.box.text;
    }
    throw std::logic_error(name);
  }
  // Types into the box, then clicks into another one: the text as the validator leaves it.
  std::string TypeAndLeave(const char* box, const std::string& text) {
    EXPECT_TRUE(TypeText(app(), "frmOffsets", box, text)) << box;
    const char* other = std::string(box) == "txtHDGOffset" ? "txtGSInt" : "txtHDGOffset";
    EXPECT_EQ(Click(app(), "frmOffsets", other), ClickResult::Done);
    return Box(box);
  }
  test::TestApp t;
};

TEST_F(SettingsDialogs, BoxesCorrectThemselvesWhenTheyLoseTheFocus) {
  OpenParameters();
  const std::string paste(10000, '7');
  struct Case {
    const char* box;
    std::string typed;
    const char* left;
    const char* separator = ".";
  } cases[] = {
      {"txtHDGOffset", "250", "180"},  // range 0 to 180
      {"txtHDGOffset", "-20", "0"},
      {"txtHDGOffset", "45.9", "45"},
      {"txtHDGOffset", "180", "180"},
      {"txtChaseTilt", "135", "90"},  // range 0 to 90
      {"txtLocInt", "100.99", "100"},
      {"txtAltOffset", "-150", "150"},  // magnitude
      {"txtAltOffset", "-0.5", "1"},    // the whole part is -1
      {"txtAltOffset", "-0", "0"},
      {"txtGNDRange", "-5", "0"},  // non-negative
      {"txtGNDRange", "2.7", "2"},
      {"txtGNDRange", " +1e3 ", "1000"},
      {"txtGSInt", "letters", "75"},  // not a number: the reset value
      {"txtGSInt", "", "75"},
      {"txtGSInt", "1e309", "75"},  // beyond any number
      {"txtOverviewRangeMin", "99999999999", "99999999999"},
      {"txtHDGOffset100", "99999999999", "180"},
      {"txtOverviewRangeMin", paste, "5000"},
      {"txtOverviewRangeMin", "1" + std::string(400, '0'), "5000"},
      {"txtIgnoreILSAbove", "\xEF\xBC\x91\xEF\xBC\x92", "5000"},  // full-width digits
      {"txtIgnoreILSAbove", "\xD9\xA3", "5000"},                  // an Arabic-Indic three
      {"txtCheckVS", "12abc", "150"},
      {"txtCheckVS", "1\r\n2", "12"},       // a box holds one line
      {"txtHDGOffset", "45,9", "45", ","},  // a comma locale reads its own decimals
      {"txtAltOffset", "-2,5", "3", ","},
  };
  for (const Case& c : cases) {
    t.g().DecimalSeparator = c.separator;
    EXPECT_EQ(TypeAndLeave(c.box, c.typed), c.left) << c.box << " " << c.typed.substr(0, 20);
  }
  EXPECT_TRUE(t.dialogs.shown.empty());  // no message, no box
}

TEST_F(SettingsDialogs, ResetThenCancelChangesNothingAndResetThenOkStoresTheResetValues) {
  const std::string before = Offsets();
  const LoggingParameters kept = app().params;
  OpenParameters();
  t.dialogs.Queue({ScriptedDialogs::Answer::Yes});
  Click(app(), "frmOffsets", "btnReset");
  ASSERT_EQ(t.dialogs.shown.back().title, "Reset settings");
  EXPECT_EQ(t.dialogs.shown.back().text, "Are you sure you want to reset your settings?");
  EXPECT_EQ(Box("txtLocInt"), "90");
  Click(app(), "frmOffsets", "btnCancel");
  EXPECT_FALSE(app().frmOffsets.loaded);
  EXPECT_EQ(Offsets(), before);
  EXPECT_EQ(FormatLoggingParameters(app().params), FormatLoggingParameters(kept));

  Click(app(), "frmOptions", "Command2");
  t.dialogs.Queue({ScriptedDialogs::Answer::No});
  Click(app(), "frmOffsets", "btnReset");
  EXPECT_EQ(Box("txtLocInt"), "50");  // No keeps the boxes
  t.dialogs.Queue({ScriptedDialogs::Answer::Yes});
  Click(app(), "frmOffsets", "btnReset");
  Click(app(), "frmOffsets", "btnOK");
  std::string expected = before;
  for (const auto& [key, from, to] : {std::tuple{"OverviewDegreeOffset=", "45", "0"},
                                      {"OverviewTilt=", "45", "0"},
                                      {"OverviewRangeMultiplier=", "10", "30"},
                                      {"OverviewRangeMin=", "2000", "5000"},
                                      {"PredPathMultiplier=", "10", "60"},
                                      {"PredPathMultiplierTCAS=", "10", "60"},
                                      {"LocInt=", "50", "90"},
                                      {"GSInt=", "50", "75"}}) {
    const std::string line = std::string("\n") + key + from + "\r";
    ASSERT_NE(expected.find(line), std::string::npos) << line;
    expected.replace(expected.find(line), line.size(), std::string("\n") + key + to + "\r");
  }
  EXPECT_EQ(Offsets(), expected);
  EXPECT_EQ(app().params.OverviewRangeMin, 5000);
}

TEST_F(SettingsDialogs, OkStoresWhatTheFocusedBoxBecomesAndHoldsIntegersInRange) {
  OpenParameters();
  TypeText(app(), "frmOffsets", "txtOverviewRangeMin", "40000");  // beyond a 16-bit field
  TypeText(app(), "frmOffsets", "txtCheckVS", "-99999999999");
  TypeText(app(), "frmOffsets", "txtAltOffset", "99999999999");
  TypeText(app(), "frmOffsets", "txtChaseTilt", "135");  // still focused when OK is clicked
  Click(app(), "frmOffsets", "btnOK");
  const LoggingParameters& p = app().params;
  EXPECT_EQ(p.ChaseTilt, 90);
  EXPECT_EQ(p.OverviewRangeMin, 32767);
  EXPECT_EQ(p.CheckVS, 32767);
  EXPECT_EQ(p.AltOffset, 99999999999.0f);
  const std::string file = Offsets();
  EXPECT_NE(file.find("\r\nChaseTilt=90\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\r\nOverviewRangeMin=32767\r\n"), std::string::npos) << file;
  EXPECT_FALSE(app().frmOffsets.loaded);
  EXPECT_TRUE(app().frmOptions.loaded);  // back in the options dialog

  // A box never focused is stored as it reads: integers round halves to even.
  for (const auto& [text, stored] : {std::pair{"2.5", 2}, {"3.5", 4}, {"-0.5", 0}}) {
    Click(app(), "frmOptions", "Command2");
    app().frmOffsets.focus = "btnOK";
    Box("txtGNDTilt") = text;
    ParametersOK(app());
    EXPECT_EQ(app().params.GNDTilt, stored) << text;
  }
}

TEST_F(SettingsDialogs, LoadShowsPlainDecimalsAndAFailedLoadKeepsTheResetValues) {
  app().params.HDGOffset = 2.5f;
  app().params.AltOffset = 0.00001f;
  app().params.VSOffset = 10000000;
  OpenParameters();
  EXPECT_EQ(Box("txtHDGOffset"), "2.5");
  EXPECT_EQ(Box("txtAltOffset"), "0.00001");
  EXPECT_EQ(Box("txtVSOffset"), "10000000");
  EXPECT_EQ(Box("txtOverviewTilt"), "45");
  Click(app(), "frmOffsets", "btnCancel");

  app().params.VSOffset = NAN;  // cannot be shown: the boxes from here on keep their design
  Click(app(), "frmOptions", "Command2");
  EXPECT_EQ(t.Shown(), std::vector<std::string>{"Skytrace logging parameters: Something went wrong "
                                                "during the loading of the settings, default "
                                                "values applied."});
  EXPECT_EQ(Box("txtAltOffset"), "0.00001");
  EXPECT_EQ(Box("txtVSOffset"), "80");
  EXPECT_EQ(Box("txtOverviewTilt"), "0");
}

TEST_F(SettingsDialogs, OptionsStoreTheirBoxesAndCancelKeepsTheSettings) {
  ASSERT_EQ(Click(app(), "Form1", "btn_Options"), ClickResult::Done);
  const OptionsControls& w = app().frmOptions;
  EXPECT_FALSE(w.Check1.checked);  // XPlane False
  EXPECT_TRUE(w.Check2.checked && w.Check3.checked);
  EXPECT_EQ(w.lblXPUIPC.text, "0");
  TypeText(app(), "frmOptions", "txtXPlanePath", "/sim/X-Plane 12/Resources/plugins/");
  Click(app(), "frmOptions", "btnCancel");
  EXPECT_EQ(app().params.XPlanePath, "");

  Click(app(), "Form1", "btn_Options");
  Click(app(), "frmOptions", "Check2");
  Click(app(), "frmOptions", "Check3");
  TypeText(app(), "frmOptions", "txtXPlanePath", "/sim/X-Plane, 12/\r\nplugins/");
  Click(app(), "frmOptions", "btnOK");
  EXPECT_FALSE(app().frmOptions.loaded);
  const std::string file = Offsets();
  for (const char* line :
       {"\r\nXPlane=False\r\n", "\r\nMinUpdate=False\r\n", "\r\nUpdate=False\r\n",
        "\r\nXPlanePath=/sim/X-Plane, 12/plugins/\r\n", "\r\nXPUIPC=0\r\n"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << file;
  }
}

// The installer itself belongs to the online services; Browse ticks the box, runs it and shows
// what it left in the settings.
TEST_F(SettingsDialogs, BrowseTicksTheBoxAndShowsWhatTheInstallerLeft) {
  Click(app(), "Form1", "btn_Options");
  TypeText(app(), "frmOptions", "txtXPlanePath", "typed");
  app().params.XPlanePath = "/sim/X-Plane/Resources/plugins/";
  app().params.XPUIPC = "1.3.0";
  ASSERT_EQ(Click(app(), "frmOptions", "Command1"), ClickResult::Done);
  const OptionsControls& w = app().frmOptions;
  EXPECT_TRUE(w.Check1.checked);
  EXPECT_EQ(w.txtXPlanePath.text, app().params.XPlanePath);
  EXPECT_EQ(w.lblXPUIPC.text, app().params.XPUIPC);
  const LoggingParameters afterBrowse = app().params;
  Click(app(), "frmOptions", "btnCancel");  // what the installer stored stays
  EXPECT_EQ(FormatLoggingParameters(app().params), FormatLoggingParameters(afterBrowse));
}

TEST_F(SettingsDialogs, OnlyTheTopmostDialogTakesInputWhileTheTimersGoOn) {
  OpenParameters();
  for (const auto& [window, control] : {std::pair{"Form1", "btn_TCAS"},
                                        {"frmOptions", "btnOK"},
                                        {"frmOptions", "Check1"},
                                        {"frmOptions", "Command2"}}) {
    EXPECT_EQ(Click(app(), window, control), ClickResult::Blocked) << window << "." << control;
  }
  EXPECT_FALSE(TypeText(app(), "frmOptions", "txtXPlanePath", "x"));
  EXPECT_FALSE(CloseWindow(app(), "frmOptions"));
  EXPECT_FALSE(CloseWindow(app(), "Form1"));
  EXPECT_TRUE(IsBlocked(app(), "Form1"));
  const std::string clock = app().Form1.Label9.text;
  t.Tick();
  EXPECT_NE(app().Form1.Label9.text, clock);      // the clock blinks on
  EXPECT_TRUE(CloseWindow(app(), "frmOffsets"));  // the close box: as Cancel
  EXPECT_EQ(Click(app(), "frmOptions", "Check1"), ClickResult::Done);
  EXPECT_TRUE(CloseWindow(app(), "frmOptions"));
  EXPECT_FALSE(app().params.XPlane);
  EXPECT_EQ(Click(app(), "frmOffsets", "btnOK"), ClickResult::NotLoaded);
  EXPECT_FALSE(TypeText(app(), "frmOffsets", "txtGSInt", "1"));
  EXPECT_EQ(Click(app(), "Form1", "btn_TCAS"), ClickResult::Done);
}

}  // namespace
}  // namespace sky
