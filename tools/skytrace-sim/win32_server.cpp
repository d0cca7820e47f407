#ifdef _WIN32

#include "skytrace-sim/win32_server.h"

#include <chrono>

#include "core/win32_api.h"
#include "simlink/fsuipc.h"

namespace sky::sim {
namespace {

constexpr int kStarting = 0;
constexpr int kRunning = 1;
constexpr int kFailed = 2;

std::string SystemErrorText(const char* what) {
  return std::string(what) + " (system error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

struct Win32SimWindow {
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

LRESULT CALLBACK Win32SimWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // The server comes with the window's creation, before any message can reach it.
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* server = reinterpret_cast<Win32SimServer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (server && message == server->message_ && message != 0) {
    int delayMs = 0;
    switch (server->core_.NextAnswer(delayMs)) {
      case SimulatorCore::Answer::Never:
        // A window procedure cannot leave a sent message unanswered; it keeps the client
        // waiting past its time-out instead, and what it then returns reaches nobody. Messages
        // sent meanwhile wait in the queue; Wine drops those whose sender has given up before
        // the window takes them, so under Wine a retry is only seen if it is still waiting.
        server->Hold(server->options_.unansweredHoldMs);
        return 0;
      case SimulatorCore::Answer::Late:
        server->Hold(delayMs);
        break;
      case SimulatorCore::Answer::Now:
        break;
    }
    return static_cast<LRESULT>(server->Answer(static_cast<uint16_t>(wParam)));
  }
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

Win32SimServer::Win32SimServer(SimulatorCore& core, Win32ServerOptions options)
    : core_(core), options_(std::move(options)) {}

Win32SimServer::~Win32SimServer() {
  Stop();
}

bool Win32SimServer::Start() {
  if (thread_.joinable()) return true;
  if (FindWindowExA(nullptr, nullptr, options_.className.c_str(), nullptr)) {
    error_ = "another simulator window of class " + options_.className + " exists already";
    return false;
  }
  message_ = RegisterWindowMessageA(kIpcMessageName);
  if (!message_) {
    error_ = SystemErrorText("cannot register the message");
    return false;
  }
  stopping_ = false;
  std::atomic<int> state{kStarting};
  thread_ = std::thread([this, &state] { Run(state); });
  while (state.load() == kStarting) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (state.load() == kFailed) {
    thread_.join();
    return false;
  }
  return true;
}

void Win32SimServer::Run(std::atomic<int>& state) {
  // The window belongs to this thread: it must be made, served and destroyed here.
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Win32SimWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = options_.className.c_str();
  // Every server registers the same procedure, so a class left registered by an earlier server
  // of this process serves as well.
  if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error_ = SystemErrorText("cannot register the window class");
    state = kFailed;
    return;
  }
  // A top-level window that is never shown: a message-only window would not be found by a
  // search for top-level windows.
  HWND window = CreateWindowExA(0, options_.className.c_str(), "Skytrace simulator", WS_OVERLAPPED,
                                0, 0, 0, 0, nullptr, nullptr, instance, this);
  if (!window) {
    error_ = SystemErrorText("cannot create the window");
    UnregisterClassA(options_.className.c_str(), instance);
    state = kFailed;
    return;
  }
  window_ = window;
  state = kRunning;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  UnregisterClassA(options_.className.c_str(), instance);
}

void Win32SimServer::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  PostMessageA(static_cast<HWND>(window_), WM_CLOSE, 0, 0);
  thread_.join();
  window_ = nullptr;
}

void Win32SimServer::Hold(int milliseconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!stopping_ && std::chrono::steady_clock::now() < until) ::Sleep(5);
}

uintptr_t Win32SimServer::Answer(uint16_t atom) {
  char name[256] = {};
  if (!GlobalGetAtomNameA(atom, name, sizeof name)) return 0;
  // Only a request area of the format's name and size is answered: anything else is a bad
  // request, answered 0 without reading or writing a byte of it.
  if (!IsRequestAreaName(name)) return 0;
  // The area is opened for each message and closed again at once: a handle kept here would keep
  // the client's area alive after it closes the link, and its next open would find the name
  // taken.
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return 0;
  auto* view = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kAreaSize));
  uintptr_t answer = 0;
  MEMORY_BASIC_INFORMATION region{};
  if (view && VirtualQuery(view, &region, sizeof region) == sizeof region &&
      region.RegionSize >= kAreaSize) {
    answer = core_.HandleArea(view, kBatchLimit);
  }
  if (view) UnmapViewOfFile(view);
  CloseHandle(mapping);
  return answer;
}

}  // namespace sky::sim

#endif  // _WIN32
