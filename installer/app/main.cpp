// vortasetup: installs the launcher vortastart and the CAD-side files into a folder the
// user chooses.
#include <windows.h>

#include <cstdlib>

#include "installer/app/form1.h"
#include "installer/app/raii.h"

// An exception that nobody catches ends the program with abort(), as it always has. The
// library's default handler would first print the exception's type, demangled, to a
// standard error that a window program does not have; it brings the whole demangler and
// a printf with floating point (some 75 KB) into the program for that.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace {

// Installers are started from download folders, where a planted DLL must never be loaded:
// from here on only the system folder is searched. Looked up by name so that a Windows
// without the function still starts.
void RestrictDllSearchToSystem() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    const auto set_directories = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set_directories) set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    const vortasetup::ComApartment com;
    return vortasetup::RunForm1(instance);
}
