// The one way the Win32 layer includes <windows.h>: no min/max macros, and no
// MessageBox macro, which would otherwise rename Platform::MessageBox in every file
// that sees both this header and launcher/platform.h.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first.
#include <tlhelp32.h>

#ifdef MessageBox
#undef MessageBox
#endif

#include <cstdint>

#include "launcher/platform.h"

namespace vorta::win32 {

// Window handles travel through the launcher as 32-bit values.
inline HWND ToHwnd(Hwnd window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
inline Hwnd FromHwnd(HWND window) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace vorta::win32
