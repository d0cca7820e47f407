#include "realtime/link.h"

#include <exception>
#include <string>

#include "core/app.h"
#include "shell/messages.h"

namespace sky {

void EnableViewButtons(App& app, bool enabled) {
  Form1Controls& form = app.Form1;
  for (Button* button :
       {&form.btn_setOverview, &form.btn_setRight, &form.btn_setLeft, &form.btn_setChase}) {
    button->enabled = enabled;
  }
}

void InitiateRealtime(App&) {}
void CreateRealtimeLink(App&) {}
void ToggleRealtime(App&) {}
void SetViewChase(App&) {}
void SetViewOverview(App&) {}
void SetViewLeft(App&) {}
void SetViewRight(App&) {}
void CloseAfterTrackingFailure(App& app) {
  // A failed delete (or a missing data folder) skips the rest of the clean-up; the main window
  // is closed in every case.
  try {
    if (app.g.RealtimeOn) {
      FileSystem& files = app.ports.files;
      const std::string folder = AppDataFolder(app);
      // File names compare without regard to case on the user's system; the location document
      // is written as "RealtimeLocation.kml".
      if (files.Remove(folder + "RealtimeLocation.kml")) files.Remove(folder + "RealTimePath.kml");
    }
  } catch (const std::exception&) {
  }
  app.ports.shell.CloseMainWindow();
}
void WriteRealtimeDocuments(App&) {}

}  // namespace sky
