// The installer's folder dialog.
#pragma once

#include <string>

#include "common/win32/win.h"

namespace vorta::setup {

// Shows the platform's folder dialog, owned by the given window, and returns the chosen
// folder's file-system path; empty text when the user cancels or the item has no path.
std::wstring PickInstallFolder(HWND owner);

}  // namespace vorta::setup
