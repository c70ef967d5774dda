#include "common/win32/dpi_font.h"

#include "common/win32/loaded_function.h"

namespace vorta::win32 {

UINT DpiOf(HWND window) {
    // Present from Windows 10 1607 on; older systems get the screen's DPI.
    static const auto getDpiForWindow =
        LoadedFunction<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
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
