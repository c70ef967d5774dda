// A window's design as the window places it, checked in pixels at a DPI, for the layout
// tests of both programs.
#pragma once

#include <string>
#include <vector>

#include "common/forms/control_table.h"

namespace vorta::testing {

// The controls that the design puts inside the client area (in twips) but that leave it
// once placed in whole pixels at `dpi`, by name. A control designed to stand out of the
// client area is the designer's choice and is not reported.
inline std::vector<std::string> ControlsLeavingTheClientArea(const forms::FormDesign& design,
                                                             int dpi) {
    std::vector<std::string> leaving;
    const forms::Box client = forms::ClientBox(design, dpi);
    for (const forms::Control& control : design.controls) {
        const bool designedInside = control.left >= 0 && control.top >= 0 &&
                                    control.left + control.width <= design.clientWidth &&
                                    control.top + control.height <= design.clientHeight;
        const forms::Box box = forms::PixelBox(design, control, dpi);
        if (designedInside &&
            (box.left < 0 || box.top < 0 || box.width <= 0 || box.height <= 0 ||
             box.left + box.width > client.width || box.top + box.height > client.height))
            leaving.push_back(std::string(control.name) + " at " + std::to_string(dpi) + " dpi");
    }
    return leaving;
}

}  // namespace vorta::testing
