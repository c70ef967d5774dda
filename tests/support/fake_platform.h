// A recording fake of the launcher's platform: processes, threads and windows are
// described by the test; every call that changes something is logged in order; any
// call can be made to fail a number of times or always. Text goes through code page
// 932 (iconv), as on Japanese Windows.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/text/text_format.h"
#include "launcher/platform.h"

namespace vorta::testing {

std::string Cp932(std::wstring_view text);
std::wstring FromCp932(std::string_view bytes);

struct FakeWindow {
    Hwnd hwnd = 0;
    std::uint32_t threadId = 0;
    Hwnd parent = 0;  // 0 for a top-level window
    std::wstring caption;
    Rect rect;
    bool iconic = false;
    bool hung = false;        // its thread has stopped answering messages
    bool unanswered = false;  // a question to it timed out and is still pending
    bool visible = true;
    bool ignoresPaste = false;  // Ctrl+V with the focus here pastes nothing (a frame window)
    // GetWindowTextLengthA may report more than the text holds (a Unicode window of
    // another process read through the ANSI call): this many bytes more.
    std::int32_t lengthOverestimate = 0;
};

class FakePlatform : public Platform {
  public:
    // --- Scenario.
    std::wstring applicationPath = L"C:\\Tools\\Vorta";
    std::map<std::wstring, std::string> files;  // path -> bytes
    // ini file name (ANSI bytes as passed) -> key -> value (text)
    std::map<std::wstring, std::map<std::wstring, std::wstring>> iniMain;
    // Read profiles from `files` instead, as the system's reader does: the file in the
    // code page (FromAnsi), then the profile rules, at most 254 bytes.
    bool profilesFromFiles = false;
    std::vector<ProcessEntry> processes;
    std::vector<ThreadEntry> threads;
    std::vector<FakeWindow> windows;
    // Name of a call -> how many more times it fails (-1: always).
    std::map<std::string, int> failures;
    // Name of a call -> how many more times it succeeds before it fails for good.
    std::map<std::string, int> failuresAfter;
    std::uint32_t tick = 100000;
    // Process id -> its rights compared with ours (kNotHigher when not listed).
    std::map<std::uint32_t, ProcessRights> rights;
    // Actions run once, right after the first logged call that starts with the prefix
    // (the CAD closing or hanging in the middle of a run).
    std::vector<std::pair<std::string, std::function<void()>>> triggers;
    // A confinement takes effect only at the next sleep or event pumping, as under Wine.
    bool clipTakesEffectLater = false;
    // A window that keeps the keyboard focus of its thread: activation and clicks leave it
    // there (a drawing area that hands the keys on to the command line).
    Hwnd focusKeeper = 0;

    // --- Observable state.
    Point cursor{500, 400};
    Rect clip{0, 0, 1280, 1024};
    std::optional<Rect> pendingClip;
    Hwnd foreground = 0;
    std::map<std::uint32_t, Hwnd> focus;  // thread id -> window with the keyboard focus
    std::vector<Hwnd> topmost;
    std::optional<std::string> clipboard;  // CF_TEXT bytes
    std::vector<std::string> log;          // every call that acts, in order
    std::vector<std::uint32_t> sleeps;
    std::vector<std::pair<std::wstring, std::wstring>> messageBoxes;  // text, title
    int snapshotsTaken = 0;

    // Helpers for building scenarios.
    void AddProcess(std::uint32_t pid, std::string_view exeName);
    void AddThread(std::uint32_t tid, std::uint32_t pid);
    void AddWindow(FakeWindow w) { windows.push_back(std::move(w)); }
    std::uint32_t PauseTotal() const;
    bool IsTopmost(Hwnd w) const;
    std::size_t CountLog(std::string_view prefix) const;
    // The window and its descendants are gone (their program ended).
    void DestroyWindowTree(Hwnd window);
    void HangProcessWindows(std::uint32_t processId, bool hung = true);

    // --- Platform.
    std::string ToAnsi(std::wstring_view text) const override { return Cp932(text); }
    std::wstring FromAnsi(std::string_view bytes) const override { return FromCp932(bytes); }
    bool IsLeadByte(unsigned char b) const override {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }
    std::wstring ApplicationPath() override { return applicationPath; }
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
    std::uint32_t TickCount() override { return tick; }
    void DoEvents() override;
    ClipboardResult ClipboardClear() override;
    ClipboardResult ClipboardSetText(std::string_view ansiText,
                                     std::uint32_t readerProcessId) override;
    bool WaitForClipboardTextTaken(std::uint32_t timeoutMs) override;
    void MessageBox(std::wstring_view text, std::wstring_view title) override;

    std::vector<KeyboardInput> keyInputs;
    std::vector<std::int32_t> keyInputSizes;
    bool clipboardBusy = false;  // another program holds the clipboard
    std::uint32_t clipboardReader = 0;

  private:
    void Log(std::string entry);
    void Activate(Hwnd window);
    void ApplyPendingClip();
    bool Fails(const std::string& call);
    FakeWindow* Find(Hwnd hwnd);
    // Lookups over `windows`, rebuilt whenever windows are added, so a desktop of
    // thousands of windows costs the launcher's work, not the fake's searching.
    void Reindex();
    std::size_t indexedCount_ = static_cast<std::size_t>(-1);
    std::map<Hwnd, std::size_t> byHandle_;
    std::map<std::uint32_t, std::vector<Hwnd>> topByThread_;
    std::map<Hwnd, std::vector<Hwnd>> childrenOf_;
};

}  // namespace vorta::testing
