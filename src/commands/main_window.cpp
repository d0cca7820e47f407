#include "commands/main_window.h"

#include "commands/app.h"
#include "commands/logging.h"
#include "core/system.h"
#include "online/online.h"
#include "settings/offsets_file.h"

namespace sky {

void OpenManual(App& app) {
  const DialogAnswer answer = app.ports.dialogs.MessageBox(
      "Open manual", "Are you sure you want to open the user's manual?", MessageButtons::YesNo);
  if (answer != DialogAnswer::Yes) return;
  OpenOrNameIt(app.ports.shell, app.board, ProgramFolder(app.ports.folders) + "Manual.pdf");
}

std::string WebsiteAddress(const App& app) {
  std::string base = app.serverBase.value_or(BuiltInServerBase());
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base.empty() ? "" : base + "/skytrace";
}

void OpenWebsite(App& app) {
  const std::string& title = app.g.AppTitle;
  const DialogAnswer answer = app.ports.dialogs.MessageBox(
      "Go to website", "Are you sure you want to open the " + title + " website?",
      MessageButtons::YesNo);
  if (answer != DialogAnswer::Yes) return;
  const std::string address = WebsiteAddress(app);
  if (address.empty()) {
    ShowMessage(app, "This build of the " + title + " has no website address.");
    return;
  }
  OpenOrNameIt(app.ports.shell, app.board, address);
}

void ToggleOnTop(App& app, bool& onTop, WindowId window, const char* disabled,
                 const char* enabled) {
  if (onTop) {
    SetAlwaysOnTop(app.ports.windows, app.board, window, false);
    ShowMessage(app, disabled);
    onTop = false;
  } else {
    onTop = true;
    SetAlwaysOnTop(app.ports.windows, app.board, window, true);
    ShowMessage(app, enabled);
  }
}

void ToggleMainOnTop(App& app) {
  ToggleOnTop(app, app.g.MainOnTop, WindowId::Form1, "Always on top disabled.",
              "Window set always on top.");
}

void Form_Resize(App& app, WindowState state) {
  Globals& g = app.g;
  Form1Controls& form = app.Form1;
  form.windowState = state;
  if (state != WindowState::Minimized) return;
  if (g.FirstMinimise) {
    if (!g.LoggingOn && g.Connected) {
      // Once per run: back to normal and in front of every other window for the question.
      form.windowState = WindowState::Normal;
      SetAlwaysOnTop(app.ports.windows, app.board, WindowId::Form1, true);
      const DialogAnswer answer =
          app.ports.dialogs.MessageBox("Logging", "Start logging?", MessageButtons::YesNo);
      if (answer == DialogAnswer::Yes) StartLogging(app);
      if (app.ended) return;
      g.FirstMinimise = false;
      SetAlwaysOnTop(app.ports.windows, app.board, WindowId::Form1, false);
      Form_Resize(app, WindowState::Minimized);  // minimised again, now without the question
    }
    g.FirstMinimise = false;
  }
  // Without a notification area the window stays a plain minimised window, so there is always
  // a way back to it.
  if (ShowProgramInTray(app)) form.visible = false;
}

bool ShowProgramInTray(App& app) {
  if (!app.ports.windows.HasNotificationArea()) return false;
  app.Form1.trayIcon = true;
  return true;
}

void picTrayicon_MouseMove(App& app, int message) {
  if (message != kLeftButtonUp && message != kRightButtonUp) return;
  Form1Controls& form = app.Form1;
  form.windowState = WindowState::Normal;
  form.visible = true;
  form.trayIcon = false;
}

bool InitVisualStyles(App& app) {
  if (app.ports.windows.InitVisualStyles()) return true;
  app.params.ForceNoWinXP = true;  // the next start skips the set-up
  SaveLoggingParameters(SettingsOf(app), app.params);
  const std::string& title = app.g.AppTitle;
  app.ports.dialogs.MessageBox(title,
                               "The " + title +
                                   " encountered an error in intializing the interface:\n"
                                   "Windows XP/Vista style buttons disabled.\n\n"
                                   "Please restart the " +
                                   title,
                               MessageButtons::Ok);
  app.ended = true;
  app.ports.shell.EndProgram();
  return false;
}

}  // namespace sky
