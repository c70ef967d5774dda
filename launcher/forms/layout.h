// The design of the console window frmMain and the history window frmHistory, in
// twips (1/1440 inch) from the client area's top left corner, and the rules that
// resize their controls. Kept free of the window system so the rules can be tested.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/forms/control_table.h"

namespace vorta::forms {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels and back at the given dots per inch (15 twips per pixel at 96 dpi),
// rounded to the nearest value with halves away from zero, and held at the int range. A
// DPI of zero or below counts as 96.
int TwipsToPixelsHalfAway(int twips, int dpi);
int PixelsToTwipsHalfAway(int pixels, int dpi);

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

inline constexpr int kMainClientWidth = 4740;
inline constexpr int kMainClientHeight = 3120;

// The form's fonts: the first for every control but Label3, the second Label3's own.
inline constexpr std::uint8_t kFormFont = 0;
inline constexpr std::uint8_t kLabel3Font = 1;

// In tab order (cmdGet first); a window creates its children in this order.
inline constexpr std::array<Control, 9> kMainControls{{
    {kIdCmdGet, "cmdGet", ControlKind::kButton, L"Get", 2160, 2760, 1215, 375},
    {kIdTxtPut, "txtPut", ControlKind::kTextBox, L"txtPut", 720, 2400, 3975, 270},
    {kIdTxtGet, "txtGet", ControlKind::kTextBox, L"txtGet", 720, 2025, 3975, 270},
    {kIdCmdPut, "cmdPut", ControlKind::kButton, L"Put", 3480, 2760, 1215, 375},
    {kIdLabel2, "Label2", ControlKind::kLabel, L"ｺﾏﾝﾄﾞ", 0, 2040, 615, 255},
    {kIdLabel3, "Label3", ControlKind::kLabel, L"入力値", 120, 2400, 495, 255, kLabel3Font},
    {kIdCmdHistory1, "cmdHistory1", ControlKind::kButton, L"History1", 0, 2760, 975, 375},
    {kIdCmbFileName, "cmbFileName", ControlKind::kDropDownList, L"", 0, 0, 4695, 300},
    {kIdCmdHistory2, "cmdHistory2", ControlKind::kButton, L"History2", 1080, 2760, 975, 375},
}};

const Control& MainControl(ControlId id);

inline constexpr int kHistoryClientWidth = 6150;
inline constexpr int kHistoryClientHeight = 4485;
inline constexpr std::array<Control, 1> kHistoryControls{{
    {kIdTxtHistory, "txtHistory", ControlKind::kMultiLineTextBox, L"txtHistory", 0, 0, 6135, 4455},
}};
inline constexpr const Control& kTxtHistory = kHistoryControls[0];

// The two windows' designs; twips become pixels with halves away from zero.
inline constexpr FormDesign kMainDesign{kMainClientWidth, kMainClientHeight, kMainControls,
                                        &TwipsToPixelsHalfAway};
inline constexpr FormDesign kHistoryDesign{kHistoryClientWidth, kHistoryClientHeight,
                                           kHistoryControls, &TwipsToPixelsHalfAway};

// The form's font and Label3's own font, in points.
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
Box FillRule(int clientWidth, int clientHeight);

}  // namespace vorta::forms
