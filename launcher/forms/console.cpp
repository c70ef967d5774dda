#include "launcher/forms/console.h"

#include <algorithm>
#include <utility>

#include "launcher/ansi_text.h"
#include "launcher/cad_protocol.h"
#include "launcher/discovery.h"
#include "launcher/win32_values.h"

namespace vorta::forms {

const wchar_t kNoSelectionMessage[] = L"AutoCADが選択されていません";
const wchar_t kNotTextMessage[] = L"テキストデータではありません";

std::string BuildPutPayload(const Platform& codec, std::wstring_view text) {
    std::wstring payload(text);
    payload += L'\r';
    payload += L'\0';
    return codec.ToAnsi(payload);
}

std::wstring_view BeforeFirstNul(std::wstring_view text) {
    return text.substr(0, text.find(L'\0'));
}

ConsoleCommands::ConsoleCommands(Platform& platform, ConsolePlatform& console, LauncherState& state,
                                 ConsoleView& view, std::wstring title)
    : platform_(platform),
      console_(console),
      state_(state),
      view_(view),
      title_(std::move(title)) {}

void ConsoleCommands::Load() {
    CadSearch();
    if (view_.PickerListControl().ListIndex() >= 0) Get();
}

std::optional<CadInstance> ConsoleCommands::CheckSelection() {
    if (view_.PickerListControl().ListIndex() < 0) {
        view_.MessageBox(kNoSelectionMessage, title_);
        return std::nullopt;
    }
    return SelectedInstance();
}

CadInstance ConsoleCommands::SelectedInstance() {
    const CadInstance* selected = SelectedRecord(view_.PickerListControl(), state_.table);
    return selected != nullptr ? *selected : CadInstance{};
}

std::wstring ConsoleCommands::ControlTextOf(Hwnd window) {
    // A window that is gone or does not answer is not asked again: one blank.
    std::optional<std::int32_t> length = console_.SendGetTextLength(window, kCadAnswerTimeoutMs);
    // The control belongs to another program and may claim any length: no more than
    // kControlTextMaxBytes is read, the rest is cut off.
    const std::int32_t n = std::clamp(length.value_or(0), 0, kControlTextMaxBytes);
    // n + 1 blanks and the terminating zero; the control may write n + 2 bytes.
    std::string buffer = platform_.ToAnsi(std::wstring(static_cast<std::size_t>(n) + 1, L' '));
    buffer.push_back('\0');
    if (length) console_.SendGetText(window, buffer, kCadAnswerTimeoutMs);
    // The first n + 1 bytes. When the text grew after its length was read (or was cut
    // at the limit), they may end in the lead byte of a double-byte character whose
    // trail byte did not fit: that half character is dropped.
    return platform_.FromAnsi(CutAnsi(platform_, buffer, static_cast<std::size_t>(n) + 1));
}

void ConsoleCommands::Get() {
    std::optional<CadInstance> cad = CheckSelection();
    if (!cad) return;
    Hwnd w = console_.GetDlgItem(cad->MainCommandLine, state_.settings.MainCmdCtrlID);
    lastGet_ = std::wstring(BeforeFirstNul(ControlTextOf(w)));
    view_.SetTxtGetText(lastGet_);
}

void ConsoleCommands::Put() {
    std::optional<CadInstance> cad = CheckSelection();
    if (!cad) return;
    const std::string payload = BuildPutPayload(platform_, view_.TxtPutText());
    // The wParam is the constant 1, not our window handle. The CAD has taken the record
    // when the call returns; the posted WM_NULL makes its message loop run once more.
    console_.SendCopyData(cad->MainWindow, cad::kCopyDataWParam, cad::kCopyDataCommandText, payload,
                          kCadAnswerTimeoutMs);
    console_.PostWindowMessage(cad->MainWindow, winapi::kWmNull, 0, 0);
    Get();
}

bool ConsoleCommands::PutKeyPress(wchar_t character) {
    if (character != kEnterKey) return false;
    Put();
    return true;
}

void ConsoleCommands::History1() {
    std::optional<CadInstance> cad = CheckSelection();
    if (!cad) return;
    // The CAD has put its history on the clipboard when the call returns; no pause.
    console_.SendCommand(cad->TextWindow, cad::kCmdCopyHistory, 0, kCadAnswerTimeoutMs);
    std::optional<std::string> text;
    if (console_.ClipboardHasText()) text = console_.ClipboardGetText();
    if (!text) {
        view_.MessageBox(kNotTextMessage, title_);
        return;
    }
    view_.ShowHistory(platform_.FromAnsi(*text));
}

void ConsoleCommands::History2() {
    std::optional<CadInstance> cad = CheckSelection();
    if (!cad) return;
    Hwnd w = console_.GetDlgItem(cad->TextCommandLine, state_.settings.TextHistCtrlID);
    view_.ShowHistory(BeforeFirstNul(ControlTextOf(w)));
}

void ConsoleCommands::CadSearch() {
    searched_ = FindCadInstances(platform_, state_, view_.PickerListControl()).snapshots;
}

}  // namespace vorta::forms
