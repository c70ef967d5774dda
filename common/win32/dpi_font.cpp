#include "common/win32/dpi_font.h"

namespace vorta::win32 {

namespace {

// Present from Windows 10 1607 on; looked up so the programs still start on older
// systems, which then get the screen's DPI.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn GetDpiForWindowFunction() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")));
}

}  // namespace

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = GetDpiForWindowFunction();
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    const ScreenDc screen = GetScreenDc();
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

GdiObject<HFONT> CreateJapaneseFont(const wchar_t* face, int heightPixels, int weight) {
    LOGFONTW font{};
    font.lfHeight = heightPixels;
    font.lfWeight = weight;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return GdiObject<HFONT>(::CreateFontIndirectW(&font));
}

}  // namespace vorta::win32
