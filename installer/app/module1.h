// Module1: the folder dialog of the installer.
#pragma once

#include <string>

namespace vortasetup {

// Shows the platform's folder dialog, owned by Form1, and returns the chosen folder's
// file-system path; empty text when the user cancels or the item has no path.
std::wstring PickInstallFolder();

}  // namespace vortasetup
