// The narrow interface between the launcher's logic and the window system.
// The logic (start-up, settings, discovery, the launch sequence) calls only this;
// launcher/win32 implements it over Win32, tests/support implements a recording fake.
// Calls that take or give ANSI text traffic in ANSI bytes (std::string); the logic
// converts with ToAnsi/FromAnsi, so it decides where text is cut.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorta {

// Window handles are 32-bit values.
using Hwnd = std::uint32_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle without area, as a window of no size has.
inline bool IsEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// One PROCESSENTRY32 as far as discovery needs it. exeFile is the whole 260-byte
// szExeFile field in the ANSI code page, zero bytes of its unused tail included.
struct ProcessEntry {
    std::uint32_t processId = 0;
    std::string exeFile;
};

// One THREADENTRY32 as far as discovery needs it.
struct ThreadEntry {
    std::uint32_t threadId = 0;
    std::uint32_t ownerProcessId = 0;
};

// The KEYBDINPUT part of one INPUT record of type INPUT_KEYBOARD.
struct KeyboardInput {
    std::uint16_t wVk = 0;
    std::uint16_t wScan = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t time = 0;
    std::uint32_t dwExtraInfo = 0;
    friend bool operator==(const KeyboardInput&, const KeyboardInput&) = default;
};

// The process and thread that own a window; zeros when the window does not exist.
struct WindowOwner {
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

// Another process's rights compared with ours (integrity level and elevation).
enum class ProcessRights {
    kNotHigher,
    kHigher,   // our synthetic input would be dropped on the way to it (also when the
               // system refuses us its process or token: elevated, or another account's)
    kUnknown,  // its rights cannot be read
};

enum class ClipboardResult {
    kOk,
    kBusy,    // another program holds the clipboard open
    kFailed,  // opened, but the operation itself failed
};

class Platform {
  public:
    virtual ~Platform() = default;

    // --- Code page: the system's ANSI code page (932 on Japanese Windows).
    virtual std::string ToAnsi(std::wstring_view text) const = 0;
    virtual std::wstring FromAnsi(std::string_view bytes) const = 0;
    // Whether the byte starts a double-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char byte) const = 0;

    // --- Files.
    // Folder of the running executable: no trailing backslash, except at a drive root.
    virtual std::wstring ApplicationPath() = 0;
    // At most the first maxBytes bytes of a file, or nothing when it cannot be opened
    // or read.
    virtual std::optional<std::string> ReadFileHead(const std::wstring& path,
                                                    std::size_t maxBytes) = 0;
    // The profile (INI) value of key in section, as the profile reader gives it (at most
    // 254 characters; the default when the file or the key is missing), in ANSI bytes.
    // The file is named by its Unicode path, so a folder name outside the ANSI code
    // page does not hide it.
    virtual std::string ReadProfileString(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& defaultValue,
                                          const std::wstring& fileName) = 0;

    // --- Processes, threads and windows. Each snapshot is taken, walked and closed
    // inside the call.
    virtual std::vector<ProcessEntry> SnapshotProcesses() = 0;
    virtual std::vector<ThreadEntry> SnapshotThreads() = 0;
    // Calls onWindow for every top-level window of the thread until it returns false.
    virtual void EnumThreadWindows(std::uint32_t threadId,
                                   const std::function<bool(Hwnd)>& onWindow) = 0;
    // Calls onChild for every descendant of parent until it returns false.
    virtual void EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& onChild) = 0;
    virtual std::int32_t GetWindowTextLengthA(Hwnd window) = 0;
    // GetWindowTextA into a buffer of bufferSize zero bytes; returns the whole buffer.
    virtual std::string GetWindowTextA(Hwnd window, std::int32_t bufferSize) = 0;

    // --- Cursor, windows and input. bool results are "nonzero".
    virtual bool GetCursorPos(Point& out) = 0;
    virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
    virtual bool GetClipCursor(Rect& out) = 0;
    virtual bool ClipCursor(const Rect& rect) = 0;
    // Whether the window's thread answers a message (WM_NULL) within the time; never
    // waits longer, even for a window that has stopped answering.
    virtual bool IsWindowResponding(Hwnd window, std::uint32_t timeoutMs) = 0;
    // Checks that never wait for the window's thread.
    virtual bool IsWindow(Hwnd window) = 0;
    // The window and every ancestor have the visible style.
    virtual bool IsWindowVisible(Hwnd window) = 0;
    virtual WindowOwner GetWindowThreadProcessId(Hwnd window) = 0;
    // The top-level window that holds the window (itself when it is top-level).
    virtual Hwnd GetRootWindow(Hwnd window) = 0;
    // Whether window is a descendant of parent.
    virtual bool IsChild(Hwnd parent, Hwnd window) = 0;
    virtual Hwnd GetForegroundWindow() = 0;
    // The window with the keyboard focus in that thread's input queue; 0 when none or
    // when it cannot be read.
    virtual Hwnd GetFocusOfThread(std::uint32_t threadId) = 0;
    // The window a click at that screen point would reach.
    virtual Hwnd WindowFromPoint(Point point) = 0;
    virtual ProcessRights CompareProcessRights(std::uint32_t processId) = 0;

    virtual bool IsIconic(Hwnd window) = 0;
    virtual bool OpenIcon(Hwnd window) = 0;
    virtual bool SetForegroundWindow(Hwnd window) = 0;
    virtual bool GetWindowRect(Hwnd window, Rect& out) = 0;
    // OpenIcon and SetWindowPos wait for the window's thread (SetWindowPos with
    // SWP_ASYNCWINDOWPOS does not): ask IsWindowResponding first.
    virtual bool SetWindowPos(Hwnd window, std::int32_t insertAfter, std::int32_t x, std::int32_t y,
                              std::int32_t cx, std::int32_t cy, std::uint32_t flags) = 0;
    virtual void MouseEvent(std::uint32_t flags) = 0;
    virtual std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) = 0;
    // SendInput with one INPUT_KEYBOARD record of cbSize bytes; returns events inserted.
    virtual std::uint32_t SendInput(const KeyboardInput& input, std::int32_t cbSize) = 0;

    // --- Time and events.
    // Pauses for the time while still answering messages other programs send to this
    // thread (a clipboard reader's request for the text on offer among them).
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Milliseconds since some fixed point; wraps like GetTickCount.
    virtual std::uint32_t TickCount() = 0;
    // Lets the thread process its pending window events once.
    virtual void DoEvents() = 0;

    // --- Clipboard (plain ANSI text, CF_TEXT). Each call opens and closes it, with a
    // window of ours as the owner.
    virtual ClipboardResult ClipboardClear() = 0;
    // Offers the text on the clipboard without handing it over yet (delayed rendering):
    // it is given only to a reader of process readerProcessId (or one that opened the
    // clipboard without a window). Other programs that ask meanwhile (clipboard viewers,
    // history services) get nothing, and the text stays offered.
    virtual ClipboardResult ClipboardSetText(std::string_view ansiText,
                                             std::uint32_t readerProcessId) = 0;
    // Waits, handling the messages sent to this thread, until the text offered last was
    // taken by its reader: the proof that a paste arrived. False after timeoutMs.
    virtual bool WaitForClipboardTextTaken(std::uint32_t timeoutMs) = 0;

    // --- User messages: modal, OK only, with the given title.
    virtual void MessageBox(std::wstring_view text, std::wstring_view title) = 0;
};

}  // namespace vorta
