// What the launcher's Win32 code adds to <windows.h> (included the common way): the
// Tool Help declarations, and the conversion between the launcher's window handles and
// the system's.
#pragma once

#include "common/win32/win.h"
// windows.h first.
#include <tlhelp32.h>

#include <cstdint>

#include "launcher/platform.h"

namespace vorta::win32 {

// Window handles travel through the launcher as 32-bit values. Windows keeps every
// window handle within 32 significant bits so that 32- and 64-bit programs can share
// them; a 64-bit program widens one by sign extension, as the system does.
inline HWND ToHwnd(Hwnd window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}
inline Hwnd FromHwnd(HWND window) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace vorta::win32
