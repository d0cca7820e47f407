// The message board (one line on the main window, the event line on the status window, each
// wiped five seconds after the last post), the program's folders and small system helpers.
#pragma once

#include <stdexcept>
#include <string>

#include "core/controls.h"

namespace sky {

struct App;

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Posts one sentence: texts beginning "Event: " go to the status window while it is open,
// everything else to the main window's message line.
void ShowMessage(App& app, const std::string& text);

// A modal box titled "Message" with an OK button.
void ShowMessageBox(App& app, const std::string& text);

// Clearing ticks of the two message lines.
void Timer2_Timer(App& app);
void tmrMSG_Timer(App& app);

// Raised when the system cannot tell a special folder's path.
class FolderNotFound : public std::runtime_error {
 public:
  FolderNotFound() : std::runtime_error("The folder path could not be detected") {}
};

// The path of a special folder, without a trailing separator; throws FolderNotFound.
std::string GetSpecialFolder(App& app, int csidl);

// The data folder and the saved-tracks folder, each ending with a separator; computed on every
// call, nothing is created. Both throw FolderNotFound.
std::string AppDataFolder(App& app);
std::string SavedTracksFolder(App& app);

// The program's own folder (where KMLSettings.txt is), ending with a separator.
std::string ProgramFolder(App& app);

// The log-on name, or "" after posting "Unable to get current username.".
std::string CurrentUserName(App& app);

// major * 10000 + minor * 100 + revision of a file's version record; 0 when it has none.
double FileVersionNumber(App& app, const std::string& path);

void SetAlwaysOnTop(App& app, WindowId window, bool onTop);

// Posts the sentence that gives the full path (or address) of something nothing here could
// open, so that the user can open it by hand.
void ShowNotOpened(App& app, const std::string& target);
// Opens a document, folder or web address with the program the system has for it, and when
// nothing here opens it, says so with ShowNotOpened. Returns whether it opened.
bool OpenOrNameIt(App& app, const std::string& target);

// Restarts a timer's countdown, as setting Enabled false, then true does.
void RestartTimer(App& app, Timer& timer);

}  // namespace sky
