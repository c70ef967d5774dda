// What both programs ask of the system about themselves: the text of an error code and
// the folder of the running program.
#pragma once

#include <string>

#include "common/win32/win.h"

namespace vorta::win32 {

// The system's text for an error code (or HRESULT), without its trailing line break and
// blanks; empty when the system has none.
std::wstring SystemErrorText(DWORD code);

// The full path of the running program's file; empty when the system does not give it.
std::wstring ExePath();

// The folder of the running program, without a trailing separator except at a drive root
// ("C:\"); empty when the system does not give the program's path.
std::wstring ExeFolder();

}  // namespace vorta::win32
