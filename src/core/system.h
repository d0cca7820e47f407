// The program's folders and small system helpers over the ports: the data and saved-tracks
// folders, the log-on name, a file's version number, the topmost window band, opening with the
// shell, and the window timers' restart.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/ports.h"

namespace sky {

class MessageBoard;

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Raised when the system cannot tell a special folder's path.
class FolderNotFound : public std::runtime_error {
 public:
  FolderNotFound() : std::runtime_error("The folder path could not be detected") {}
};

// The path of a special folder, without a trailing separator; throws FolderNotFound.
std::string GetSpecialFolder(Folders& folders, int csidl);

// The data folder and the saved-tracks folder, each ending with a separator; computed on every
// call, nothing is created. Both throw FolderNotFound.
std::string AppDataFolder(Folders& folders);
std::string SavedTracksFolder(Folders& folders);

// The program's own folder (where KMLSettings.txt is), ending with a separator.
std::string ProgramFolder(Folders& folders);

// The log-on name, or "" after posting "Unable to get current username." (a name longer than 24
// characters does not fit the name's buffer either).
std::string CurrentUserName(SystemInfo& system, MessageBoard& board);

// major * 10000 + minor * 100 + revision of a file's version record; 0 when it has none.
double FileVersionNumber(SystemInfo& system, const std::string& path);

// Puts a window into the topmost band or out of it; posts "Unable to set window on top." when
// the window system refuses.
void SetAlwaysOnTop(WindowPort& windows, MessageBoard& board, WindowId window, bool onTop);

// Posts the sentence that gives the full path (or address) of something nothing here could
// open, so that the user can open it by hand.
void ShowNotOpened(MessageBoard& board, const std::string& target);
// Opens a document, folder or web address with the program the system has for it, and when
// nothing here opens it, says so with ShowNotOpened. Returns whether it opened.
bool OpenOrNameIt(Shell& shell, MessageBoard& board, const std::string& target);

// Replaces a file's content whole or not at all: the bytes go into "<path>.tmp", which is then
// renamed into place; after any failure the temporary file goes, the file stays as it was, and
// the answer is false. A reader never finds half a file, and a kill leaves at most the temporary
// file (which start-up removes, see the commands' temporary files).
bool WriteIntoPlace(FileSystem& files, const std::string& path, std::string_view bytes);

// A modal box titled "Message" with an OK button.
void ShowMessageBox(Dialogs& dialogs, const std::string& text);

// Restarts a timer's countdown, as setting Enabled false, then true does.
void RestartTimer(Clock& clock, Timer& timer);

}  // namespace sky
