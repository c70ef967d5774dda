// Functions that only newer systems have, looked up at run time so that the programs still
// start on the older ones.
#pragma once

#include "common/win32/win.h"

namespace vorta::win32 {

// The function `name` of a module the process has loaded already; null when the module
// is not loaded or the system does not have the function.
template <typename Fn>
Fn LoadedFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = ::GetModuleHandleW(module);
    if (loaded == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(loaded, name)));
}

}  // namespace vorta::win32
