// What the console window needs from the window system beyond vorta::Platform: child
// lookup, text reads, the command record and the history command sent to the CAD, and
// reading the clipboard. Every message sent to a window of the CAD is bounded by a
// time-out, so a CAD that stopped answering cannot hold the console (or the launcher,
// which loads the console on its start-up path) for ever. Text travels as ANSI bytes;
// the console logic converts with Platform::ToAnsi/FromAnsi.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/platform.h"

namespace vorta::forms {

// What the settings assistant shows of a window beyond its caption. Read from the
// window system's own records, never by a message to the window's thread, so a CAD that
// does not answer cannot hold the assistant.
struct WindowFacts {
    std::string className;  // ANSI bytes
    std::int32_t controlId = 0;
    Hwnd parent = 0;  // 0 for a top-level window
    std::uint32_t style = 0;
};

class ConsolePlatform {
  public:
    virtual ~ConsolePlatform() = default;

    // GetDlgItem: the child of parent with that control identifier, 0 when there is none.
    virtual Hwnd GetDlgItem(Hwnd parent, std::int32_t controlId) = 0;

    // WM_GETTEXTLENGTH (wParam 0, lParam 0). Nothing when the window does not exist or
    // did not answer within timeoutMs.
    virtual std::optional<std::int32_t> SendGetTextLength(Hwnd window, std::uint32_t timeoutMs) = 0;

    // WM_GETTEXT with wParam buffer.size() and lParam the buffer, which the window may
    // overwrite in place. False when the window did not answer within timeoutMs.
    virtual bool SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) = 0;

    // WM_COPYDATA with the given wParam and a COPYDATASTRUCT {dwData, cbData =
    // payload.size(), lpData = payload}. False when not handled within timeoutMs.
    virtual bool SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                              std::string_view payload, std::uint32_t timeoutMs) = 0;

    // WM_COMMAND with the given wParam and lParam. False when not handled in time.
    virtual bool SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                             std::uint32_t timeoutMs) = 0;

    // PostMessageA: queues the message and returns at once.
    virtual void PostWindowMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                                   std::int32_t lParam) = 0;

    // Whether the clipboard holds text (CF_TEXT), and that text up to its first zero
    // byte; nothing when there is none or the clipboard cannot be opened.
    virtual bool ClipboardHasText() = 0;
    virtual std::optional<std::string> ClipboardGetText() = 0;

    // The window's class, control identifier, parent and style; nothing when the window
    // does not exist.
    virtual std::optional<WindowFacts> DescribeWindow(Hwnd window) = 0;
};

}  // namespace vorta::forms
