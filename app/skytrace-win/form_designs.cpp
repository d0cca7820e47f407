// The five windows' designs: which of the core's controls each window shows, and where. Places
// are given in pixels of a 96 dpi screen and kept in twips (15 to the pixel), like the core's
// own placements; a control in a frame is placed relative to the frame.
#include "commands/app.h"
#include "form_view.h"

namespace sky::win {
namespace {

constexpr int kTwipsPerPixel = 15;

Placement At(int x, int y, int width, int height) {
  return {x * kTwipsPerPixel, y * kTwipsPerPixel, width * kTwipsPerPixel, height * kTwipsPerPixel};
}

Placement In(const Placement& frame, int x, int y, int width, int height) {
  Placement inner = At(x, y, width, height);
  inner.left += frame.left;
  inner.top += frame.top;
  return inner;
}

#define FORM1(c) #c, [](const App& a) { return Of(a.Form1.c); }
#define TCAS(c) #c, [](const App& a) { return Of(a.frmTCAS.c); }
#define STATUS(c) #c, [](const App& a) { return Of(a.frmACStatus.c); }
#define OPTIONS(c) #c, [](const App& a) { return Of(a.frmOptions.c); }
#define OFFSETS(c) #c, [](const App& a) { return Of(a.frmOffsets.c); }

Widget Make(Kind kind, Placement place, std::string name,
            std::function<WidgetState(const App&)> state, Look look = Look::Plain) {
  return Widget{std::move(name), kind, place, std::move(state), look};
}

}  // namespace

FormDesign Form1Design() {
  const Placement connection = At(8, 6, 308, 62);
  const Placement services = At(324, 6, 308, 62);
  const Placement logging = At(8, 74, 624, 132);
  const Placement other = At(8, 212, 308, 190);
  const Placement program = At(324, 212, 308, 190);
  const Placement messages = At(8, 408, 624, 70);
  // The buttons of a frame sit in rows 28 pixels high, 34 pixels apart; a control the core adds
  // takes one more line here.
  FormDesign d{WindowId::Form1,
               L"SkytraceForm1",
               "Form1",
               640 * kTwipsPerPixel,
               486 * kTwipsPerPixel,
               [](const App& a) { return a.Form1.caption; },
               {}};
  d.widgets = {
      Make(Kind::Frame, connection, FORM1(fraConnection)),
      Make(Kind::Button, In(connection, 12, 22, 136, 28), FORM1(Command1)),
      Make(Kind::Label, In(connection, 154, 28, 142, 20), FORM1(lblConnect), Look::Bold),
      Make(Kind::Frame, services, FORM1(fraServices)),
      Make(Kind::Button, In(services, 12, 22, 138, 28), FORM1(btn_indicator)),
      Make(Kind::Button, In(services, 158, 22, 138, 28), FORM1(btn_TCAS)),
      Make(Kind::Frame, logging, FORM1(fraLogging)),
      Make(Kind::Button, In(logging, 12, 22, 146, 28), FORM1(btn_startlog)),
      Make(Kind::Button, In(logging, 164, 22, 146, 28), FORM1(btn_stoplog)),
      Make(Kind::Button, In(logging, 316, 22, 146, 28), FORM1(btn_resetlog)),
      Make(Kind::Button, In(logging, 468, 22, 146, 28), FORM1(btn_startAnimate)),
      Make(Kind::Button, In(logging, 12, 56, 298, 28), FORM1(btn_ToggleRealtime)),
      Make(Kind::Button, In(logging, 316, 56, 70, 28), FORM1(btn_setChase)),
      Make(Kind::Button, In(logging, 392, 56, 70, 28), FORM1(btn_setLeft)),
      Make(Kind::Button, In(logging, 468, 56, 70, 28), FORM1(btn_setRight)),
      Make(Kind::Button, In(logging, 544, 56, 70, 28), FORM1(btn_setOverview)),
      Make(Kind::Label, In(logging, 12, 98, 196, 20), FORM1(Label5), Look::Bold),
      Make(Kind::Label, In(logging, 215, 98, 196, 20), FORM1(Label13), Look::Bold),
      Make(Kind::Label, In(logging, 418, 98, 196, 20), FORM1(Label6), Look::Bold),
      Make(Kind::Frame, other, FORM1(fraOther)),
      Make(Kind::Button, In(other, 12, 22, 284, 28), FORM1(btn_InitiateRealtime)),
      Make(Kind::Button, In(other, 12, 56, 284, 28), FORM1(btn_Convert)),
      Make(Kind::Button, In(other, 12, 90, 284, 28), FORM1(btn_savedlogs)),
      Make(Kind::Button, In(other, 12, 124, 284, 28), FORM1(btn_Review)),
      Make(Kind::Check, In(other, 14, 158, 282, 22), FORM1(chkExports)),
      Make(Kind::Frame, program, FORM1(fraProgram)),
      Make(Kind::Button, In(program, 12, 22, 138, 28), FORM1(btn_Options)),
      Make(Kind::Button, In(program, 158, 22, 138, 28), FORM1(btn_Manual)),
      Make(Kind::Button, In(program, 12, 56, 138, 28), FORM1(btn_Website)),
      Make(Kind::Button, In(program, 158, 56, 138, 28), FORM1(btn_ToggleOnTop)),
      Make(Kind::Frame, messages, FORM1(fraMessages)),
      Make(Kind::Label, In(messages, 12, 24, 92, 30), FORM1(Label9), Look::Clock),
      Make(Kind::Label, In(messages, 110, 20, 502, 42), FORM1(Label7)),
  };
  return d;
}

FormDesign TcasDesign() {
  const TcasControls designed;
  const Placement frame = designed.Frame3Box;
  Placement disc = designed.imgTCASTable;
  disc.left += frame.left;
  disc.top += frame.top;
  // The right-hand column beside the range disc: the mode and range readout, then the buttons.
  const int column = (disc.left + disc.width) / kTwipsPerPixel + 14;
  const int width = (frame.left + frame.width) / kTwipsPerPixel - 10 - column;
  const int top = disc.top / kTwipsPerPixel;
  FormDesign d{WindowId::frmTCAS,
               L"SkytraceTCAS",
               "frmTCAS",
               frame.left * 2 + frame.width,
               frame.top * 2 + frame.height,
               [](const App& a) { return a.frmTCAS.caption; },
               {}};
  d.widgets = {
      Make(Kind::Frame, frame, TCAS(Frame3)),
      Make(Kind::Display, disc, "imgTCASTable", {}),
      Make(Kind::Label, At(column, top + 2, width / 2, 22), TCAS(Label11), Look::Readout),
      Make(Kind::Label, At(column + width / 2, top + 2, width / 2, 22), TCAS(Label10),
           Look::Readout),
      Make(Kind::Button, At(column, top + 30, width, 26), TCAS(btn_ToggleTCAS)),
      Make(Kind::Button, At(column, top + 60, width, 26), TCAS(btn_zoomin)),
      Make(Kind::Button, At(column, top + 90, width, 26), TCAS(btn_zoomout)),
      Make(Kind::Button, At(column, top + 120, width, 26), TCAS(Command1)),
  };
  return d;
}

FormDesign StatusDesign() {
  FormDesign d{WindowId::frmACStatus,
               L"SkytraceStatus",
               "frmACStatus",
               420 * kTwipsPerPixel,
               240 * kTwipsPerPixel,
               [](const App& a) { return a.frmACStatus.caption; },
               {}};
  // Six value tiles in reading order: speeds, heading and altitude, vertical speed and height.
  d.widgets = {
      Make(Kind::Label, At(10, 10, 195, 50), STATUS(Label12), Look::Tile),
      Make(Kind::Label, At(215, 10, 195, 50), STATUS(Label1), Look::Tile),
      Make(Kind::Label, At(10, 68, 195, 50), STATUS(Label2), Look::Tile),
      Make(Kind::Label, At(215, 68, 195, 50), STATUS(Label3), Look::Tile),
      Make(Kind::Label, At(10, 126, 195, 50), STATUS(Label4), Look::Tile),
      Make(Kind::Label, At(215, 126, 195, 50), STATUS(Label8), Look::Tile),
      Make(Kind::Label, At(10, 190, 250, 34), STATUS(lblEvent), Look::Event),
      Make(Kind::Button, At(266, 192, 144, 30), STATUS(Command1)),
  };
  return d;
}

FormDesign OptionsDesign() {
  const Placement updates = At(10, 46, 420, 74);
  const Placement xplane = At(10, 128, 420, 106);
  FormDesign d{WindowId::frmOptions,
               L"SkytraceOptions",
               "frmOptions",
               440 * kTwipsPerPixel,
               282 * kTwipsPerPixel,
               [](const App& a) { return a.frmOptions.caption; },
               {},
               true};
  d.widgets = {
      Make(Kind::Button, At(10, 10, 150, 28), OPTIONS(Command2)),
      Make(Kind::Frame, updates, OPTIONS(Frame2)),
      Make(Kind::Check, In(updates, 12, 20, 396, 22), OPTIONS(Check3)),
      Make(Kind::Check, In(updates, 12, 44, 396, 22), OPTIONS(Check2)),
      Make(Kind::Frame, xplane, OPTIONS(Frame1)),
      Make(Kind::Edit, In(xplane, 12, 22, 300, 24), OPTIONS(txtXPlanePath)),
      Make(Kind::Button, In(xplane, 318, 20, 90, 28), OPTIONS(Command1)),
      Make(Kind::Check, In(xplane, 12, 52, 396, 22), OPTIONS(Check1)),
      Make(Kind::Label, In(xplane, 12, 80, 160, 18), OPTIONS(Label24)),
      Make(Kind::Label, In(xplane, 176, 80, 200, 18), OPTIONS(lblXPUIPC), Look::Bold),
      Make(Kind::Button, At(250, 244, 86, 28), OPTIONS(btnOK)),
      Make(Kind::Button, At(344, 244, 86, 28), OPTIONS(btnCancel)),
  };
  return d;
}

FormDesign OffsetsDesign() {
  // Four frames, two to a column, each a list of label and box rows.
  const Placement frames[4] = {At(10, 10, 300, 226), At(10, 244, 300, 170), At(318, 10, 300, 254),
                               At(318, 272, 300, 86)};
  FormDesign d{WindowId::frmOffsets,
               L"SkytraceOffsets",
               "frmOffsets",
               628 * kTwipsPerPixel,
               502 * kTwipsPerPixel,
               [](const App& a) { return a.frmOffsets.caption; },
               {},
               true};
  int rows[4] = {};
  const OffsetsControls designed;
  for (int f = 0; f < 4; ++f) {
    d.widgets.push_back(
        Make(Kind::Frame, frames[f], "", [f](const App& a) { return Of(a.frmOffsets.frames[f]); }));
  }
  for (size_t i = 0; i < designed.boxes.size(); ++i) {
    const ParameterBox& box = designed.boxes[i];
    const Placement& frame = frames[box.frame];
    const int y = 22 + 28 * rows[box.frame]++;
    d.widgets.push_back(Make(Kind::Label, In(frame, 12, y + 3, 190, 20), "",
                             [i](const App& a) { return Of(a.frmOffsets.boxes[i].label); }));
    d.widgets.push_back(Make(
        Kind::Edit, In(frame, 206, y, 82, 24), box.name,
        [i](const App& a) { return Of(a.frmOffsets.boxes[i].box); }, Look::Number));
  }
  d.widgets.push_back(Make(Kind::Label, At(10, 422, 608, 34), OFFSETS(lblNote), Look::Bold));
  d.widgets.push_back(Make(Kind::Button, At(10, 464, 86, 28), OFFSETS(btnReset)));
  d.widgets.push_back(Make(Kind::Button, At(438, 464, 86, 28), OFFSETS(btnOK)));
  d.widgets.push_back(Make(Kind::Button, At(532, 464, 86, 28), OFFSETS(btnCancel)));
  return d;
}

}  // namespace sky::win
