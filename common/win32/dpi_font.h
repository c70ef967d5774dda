// The DPI a window is shown at and the fonts of the programs' windows.
#pragma once

#include "common/win32/unique.h"
#include "common/win32/win.h"

namespace vorta::win32 {

// The window's DPI (per monitor where the system knows it); for no window, or on a
// system without per-window DPI, the screen's; 96 when nothing answers.
UINT DpiOf(HWND window);

// A font of the given face, height in pixels (the caller's rounding rule) and weight, in
// the Shift-JIS character set.
GdiObject<HFONT> CreateJapaneseFont(const wchar_t* face, int heightPixels, int weight);

}  // namespace vorta::win32
