// vortastart: no window of its own. Reads the pause file, drives the CAD once and
// ends the process at once, discarding whatever windows the run created.
#include "launcher/picker_list.h"
#include "launcher/launcher_state.h"
#include "launcher/startup.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vorta::win32::Win32Platform platform;
    vorta::PlainPickerHost picker;
    vorta::LauncherState state;
    vorta::Main(platform, picker, state);
    ::ExitProcess(0);
}
