#include "core/messages.h"

#include "core/app.h"

namespace sky {

void ShowMessage(App& app, const std::string& text) {
  const bool toStatus = text.rfind("Event: ", 0) == 0 && app.g.StatusWindowOpen;
  if (toStatus) {
    app.frmACStatus.lblEvent.text = text;
    RestartTimer(app, app.frmACStatus.tmrMSG);
  } else {
    app.Form1.Label7.text = text;
    RestartTimer(app, app.Form1.Timer2);
  }
  if (app.onMessage) app.onMessage(text, toStatus);
}

void ShowMessageBox(App& app, const std::string& text) {
  app.ports.dialogs.MessageBox("Message", text, MessageButtons::Ok);
}

void Timer2_Timer(App& app) {
  app.Form1.Label7.text.clear();
  app.Form1.Timer2.enabled = false;
}

void tmrMSG_Timer(App& app) {
  app.frmACStatus.lblEvent.text.clear();
  app.frmACStatus.tmrMSG.enabled = false;
}

std::string GetSpecialFolder(App& app, int csidl) {
  const auto path = app.ports.folders.SpecialFolder(csidl);
  if (!path || path->empty()) throw FolderNotFound();
  return *path;
}

std::string AppDataFolder(App& app) {
  return GetSpecialFolder(app, Folders::kAppData) + kPathSeparator + "Skytrace flightlogger" +
         kPathSeparator;
}

std::string SavedTracksFolder(App& app) {
  return GetSpecialFolder(app, Folders::kDocuments) + kPathSeparator +
         "Skytrace flightlogger files" + kPathSeparator;
}

std::string ProgramFolder(App& app) {
  return app.ports.folders.ProgramFolder() + kPathSeparator;
}

std::string CurrentUserName(App& app) {
  // The name is read into a buffer of 25 characters: a longer one does not fit.
  const auto name = app.ports.system.UserName();
  if (!name || name->size() > 24) {
    ShowMessage(app, "Unable to get current username.");
    return "";
  }
  return name->substr(0, name->find('\0'));
}

double FileVersionNumber(App& app, const std::string& path) {
  const auto version = app.ports.system.FileVersionOf(path);
  if (!version) return 0;
  return version->major * 10000.0 + version->minor * 100.0 + version->revision;
}

void SetAlwaysOnTop(App& app, WindowId window, bool onTop) {
  if (!app.ports.windows.SetAlwaysOnTop(window, onTop)) {
    ShowMessage(app, "Unable to set window on top.");
  }
}

void ShowNotOpened(App& app, const std::string& target) {
  ShowMessage(app, "No program here opens " + target + ".");
}

bool OpenOrNameIt(App& app, const std::string& target) {
  if (app.ports.shell.Open(target)) return true;
  ShowNotOpened(app, target);
  return false;
}

void RestartTimer(App& app, Timer& timer) {
  timer.enabled = true;
  timer.dueMs = app.ports.clock.MonotonicMs() + timer.intervalMs;
}

}  // namespace sky
