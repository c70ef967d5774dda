// The design of the console window frmMain and the history window frmHistory, in
// twips (1/1440 inch) from the client area's top left corner, and the rules that
// resize their controls. Kept free of the window system so the rules can be tested.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vorta::forms {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels and back at the given dots per inch (15 twips per pixel at 96 dpi),
// rounded to the nearest value with halves away from zero, and held at the int range. A
// DPI of zero or below counts as 96.
int TwipsToPixelsHalfAway(int twips, int dpi);
int PixelsToTwipsHalfAway(int pixels, int dpi);

enum class ControlKind { kDropDownList, kLabel, kTextBox, kButton, kMultiLineTextBox };

// Control identifiers of frmMain's children and menu items, and of txtHistory.
enum ControlId : std::uint16_t {
    kIdCmbFileName = 101,
    kIdLabel2,
    kIdTxtGet,
    kIdLabel3,
    kIdTxtPut,
    kIdCmdHistory1,
    kIdCmdHistory2,
    kIdCmdGet,
    kIdCmdPut,
    kIdTxtHistory,
    kIdMnuCADSearch = 201,
    kIdMnuEnd,
};

struct ControlLayout {
    ControlId id;
    const char* name;
    ControlKind kind;
    const wchar_t* text;  // caption or initial text
    int left, top, width, height;
    int tabIndex;
};

inline constexpr int kMainClientWidth = 4740;
inline constexpr int kMainClientHeight = 3120;

// In tab order (cmdGet first); a window creates its children in this order.
inline constexpr std::array<ControlLayout, 9> kMainControls{{
    {kIdCmdGet, "cmdGet", ControlKind::kButton, L"Get", 2160, 2760, 1215, 375, 0},
    {kIdTxtPut, "txtPut", ControlKind::kTextBox, L"txtPut", 720, 2400, 3975, 270, 1},
    {kIdTxtGet, "txtGet", ControlKind::kTextBox, L"txtGet", 720, 2025, 3975, 270, 2},
    {kIdCmdPut, "cmdPut", ControlKind::kButton, L"Put", 3480, 2760, 1215, 375, 3},
    {kIdLabel2, "Label2", ControlKind::kLabel, L"ｺﾏﾝﾄﾞ", 0, 2040, 615, 255, 4},
    {kIdLabel3, "Label3", ControlKind::kLabel, L"入力値", 120, 2400, 495, 255, 5},
    {kIdCmdHistory1, "cmdHistory1", ControlKind::kButton, L"History1", 0, 2760, 975, 375, 6},
    {kIdCmbFileName, "cmbFileName", ControlKind::kDropDownList, L"", 0, 0, 4695, 300, 7},
    {kIdCmdHistory2, "cmdHistory2", ControlKind::kButton, L"History2", 1080, 2760, 975, 375, 8},
}};

const ControlLayout& MainControl(ControlId id);

inline constexpr int kHistoryClientWidth = 6150;
inline constexpr int kHistoryClientHeight = 4485;
inline constexpr ControlLayout kTxtHistory{kIdTxtHistory,
                                           "txtHistory",
                                           ControlKind::kMultiLineTextBox,
                                           L"txtHistory",
                                           0,
                                           0,
                                           6135,
                                           4455,
                                           0};

// The form's font (every control but Label3) and Label3's own font, in points.
inline constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
inline constexpr double kFormFontPoints = 9.0;
inline constexpr double kLabel3FontPoints = 8.25;
// Font height in pixels for a point size (negative: character height, as LOGFONT wants);
// a DPI of zero or below counts as 96.
int FontHeightPixels(double points, int dpi);

// Width rule of frmMain: cmbFileName as wide as the client area, txtGet and txtPut from
// their left edge to the client area's right edge. Nothing when a width would be
// negative (a minimised or very narrow window): the widths then stay as they are.
struct MainWidths {
    int cmbFileName;
    int txtGet;
    int txtPut;
    friend bool operator==(const MainWidths&, const MainWidths&) = default;
};
std::optional<MainWidths> WidthRule(int clientWidthTwips);

// Fill rule of frmHistory: txtHistory covers the whole client area from 0, 0.
struct Box {
    int left, top, width, height;
    friend bool operator==(const Box&, const Box&) = default;
};
Box FillRule(int clientWidth, int clientHeight);

}  // namespace vorta::forms
