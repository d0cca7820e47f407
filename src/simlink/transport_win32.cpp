#ifdef _WIN32

#include "simlink/transport_win32.h"

#include "core/win32_api.h"

namespace sky {

uint32_t Win32Transport::ProcessId() {
  return GetCurrentProcessId();
}

uintptr_t Win32Transport::FindWindowByClass(const char* className) {
  return reinterpret_cast<uintptr_t>(FindWindowExA(nullptr, nullptr, className, nullptr));
}

uint32_t Win32Transport::RegisterMessage(const char* name) {
  return RegisterWindowMessageA(name);
}

uint16_t Win32Transport::AddAtom(const char* name) {
  return GlobalAddAtomA(name);
}

void Win32Transport::DeleteAtom(uint16_t atom) {
  GlobalDeleteAtom(atom);
}

uintptr_t Win32Transport::CreateMapping(const char* name, uint32_t size, bool& alreadyExisted) {
  SetLastError(0);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  // A handle to an existing mapping comes back with ERROR_ALREADY_EXISTS; the caller closes it.
  alreadyExisted = mapping && GetLastError() == ERROR_ALREADY_EXISTS;
  return reinterpret_cast<uintptr_t>(mapping);
}

uint8_t* Win32Transport::MapView(uintptr_t mapping, uint32_t) {
  return static_cast<uint8_t*>(
      MapViewOfFile(reinterpret_cast<HANDLE>(mapping), FILE_MAP_WRITE, 0, 0, 0));
}

void Win32Transport::UnmapView(uint8_t* view, uint32_t) {
  UnmapViewOfFile(view);
}

void Win32Transport::CloseMapping(uintptr_t mapping) {
  CloseHandle(reinterpret_cast<HANDLE>(mapping));
}

SendOutcome Win32Transport::Send(uintptr_t window, uint32_t message, uint32_t wParam,
                                 uint32_t lParam, uint32_t timeoutMs) {
  if (timeoutCapMs_ && timeoutMs > timeoutCapMs_) timeoutMs = timeoutCapMs_;
  DWORD_PTR answer = 0;
  SetLastError(0);
  const LRESULT sent = SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wParam, lParam,
                                           SMTO_BLOCK, timeoutMs, &answer);
  if (sent) return {true, static_cast<uint32_t>(answer), 0};
  // Windows since 2000 reports ERROR_TIMEOUT (1460) for a time-out, which the link counts as a
  // system error code (result 12); only older versions reported none (result 11). Wine 8 reports
  // ERROR_TIMEOUT as well. A window that is gone gives ERROR_INVALID_WINDOW_HANDLE (1400).
  return {false, 0, static_cast<uint32_t>(GetLastError())};
}

}  // namespace sky

#endif  // _WIN32
