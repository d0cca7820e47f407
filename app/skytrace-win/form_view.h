// One top-level window of the Windows program: native controls made from a table of the core's
// control state and placements in twips, rendered from the core after every event, with clicks,
// typing, focus and closing forwarded to the core's dispatch. The five windows differ only in
// their tables, their window class and a few looks; the TCAS display paints the core's symbols.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/forms.h"
#include "win_api.h"

namespace sky {
struct App;
}

namespace sky::win {

// What a control shows, read from the core's control state.
struct WidgetState {
  std::string text;
  Color color = kBlack;
  std::string toolTip;
  bool enabled = true;
  bool checked = false;
};
WidgetState Of(const Button& button);
WidgetState Of(const Label& label);
WidgetState Of(const CheckBox& box);
WidgetState Of(const TextBox& box);
WidgetState Of(const Frame& frame);

enum class Kind { Frame, Button, Label, Check, Edit, Display };
// How a control looks beyond its kind: bold status labels, the clock's fixed-pitch face, the
// status window's value tiles and event line, right-aligned number boxes.
enum class Look { Plain, Bold, Centred, Clock, Tile, Event, Number, Readout };

struct Widget {
  std::string name;  // the core's control name; "" for decoration the core does not name
  Kind kind = Kind::Label;
  Placement place;  // twips in the window's client area
  std::function<WidgetState(const App&)> state;
  Look look = Look::Plain;
};

// A window's design: its class, its size in twips and its controls in tab order.
struct FormDesign {
  WindowId id;
  const wchar_t* className;
  std::string window;  // the core's window name ("Form1")
  int widthTwips = 0;
  int heightTwips = 0;
  std::function<std::string(const App&)> caption;
  std::vector<Widget> widgets;
  bool dialog = false;  // Esc and Enter act as in a dialog box
};

FormDesign Form1Design();
FormDesign TcasDesign();
FormDesign StatusDesign();
FormDesign OptionsDesign();
FormDesign OffsetsDesign();

// Twips to pixels at a screen's dots per inch (1440 twips to the inch).
int Pixels(int twips, int dpi);

class FormView {
 public:
  // `afterEvent` runs after every event the core handled. `owner` keeps a dialog above its
  // owner window.
  FormView(App& app, FormDesign design, std::function<void()> afterEvent, HWND owner = nullptr);
  ~FormView();
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  HWND Handle() const { return hwnd_; }
  // The control of that name; null when the window has none.
  HWND Control(const std::string& name) const;
  const FormDesign& Design() const { return design_; }
  void Render();
  // The main window's tray icon and window state, as the core says.
  void RenderMainWindowState(HICON icon);

  static bool RegisterClasses(HINSTANCE instance);
  // Whether an event is being handled (a handler's box runs a nested message loop); the host
  // holds the timers back meanwhile.
  static bool Busy();
  static constexpr UINT kTrayMessage = WM_APP + 1;     // the tray icon's mouse messages
  static constexpr UINT kResizedMessage = WM_APP + 2;  // a state change, handled after it
  static constexpr UINT kFrontMessage = WM_APP + 3;    // another copy asks for the front

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void Layout();
  void MakeFonts();
  void Forward(const std::function<void()>& event);
  HFONT FontOf(Look look) const;
  int Px(int twips) const { return Pixels(twips, dpi_); }
  void PaintDisplay(HDC dc, const RECT& area);
  static LRESULT CALLBACK DisplayProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  App& app_;
  FormDesign design_;
  std::function<void()> afterEvent_;
  HWND hwnd_ = nullptr;
  HWND toolTips_ = nullptr;
  std::vector<HWND> controls_;      // one per widget
  std::vector<WidgetState> shown_;  // what each control shows now
  int dpi_ = 96;
  HFONT plain_ = nullptr, bold_ = nullptr, clock_ = nullptr, tile_ = nullptr, event_ = nullptr;
  HBRUSH tileBrush_ = nullptr, alarmBrush_ = nullptr;
  bool rendering_ = false;  // control changes made by Render are not the user's
  bool trayShown_ = false;
  int frontRequests_ = 0;  // the core's requests to come to the front, as far as handled
  std::wstring tipText_;   // the tooltip being shown
};

}  // namespace sky::win
