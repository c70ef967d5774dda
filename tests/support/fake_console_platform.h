// A recording fake of what the console window says to CAD windows: child controls
// with identifiers and ANSI texts, windows that do not answer, and the clipboard.
// Every message is logged in order, so a test sees exactly what a CAD would receive.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "launcher/forms/console.h"
#include "launcher/forms/console_platform.h"
#include "launcher/picker_list.h"

namespace vorta::testing {

struct SentMessage {
    std::string
        what;  // "WM_GETTEXTLENGTH", "WM_GETTEXT", "WM_COPYDATA", "WM_COMMAND", "PostMessage"
    Hwnd window = 0;
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::int64_t lParam = 0;
    std::uint32_t dwData = 0;
    std::string data;  // the COPYDATASTRUCT's bytes (cbData = data.size())
    std::uint32_t timeoutMs = 0;
};

class FakeConsolePlatform : public forms::ConsolePlatform {
  public:
    // --- Scenario.
    std::map<std::pair<Hwnd, std::int32_t>, Hwnd> children;  // (parent, id) -> child
    std::map<Hwnd, std::string> texts;                       // control -> ANSI text
    std::set<Hwnd> hung;                                     // windows that never answer
    std::optional<std::string> clipboard;                    // CF_TEXT, when any
    // What the CAD's text window puts on the clipboard when asked for its history.
    std::map<Hwnd, std::string> historyOnRequest;
    // Texts that shrink between WM_GETTEXTLENGTH and WM_GETTEXT.
    std::map<Hwnd, std::string> textAfterLengthRead;
    // What the window system records of each window (class, identifier, parent, style).
    std::map<Hwnd, forms::WindowFacts> facts;

    // --- Observed.
    std::vector<SentMessage> sent;

    Hwnd GetDlgItem(Hwnd parent, std::int32_t controlId) override;
    std::optional<std::int32_t> SendGetTextLength(Hwnd window, std::uint32_t timeoutMs) override;
    bool SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) override;
    bool SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                      std::string_view payload, std::uint32_t timeoutMs) override;
    bool SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                     std::uint32_t timeoutMs) override;
    void PostWindowMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                           std::int32_t lParam) override;
    bool ClipboardHasText() override { return clipboard.has_value(); }
    std::optional<std::string> ClipboardGetText() override { return clipboard; }
    std::optional<forms::WindowFacts> DescribeWindow(Hwnd window) override {
        auto it = facts.find(window);
        if (it == facts.end()) return std::nullopt;
        return it->second;
    }

  private:
    bool Exists(Hwnd window) const;
};

// The console window's controls without a window: a plain picker list, the two text
// boxes and the history window's state.
class FakeConsoleView : public forms::ConsoleView {
  public:
    PlainPickerList list;
    std::wstring txtPut = L"txtPut";
    std::wstring txtGet = L"txtGet";
    std::optional<std::wstring> txtHistory;  // nothing until the history window exists
    int historyWindowsCreated = 0;
    int historyShows = 0;
    int listTouches = 0;
    std::vector<std::pair<std::wstring, std::wstring>> messageBoxes;  // text, title

    PickerList& PickerListControl() override {
        ++listTouches;
        return list;
    }
    std::wstring TxtPutText() override { return txtPut; }
    void SetTxtGetText(std::wstring_view text) override { txtGet = text; }
    void ShowHistory(std::wstring_view text) override {
        if (!txtHistory) ++historyWindowsCreated;
        txtHistory = std::wstring(text);
        ++historyShows;
    }
    void MessageBox(std::wstring_view text, std::wstring_view title) override {
        messageBoxes.emplace_back(text, title);
    }
};

}  // namespace vorta::testing
