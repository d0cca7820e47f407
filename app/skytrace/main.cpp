// Skytrace flightlogger: logs a home flight simulator's flights and shows them in Google Earth.
#include <QApplication>
#include <clocale>

#include "core/app.h"
#include "form1.h"
#include "host.h"
#include "platform/posix_platform.h"
#include "platform/std_files.h"
#include "qt_ports.h"
#include "simlink/transport_posix.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The program writes and reads its own number texts; the user's locale is asked for separately.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Skytrace flightlogger");

  sky::PosixClock clock;
  sky::XdgFolders folders;
  sky::StdFileSystem files;
  sky::PosixSystemInfo system;
  sky::ui::QtShell shell;
  sky::ui::QtDialogs dialogs;
  sky::ui::QtHttp http;
  sky::ui::QtWindows windows;
  sky::PosixTransport transport;
  sky::App app(sky::Ports{clock, folders, files, system, shell, dialogs, http, windows, transport});

  sky::ui::UiHost host(app, windows);
  shell.mainWindow = host.MainWindow();
  dialogs.parent = shell.mainWindow;
  if (!host.Start()) return 1;
  return QApplication::exec();
}
