// Skytrace flightlogger for Windows: the program's windows as native Win32 controls over the
// core's control state.
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "commands/app.h"
#include "host.h"
#include "platform/headless.h"
#include "platform/std_files.h"
#include "platform/system_http.h"
#include "platform/win32_platform.h"
#include "shell/startup.h"
#include "shell/test_commands.h"
#include "simlink/transport_win32.h"
#include "win_ports.h"

namespace {

// The simulated clock of a test run, when SKYTRACE_TEST_CLOCK names its start.
std::unique_ptr<sky::SimulatedClock> TestClock() {
  wchar_t value[64] = {};
  const DWORD length = GetEnvironmentVariableW(L"SKYTRACE_TEST_CLOCK", value, 64);
  if (length == 0 || length >= 64) return nullptr;
  sky::LocalDateTime start;
  if (!sky::ParseLocalDateTime(sky::win::Narrow(value), start)) return nullptr;
  return std::make_unique<sky::SimulatedClock>(start);
}

// Reads the test commands from the standard input and hands each line to the window thread,
// the next once the last has run to its end (boxes and all): a command posted while a box's
// own message loop runs would be lost there.
void ReadTestCommands(DWORD thread) {
  char buffer[4096];
  std::string pending;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  DWORD read = 0;
  while (input && ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    pending.append(buffer, read);
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      auto* line = new std::string(pending.substr(0, end));
      pending.erase(0, end + 1);
      while (!PostThreadMessageW(thread, sky::win::WinHost::kTestCommand,
                                 reinterpret_cast<WPARAM>(done), reinterpret_cast<LPARAM>(line))) {
        Sleep(10);  // the window thread has no message queue yet
      }
      WaitForSingleObject(done, INFINITE);
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The program writes and reads its own number texts; the user's locale is asked for separately.
  std::setlocale(LC_NUMERIC, "C");
  if (!sky::win::FormView::RegisterClasses(instance)) return 1;
  HICON icon = LoadIconW(instance, L"SKYTRACE");
  if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));

  const std::unique_ptr<sky::SimulatedClock> testClock = TestClock();
  sky::Win32Clock systemClock;
  sky::Win32Folders folders;
  sky::StdFileSystem files;
  sky::Win32SystemInfo system;
  sky::win::Win32Shell shell;
  sky::win::Win32Dialogs dialogs;
  sky::SystemHttp http;
  sky::win::Win32Windows windows;
  sky::Win32Transport transport;
  sky::Clock& clock = testClock ? static_cast<sky::Clock&>(*testClock) : systemClock;
  // One copy per data folder: a second one shows the first and ends, before touching a file.
  sky::win::Win32SingleInstance oneCopy(folders.SpecialFolder(sky::Folders::kAppData).value_or(""));
  if (!sky::StartOnlyCopy(oneCopy, dialogs)) return 0;
  sky::App app(sky::Ports{clock, folders, files, system, shell, dialogs, http, windows, transport});

  sky::win::WinHost host(app, windows, icon);
  oneCopy.MarkMainWindow(host.MainWindow());
  shell.mainWindow = [&host] { return host.MainWindow(); };
  dialogs.owner = [&host] { return host.MainWindow(); };
  dialogs.beforeShow = [&host] { host.RenderAll(); };
  if (testClock) {
    host.SetTestDialogs(&dialogs);
    std::thread(ReadTestCommands, GetCurrentThreadId()).detach();
  }
  if (!host.Start()) return 1;
  return host.Run(testClock.get());
}
