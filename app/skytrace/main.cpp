// Skytrace flightlogger: logs a home flight simulator's flights and shows them in Google Earth.
#include <QApplication>
#include <QStyleFactory>
#include <clocale>

#include "app_icon.h"
#include "core/app.h"
#include "form1.h"
#include "host.h"
#include "platform/std_files.h"
#include "qt_ports.h"
#ifdef _WIN32
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#else
#include "platform/posix_platform.h"
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
}  // namespace

int main(int argc, char** argv) {
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

  PlatformClock clock;
  PlatformFolders folders;
  sky::StdFileSystem files;
  PlatformSystemInfo system;
  sky::ui::QtShell shell;
  sky::ui::QtDialogs dialogs;
  sky::ui::QtHttp http;
  sky::ui::QtWindows windows;
  PlatformTransport transport;
  sky::App app(sky::Ports{clock, folders, files, system, shell, dialogs, http, windows, transport});

  sky::ui::UiHost host(app, windows);
  shell.mainWindow = host.MainWindow();
  dialogs.parent = shell.mainWindow;
  dialogs.beforeShow = [&host] { host.RenderAll(); };
  windows.beforeRedraw = [&host] { host.RenderAll(); };
  if (!host.Start()) return 1;
  return QApplication::exec();
}
