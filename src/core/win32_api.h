// The Windows API for the program's Win32 units. windows.h turns some names into macros for
// their A/W variants that the program's own interfaces also use (SimTransport::AddAtom,
// Dialogs::MessageBox); include it through here, after the program's headers, so that those
// names stay the program's.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef AddAtom
#undef MessageBox

#endif  // _WIN32
