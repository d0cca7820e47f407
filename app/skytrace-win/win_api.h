// The Windows API for the Windows program's views and ports, with UTF-8 (the core's texts) to
// UTF-16 (the W functions) and back.
#pragma once

#include <string>

#include "core/win32_api.h"
// clang-format off: these need windows.h first
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

namespace sky::win {

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace sky::win
