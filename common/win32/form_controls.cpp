#include "common/win32/form_controls.h"

#include <commctrl.h>

#include "common/win32/controls.h"
#include "common/win32/window.h"

namespace vorta::win32 {

ControlClass ClassOf(forms::ControlKind kind) {
    using K = forms::ControlKind;
    switch (kind) {
        case K::kLabel:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case K::kMnemonicLabel:
            return {L"STATIC", SS_LEFT, 0};
        case K::kMiddleLabel:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0};
        case K::kMark:
            return {L"STATIC", SS_CENTER | SS_NOPREFIX, 0};
        case K::kButton:
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case K::kCheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case K::kDropDownList:
            return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case K::kTextBox:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case K::kReadOnlyText:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case K::kMultiLineTextBox:
            return {L"EDIT",
                    WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                        ES_AUTOVSCROLL | ES_WANTRETURN,
                    WS_EX_CLIENTEDGE};
        case K::kReport:
            return {L"EDIT",
                    WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    WS_EX_CLIENTEDGE};
        case K::kTree:
            return {
                WC_TREEVIEWW,
                WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                WS_EX_CLIENTEDGE};
        case K::kCustom:
            break;
    }
    return {nullptr, 0, 0};
}

void PlaceControl(HWND control, HFONT font, const forms::Box& box, int droppedRows, bool redraw) {
    if (font != nullptr)
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    int height = box.height;
    if (droppedRows > 0) height += droppedRows * ComboItemHeight(control, 0) + 2;
    ::MoveWindow(control, box.left, box.top, box.width, height, redraw);
}

void PlaceControls(const forms::FormDesign& design, std::span<const HWND> children,
                   const ControlPlacement& placement) {
    const int dpi = static_cast<int>(placement.dpi);
    for (std::size_t i = 0; i < design.controls.size() && i < children.size(); ++i) {
        const forms::Control& control = design.controls[i];
        const HFONT font =
            control.font < placement.fonts.size() ? placement.fonts[control.font] : nullptr;
        const bool dropDown = control.kind == forms::ControlKind::kDropDownList;
        PlaceControl(children[i], font, forms::PixelBox(design, control, dpi),
                     dropDown ? placement.droppedRows : 0, placement.redraw);
        if (dropDown && placement.droppedWidth > 0)
            ComboSetDroppedWidth(children[i], design.toPixels(placement.droppedWidth, dpi));
    }
}

bool CreateControls(HWND parent, const forms::FormDesign& design, std::span<HWND> children,
                    const ControlPlacement& placement, const MakeCustomControl& makeCustom) {
    for (std::size_t i = 0; i < design.controls.size() && i < children.size(); ++i) {
        if (children[i] != nullptr) continue;  // made by an earlier attempt
        const forms::Control& control = design.controls[i];
        if (control.kind == forms::ControlKind::kCustom) {
            children[i] = makeCustom ? makeCustom(control) : nullptr;
        } else {
            const ControlClass kind = ClassOf(control.kind);
            children[i] =
                CreateChild(parent, kind.exStyle, kind.name, control.text, kind.style, control.id);
        }
        if (children[i] == nullptr) return false;
    }
    if (children.size() < design.controls.size()) return false;
    PlaceControls(design, children, placement);
    return true;
}

}  // namespace vorta::win32
