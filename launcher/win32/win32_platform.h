// vorta::Platform over the real Win32 calls. Each method is one thin call (or one
// walk of a snapshot); retries, bounds and order are the launcher logic's business.
#pragma once

#include "common/win32/window.h"
#include "launcher/platform.h"
#include "launcher/win32/win32.h"

namespace vorta::win32 {

class Win32Platform final : public Platform {
  public:
    std::string ToAnsi(std::wstring_view text) const override;
    std::wstring FromAnsi(std::string_view bytes) const override;
    bool IsLeadByte(unsigned char byte) const override;

    std::wstring ApplicationPath() override;
    std::optional<std::string> ReadFileHead(const std::wstring& path,
                                            std::size_t maxBytes) override;
    std::string ReadProfileString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue,
                                  const std::wstring& fileName) override;

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
    bool IsWindow(Hwnd window) override;
    bool IsWindowVisible(Hwnd window) override;
    WindowOwner GetWindowThreadProcessId(Hwnd window) override;
    Hwnd GetRootWindow(Hwnd window) override;
    bool IsChild(Hwnd parent, Hwnd window) override;
    Hwnd GetForegroundWindow() override;
    Hwnd GetFocusOfThread(std::uint32_t threadId) override;
    Hwnd WindowFromPoint(Point point) override;
    ProcessRights CompareProcessRights(std::uint32_t processId) override;
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
    ClipboardResult ClipboardSetText(std::string_view ansiText,
                                     std::uint32_t readerProcessId) override;
    bool WaitForClipboardTextTaken(std::uint32_t timeoutMs) override;

    void MessageBox(std::wstring_view text, std::wstring_view title) override;

  private:
    // A hidden window of ours that owns what we put on the clipboard and hands it over
    // when its reader asks (WM_RENDERFORMAT).
    class ClipboardOwnerWindow final : public Window {
      public:
        explicit ClipboardOwnerWindow(Win32Platform& platform) : platform_(platform) {}
        // The window, created on first use; null when it cannot be created.
        HWND Open();

      protected:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

      private:
        Win32Platform& platform_;
    };

    void RenderOffered();
    ClipboardOwnerWindow clipboardOwner_{*this};
    std::string offered_;          // the text on offer, in ANSI bytes
    std::uint32_t offeredTo_ = 0;  // the process it is for
    bool offeredTaken_ = false;
};

}  // namespace vorta::win32
