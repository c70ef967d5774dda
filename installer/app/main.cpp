// vortasetup: installs the launcher vortastart and the CAD-side files into a folder the
// user chooses.
#include <cstdlib>

#include "common/win32/loaded_function.h"
#include "common/win32/unique.h"
#include "common/win32/win.h"
#include "installer/app/form1.h"

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
    const auto setDirectories = vorta::win32::LoadedFunction<BOOL(WINAPI*)(DWORD)>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    // The folder dialog and the shell object need an apartment-threaded COM on this thread.
    const auto com = vorta::win32::InitialiseCom(COINIT_APARTMENTTHREADED);
    return vorta::setup::RunForm1(instance);
}
