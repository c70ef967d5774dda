#include "launcher/forms/win32/frm_history.h"

#include <string>

#include "common/win32/controls.h"
#include "common/win32/dpi_font.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/form_support.h"

namespace vorta::forms::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VortaConsoleHistory";
constexpr wchar_t kCaption[] = L"ﾋｽﾄﾘｰ";

}  // namespace

frmHistory::frmHistory(HINSTANCE instance) : instance_(instance) {}

bool frmHistory::Create() {
    if (IsOpen()) return true;
    // No owner: the window stands on its own beside the console.
    if (!Window::Create(instance_, vorta::win32::WindowClass{kClassName}, 0, kCaption,
                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr))
        return false;
    HWND window = hwnd();
    const UINT dpi = vorta::win32::DpiOf(window);
    font_ = CreateFormFont(kFormFontPoints, dpi);
    vorta::win32::CreateControls(window, kHistoryDesign, controls_, Placement(dpi));
    // A history can be long: no limit on what the box holds.
    vorta::win32::SetTextLimit(txtHistory(), 0);
    SetClientSize(window, TwipsToPixelsHalfAway(kHistoryClientWidth, static_cast<int>(dpi)),
                  TwipsToPixelsHalfAway(kHistoryClientHeight, static_cast<int>(dpi)));
    return true;
}

vorta::win32::ControlPlacement frmHistory::Placement(UINT dpi) const {
    vorta::win32::ControlPlacement placement{dpi, {font_.get()}};
    placement.redraw = true;
    return placement;
}

void frmHistory::ApplyDpi(UINT dpi) {
    font_ = CreateFormFont(kFormFontPoints, dpi);
    vorta::win32::PlaceControls(kHistoryDesign, controls_, Placement(dpi));
}

void frmHistory::SetText(std::wstring_view text) {
    if (txtHistory() == nullptr) return;
    const std::wstring copy(text);
    ::SetWindowTextW(txtHistory(), copy.c_str());
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
    if (txtHistory() == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const Box box = FillRule(client.right - client.left, client.bottom - client.top);
    ::MoveWindow(txtHistory(), box.left, box.top, box.width, box.height, TRUE);
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
            controls_.fill(nullptr);
            shownBefore_ = false;
            break;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorta::forms::win32
