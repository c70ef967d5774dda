#include "launcher/forms/win32/frm_history.h"

#include <string>

#include "common/win32/dpi_font.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/form_support.h"

namespace vorta::forms::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VortaConsoleHistory";
constexpr wchar_t kCaption[] = L"ﾋｽﾄﾘｰ";

}  // namespace

frmHistory::frmHistory(HINSTANCE instance) : instance_(instance) {}

frmHistory::~frmHistory() {
    // Its WM_NCDESTROY handling needs this object whole.
    Destroy();
}

bool frmHistory::Create() {
    if (IsOpen()) return true;
    // No owner: the window stands on its own beside the console.
    if (!Window::Create(instance_, vorta::win32::WindowClass{kClassName}, 0, kCaption,
                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr))
        return false;
    HWND window = hwnd();
    const ControlLayout& control = kTxtHistory;
    txtHistory_ = vorta::win32::CreateChild(window, WS_EX_CLIENTEDGE, L"EDIT", control.text,
                                            WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                                                ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN,
                                            control.id);
    // A history can be long: no limit on what the box holds.
    ::SendMessageW(txtHistory_, EM_SETLIMITTEXT, 0, 0);
    const UINT dpi = vorta::win32::DpiOf(window);
    ApplyDpi(dpi);
    SetClientSize(window, TwipsToPixelsHalfAway(kHistoryClientWidth, static_cast<int>(dpi)),
                  TwipsToPixelsHalfAway(kHistoryClientHeight, static_cast<int>(dpi)));
    return true;
}

void frmHistory::ApplyDpi(UINT dpi) {
    font_ = CreateFormFont(kFormFontPoints, dpi);
    const ControlLayout& control = kTxtHistory;
    PlaceControl(txtHistory_, font_.get(), control.left, control.top, control.width, control.height,
                 dpi, 0, true);
}

void frmHistory::SetText(std::wstring_view text) {
    if (txtHistory_ == nullptr) return;
    const std::wstring copy(text);
    ::SetWindowTextW(txtHistory_, copy.c_str());
}

void frmHistory::Show(HWND console) {
    if (!IsOpen()) return;
    if (!shownBefore_) {
        PlaceBeside(hwnd(), console);
        shownBefore_ = true;
    }
    ::ShowWindow(hwnd(), ::IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    ::SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void frmHistory::Form_Resize() {
    if (txtHistory_ == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const Box box = FillRule(client.right - client.left, client.bottom - client.top);
    ::MoveWindow(txtHistory_, box.left, box.top, box.width, box.height, TRUE);
}

LRESULT frmHistory::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_DPICHANGED: {
            ApplyDpi(HIWORD(wParam));
            TakeSuggestedRect(hwnd(), lParam);
            return 0;
        }
        case WM_NCDESTROY:
            txtHistory_ = nullptr;
            shownBefore_ = false;
            break;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorta::forms::win32
