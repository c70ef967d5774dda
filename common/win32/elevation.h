// Whether a process runs with an elevated token (an administrator's full rights).
#pragma once

#include "common/win32/unique.h"
#include "common/win32/win.h"

namespace vorta::win32 {

// False too when the process's token cannot be read.
inline bool ProcessElevated(HANDLE process) {
    UniqueHandle token;
    if (!::OpenProcessToken(process, TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation),
                                 &size) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace vorta::win32
