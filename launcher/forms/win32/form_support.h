// What both console windows need from Win32: the window's real DPI, the forms' font,
// sizing a window by its client area, and placing it on the screen.
#pragma once

#include "launcher/win32/raii.h"
#include "launcher/win32/win32.h"

namespace vorta::forms::win32 {

// The DPI the window is shown at (per monitor where the system knows it).
UINT DpiOf(HWND window);

// "ＭＳ Ｐゴシック" at the given size, normal weight, Shift-JIS character set.
HFONT CreateFormFont(double points, UINT dpi);

// Resizes the window so that its client area measures width x height pixels, keeping
// its top left corner.
void SetClientSize(HWND window, int width, int height);

// Moves the window to the centre of the work area of the monitor it is on.
void CentreOnScreen(HWND window);

// Puts `window` to the right of `beside` when it fits on that monitor's work area,
// otherwise centres it.
void PlaceBeside(HWND window, HWND beside);

// Registers a window class of the forms once per process; true when it is registered.
bool RegisterFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HICON icon,
                       HICON smallIcon);

// Creates a child control; the window's font is set by the caller.
HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                 DWORD style, int id);

}  // namespace vorta::forms::win32
