// What the console's windows share beyond the common window base: their font, sizing a
// window by its client area, and placing it on the screen.
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

// How a kind of control is made: its window class, style and extended style.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};
// A child control of that kind; its font is set by the caller.
HWND CreateControl(HWND parent, const ControlClass& kind, const wchar_t* text, int id);

// "ＭＳ Ｐゴシック" at the given size (the console's height rule), normal weight.
vorta::win32::GdiObject<HFONT> CreateFormFont(double points, UINT dpi);

// Gives the control its font and puts it at its designed place (twips) at `dpi`; the window
// of a drop-down list also spans `droppedRows` rows of its dropped list. Returns the designed
// height in pixels.
int PlaceControl(HWND control, HFONT font, int left, int top, int width, int height, UINT dpi,
                 int droppedRows = 0, bool redraw = false);

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
