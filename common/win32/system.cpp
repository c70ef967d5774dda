#include "common/win32/system.h"

namespace vorta::win32 {

namespace {

// Longest path the system hands out (the "\\?\" form).
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", buffer != nullptr ? length : 0);
    if (buffer != nullptr) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size || size >= kLongestPath) {
            path.resize(length);
            return path;
        }
        path.resize(static_cast<std::size_t>(size) * 2);
    }
}

std::wstring ExeFolder() {
    std::wstring path = ExePath();
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return path;
    // A drive root keeps its backslash: "C:\".
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

}  // namespace vorta::win32
