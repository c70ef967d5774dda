// vortasetup: installs the launcher vortastart and the CAD-side files into a folder the
// user chooses.
#include <windows.h>

#include "installer/app/form1.h"
#include "installer/app/raii.h"

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
