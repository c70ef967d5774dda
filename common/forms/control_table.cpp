#include "common/forms/control_table.h"

namespace vorta::forms {

Box PixelBox(const FormDesign& design, const Control& control, int dpi) {
    return {design.toPixels(control.left, dpi), design.toPixels(control.top, dpi),
            design.toPixels(control.width, dpi), design.toPixels(control.height, dpi)};
}

Box ClientBox(const FormDesign& design, int dpi) {
    return {0, 0, design.toPixels(design.clientWidth, dpi),
            design.toPixels(design.clientHeight, dpi)};
}

std::size_t IndexOf(std::span<const Control> controls, int id) {
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].id == id) return i;
    return controls.size();
}

}  // namespace vorta::forms
