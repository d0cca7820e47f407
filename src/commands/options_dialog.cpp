#include "commands/options_dialog.h"

#include <exception>

#include "commands/app.h"
#include "online/xplane_module.h"
#include "settings/offsets_file.h"

namespace sky {

void OpenOptionsDialog(App& app) {
  OptionsControls& w = app.frmOptions;
  w = OptionsControls{};  // a new dialog starts as designed
  w.lblXPlaneNote.text = XPlaneSectionNote(app.ports.system);
  w.loaded = true;
  try {
    // A False field leaves its box as designed, unticked.
    if (app.params.XPlane) w.Check1.checked = true;
    if (app.params.MinUpdate) w.Check2.checked = true;
    if (app.params.Update) w.Check3.checked = true;
    w.lblXPUIPC.text = app.params.XPUIPC;
    w.txtXPlanePath.text = app.params.XPlanePath;
  } catch (const std::exception&) {
    app.ports.dialogs.MessageBox(
        app.g.ProductName + " options",
        "Something went wrong during the loading of the settings, default values applied.",
        MessageButtons::Ok);
  }
}

void CloseOptionsDialog(App& app) {
  app.frmOptions.loaded = false;
}

void OptionsOK(App& app) {
  const OptionsControls& w = app.frmOptions;
  LoggingParameters& p = app.params;
  p.XPlane = w.Check1.checked;
  p.MinUpdate = w.Check2.checked;
  p.Update = w.Check3.checked;
  p.XPUIPC = w.lblXPUIPC.text;
  p.XPlanePath = w.txtXPlanePath.text;
  SaveLoggingParameters(SettingsOf(app), app.params);
  ForgetRealtimeWork(app);  // new settings
  CloseOptionsDialog(app);
}

void OptionsCancel(App& app) {
  CloseOptionsDialog(app);
}

void OptionsBrowse(App& app) {
  app.frmOptions.Check1.checked = true;
  // The installer changes and saves XPlane, XPlanePath and XPUIPC itself.
  const WebServer server = ServerOf(app);
  const SettingsFile settings = SettingsOf(app);
  const XPlaneInstaller installer = XPlaneInstallerOf(app, server, settings);
  CheckXPlane(installer, app.params, true);
  CheckXPUIPCVersion(installer, app.params);
  app.frmOptions.txtXPlanePath.text = app.params.XPlanePath;
  app.frmOptions.lblXPUIPC.text = app.params.XPUIPC;
}

void ToggleOptionsCheck(App& app, const std::string& name) {
  OptionsControls& w = app.frmOptions;
  CheckBox* box = name == "Check1"   ? &w.Check1
                  : name == "Check2" ? &w.Check2
                  : name == "Check3" ? &w.Check3
                                     : nullptr;
  if (box) box->checked = !box->checked;
}

void TypeXPlanePath(App& app, const std::string& text) {
  std::string single = text;  // a path is one line
  std::erase_if(single, [](char c) { return c == '\r' || c == '\n'; });
  app.frmOptions.txtXPlanePath.text = single;
}

}  // namespace sky
