// What the console's windows share beyond the common window base and the controls of a
// design (common/win32/form_controls.h): their icon and font, sizing a window by its
// client area, and placing it on the screen.
#pragma once

#include "common/win32/unique.h"
#include "common/win32/win.h"

namespace vorta::forms::win32 {

// The console's icon (IDI_FRMMAIN) at the large and the small icon size, shared: never
// destroyed.
struct FormIcons {
    HICON icon;
    HICON smallIcon;
};
FormIcons LoadFormIcons(HINSTANCE instance);

// "ＭＳ Ｐゴシック" at the given size (the console's height rule), normal weight.
vorta::win32::GdiObject<HFONT> CreateFormFont(double points, UINT dpi);

// Resizes the window so that its client area measures width x height pixels, keeping
// its top left corner.
void SetClientSize(HWND window, int width, int height);

// Moves and sizes the window to the rectangle that WM_DPICHANGED suggests (its lParam).
void TakeSuggestedRect(HWND window, LPARAM suggested);

// Moves the window to the centre of the work area of the monitor it is on.
void CentreOnScreen(HWND window);

// Puts `window` to the right of `beside` when it fits on that monitor's work area,
// otherwise centres it.
void PlaceBeside(HWND window, HWND beside);

}  // namespace vorta::forms::win32
