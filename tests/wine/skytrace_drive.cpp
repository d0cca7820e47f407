// skytrace-drive: drives the Windows program from another process through real window messages,
// as a user's mouse and keyboard would reach it, and takes pictures of its windows. It reads a
// script, one step a line, and stops at the first step that fails (exit status 1):
//
//   wait CLASS                    a window of that class shows (within 20 s)
//   gone CLASS                    no window of that class is left (within 20 s)
//   click CLASS CONTROL           presses the control (BM_CLICK; a text box gets a mouse click);
//                                 returns once it was handled
//   type CLASS CONTROL TEXT       sets a text box's text (WM_SETTEXT), as typing would
//   expect CLASS CONTROL TEXT     the control shows (or within 5 s comes to show) this text; "*"
//                                 stands for any text but none
//   enabled CLASS CONTROL 0|1     the control is (or within 5 s becomes) disabled or enabled
//   close CLASS                   the window's close box (WM_CLOSE)
//   minimise CLASS                the window's minimise box (SC_MINIMIZE)
//   tray MESSAGE                  the tray icon reports a mouse message (0x202: left button up,
//                                 0x205: right button up) to the main window, as the shell does
//   trayicon 0|1                  the main window's tray icon is there or not
//   notificationarea 0|1          the desktop has a notification area (the shell's tray) or not
//   hidden CLASS 0|1              the window is shown or hidden
//   iconic CLASS 0|1              the window is minimised or not
//   topmost CLASS 0|1             the window is in the topmost band or not
//   checked CLASS CONTROL 0|1     the check box is (or within 5 s comes to be) ticked or not
//   says "TITLE" TEXT             the box titled TITLE shows (within 20 s) with this text
//   answer "TITLE" BUTTON [TEXT]  in the box titled TITLE, types TEXT and presses BUTTON
//                                 (yes, no, ok, cancel)
//   pause MS                      lets the program run for MS milliseconds (for a picture)
//   shot CLASS FILE               a picture of the window (24-bit BMP)
//   screen FILE                   a picture of the whole screen
//
// Windows are found by their window class (SkytraceForm1, SkytraceTCAS, SkytraceStatus,
// SkytraceOptions, SkytraceOffsets, SkytraceInputBox, #32770 for message boxes), controls by
// the name the program gives them (the core's control names).
#include <windows.h>
// clang-format off: needs windows.h first
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

std::string Narrow(const std::wstring& text) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(strlen(narrow.c_str()));
  return narrow;
}

struct Search {
  std::wstring cls;
  std::wstring title;  // empty: any
  HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t cls[128] = {}, title[256] = {};
  GetClassNameW(hwnd, cls, 128);
  GetWindowTextW(hwnd, title, 256);
  if (search->cls != cls || (!search->title.empty() && search->title != title)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND Top(const std::string& cls, const std::string& title = "") {
  Search search{Wide(cls), Wide(title)};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ControlSearch {
  std::wstring name;
  HWND found = nullptr;
};

BOOL CALLBACK FindControl(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  const auto atom =
      static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropW(hwnd, L"SkytraceControl")));
  wchar_t name[128] = {};
  if (atom && GlobalGetAtomNameW(atom, name, 128) && search->name == name) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND Control(HWND window, const std::string& name) {
  ControlSearch search{Wide(name)};
  EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                      nullptr);
  return Narrow(text);
}

// Waits until the window's thread has handled everything posted to it before.
void Settle(HWND hwnd) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
}

template <typename Condition>
bool WaitFor(Condition condition, int milliseconds = 20000) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

