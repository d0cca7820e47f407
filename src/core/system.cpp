#include "core/system.h"

#include "core/messages.h"

namespace sky {

std::string GetSpecialFolder(Folders& folders, int csidl) {
  const auto path = folders.SpecialFolder(csidl);
  if (!path || path->empty()) throw FolderNotFound();
  return *path;
}

std::string AppDataFolder(Folders& folders) {
  return GetSpecialFolder(folders, Folders::kAppData) + kPathSeparator + "Skytrace flightlogger" +
         kPathSeparator;
}

std::string SavedTracksFolder(Folders& folders) {
  return GetSpecialFolder(folders, Folders::kDocuments) + kPathSeparator +
         "Skytrace flightlogger files" + kPathSeparator;
}

std::string ProgramFolder(Folders& folders) {
  return folders.ProgramFolder() + kPathSeparator;
}

std::string CurrentUserName(SystemInfo& system, MessageBoard& board) {
  // The name is read into a buffer of 25 characters: a longer one does not fit.
  const auto name = system.UserName();
  if (!name || name->size() > 24) {
    board.Post("Unable to get current username.");
    return "";
  }
  return name->substr(0, name->find('\0'));
}

double FileVersionNumber(SystemInfo& system, const std::string& path) {
  const auto version = system.FileVersionOf(path);
  if (!version) return 0;
  return version->major * 10000.0 + version->minor * 100.0 + version->revision;
}

void SetAlwaysOnTop(WindowPort& windows, MessageBoard& board, WindowId window, bool onTop) {
  if (!windows.SetAlwaysOnTop(window, onTop)) board.Post("Unable to set window on top.");
}

void ShowNotOpened(MessageBoard& board, const std::string& target) {
  board.Post("No program here opens " + target + ".");
}

bool OpenOrNameIt(Shell& shell, MessageBoard& board, const std::string& target) {
  if (shell.Open(target)) return true;
  ShowNotOpened(board, target);
  return false;
}

bool WriteIntoPlace(FileSystem& files, const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".tmp";
  if (files.WriteAll(temporary, bytes) && files.Rename(temporary, path)) return true;
  files.Remove(temporary);
  return false;
}

void ShowMessageBox(Dialogs& dialogs, const std::string& text) {
  dialogs.MessageBox("Message", text, MessageButtons::Ok);
}

void RestartTimer(Clock& clock, Timer& timer) {
  timer.enabled = true;
  timer.dueMs = clock.MonotonicMs() + timer.intervalMs;
}

}  // namespace sky
