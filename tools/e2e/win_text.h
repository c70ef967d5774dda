// Small Win32 helpers shared by the stand-in CAD and the test probe: text conversion
// between UTF-8, UTF-16 and the ANSI code page, hex dumps, and RAII owners for the
// handles these tools take.
#pragma once

#include <windows.h>
// windows.h first.
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorta::tools {

inline std::wstring Widen(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

inline std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

inline std::wstring FromUtf8(std::string_view bytes) {
    return Widen(bytes, CP_UTF8);
}
inline std::string ToUtf8(std::wstring_view text) {
    return Narrow(text, CP_UTF8);
}
inline std::wstring FromAnsi(std::string_view bytes) {
    return Widen(bytes, CP_ACP);
}
inline std::string ToAnsi(std::wstring_view text) {
    return Narrow(text, CP_ACP);
}

// "1B 28 6C" for the bytes 0x1B 0x28 0x6C.
inline std::string Hex(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i != 0) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
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

// Owns a kernel handle (file, process, snapshot).
class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = other.h_;
            other.h_ = nullptr;
        }
        return *this;
    }
    ~Handle() { Reset(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void Reset() {
        if (valid()) CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_ = nullptr;
};

// Holds the clipboard open for one scope. Opening is retried for a bounded time,
// because another program may hold it for a moment.
class ClipboardSession {
  public:
    explicit ClipboardSession(HWND owner, DWORD boundMs = 2000) {
        const DWORD start = GetTickCount();
        while (!(open_ = OpenClipboard(owner) != FALSE) && GetTickCount() - start < boundMs) {
            Sleep(10);
        }
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    bool open() const { return open_; }

  private:
    bool open_ = false;
};

// Reads the CF_TEXT bytes on the clipboard (without the terminating zero). The
// clipboard must be open.
inline bool ReadClipboardText(std::string& bytes) {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return false;
    const auto* p = static_cast<const char*>(GlobalLock(data));
    if (p == nullptr) return false;
    const SIZE_T cap = GlobalSize(data);
    SIZE_T n = 0;
    while (n < cap && p[n] != '\0') ++n;
    bytes.assign(p, n);
    GlobalUnlock(data);
    return true;
}

// Empties the clipboard and puts the bytes on it as CF_TEXT. The clipboard must be
// open.
inline bool WriteClipboardText(std::string_view bytes) {
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (mem == nullptr) return false;
    auto* p = static_cast<char*>(GlobalLock(mem));
    if (p == nullptr) {
        GlobalFree(mem);
        return false;
    }
    if (!bytes.empty()) CopyMemory(p, bytes.data(), bytes.size());
    p[bytes.size()] = '\0';
    GlobalUnlock(mem);
    if (SetClipboardData(CF_TEXT, mem) == nullptr) {
        GlobalFree(mem);
        return false;
    }
    return true;  // the clipboard owns the memory now
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