bool SaveBitmap(HDC source, int x, int y, int width, int height, const std::string& file) {
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(stride * static_cast<DWORD>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

bool Shot(HWND window, const std::string& file) {
  SetForegroundWindow(window);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Settle(window);
  Sleep(400);  // the window system paints the frame
  RECT r;
  GetWindowRect(window, &r);
  HDC screen = GetDC(nullptr);
  const bool saved = SaveBitmap(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, file);
  ReleaseDC(nullptr, screen);
  return saved;
}

bool Step(const std::string& line, std::string& why) {
  std::istringstream words(line);
  std::string verb, a, b;
  words >> verb >> a;
  auto rest = [&words] {
    std::string text;
    std::getline(words, text);
    const size_t begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : text.substr(begin);
  };
  auto window = [&](const std::string& cls) {
    HWND hwnd = Top(cls);
    if (!hwnd) why = "no window of class " + cls;
    return hwnd;
  };
  if (verb == "wait") {
    if (!WaitFor([&] {
          HWND h = Top(a);
          return h && IsWindowVisible(h);
        }))
      why = a + " did not show";
    return why.empty();
  }
  if (verb == "gone") {
    if (!WaitFor([&] { return Top(a) == nullptr; })) why = a + " is still there";
    return why.empty();
  }
  if (verb == "pause") {
    Sleep(static_cast<DWORD>(std::stoul(a)));
    return true;
  }
  if (verb == "screen") {
    HDC screen = GetDC(nullptr);
    const bool saved =
        SaveBitmap(screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), a);
    ReleaseDC(nullptr, screen);
    return saved;
  }
  if (verb == "tray") {
    HWND main = window("SkytraceForm1");
    if (!main) return false;
    PostMessageW(main, WM_APP + 1, 1, static_cast<LPARAM>(std::stoul(a, nullptr, 0)));
    Settle(main);
    return true;
  }
  if (verb == "notificationarea" || verb == "trayicon") {
    HWND main = verb == "trayicon" ? window("SkytraceForm1") : nullptr;
    if (verb == "trayicon" && !main) return false;
    auto is = [&] {
      if (!main) return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
      // Only an icon that is there can be changed.
      NOTIFYICONDATAW icon{};
      icon.cbSize = sizeof icon;
      icon.hWnd = main;
      icon.uID = 1;
      return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
    };
    const bool want = a == "1";
    if (!WaitFor([&] { return is() == want; }, 5000)) {
      why = verb + (want ? " is not there" : " is there");
    }
    return why.empty();
  }
  if (verb == "answer" || verb == "says") {
    const size_t open = line.find('"');
    const size_t close = line.find('"', open + 1);
    if (close == std::string::npos) {
      why = "the title needs quotes";
      return false;
    }
    const std::string title = line.substr(open + 1, close - open - 1);
    std::istringstream after(line.substr(close + 1));
    after >> b;
    std::string text;
    std::getline(after, text);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    HWND box = nullptr;
    WaitFor([&] {
      box = Top("#32770", title);
      if (!box) box = Top("SkytraceInputBox", title);
      return box != nullptr;
    });
    if (!box) {
      why = "no box titled " + title;
      return false;
    }
    if (verb == "says") {
      const std::string want = line.substr(line.find_first_not_of(' ', close + 1));
      const std::string shown = TextOf(GetDlgItem(box, 0xFFFF));  // a message box's text
      if (shown != want) why = "the box says \"" + shown + "\"";
      return why.empty();
    }
    if (!text.empty())
      SendMessageW(GetDlgItem(box, 11), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(Wide(text).c_str()));
    const int id = b == "yes" ? IDYES : b == "no" ? IDNO : b == "cancel" ? IDCANCEL : IDOK;
    HWND button = GetDlgItem(box, id);
    if (!button) {
      why = "the box " + title + " has no button " + b;
      return false;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    return true;
  }
  HWND hwnd = window(a);
  if (!hwnd) return false;
  if (verb == "close") {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return true;
  }
  if (verb == "minimise") {
    PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Settle(hwnd);
    return true;
  }
  if (verb == "hidden" || verb == "iconic" || verb == "topmost") {
    words >> b;
    const bool want = b == "1";
    auto is = [&] {
      return verb == "hidden"   ? !IsWindowVisible(hwnd)
             : verb == "iconic" ? IsIconic(hwnd) != FALSE
                                : (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    if (!WaitFor([&] { return is() == want; }, 5000))
      why = a + " " + verb + " " + (want ? "0" : "1");
    return why.empty();
  }
  if (verb == "shot") {
    words >> b;
    return Shot(hwnd, b);
  }
  words >> b;
  HWND control = Control(hwnd, b);
  if (!control) {
    why = a + " has no control " + b;
    return false;
  }
  if (verb == "click") {
    // Posted, so that a box the press opens does not hold the driver; the press is handled once
    // the window's thread takes the next message.
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    if (_wcsicmp(cls, L"Edit") == 0) {  // a text box takes the focus from a mouse click
      PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    } else {
      PostMessageW(control, BM_CLICK, 0, 0);
    }
    Settle(hwnd);
    return true;
  }
  if (verb == "type") {
    const std::wstring text = Wide(rest());
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        20000, nullptr);
    return true;
  }
  if (verb == "expect") {
    const std::string want = rest();
    const bool ok = WaitFor(
        [&] { return want == "*" ? !TextOf(control).empty() : TextOf(control) == want; }, 5000);
    if (!ok) why = a + "." + b + " shows \"" + TextOf(control) + "\", not \"" + want + "\"";
    return ok;
  }
  if (verb == "checked") {
    const bool want = rest() == "1";
    const bool ok = WaitFor(
        [&] { return (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) == want; }, 5000);
    if (!ok) why = a + "." + b + (want ? " is not ticked" : " is ticked");
    return ok;
  }
  if (verb == "enabled") {
    const bool want = rest() == "1";  // the tick sets the buttons' states within a second
    const bool ok = WaitFor([&] { return (IsWindowEnabled(control) != FALSE) == want; }, 5000);
    if (!ok) why = a + "." + b + (want ? " is disabled" : " is enabled");
    return ok;
  }
  why = "unknown step";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skytrace-drive SCRIPT\n");
    return 2;
  }
  std::ifstream script(argv[1]);
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string why;
    if (!Step(line, why)) {
      std::fprintf(stderr, "skytrace-drive: line %d: %s: %s\n", number, line.c_str(),
                   why.empty() ? "failed" : why.c_str());
      return 1;
    }
  }
  return 0;
}
