// The options dialog (frmOptions): the update switches, the X-Plane module switch and plug-ins
// folder, the installed module's version, and the door to the logging parameters dialog. Modal,
// opened from the main window.
#pragma once

#include <string>

namespace sky {

struct App;

// Loads the dialog with the current options.
void OpenOptionsDialog(App& app);
// Closes the dialog without storing (Cancel, and the close box).
void CloseOptionsDialog(App& app);

void OptionsOK(App& app);
void OptionsCancel(App& app);
// Browse...: ticks the X-Plane box, runs the module installer and shows what it found.
void OptionsBrowse(App& app);
// A check box of the dialog changes its tick ("Check1", "Check2", "Check3").
void ToggleOptionsCheck(App& app, const std::string& name);
// Typing into the plug-ins folder box.
void TypeXPlanePath(App& app, const std::string& text);

}  // namespace sky
