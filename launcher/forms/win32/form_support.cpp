#include "launcher/forms/win32/form_support.h"

#include "launcher/forms/layout.h"

namespace vorta::forms::win32 {

namespace {

// Present from Windows 10 1607 on; looked up so the program still starts on older
// systems, which then get the screen's DPI.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    vorta::win32::WindowDc screen(nullptr);
    int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HFONT CreateFormFont(double points, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = FontHeightPixels(points, static_cast<int>(dpi));
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(font.lfFaceName, kFontFace, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

void SetClientSize(HWND window, int width, int height) {
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL hasMenu = ::GetMenu(window) != nullptr;
    RECT frame{0, 0, width, height};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu, exStyle, DpiOf(window));
    } else {
        ::AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    }
    int outerWidth = frame.right - frame.left;
    int outerHeight = frame.bottom - frame.top;
    // The menu bar may take another height than the estimate (or wrap): measure and
    // correct, a bounded number of times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        ::SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        ::GetClientRect(window, &client);
        const int dx = width - (client.right - client.left);
        const int dy = height - (client.bottom - client.top);
        if (dx == 0 && dy == 0) break;
        outerWidth += dx;
        outerHeight += dy;
    }
}

namespace {

RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

}  // namespace

void CentreOnScreen(HWND window) {
    RECT area = WorkAreaOf(window);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceBeside(HWND window, HWND beside) {
    if (beside == nullptr || !::IsWindowVisible(beside) || ::IsIconic(beside)) {
        CentreOnScreen(window);
        return;
    }
    RECT area = WorkAreaOf(beside);
    RECT anchor{};
    RECT rect{};
    ::GetWindowRect(beside, &anchor);
    ::GetWindowRect(window, &rect);
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    const int x = anchor.right;
    int y = anchor.top;
    if (y + h > area.bottom) y = area.bottom - h;
    if (y < area.top) y = area.top;
    if (x + w > area.right) {
        CentreOnScreen(window);
        return;
    }
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegisterFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HICON icon,
                       HICON smallIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, className, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0;
}

HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                 DWORD style, int id) {
    return ::CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

}  // namespace vorta::forms::win32
