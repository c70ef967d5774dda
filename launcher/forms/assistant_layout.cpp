#include "launcher/forms/assistant_layout.h"

#include "launcher/forms/layout.h"

namespace vorta::forms {

namespace {

// The design is drawn in pixels at 96 dpi: 15 twips each.
constexpr int Px(int pixels) {
    return pixels * 15;
}

constexpr int kRowTop = 338;
constexpr int kRowPitch = 27;

}  // namespace

const std::vector<Control>& AssistantControls() {
    static const std::vector<Control> controls = [] {
        using K = ControlKind;
        std::vector<Control> c{
            {kIdAsstProgramLabel, "lblProgram", K::kMnemonicLabel, L"CAD のプログラム(&P):", Px(8),
             Px(12), Px(132), Px(18)},
            {kIdAsstProgram, "cmbProgram", K::kDropDownList, L"", Px(144), Px(8), Px(584), Px(24)},
            {kIdAsstRefresh, "cmdRefresh", K::kButton, L"一覧を更新(&R)", Px(736), Px(7), Px(96),
             Px(26)},
            {kIdAsstTreeLabel, "lblWindows", K::kMnemonicLabel,
             L"ウィンドウ(&W)（◀ は、いまの Lumset.ini の値が指すウィンドウです）:", Px(8), Px(42),
             Px(824), Px(18)},
            {kIdAsstTree, "tvwWindows", K::kTree, L"", Px(8), Px(60), Px(824), Px(250)},
            {kIdAsstHeadKey, "lblHeadKey", K::kMnemonicLabel, L"キー", Px(8), Px(318), Px(120),
             Px(18)},
            {kIdAsstHeadCurrent, "lblHeadCurrent", K::kMnemonicLabel, L"いまの値", Px(132), Px(318),
             Px(220), Px(18)},
            {kIdAsstHeadMark, "lblHeadMark", K::kMnemonicLabel, L"判定", Px(356), Px(318), Px(36),
             Px(18)},
            {kIdAsstHeadValue, "lblHeadValue", K::kMnemonicLabel,
             L"新しい値（提案です。書き換えられます）", Px(396), Px(318), Px(360), Px(18)},
        };
        for (std::size_t k = 0; k < kSettingCount; ++k) {
            const auto key = static_cast<std::uint16_t>(k);
            const int top = kRowTop + static_cast<int>(k) * kRowPitch;
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowKey + key), "lblKey",
                         K::kMnemonicLabel, KeyName(k), Px(8), Px(top + 4), Px(120), Px(18)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowCurrent + key), "txtCurrent",
                         K::kReadOnlyText, L"", Px(132), Px(top), Px(220), Px(23)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowMark + key), "lblMark", K::kMark, L"",
                         Px(356), Px(top + 4), Px(36), Px(18)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowValue + key), "txtValue", K::kTextBox,
                         L"", Px(396), Px(top), Px(360), Px(23)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowAccept + key), "chkAccept",
                         K::kCheckBox, L"採用", Px(764), Px(top + 2), Px(68), Px(20)});
        }
        c.push_back(
            {kIdAsstResult, "txtResult", K::kReport, L"", Px(8), Px(560), Px(824), Px(100)});
        c.push_back(
            {kIdAsstTry, "cmdTry", K::kButton, L"試す(&T)", Px(8), Px(668), Px(100), Px(26)});
        c.push_back(
            {kIdAsstSave, "cmdSave", K::kButton, L"保存(&S)", Px(116), Px(668), Px(100), Px(26)});
        c.push_back(
            {kIdAsstClose, "cmdClose", K::kButton, L"閉じる", Px(732), Px(668), Px(100), Px(26)});
        return c;
    }();
    return controls;
}

FormDesign AssistantDesign() {
    return {kAssistantClientWidth, kAssistantClientHeight, AssistantControls(),
            &TwipsToPixelsHalfAway};
}

}  // namespace vorta::forms
