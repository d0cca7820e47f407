#include "commands/main_window.h"

#include "commands/logging.h"
#include "core/app.h"
#include "core/messages.h"
#include "online/online.h"
#include "settings/parameters.h"

namespace sky {

void OpenManual(App& app) {
  const DialogAnswer answer = app.ports.dialogs.MessageBox(
      "Open manual", "Are you sure you want to open the user's manual?", MessageButtons::YesNo);
  if (answer != DialogAnswer::Yes) return;
  OpenOrNameIt(app, ProgramFolder(app) + "Manual.pdf");
}

std::string WebsiteAddress(const App& app) {
  std::string base = ServerBase(app);
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
  OpenOrNameIt(app, address);
}

void ToggleMainOnTop(App& app) {
  Globals& g = app.g;
  if (g.MainOnTop) {
    SetAlwaysOnTop(app, WindowId::Form1, false);
    ShowMessage(app, "Always on top disabled.");
    g.MainOnTop = false;
  } else {
    g.MainOnTop = true;
    SetAlwaysOnTop(app, WindowId::Form1, true);
    ShowMessage(app, "Window set always on top.");
  }
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
      SetAlwaysOnTop(app, WindowId::Form1, true);
      const DialogAnswer answer =
          app.ports.dialogs.MessageBox("Logging", "Start logging?", MessageButtons::YesNo);
      if (answer == DialogAnswer::Yes) StartLogging(app);
      if (app.ended) return;
      g.FirstMinimise = false;
      SetAlwaysOnTop(app, WindowId::Form1, false);
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
  SaveLoggingParameters(app);
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
