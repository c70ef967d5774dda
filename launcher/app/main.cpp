// vortastart: no window of its own. Reads the pause file, drives the CAD once and
// ends the process at once, discarding whatever windows the run created (the console
// window that holds the picker list is created hidden on the way).
// Started with the Shift key held down, it shows the console window instead and ends
// when that window is closed.
#include "launcher/main.h"

#include <cstdlib>

#include "common/win32/win.h"
#include "launcher/forms/win32/console_picker_host.h"
#include "launcher/forms/win32/win32_console_platform.h"
#include "launcher/launcher_state.h"
#include "launcher/win32/win32_platform.h"

// An exception that nobody catches ends the program with abort(), as it always has. The
// library's default handler would first print the exception's type, demangled, to a
// standard error that a window program does not have; it brings the whole demangler and
// a printf with floating point (some 75 KB) into the program for that.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vorta::win32::Win32Platform platform;
    vorta::forms::win32::Win32ConsolePlatform console(platform);
    vorta::LauncherState state;
    vorta::forms::win32::ConsolePickerHost picker(platform, console, state, instance);
    // A freshly started process has no keyboard state of its own yet: ask for the
    // key's physical state.
    if ((::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0) {
        ::ExitProcess(static_cast<UINT>(
            vorta::forms::win32::ShowConsoleUntilClosed(platform, picker, state)));
    }
    vorta::Main(platform, picker, state);
    ::ExitProcess(0);
}
