// The controls of a form's design (common/forms/control_table.h) as child windows: each
// kind's class and styles, the one routine that creates a window's children from its
// table, and the one that gives them their fonts and designed places at a DPI.
#pragma once

#include <array>
#include <functional>
#include <span>

#include "common/forms/control_table.h"
#include "common/win32/win.h"

namespace vorta::win32 {

// How a kind of control is made: its window class, style and extended style.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};
// Nothing (a null name) for forms::ControlKind::kCustom.
ControlClass ClassOf(forms::ControlKind kind);

// What the controls of a form get at a DPI.
struct ControlPlacement {
    UINT dpi = 96;
    // The window's fonts, by forms::Control::font.
    std::array<HFONT, 2> fonts{};
    // A drop-down list's window also spans this many rows of its dropped list, and the
    // list drops this wide (twips; 0 for as wide as the box).
    int droppedRows = 0;
    int droppedWidth = 0;
    // Whether the controls are repainted at once.
    bool redraw = false;
};

// Gives the control its font and puts it at `box` (pixels); a drop-down list's window also
// spans `droppedRows` rows of its dropped list.
void PlaceControl(HWND control, HFONT font, const forms::Box& box, int droppedRows = 0,
                  bool redraw = false);

// Gives every control of the design its font and its designed place at `placement.dpi`;
// `children` holds the controls in the table's order.
void PlaceControls(const forms::FormDesign& design, std::span<const HWND> children,
                   const ControlPlacement& placement);

// Makes a kCustom control of the design; null when it cannot.
using MakeCustomControl = std::function<HWND(const forms::Control&)>;

// Creates the design's controls that `children` does not hold yet (one slot per control,
// in the table's order), in that order, which makes it the order of the Tab key; then
// places them all. False when a control cannot be created: the ones made stay in
// `children` for another attempt.
bool CreateControls(HWND parent, const forms::FormDesign& design, std::span<HWND> children,
                    const ControlPlacement& placement, const MakeCustomControl& makeCustom = {});

}  // namespace vorta::win32
