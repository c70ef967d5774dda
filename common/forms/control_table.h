// A window's design as one table: each control's id, name, kind, text and place in twips
// from the client area's top left corner, listed in tab order, which is the order the
// window creates them in. Free of the window system, so every design can be checked
// natively; common/win32/form_controls.h creates and places the controls of a table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorta::forms {

// What a control is; the window system side gives each kind its class and styles.
enum class ControlKind : std::uint8_t {
    kLabel,             // left-aligned text, "&" shown as it is
    kMnemonicLabel,     // left-aligned text whose "&" marks the access key
    kMiddleLabel,       // like kLabel, centred vertically in its box
    kMark,              // centred text, "&" shown as it is
    kButton,            // a push button
    kCheckBox,          // a check box that checks itself when clicked
    kDropDownList,      // a combo box whose field cannot be typed into
    kTextBox,           // one line, scrolling sideways
    kReadOnlyText,      // like kTextBox, read-only
    kMultiLineTextBox,  // both scroll bars; Enter starts a new line
    kReport,            // multi-line, read-only, with a vertical scroll bar
    kTree,              // a tree view with lines and buttons
    kCustom,            // a window class of the form's own, made by the form
};

// Control::font for a control that keeps the font its class gives it.
inline constexpr std::uint8_t kNoFont = 0xFF;

struct Control {
    std::uint16_t id;
    const char* name;
    ControlKind kind;
    const wchar_t* text;  // caption or initial text
    int left, top, width, height;
    std::uint8_t font = 0;  // which of the window's fonts (0 = the form's own)
};

// A place in pixels.
struct Box {
    int left, top, width, height;
    friend bool operator==(const Box&, const Box&) = default;
};

// How a window turns twips into whole pixels at a DPI (each window keeps its rounding).
using TwipsToPixels = int (*)(int twips, int dpi);

struct FormDesign {
    int clientWidth, clientHeight;  // twips
    std::span<const Control> controls;
    TwipsToPixels toPixels;
};

// The control's designed place in pixels at `dpi`.
Box PixelBox(const FormDesign& design, const Control& control, int dpi);
// The client area in pixels at `dpi`, from 0, 0.
Box ClientBox(const FormDesign& design, int dpi);

// The index of the control with that id in the table; the table's size for none.
std::size_t IndexOf(std::span<const Control> controls, int id);

}  // namespace vorta::forms
