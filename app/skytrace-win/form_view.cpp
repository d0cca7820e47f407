#include "form_view.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "commands/app.h"
#include "commands/main_window.h"
#include "shell/dispatch.h"
#include "win_ports.h"

namespace sky::win {
namespace {

constexpr int kFirstControlId = 100;
constexpr wchar_t kDisplayClass[] = L"SkytraceTcasDisplay";
// The control's name as a global atom, so that a test driver in another process can find it.
constexpr wchar_t kNameProperty[] = L"SkytraceControl";
int handlerDepth = 0;  // events being handled (a handler's message box runs a nested loop)

COLORREF Rgb(const Color& color) {
  return RGB(color.red, color.green, color.blue);
}

HFONT MakeFont(const wchar_t* face, int points, int dpi, bool bold) {
  return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}

// The window's dots per inch: its monitor's where the system tells (per-monitor awareness),
// else the screen's.
int DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
  if (getDpi && hwnd) {
    if (const UINT dpi = getDpi(hwnd)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

DWORD StyleOf(const FormDesign& design) {
  if (design.dialog) return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  return design.id == WindowId::Form1 ? style | WS_MINIMIZEBOX : style;
}

DWORD ExStyleOf(const FormDesign& design) {
  return design.dialog ? WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT : WS_EX_CONTROLPARENT;
}

}  // namespace

WidgetState Of(const Button& button) {
  return {button.caption, kBlack, button.toolTip, button.enabled, false};
}
WidgetState Of(const Label& label) {
  return {label.text, label.color, label.toolTip, true, false};
}
WidgetState Of(const CheckBox& box) {
  return {box.caption, kBlack, box.toolTip, true, box.checked};
}
WidgetState Of(const TextBox& box) {
  return {box.text, kBlack, box.toolTip, true, false};
}
WidgetState Of(const Frame& frame) {
  return {frame.caption, kBlack, "", true, false};
}

int Pixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

bool FormView::RegisterClasses(HINSTANCE instance) {
  const wchar_t* classes[] = {L"SkytraceForm1", L"SkytraceTCAS", L"SkytraceStatus",
                              L"SkytraceOptions", L"SkytraceOffsets"};
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.lpfnWndProc = Procedure;
  window.hInstance = instance;
  window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window.hIcon = LoadIconW(instance, L"SKYTRACE");
  if (!window.hIcon) window.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  for (const wchar_t* name : classes) {
    window.lpszClassName = name;
    if (!RegisterClassExW(&window)) return false;
  }
  WNDCLASSEXW display = window;
  display.lpfnWndProc = DisplayProcedure;
  display.hIcon = nullptr;
  display.hbrBackground = nullptr;
  display.lpszClassName = kDisplayClass;
  return RegisterClassExW(&display) != 0;
}

FormView::FormView(App& app, FormDesign design, std::function<void()> afterEvent, HWND owner)
    : app_(app), design_(std::move(design)), afterEvent_(std::move(afterEvent)) {
  dpi_ = DpiOf(owner);
  RECT frame{0, 0, Px(design_.widthTwips), Px(design_.heightTwips)};
  AdjustWindowRectEx(&frame, StyleOf(design_), FALSE, ExStyleOf(design_));
  hwnd_ =
      CreateWindowExW(ExStyleOf(design_), design_.className, Wide(design_.caption(app_)).c_str(),
                      StyleOf(design_), CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                      frame.bottom - frame.top, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;
  const int dpi = DpiOf(hwnd_);
  if (dpi != dpi_) {  // on a monitor of another scale than the owner's
    dpi_ = dpi;
    RECT scaled{0, 0, Px(design_.widthTwips), Px(design_.heightTwips)};
    AdjustWindowRectEx(&scaled, StyleOf(design_), FALSE, ExStyleOf(design_));
    SetWindowPos(hwnd_, nullptr, 0, 0, scaled.right - scaled.left, scaled.bottom - scaled.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (owner && design_.dialog) {  // a dialog opens centred over its owner
    RECT over{}, box{};
    GetWindowRect(owner, &over);
    GetWindowRect(hwnd_, &box);
    // Kept on the screen: a dialog larger than its owner does not start above or left of it.
    const int left =
        std::max(0L, over.left + (over.right - over.left - (box.right - box.left)) / 2);
    const int top = std::max(0L, over.top + (over.bottom - over.top - (box.bottom - box.top)) / 2);
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeFonts();
  CreateControls();
  Layout();
  Render();
}

FormView::~FormView() {
  if (trayShown_) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  for (HWND control : controls_) {
    if (const auto atom = reinterpret_cast<uintptr_t>(RemovePropW(control, kNameProperty))) {
      GlobalDeleteAtom(static_cast<ATOM>(atom));
    }
  }
  if (toolTips_) DestroyWindow(toolTips_);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  for (HGDIOBJ object :
       {static_cast<HGDIOBJ>(plain_), static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(clock_),
        static_cast<HGDIOBJ>(tile_), static_cast<HGDIOBJ>(event_), static_cast<HGDIOBJ>(tileBrush_),
        static_cast<HGDIOBJ>(alarmBrush_)}) {
    if (object) DeleteObject(object);
  }
}

void FormView::MakeFonts() {
  for (HFONT* font : {&plain_, &bold_, &clock_, &tile_, &event_}) {
    if (*font) DeleteObject(*font);
  }
  plain_ = MakeFont(L"MS Shell Dlg 2", 9, dpi_, false);
  bold_ = MakeFont(L"MS Shell Dlg 2", 9, dpi_, true);
  clock_ = MakeFont(L"Lucida Console", 14, dpi_, true);
  tile_ = MakeFont(L"Calibri", 16, dpi_, true);
  event_ = MakeFont(L"Calibri", 14, dpi_, true);
  if (!tileBrush_) tileBrush_ = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
  if (!alarmBrush_) alarmBrush_ = CreateSolidBrush(RGB(0xFD, 0xEC, 0xEC));
}

HFONT FormView::FontOf(Look look) const {
  switch (look) {
    case Look::Bold:
    case Look::Readout:
      return bold_;
    case Look::Clock:
      return clock_;
    case Look::Tile:
      return tile_;
    case Look::Event:
      return event_;
    default:
      return plain_;
  }
}

void FormView::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  // The tips belong to no window: under Wine, a topmost tip owned by the window and lying just
  // above it keeps the window itself from joining the topmost band (always on top).
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, instance, nullptr);
  SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, Px(6000));
  for (size_t i = 0; i < design_.widgets.size(); ++i) {
    const Widget& w = design_.widgets[i];
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (w.kind) {
      case Kind::Frame:
        cls = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
      case Kind::Button:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;
        break;
      case Kind::Check:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_CHECKBOX | BS_NOTIFY;
        break;
      case Kind::Edit:
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | (w.look == Look::Number ? ES_RIGHT : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Display:
        cls = kDisplayClass;
        break;
      case Kind::Label:
        style |= SS_NOTIFY;
        if (w.look == Look::Bold || w.look == Look::Readout) style |= SS_CENTER;
        if (w.look == Look::Tile || w.look == Look::Event || w.look == Look::Clock) {
          style |= SS_CENTERIMAGE | SS_LEFTNOWORDWRAP;
        }
        if (w.look == Look::Tile) style = (style & ~SS_LEFTNOWORDWRAP) | SS_CENTER;
        if (w.look == Look::Tile) exStyle = WS_EX_STATICEDGE;
        break;
    }
    HWND control = CreateWindowExW(
        exStyle, cls, L"", style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
    if (w.kind == Kind::Display)
      SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!w.name.empty()) {
      const ATOM atom = GlobalAddAtomW(Wide(w.name).c_str());
      SetPropW(control, kNameProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(atom)));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    controls_.push_back(control);
  }
  shown_.assign(design_.widgets.size(), WidgetState{"\x01", kBlack, "", true, false});
}

HWND FormView::Control(const std::string& name) const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (design_.widgets[i].name == name) return controls_[i];
  }
  return nullptr;
}

void FormView::Layout() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    const Placement& p = design_.widgets[i].place;
    SetWindowPos(controls_[i], nullptr, Px(p.left), Px(p.top), Px(p.width), Px(p.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[i], WM_SETFONT,
                 reinterpret_cast<WPARAM>(FontOf(design_.widgets[i].look)), TRUE);
  }
}

void FormView::Render() {
  if (!hwnd_) return;
  rendering_ = true;
  const std::wstring caption = Wide(design_.caption(app_));
  wchar_t current[256] = {};
  GetWindowTextW(hwnd_, current, 256);
  if (caption != current) SetWindowTextW(hwnd_, caption.c_str());
  for (size_t i = 0; i < controls_.size(); ++i) {
    const Widget& w = design_.widgets[i];
    HWND control = controls_[i];
    if (w.kind == Kind::Display) {
      InvalidateRect(control, nullptr, FALSE);
      continue;
    }
    const WidgetState now = w.state(app_);
    WidgetState& was = shown_[i];
    if (now.text != was.text) {
      const std::wstring text = Wide(now.text);
      if (w.kind == Kind::Edit) {
        // Leaves the text, and so the caret, alone while it already matches.
        std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        GetWindowTextW(control, typed.data(), static_cast<int>(typed.size()));
        typed.resize(wcslen(typed.c_str()));
        if (typed != text) SetWindowTextW(control, text.c_str());
      } else {
        SetWindowTextW(control, text.c_str());
      }
    }
    if ((IsWindowEnabled(control) != FALSE) != now.enabled) EnableWindow(control, now.enabled);
    if (w.kind == Kind::Check &&
        (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) != now.checked) {
      SendMessageW(control, BM_SETCHECK, now.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (!(now.color == was.color)) InvalidateRect(control, nullptr, TRUE);
    was = now;
  }
  rendering_ = false;
}

void FormView::RenderMainWindowState(HICON icon) {
  const Form1Controls& f = app_.Form1;
  rendering_ = true;
  if (f.trayIcon != trayShown_) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    if (f.trayIcon) {
      data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
      data.uCallbackMessage = kTrayMessage;
      data.hIcon = icon;
      const std::wstring tip = Wide(app_.g.AppTitle.empty() ? f.caption : app_.g.AppTitle);
      wcsncpy(data.szTip, tip.c_str(), std::size(data.szTip) - 1);
      trayShown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    } else {
      Shell_NotifyIconW(NIM_DELETE, &data);
      trayShown_ = false;
    }
  }
  const bool visible = IsWindowVisible(hwnd_) != FALSE;
  if (!f.visible) {
    if (visible) ShowWindow(hwnd_, SW_HIDE);
  } else if (f.windowState == WindowState::Minimized) {
    if (!IsIconic(hwnd_) || !visible) ShowWindow(hwnd_, SW_SHOWMINIMIZED);
  } else if (f.windowState == WindowState::Maximized) {
    if (!IsZoomed(hwnd_) || !visible) ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  } else if (IsIconic(hwnd_) || IsZoomed(hwnd_) || !visible) {
    ShowWindow(hwnd_, visible ? SW_RESTORE : SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
  }
  if (f.frontRequests != frontRequests_) {  // another copy asked for this window
    frontRequests_ = f.frontRequests;
    if (f.visible && f.windowState != WindowState::Minimized) {
      BringWindowToTop(hwnd_);
      SetForegroundWindow(hwnd_);
    }
  }
  rendering_ = false;
}

bool FormView::Busy() {
  return handlerDepth > 0;
}

// Runs an event through the core and then lets the host render. The view may be gone once the
// host has rendered (a window the core closed), so nothing of it is touched after that.
void FormView::Forward(const std::function<void()>& event) {
  if (handlerDepth > 0) return;  // a handler's box is up: its owner takes no other input
  const std::function<void()> after = afterEvent_;
  ++handlerDepth;
  event();
  --handlerDepth;
  after();
}

LRESULT CALLBACK FormView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    reinterpret_cast<FormView*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* view = reinterpret_cast<FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
  return view->Handle(message, wParam, lParam);
}

LRESULT FormView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const std::string& window = design_.window;
  if (message == Win32SingleInstance::FrontMessage() && design_.id == WindowId::Form1) {
    message = kFrontMessage;  // another copy asks this one to the front
  }
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDCANCEL && design_.dialog) {
        Forward([this] { CloseWindow(app_, design_.window); });
        return 0;
      }
      if (id == IDOK && design_.dialog) {
        Forward([this] { Click(app_, design_.window, "btnOK"); });
        return 0;
      }
      const size_t index = static_cast<size_t>(id - kFirstControlId);
      if (id < kFirstControlId || index >= design_.widgets.size() || rendering_) break;
      const Widget& w = design_.widgets[index];
      if ((w.kind == Kind::Button || w.kind == Kind::Check) && code == BN_CLICKED) {
        Forward([this, &window, &w] { Click(app_, window, w.name); });
        return 0;
      }
      if (w.kind == Kind::Edit && code == EN_CHANGE) {
        HWND control = controls_[index];
        std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        GetWindowTextW(control, typed.data(), static_cast<int>(typed.size()));
        typed.resize(wcslen(typed.c_str()));
        const std::string text = Narrow(typed);
        shown_[index].text = text;  // the box shows what was typed
        Forward([this, &window, &w, text] { TypeText(app_, window, w.name, text); });
        return 0;
      }
      if ((code == EN_SETFOCUS && w.kind == Kind::Edit) ||
          (code == BN_SETFOCUS && w.kind == Kind::Button && design_.dialog)) {
        Forward([this, &window, &w] { MoveFocus(app_, window, w.name); });
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        for (size_t i = 0; i < controls_.size(); ++i) {
          if (reinterpret_cast<UINT_PTR>(controls_[i]) != header->idFrom) continue;
          tipText_ = Wide(shown_[i].toolTip);
          info->lpszText = tipText_.data();
        }
        return 0;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] != reinterpret_cast<HWND>(lParam)) continue;
        const Widget& w = design_.widgets[i];
        if (w.kind != Kind::Label) break;
        SetBkMode(dc, TRANSPARENT);
        const Color color = w.look == Look::Event ? Color{0x14, 0x46, 0x7A} : shown_[i].color;
        SetTextColor(dc, Rgb(color));
        if (w.look == Look::Tile)
          return reinterpret_cast<LRESULT>(shown_[i].color == kRed ? alarmBrush_ : tileBrush_);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_CLOSE:
      Forward([this] { CloseWindow(app_, design_.window); });
      return 0;
    case WM_SIZE: {
      if (design_.id != WindowId::Form1 || rendering_) break;
      const WindowState state = wParam == SIZE_MINIMIZED   ? WindowState::Minimized
                                : wParam == SIZE_MAXIMIZED ? WindowState::Maximized
                                                           : WindowState::Normal;
      if (wParam > SIZE_MAXIMIZED || state == app_.Form1.windowState) break;
      // The handler may ask a question; it runs once the window system is done with this change.
      PostMessageW(hwnd_, kResizedMessage, static_cast<WPARAM>(state), 0);
      break;
    }
    case kResizedMessage:
    case kTrayMessage:
    case kFrontMessage:
      // Arrived while a handler's box is up: handled once the box is answered.
      if (Busy()) {
        Sleep(10);
        PostMessageW(hwnd_, message, wParam, lParam);
        return 0;
      }
      if (message == kTrayMessage) {
        Forward([this, lParam] { TrayIconMouse(app_, static_cast<int>(LOWORD(lParam))); });
        return 0;
      }
      if (message == kFrontMessage) {
        Forward([this] { ComeToFront(app_); });
        return 0;
      }
      Forward([this, wParam] { ResizeMainWindow(app_, static_cast<WindowState>(wParam)); });
      return 0;
    case 0x02E0: {  // WM_DPICHANGED: the window moved to a monitor of another scale
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      MakeFonts();
      Layout();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// --- the TCAS display -------------------------------------------------------------------------

LRESULT CALLBACK FormView::DisplayProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT || !view) return DefWindowProcW(hwnd, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT area;
  GetClientRect(hwnd, &area);
  // Drawn off screen, then copied, so that the once-a-second refresh does not flicker.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right, area.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  view->PaintDisplay(memory, area);
  BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(hwnd, &paint);
  return 0;
}

// The range disc with bearing ticks and the dashed ring at half the range, the own aircraft at
// the centre, nose up, and the core's traffic symbols with their relative altitudes.
void FormView::PaintDisplay(HDC dc, const RECT& area) {
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  const double cx = area.right / 2.0;
  const double cy = area.bottom / 2.0;
  const double radius = area.right / 2.0 - 1;
  const double scale = dpi_ / 96.0;

  HPEN rim = CreatePen(PS_SOLID, 1, RGB(0x8E, 0x96, 0x9E));
  HBRUSH fill = CreateSolidBrush(RGB(0xDD, 0xE1, 0xE5));
  HGDIOBJ oldPen = SelectObject(dc, rim);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  Ellipse(dc, area.left, area.top, area.right, area.bottom);
  HPEN tick = CreatePen(PS_SOLID, std::max(1, static_cast<int>(scale)), RGB(0x6B, 0x73, 0x7B));
  SelectObject(dc, tick);
  for (int degrees = 0; degrees < 360; degrees += 30) {
    const double a = degrees * 3.14159265358979 / 180;
    const double inner = radius - (degrees == 0 ? 9 : 5) * scale;
    MoveToEx(dc, static_cast<int>(cx + std::sin(a) * inner),
             static_cast<int>(cy - std::cos(a) * inner), nullptr);
    LineTo(dc, static_cast<int>(cx + std::sin(a) * radius),
           static_cast<int>(cy - std::cos(a) * radius));
  }
  HPEN ring = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(dc, ring);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int half = static_cast<int>(radius / 2);
  Ellipse(dc, static_cast<int>(cx) - half, static_cast<int>(cy) - half, static_cast<int>(cx) + half,
          static_cast<int>(cy) + half);

  static const double kShape[][2] = {
      {0, -8},     {1, -6.5},   {1.1, -2.6}, {7.6, 1},  {7.6, 2.4},   {1.1, 0.6},
      {0.9, 4.8},  {3.6, 6.6},  {3.6, 7.7},  {0, 6.9},  {-3.6, 7.7},  {-3.6, 6.6},
      {-0.9, 4.8}, {-1.1, 0.6}, {-7.6, 2.4}, {-7.6, 1}, {-1.1, -2.6}, {-1, -6.5},
  };
  POINT aircraft[std::size(kShape)];
  for (size_t i = 0; i < std::size(kShape); ++i) {
    aircraft[i] = {static_cast<LONG>(cx + kShape[i][0] * scale),
                   static_cast<LONG>(cy + kShape[i][1] * scale)};
  }
  HPEN outline = CreatePen(PS_SOLID, 1, RGB(0x0E, 0x3C, 0x8C));
  HBRUSH body = CreateSolidBrush(RGB(0x1B, 0x5E, 0xC8));
  SelectObject(dc, outline);
  SelectObject(dc, body);
  Polygon(dc, aircraft, static_cast<int>(std::size(aircraft)));

  // The symbols are placed in twips of the window; this display starts at the disc's corner.
  Placement disc;
  for (const Widget& w : design_.widgets) {
    if (w.kind == Kind::Display) disc = w.place;
  }
  HFONT label = MakeFont(L"Arial", 7, dpi_, true);
  HGDIOBJ oldFont = SelectObject(dc, label);
  SetBkMode(dc, TRANSPARENT);
  for (const TcasSymbol& target : app_.frmTCAS.targets) {
    const int x = Px(target.image.left + target.image.width / 2 - disc.left);
    const int y = Px(target.image.top + target.image.height / 2 - disc.top);
    const int r = std::max(2, Px(target.image.width) / 2);
    const POINT diamond[] = {{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}};
    COLORREF line = RGB(0, 0, 0), inside = RGB(0xFF, 0xFF, 0xFF), text = RGB(0x20, 0x20, 0x20);
    bool filled = true;
    switch (target.level) {
      case 4:
        line = RGB(0x7A, 0, 0), inside = RGB(0xE5, 0x13, 0x13), text = RGB(0xC4, 0x0A, 0x0A);
        break;
      case 3:
        line = RGB(0x7A, 0x62, 0), inside = RGB(0xFF, 0xD2, 0), text = RGB(0x8A, 0x62, 0);
        break;
      case 2:
        line = RGB(0x30, 0x30, 0x30);
        break;
      default:
        filled = false;
        break;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HBRUSH brush = filled ? CreateSolidBrush(inside) : nullptr;
    SelectObject(dc, pen);
    SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    Polygon(dc, diamond, 4);
    SelectObject(dc, outline);
    DeleteObject(pen);
    if (brush) {
      SelectObject(dc, body);
      DeleteObject(brush);
    }
    SetTextColor(dc, text);
    RECT box{Px(target.labelBox.left - disc.left), Px(target.labelBox.top - disc.top),
             Px(target.labelBox.left + target.labelBox.width - disc.left),
             Px(target.labelBox.top + target.labelBox.height - disc.top)};
    const std::wstring wide = Wide(target.label);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box,
              DT_CENTER | DT_TOP | DT_NOCLIP);
  }
  SelectObject(dc, oldFont);
  DeleteObject(label);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  for (HGDIOBJ object :
       {static_cast<HGDIOBJ>(rim), static_cast<HGDIOBJ>(fill), static_cast<HGDIOBJ>(tick),
        static_cast<HGDIOBJ>(ring), static_cast<HGDIOBJ>(outline), static_cast<HGDIOBJ>(body)}) {
    DeleteObject(object);
  }
}

}  // namespace sky::win
