// vorta::Platform over the real Win32 calls. Each method is one thin call (or one
// walk of a snapshot); retries, bounds and order are the launcher logic's business.
#pragma once

#include "launcher/platform.h"

namespace vorta::win32 {

class Win32Platform final : public Platform {
  public:
    std::string ToAnsi(std::wstring_view text) const override;
    std::wstring FromAnsi(std::string_view bytes) const override;

    std::wstring ApplicationPath() override;
    std::optional<std::string> ReadWholeFile(const std::wstring& path) override;
    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::string& buffer,
                                           const std::string& fileName) override;

    std::vector<ProcessEntry> SnapshotProcesses() override;
    std::vector<ThreadEntry> SnapshotThreads() override;
    void EnumThreadWindows(std::uint32_t threadId,
                           const std::function<bool(Hwnd)>& onWindow) override;
    void EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& onChild) override;
    std::int32_t GetWindowTextLengthA(Hwnd window) override;
    std::string GetWindowTextA(Hwnd window, std::int32_t bufferSize) override;

    bool GetCursorPos(Point& out) override;
    bool SetCursorPos(std::int32_t x, std::int32_t y) override;
    bool GetClipCursor(Rect& out) override;
    bool ClipCursor(const Rect& rect) override;
    bool IsWindowResponding(Hwnd window, std::uint32_t timeoutMs) override;
    bool IsIconic(Hwnd window) override;
    bool OpenIcon(Hwnd window) override;
    bool SetForegroundWindow(Hwnd window) override;
    bool GetWindowRect(Hwnd window, Rect& out) override;
    bool SetWindowPos(Hwnd window, std::int32_t insertAfter, std::int32_t x, std::int32_t y,
                      std::int32_t cx, std::int32_t cy, std::uint32_t flags) override;
    void MouseEvent(std::uint32_t flags) override;
    std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) override;
    std::uint32_t SendInput(const KeyboardInput& input, std::int32_t cbSize) override;

    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;
    void DoEvents() override;

    ClipboardResult ClipboardClear() override;
    ClipboardResult ClipboardSetText(std::string_view ansiText) override;

    void MessageBox(std::wstring_view text, std::wstring_view title) override;
};

}  // namespace vorta::win32
