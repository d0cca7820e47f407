// Skytrace flightlogger: logs a home flight simulator's flights and shows them in Google Earth.
#include <QApplication>
#include <QStyleFactory>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app_icon.h"
#include "commands/app.h"
#include "form1.h"
#include "host.h"
#include "platform/headless.h"
#include "platform/std_files.h"
#include "qt_ports.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "shell/test_commands.h"
#include "test_run.h"
#ifdef _WIN32
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#else
#include <QSocketNotifier>

#include "platform/posix_platform.h"
#include "platform/posix_single_instance.h"
#include "simlink/ipc_wire.h"
#include "simlink/transport_posix.h"
#endif

namespace {
#ifdef _WIN32
using PlatformClock = sky::Win32Clock;
using PlatformFolders = sky::Win32Folders;
using PlatformSystemInfo = sky::Win32SystemInfo;
using PlatformTransport = sky::Win32Transport;
#else
using PlatformClock = sky::PosixClock;
using PlatformFolders = sky::XdgFolders;
using PlatformSystemInfo = sky::PosixSystemInfo;
using PlatformTransport = sky::PosixTransport;
#endif
constexpr char kUsage[] =
    "usage: skytrace\n"
    "Skytrace flightlogger: logs your flights from a home flight simulator, shows them in Google\n"
    "Earth and shows the traffic around you. It takes no options: its windows hold every\n"
    "command and setting. On Linux the simulator side is skytrace-sim.\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  QApplication application(argc, argv);
  // The program writes and reads its own number texts; the user's locale is asked for separately.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Skytrace flightlogger");
  QApplication::setDesktopFileName("skytrace");
  QApplication::setWindowIcon(sky::ui::SkytraceIcon());
  // Plain controls until the start-up sets up the themed ones (unless the settings say not to).
  if (QStyle* plain = QStyleFactory::create(sky::ui::kPlainStyle)) QApplication::setStyle(plain);
  // The window stays in the notification area while hidden there; only closing it ends the run.
  QApplication::setQuitOnLastWindowClosed(false);

  // A test run's simulated clock, when the test option names its start.
  std::unique_ptr<sky::SimulatedClock> testClock;
  sky::LocalDateTime testStart;
  if (const char* start = std::getenv(sky::kTestClockVariable);
      start && sky::ParseLocalDateTime(start, testStart)) {
    testClock = std::make_unique<sky::SimulatedClock>(testStart);
  }
  PlatformClock systemClock;
  sky::Clock& clock = testClock ? static_cast<sky::Clock&>(*testClock) : systemClock;
  PlatformFolders folders;
  sky::StdFileSystem files;
  PlatformSystemInfo system;
  sky::ui::QtShell shell;
  sky::ui::QtDialogs dialogs;
  sky::ui::QtHttp http;
  sky::ui::QtWindows windows;
  PlatformTransport transport;
#ifndef _WIN32
  // One copy per data folder: a second one shows the first and ends, before touching a file.
  sky::PosixSingleInstance instance(sky::wire::DefaultRuntimeDir(),
                                    folders.SpecialFolder(sky::Folders::kAppData).value_or(""));
  if (!sky::StartOnlyCopy(instance, dialogs)) return 0;
#endif
  sky::App app(sky::Ports{clock, folders, files, system, shell, dialogs, http, windows, transport});

  sky::ui::UiHost host(app, windows);
  shell.mainWindow = host.MainWindow();
  dialogs.parent = shell.mainWindow;
  dialogs.beforeShow = [&host] { host.RenderAll(); };
  windows.beforeRedraw = [&host] { host.RenderAll(); };
#ifndef _WIN32
  std::unique_ptr<QSocketNotifier> requests;
  if (instance.RequestSocket() >= 0) {
    requests = std::make_unique<QSocketNotifier>(instance.RequestSocket(), QSocketNotifier::Read);
    QObject::connect(requests.get(), &QSocketNotifier::activated, [&] {
      if (!instance.TakeRequest()) return;
      sky::ComeToFront(app);
      host.RenderAll();  // no timer is started here: this may run inside a dialog or a download
    });
  }
#endif
  if (testClock) sky::ui::StartTestRun(app, host, dialogs, *testClock);
  if (!host.Start()) return 1;
  return QApplication::exec();
}
