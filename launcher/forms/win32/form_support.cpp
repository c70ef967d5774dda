#include "launcher/forms/win32/form_support.h"

#include "common/win32/dpi_font.h"
#include "common/win32/loaded_function.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/console_resources.h"

namespace vorta::forms::win32 {

FormIcons LoadFormIcons(HINSTANCE instance) {
    auto load = [instance](int width, int height) {
        return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_FRMMAIN), IMAGE_ICON,
                                               width, height, LR_SHARED));
    };
    return {load(32, 32), load(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON))};
}

vorta::win32::GdiObject<HFONT> CreateFormFont(double points, UINT dpi) {
    return vorta::win32::CreateJapaneseFont(
        kFontFace, FontHeightPixels(points, static_cast<int>(dpi)), FW_NORMAL);
}

void SetClientSize(HWND window, int width, int height) {
    // Present from Windows 10 1607 on; older systems get the estimate at the screen's DPI.
    static const auto adjustForDpi =
        vorta::win32::LoadedFunction<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>(
            L"user32.dll", "AdjustWindowRectExForDpi");
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL hasMenu = ::GetMenu(window) != nullptr;
    RECT frame{0, 0, width, height};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu, exStyle, vorta::win32::DpiOf(window));
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

void TakeSuggestedRect(HWND window, LPARAM suggested) {
    const RECT* rect = reinterpret_cast<const RECT*>(suggested);
    ::SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
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

}  // namespace vorta::forms::win32
