// Form1: the installer's one window, with the banner, the information line and the two
// buttons "インストール" and "キャンセル".
#pragma once

#include <windows.h>

namespace vortasetup {

// Creates Form1, places it (Form_Load), shows it and runs its events until the program ends.
int RunForm1(HINSTANCE instance);

// Form1's window handle, for the folder dialog and the message boxes it owns.
HWND Form1Handle();

// Processes the window events that are pending now, without waiting for new ones.
void ProcessPendingForm1Events();

}  // namespace vortasetup
