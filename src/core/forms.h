// The control state of each window, named after its controls. The core fills these; the Qt
// windows and the headless runner read them.
#pragma once

#include <string>
#include <vector>

#include "core/controls.h"

namespace sky {

struct Form1Controls {
  std::string caption = "Skytrace flightlogger";
  WindowState windowState = WindowState::Normal;
  bool visible = false;   // shown at the end of start-up
  bool trayIcon = false;  // the notification-area icon is present
  bool closed = false;    // the window was closed, which ends the program
  int frontRequests = 0;  // counts requests to bring the window to the front (a second copy)

  Frame fraConnection{"Connection status"};
  Button Command1{"(Re) Connect", "Click here to (re)connect."};
  Label lblConnect{"Not connected", kRed};

  Frame fraLogging{"Logging operations and status"};
  Button btn_startlog{"Start logging", "Start flight logging!", false};
  Button btn_stoplog{"Stop logging", "Stop flight logging", false};
  Button btn_resetlog{"Reset log", "Reset the flight log", false};
  Button btn_startAnimate{"Toggle animation mode",
                          "Toggle animation mode (will enable you to see an animation of your "
                          "flight, expect file growth!!!)",
                          false};
  Button btn_ToggleRealtime{"Toggle realtime logging",
                            "Toggle realtime logging (enables you to see yourself flying realtime "
                            "in Google Earth, make sure you already generated the Google Earth "
                            "link before, click button below)",
                            false};
  Button btn_setChase{"Chase", "Set the realtime view mode to chase", false};
  Button btn_setLeft{"Left", "Switch the realtime view to the left", false};
  Button btn_setRight{"Right", "Switch the realtime view to the right", false};
  Button btn_setOverview{"Overview", "Set the realtime view mode to overview", false};
  Label Label5{"No logging"};
  Label Label13{"No animation"};
  Label Label6{"No realtime"};

  Frame fraOther{"Other logging operations"};
  Button btn_InitiateRealtime{"Generate Google Earth realtime link",
                              "Click here to generate the Google Earth link for realtime logging, "
                              "Google Earth will open. Save the file to your My Places folder."};
  Button btn_Convert{"View flight in Google Earth",
                     "Convert your flight to see it in Google Earth!", false};
  Button btn_savedlogs{"Open SavedLogs folder", "Open the folder where your saved logs are saved"};
  // The review of the last converted flight; enabled while its page exists.
  Button btn_Review{"Open flight review",
                    "Open the review of the last converted flight: track, profiles, landings",
                    false};
  // Whether a convert also writes GPX, IGC, GeoJSON and CSV beside the saved copy.
  CheckBox chkExports{"Also write GPX, IGC, GeoJSON and CSV",
                      "Write the converted flight for other programs too, beside the saved copy"};

  Frame fraServices{"Services"};
  Button btn_indicator{"Open indicator", "Open the aircraft status indicator window"};
  Button btn_TCAS{"Open TCAS", "Open the TCAS window"};

  Frame fraProgram{"Program operations"};
  Button btn_Options{"Options...", "Click here to open the options dialog"};
  Button btn_Manual{"Open manual", "Open the User's manual"};
  Button btn_Website{"Open website", "Open the website of the Skytrace"};
  Button btn_ToggleOnTop{"Toggle always on top", "Toggle always on top"};

  Frame fraMessages{"Message board and current UTC time"};
  Label Label9{"12:00z"};  // the UTC clock
  Label Label7{"Skytrace flightlogger, made for simmers by simmers. Have fun using the Kestrel!"};

  Timer Timer1{1000, true};  // the sampling tick
  Timer Timer2{5000, true};  // clears the message board
};

// A control's place and size in twips (15 twips to the pixel on a 96 dpi screen), relative to
// the control that holds it.
struct Placement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};

// One traffic symbol on the TCAS display, centred on (x, y) in twips of the window: an 8 x 8
// pixel diamond (`image`) and its relative-altitude label (`labelBox`) whose lower edge lies
// on the symbol's centre line.
struct TcasSymbol {
  int level = 1;  // 1 to 4
  int x = 0;
  int y = 0;
  std::string label;  // relative altitude in hundreds of feet, "+3", "-1"
  Placement image;    // in twips of the window
  Placement labelBox;
};

