#include "common/win32/window.h"

#include <utility>

namespace vorta::win32 {

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, windowClass.name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    return ::RegisterClassExW(&wc) != 0;
}

Window::~Window() {
    if (hwnd_ == nullptr) return;
    // The derived part is gone: no message may reach HandleMessage any more.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(std::exchange(hwnd_, nullptr));
}

void Window::Destroy() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

bool Window::Create(HINSTANCE instance, const WindowClass& windowClass, DWORD exStyle,
                    const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU menu) {
    if (hwnd_ != nullptr) return true;
    if (!RegisterWindowClass(instance, windowClass, &Window::Procedure)) return false;
    return ::CreateWindowExW(exStyle, windowClass.name, caption, style, x, y, width, height, parent,
                             menu, instance, this) != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::wstring WindowClassName(HWND window) {
    wchar_t name[257] = {};  // class names are at most 256 characters
    const int length = ::GetClassNameW(window, name, 257);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                 DWORD style, int id, int x, int y, int width, int height) {
    return ::CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

}  // namespace vorta::win32
