// The console window's commands, free of the window system: the selection check, Get,
// Put, the Enter key in txtPut, History1, History2, the CAD search and the load step.
// The window (launcher/forms/win32) owns the controls and calls these from its event
// handlers; everything said to the CAD goes through ConsolePlatform, bounded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "launcher/forms/console_platform.h"
#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta::forms {

extern const wchar_t kNoSelectionMessage[];  // "AutoCADが選択されていません"
extern const wchar_t kNotTextMessage[];      // "テキストデータではありません"

// How long one message to a CAD window may take before the console gives up on it.
inline constexpr std::uint32_t kCadAnswerTimeoutMs = 2000;

// The most of a control's text that is read from a CAD window, in ANSI bytes; a command
// line or a history holds far less.
inline constexpr std::int32_t kControlTextMaxBytes = 1024 * 1024;

inline constexpr wchar_t kEnterKey = 13;

// The controls of the console window that the commands read and write.
class ConsoleView {
  public:
    virtual ~ConsoleView() = default;
    // The window's own picker list (the control itself, never a lazily created owner).
    virtual PickerList& PickerListControl() = 0;
    virtual std::wstring TxtPutText() = 0;
    virtual void SetTxtGetText(std::wstring_view text) = 0;
    // Replaces the whole text of txtHistory, creating the history window hidden when it
    // does not exist, then shows it modeless and without owner.
    virtual void ShowHistory(std::wstring_view text) = 0;
    // A modal message box with only an OK button, owned by the console window so the
    // window waits while it is open.
    virtual void MessageBox(std::wstring_view text, std::wstring_view title) = 0;
};

// The payload of Put: text, CR and NUL, converted to the ANSI code page as a whole.
// cbData is its size.
std::string BuildPutPayload(const Platform& codec, std::wstring_view text);

// The part of a text before its first zero character.
std::wstring_view BeforeFirstNul(std::wstring_view text);

class ConsoleCommands {
  public:
    ConsoleCommands(Platform& platform, ConsolePlatform& console, LauncherState& state,
                    ConsoleView& view, std::wstring title);

    // Form_Load: CAD search, then Get when an instance is selected.
    void Load();
    // Each returns after telling the user when nothing is selected.
    void Get();
    void Put();
    void History1();
    void History2();
    void CadSearch();
    // A character typed into txtPut: Enter runs Put and is consumed (returns true);
    // every other character is left to the text box (returns false).
    bool PutKeyPress(wchar_t character);

    // The selected item's record; only meaningful while an item is selected.
    CadInstance SelectedInstance();
    // The whole text of a control that may belong to another process: n + 1 bytes for
    // a text of n bytes, the text followed by a zero character (blanks when nothing
    // was written). A window that does not exist or does not answer gives one blank.
    // A text longer than kControlTextMaxBytes is read as its first
    // kControlTextMaxBytes + 1 bytes; a double-byte character cut in half at the end
    // (also when the text grew while being read) is dropped.
    std::wstring ControlTextOf(Hwnd window);

    // What the last Get read (the text shown in txtGet).
    const std::wstring& LastGetText() const { return lastGet_; }
    // What the last CAD search took of the system, handed over once (a run right after
    // the load step takes it over instead of taking its own).
    std::optional<DiscoverySnapshots> TakeSearchSnapshots() { return std::exchange(searched_, {}); }

  private:
    // The selection check: the selected record, or nothing after telling the user.
    std::optional<CadInstance> CheckSelection();

    Platform& platform_;
    ConsolePlatform& console_;
    LauncherState& state_;
    ConsoleView& view_;
    std::wstring title_;
    std::wstring lastGet_;
    std::optional<DiscoverySnapshots> searched_;
};

}  // namespace vorta::forms
