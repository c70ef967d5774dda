// What the stand-in CAD, the probe and the console driver share beyond the programs' own
// Win32 base (common/win32: resource owners, ANSI conversion) and text rules (common/text:
// the hex dump), both brought in here: UTF-8 for their logs and output, the clipboard's
// text and the program's arguments.
#pragma once

#include "common/text/text_format.h"
#include "common/win32/ansi.h"
#include "common/win32/unique.h"
#include "common/win32/win.h"
// windows.h first.
#include <shellapi.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vorta::tools {

using win32::AnsiToWide;
using win32::OpenedClipboard;
using win32::UniqueHandle;
using win32::WideToAnsi;

inline std::wstring FromUtf8(std::string_view bytes) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                            n);
    return out;
}

inline std::string ToUtf8(std::wstring_view text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

// The text as UTF-8 with control characters written as \xNN, so one event stays on
// one log line.
inline std::string Printable(std::wstring_view text) {
    std::wstring cleaned;
    std::string out;
    for (const wchar_t c : text) {
        if (c < 0x20 || c == 0x7F || c == L'\\') {
            out += ToUtf8(cleaned);
            cleaned.clear();
            char buf[8];
            if (c == L'\\') {
                out += "\\\\";
            } else {
                wsprintfA(buf, "\\x%02X", static_cast<unsigned>(c));
                out += buf;
            }
        } else {
            cleaned += c;
        }
    }
    out += ToUtf8(cleaned);
    return out;
}

// The clipboard, opened within a bounded time: another program may hold it for a moment.
inline OpenedClipboard OpenClipboardWithin(HWND owner, DWORD boundMs = 2000) {
    const DWORD start = GetTickCount();
    OpenedClipboard clipboard = win32::OpenClipboardOnce(owner);
    while (!clipboard && GetTickCount() - start < boundMs) {
        Sleep(10);
        clipboard = win32::OpenClipboardOnce(owner);
    }
    return clipboard;
}

// Reads the CF_TEXT bytes on the clipboard (without the terminating zero). The
// clipboard must be open.
inline bool ReadClipboardText(std::string& bytes) {
    const HANDLE data = GetClipboardData(CF_TEXT);
    const win32::GlobalLocked text = win32::LockGlobal(data);
    if (!text) return false;
    bytes.assign(static_cast<const char*>(text.get()),
                 strnlen(static_cast<const char*>(text.get()), GlobalSize(data)));
    return true;
}

// Empties the clipboard and puts the bytes on it as CF_TEXT. The clipboard must be
// open.
inline bool WriteClipboardText(std::string_view bytes) {
    EmptyClipboard();
    // Zeroed, so the text ends with its zero byte.
    win32::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 1));
    if (const win32::GlobalLocked text = win32::LockGlobal(memory.get())) {
        CopyMemory(text.get(), bytes.data(), bytes.size());
    } else {
        return false;
    }
    if (SetClipboardData(CF_TEXT, memory.get()) == nullptr) return false;
    memory.release();  // the clipboard owns it now
    return true;
}

// The program's arguments (without the program name) as UTF-16.
inline std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> out;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) return out;
    for (int i = 1; i < argc; ++i) out.emplace_back(argv[i]);
    LocalFree(argv);
    return out;
}

}  // namespace vorta::tools
