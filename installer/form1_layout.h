// The design of the installer's window Form1: its client area and controls in twips from
// the client area's top left corner, in tab order (the order the window creates them in).
// Twips become pixels at the screen's DPI with halves to the even neighbour.
#pragma once

#include <array>
#include <cstdint>

#include "common/forms/control_table.h"
#include "installer/placement.h"

namespace vorta::setup {

// The form's fonts: bold for the buttons, regular for the information line.
inline constexpr std::uint8_t kBoldFont = 0;
inline constexpr std::uint8_t kRegularFont = 1;

enum Form1Id : std::uint16_t { kIdPicture1 = 100, kIdCommand1, kIdCommand2, kIdLabel1 };

inline constexpr int kForm1ClientWidth = 9585;
inline constexpr int kForm1ClientHeight = 4830;

// Picture1 (the banner, a window class of the form's own) is two pixels wider than the
// client area, as designed.
inline constexpr std::array<forms::Control, 4> kForm1Controls{{
    {kIdPicture1, "Picture1", forms::ControlKind::kCustom, L"", 0, 0, 9615, 4005, forms::kNoFont},
    {kIdCommand1, "Command1", forms::ControlKind::kButton, L"インストール", 5280, 4080, 1935, 615,
     kBoldFont},
    {kIdCommand2, "Command2", forms::ControlKind::kButton, L"キャンセル", 7440, 4080, 1935, 615,
     kBoldFont},
    {kIdLabel1, "Label1", forms::ControlKind::kMiddleLabel, L"ヴォルタをインストールします。", 120,
     4200, 5055, 375, kRegularFont},
}};

inline constexpr forms::FormDesign kForm1Design{kForm1ClientWidth, kForm1ClientHeight,
                                                kForm1Controls, &TwipsToPixelsHalfToEven};

}  // namespace vorta::setup
