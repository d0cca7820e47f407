#include "win_ports.h"

#include <commdlg.h>

#include <vector>

#include "platform/instance_key.h"

namespace sky::win {
namespace {

constexpr int kPromptId = 10;
constexpr int kTextId = 11;

// The input box: a prompt, a one-line text box, OK and Cancel, modal over its owner.
struct InputBoxState {
  bool done = false;
  bool confirmed = false;
  std::wstring text;
};

LRESULT CALLBACK InputBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  } else if (state && message == WM_COMMAND &&
             (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    HWND box = GetDlgItem(hwnd, kTextId);
    state->text.assign(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    GetWindowTextW(box, state->text.data(), static_cast<int>(state->text.size()));
    state->text.resize(wcslen(state->text.c_str()));
    state->confirmed = LOWORD(wParam) == IDOK;
    state->done = true;
    return 0;
  } else if (state && message == WM_CLOSE) {
    state->done = true;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The answer a test run gave for the box being shown, and its timer.
std::pair<std::string, std::string> pendingAnswer;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (IsWindowVisible(hwnd) &&
      (wcscmp(name, L"#32770") == 0 || wcscmp(name, kInputBoxClass) == 0)) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Runs inside the box's own message loop: fills in the answer and presses the box's button.
void CALLBACK GiveAnswer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;  // not shown yet
  KillTimer(nullptr, timer);
  const auto& [kind, text] = pendingAnswer;
  if (kind == "text") SetDlgItemTextW(box, kTextId, Wide(text).c_str());
  const int id = kind == "yes" ? IDYES : kind == "no" ? IDNO : kind == "cancel" ? IDCANCEL : IDOK;
  HWND button = GetDlgItem(box, id);
  if (!button) button = GetDlgItem(box, IDOK);
  if (button) SendMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace

void Win32Dialogs::QueueAnswer(const std::string& kind, const std::string& text) {
  answers_.emplace_back(kind, text);
}

void Win32Dialogs::Show() {
  if (beforeShow) beforeShow();
  if (answers_.empty()) return;
  pendingAnswer = answers_.front();
  answers_.pop_front();
  SetTimer(nullptr, 0, 20, GiveAnswer);
}

DialogAnswer Win32Dialogs::MessageBox(const std::string& title, const std::string& text,
                                      MessageButtons buttons) {
  Show();
  const UINT kind = buttons == MessageButtons::Ok ? MB_OK | MB_ICONINFORMATION
                                                  : MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
  const int answer = MessageBoxW(owner ? owner() : nullptr, Wide(text).c_str(), Wide(title).c_str(),
                                 kind | MB_SETFOREGROUND);
  if (buttons == MessageButtons::Ok) return DialogAnswer::Ok;
  return answer == IDYES ? DialogAnswer::Yes : DialogAnswer::No;
}

std::optional<std::string> Win32Dialogs::InputBox(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& defaultText) {
  Show();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  static const bool registered = [instance] {
    WNDCLASSEXW box{};
    box.cbSize = sizeof box;
    box.lpfnWndProc = InputBoxProcedure;
    box.hInstance = instance;
    box.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    box.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    box.lpszClassName = kInputBoxClass;
    return RegisterClassExW(&box) != 0;
  }();
  if (!registered) return std::nullopt;
  const int dpi = ScreenDpi();
  auto px = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  HWND parent = owner ? owner() : nullptr;
  InputBoxState state;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  RECT frame{0, 0, px(380), px(128)};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT over{};
  if (!parent || !IsWindowVisible(parent) || !GetWindowRect(parent, &over)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  }
  HWND box =
      CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kInputBoxClass,
                      Wide(title).c_str(), style, over.left + (over.right - over.left - width) / 2,
                      over.top + (over.bottom - over.top - height) / 2, width, height, parent,
                      nullptr, instance, &state);
  if (!box) return std::nullopt;
  HFONT font = CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           CLEARTYPE_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg 2");
  struct Part {
    const wchar_t* cls;
    std::wstring text;
    DWORD style;
    DWORD exStyle;
    int id;
    RECT place;
  };
  const Part parts[] = {
      {L"STATIC", Wide(prompt), SS_LEFT, 0, kPromptId, {12, 10, 270, 60}},
      {L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDOK, {290, 10, 78, 26}},
      {L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL, {290, 42, 78, 26}},
      {L"EDIT",
       Wide(defaultText),
       ES_AUTOHSCROLL | WS_TABSTOP,
       WS_EX_CLIENTEDGE,
       kTextId,
       {12, 90, 356, 24}},
  };
  for (const Part& part : parts) {
    HWND control = CreateWindowExW(
        part.exStyle, part.cls, part.text.c_str(), WS_CHILD | WS_VISIBLE | part.style,
        px(part.place.left), px(part.place.top), px(part.place.right), px(part.place.bottom), box,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(part.id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  HWND text = GetDlgItem(box, kTextId);
  SendMessageW(text, EM_SETSEL, 0, -1);
  // Modal: the program's other windows take no input until the box is answered.
  std::vector<HWND> disabled;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM list) {
        auto* windows = reinterpret_cast<std::vector<HWND>*>(list);
        if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) windows->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabled));
  for (HWND window : disabled) {
    if (window != box) EnableWindow(window, FALSE);
  }
  ShowWindow(box, SW_SHOW);
  SetForegroundWindow(box);
  SetFocus(text);
  MSG message;
  while (!state.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(box, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (message.message == WM_QUIT) PostQuitMessage(static_cast<int>(message.wParam));
  for (HWND window : disabled) {
    if (window != box) EnableWindow(window, TRUE);
  }
  DestroyWindow(box);
  DeleteObject(font);
  if (!state.confirmed) return std::nullopt;
  return Narrow(state.text);
}

std::optional<std::string> Win32Dialogs::FileOpen(const std::string& title,
                                                  const std::string& filter,
                                                  const std::string& initialFolder,
                                                  const std::string& fileName) {
  Show();
  // "Any file|*.*" becomes the pairs of NUL-ended texts the dialog takes.
  std::wstring pairs = Wide(filter);
  for (wchar_t& c : pairs) {
    if (c == L'|') c = L'\0';
  }
  pairs.append(2, L'\0');
  std::vector<wchar_t> picked(32768, L'\0');
  const std::wstring name = Wide(fileName);
  name.copy(picked.data(), std::min(name.size(), picked.size() - 1));
  const std::wstring folder = Wide(initialFolder);
  const std::wstring caption = Wide(title);
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = owner ? owner() : nullptr;
  open.lpstrFilter = pairs.c_str();
  open.lpstrFile = picked.data();
  open.nMaxFile = static_cast<DWORD>(picked.size());
  open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  open.lpstrTitle = caption.c_str();
  open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&open)) return std::nullopt;
  return Narrow(picked.data());
}

bool Win32Shell::Open(const std::string& target) {
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(mainWindow ? mainWindow() : nullptr,
                                                              L"open", Wide(target).c_str(),
                                                              nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;  // values up to 32 are the shell's errors
}

void Win32Shell::CloseMainWindow() {
  if (HWND main = mainWindow ? mainWindow() : nullptr) PostMessageW(main, WM_CLOSE, 0, 0);
}

void Win32Shell::EndProgram() {
  ExitProcess(0);
}

bool Win32Windows::SetAlwaysOnTop(WindowId window, bool onTop) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) return false;
  return SetWindowPos(found->second, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
}

void Win32Windows::Redraw(WindowId window) {
  const auto found = windows_.find(window);
  if (found != windows_.end()) {
    RedrawWindow(found->second, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  }
}

// Themed controls come from version 6 of the common controls, which the program's manifest
// asks for; the set-up fails only where the library lacks its initialisation.
bool Win32Windows::InitVisualStyles() {
  HMODULE library = LoadLibraryW(L"comctl32.dll");
  if (!library) return false;
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (!init) return false;
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                               ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
  init(&classes);
  return true;
}

bool Win32Windows::HasNotificationArea() {
  return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

Win32SingleInstance::Win32SingleInstance(const std::string& dataFolder)
    : property_(L"Skytrace flightlogger " + Wide(DataFolderKey(dataFolder))) {}

Win32SingleInstance::~Win32SingleInstance() {
  if (marked_ && IsWindow(marked_)) RemovePropW(marked_, property_.c_str());
  if (mutex_) CloseHandle(mutex_);
}

bool Win32SingleInstance::Claim() {
  if (mutex_) return true;
  // Per session ("Local\"): another user's copy has its own data folder.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + property_).c_str());
  if (!mutex) return true;  // no mutex to be had: the rule cannot apply
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  mutex_ = mutex;
  return true;
}

UINT Win32SingleInstance::FrontMessage() {
  static const UINT message = RegisterWindowMessageW(L"Skytrace flightlogger: to the front");
  return message;
}

void Win32SingleInstance::MarkMainWindow(HWND hwnd) {
  if (!mutex_ || !hwnd) return;
  SetPropW(hwnd, property_.c_str(), reinterpret_cast<HANDLE>(1));
  marked_ = hwnd;
}

bool Win32SingleInstance::AskRunningCopyToFront() {
  struct Search {
    const wchar_t* property;
    HWND found;
  } search{property_.c_str(), nullptr};
  // The first copy may still be starting: its main window is marked once it exists.
  for (int attempt = 0; attempt < 50 && !search.found; ++attempt) {
    if (attempt > 0) Sleep(100);
    EnumWindows(
        [](HWND hwnd, LPARAM data) {
          auto* s = reinterpret_cast<Search*>(data);
          if (!GetPropW(hwnd, s->property)) return TRUE;
          s->found = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
  }
  if (!search.found) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(search.found, &process);
  AllowSetForegroundWindow(process);  // this copy was started by the user: it may pass that on
  return PostMessageW(search.found, FrontMessage(), 0, 0) != FALSE;
}

}  // namespace sky::win
