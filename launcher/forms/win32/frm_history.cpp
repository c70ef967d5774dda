#include "launcher/forms/win32/frm_history.h"

#include <string>

#include "launcher/forms/layout.h"
#include "launcher/forms/win32/form_support.h"

namespace vorta::forms::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VortaConsoleHistory";
constexpr wchar_t kCaption[] = L"ﾋｽﾄﾘｰ";

}  // namespace

frmHistory::frmHistory(HINSTANCE instance) : instance_(instance) {}

frmHistory::~frmHistory() {
    Close();
}

bool frmHistory::Create() {
    if (hwnd_ != nullptr) return true;
    if (!RegisterFormClass(instance_, kClassName, &frmHistory::WindowProc, nullptr, nullptr))
        return false;
    // No owner: the window stands on its own beside the console.
    HWND window = ::CreateWindowExW(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance_, this);
    if (window == nullptr) return false;
    const ControlLayout& control = kTxtHistory;
    txtHistory_ = CreateChild(window, WS_EX_CLIENTEDGE, L"EDIT", control.text,
                              WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                                  ES_AUTOVSCROLL | ES_WANTRETURN,
                              control.id);
    // A history can be long: no limit on what the box holds.
    ::SendMessageW(txtHistory_, EM_SETLIMITTEXT, 0, 0);
    const UINT dpi = DpiOf(window);
    ApplyDpi(dpi);
    SetClientSize(window, TwipsToPixels(kHistoryClientWidth, static_cast<int>(dpi)),
                  TwipsToPixels(kHistoryClientHeight, static_cast<int>(dpi)));
    return true;
}

void frmHistory::ApplyDpi(UINT dpi) {
    font_.reset(CreateFormFont(kFormFontPoints, dpi));
    ::SendMessageW(txtHistory_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    const int d = static_cast<int>(dpi);
    const ControlLayout& control = kTxtHistory;
    ::MoveWindow(txtHistory_, TwipsToPixels(control.left, d), TwipsToPixels(control.top, d),
                 TwipsToPixels(control.width, d), TwipsToPixels(control.height, d), TRUE);
}

void frmHistory::SetText(std::wstring_view text) {
    if (txtHistory_ == nullptr) return;
    const std::wstring copy(text);
    ::SetWindowTextW(txtHistory_, copy.c_str());
}

void frmHistory::Show(HWND console) {
    if (hwnd_ == nullptr) return;
    if (!shownBefore_) {
        PlaceBeside(hwnd_, console);
        shownBefore_ = true;
    }
    ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void frmHistory::Close() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void frmHistory::Form_Resize() {
    if (txtHistory_ == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const Box box = FillRule(client.right - client.left, client.bottom - client.top);
    ::MoveWindow(txtHistory_, box.left, box.top, box.width, box.height, TRUE);
}

LRESULT CALLBACK frmHistory::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<frmHistory*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<frmHistory*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT frmHistory::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = hwnd_;
    switch (message) {
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_DPICHANGED: {
            ApplyDpi(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            txtHistory_ = nullptr;
            shownBefore_ = false;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vorta::forms::win32