struct TcasControls {
  bool loaded = false;
  std::string caption = "TCAS";
  Frame Frame3{"TCAS and TCAS operations"};
  Label Label11{"OFF"};   // mode
  Label Label10{"20NM"};  // range
  Button btn_ToggleTCAS{"Cycle TCAS modes", "Cycle TCAS modes (OFF, ABV, BLW, NRM, ALL)"};
  Button btn_zoomin{"Zoom in", "Zoom in on the TCAS"};
  Button btn_zoomout{"Zoom out", "Zoom out on the TCAS"};
  Button Command1{"Toggle always on top", "Toggle always on top for this window"};
  std::vector<TcasSymbol> targets;  // the drawn targets, in drawing order

  // Layout in twips.
  Placement Frame3Box{90, 60, 4950, 2700};       // in the window
  Placement imgTCASTable{150, 330, 2175, 2175};  // in Frame3: the 145 x 145 pixel range disc
  Placement imgTCAS{0, 0, 120, 120};             // size of a target symbol (8 x 8 pixels)
  Placement lblTCAS{0, 0, 420, 210};             // size of a relative-altitude label

  Timer tmrTCAS{1000, true};
};

struct StatusControls {
  bool loaded = false;
  std::string caption = "Aircraft indicator";
  // Blank until the first sample fills them: a window never shows figures nobody measured.
  Label Label12{"", kBlack, "Ground speed in knots (nautical miles per hour)"};
  Label Label1{"", kBlack, "Ground speed in knots (nautical miles per hour)"};
  Label Label2{"", kBlack, "True heading in degrees"};
  Label Label3{"", kBlack, "True altitude in feet"};
  Label Label4{"", kBlack, "Vertical speed in feet per minute"};
  Label Label8{"", kBlack, "Altitude above ground level in feet"};
  Label lblEvent{"", kBlack, "Ground speed in knots (nautical miles per hour)"};
  Button Command1{"Toggle always on top", "Toggle always on top for this window"};
  Timer tmrMSG{5000, true};
};

// How a box of the logging parameters dialog corrects its text when it loses the focus, after
// the text was cut to its whole part: a range keeps 0 to `max`, non-negative raises a negative
// number to 0, magnitude drops its minus sign.
enum class BoxRule { Range, NonNegative, Magnitude };

// One number box of the logging parameters dialog and its label. The reset value is the box's
// design-time text.
struct ParameterBox {
  std::string name;  // "txtHDGOffset"
  Label label;       // "Heading offset:"
  TextBox box;       // the text and the tooltip
  std::string resetValue;
  BoxRule rule = BoxRule::NonNegative;
  int max = 0;    // the upper limit of a range box
  int frame = 0;  // which of the dialog's four frames holds it
};

// The 22 boxes as designed, in their tab order.
std::vector<ParameterBox> ParameterBoxesAsDesigned();

struct OffsetsControls {
  bool loaded = false;
  std::string caption = "Logging parameters";
  Frame frames[4] = {{"Flight log"}, {"ILS events"}, {"Realtime view"}, {"Predicted paths"}};
  std::vector<ParameterBox> boxes = ParameterBoxesAsDesigned();
  Label lblNote{
      "NOTE: Modifying these parameters is NOT easy, please refer to the manual for more "
      "information!"};
  Button btnOK{"OK", ""};
  Button btnCancel{"Cancel", ""};
  Button btnReset{"Reset", ""};
  std::string focus;  // the name of the control that has the focus, "" for none
};

struct OptionsControls {
  bool loaded = false;
  std::string caption = "Options";
  Button Command2{"Logging parameters...", ""};
  Frame Frame2{"Skytrace automatic update settings"};
  CheckBox Check3{"Install updates",
                  "Check this box to automatically let the Skytrace upgrade itself when a new "
                  "version becomes available"};
  CheckBox Check2{"Download and install minor updates too",
                  "Check this box to let the Skytrace download all available updates, also minor "
                  "ones. Uncheck this box to let the Skytrace only download and install major "
                  "updates."};
  Frame Frame1{"X-Plane (XPUIPC) settings"};
  CheckBox Check1{"Enable XPUIPC downloading and installing",
                  "Check this box to enable the Skytrace flightlogger to download and install the "
                  "XPUIPC module for X-Plane. Make sure the text box above is filled with the "
                  "X-Plane plugins folder, click Browse... for more instructions"};
  TextBox txtXPlanePath{"", "The X-Plane plugins folder"};
  Button Command1{"Browse...", "Click here to locate the X-Plane plugins folder"};
  Label Label24{"Current XPUIPC version:"};
  Label lblXPUIPC{"01.03.00", kBlack, "The current XPUIPC version installed"};
  Label lblXPlaneNote;  // what this build does with the section (empty where it installs XPUIPC)
  Button btnOK{"OK", ""};
  Button btnCancel{"Cancel", ""};
};

}  // namespace sky
