#include "launcher/forms/assistant_layout.h"

namespace vorta::forms {

namespace {

// The design is drawn in pixels at 96 dpi: 15 twips each.
constexpr int Px(int pixels) {
    return pixels * 15;
}

constexpr int kRowTop = 338;
constexpr int kRowPitch = 27;

}  // namespace

const std::vector<AssistantControl>& AssistantControls() {
    static const std::vector<AssistantControl> controls = [] {
        using K = AssistantKind;
        std::vector<AssistantControl> c{
            {kIdAsstProgramLabel, K::kLabel, L"CAD のプログラム(&P):", Px(8), Px(12), Px(132),
             Px(18)},
            {kIdAsstProgram, K::kDropDownList, L"", Px(144), Px(8), Px(584), Px(24)},
            {kIdAsstRefresh, K::kButton, L"一覧を更新(&R)", Px(736), Px(7), Px(96), Px(26)},
            {kIdAsstTreeLabel, K::kLabel,
             L"ウィンドウ(&W)（◀ は、いまの Lumset.ini の値が指すウィンドウです）:", Px(8), Px(42),
             Px(824), Px(18)},
            {kIdAsstTree, K::kTree, L"", Px(8), Px(60), Px(824), Px(250)},
            {kIdAsstHeadKey, K::kLabel, L"キー", Px(8), Px(318), Px(120), Px(18)},
            {kIdAsstHeadCurrent, K::kLabel, L"いまの値", Px(132), Px(318), Px(220), Px(18)},
            {kIdAsstHeadMark, K::kLabel, L"判定", Px(356), Px(318), Px(36), Px(18)},
            {kIdAsstHeadValue, K::kLabel, L"新しい値（提案です。書き換えられます）", Px(396),
             Px(318), Px(360), Px(18)},
        };
        for (std::size_t k = 0; k < kSettingCount; ++k) {
            const auto key = static_cast<std::uint16_t>(k);
            const int top = kRowTop + static_cast<int>(k) * kRowPitch;
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowKey + key), K::kLabel, KeyName(k),
                         Px(8), Px(top + 4), Px(120), Px(18)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowCurrent + key), K::kReadOnlyText, L"",
                         Px(132), Px(top), Px(220), Px(23)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowMark + key), K::kMark, L"", Px(356),
                         Px(top + 4), Px(36), Px(18)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowValue + key), K::kText, L"", Px(396),
                         Px(top), Px(360), Px(23)});
            c.push_back({static_cast<std::uint16_t>(kIdAsstRowAccept + key), K::kCheckBox, L"採用",
                         Px(764), Px(top + 2), Px(68), Px(20)});
        }
        c.push_back({kIdAsstResult, K::kReport, L"", Px(8), Px(560), Px(824), Px(100)});
        c.push_back({kIdAsstTry, K::kButton, L"試す(&T)", Px(8), Px(668), Px(100), Px(26)});
        c.push_back({kIdAsstSave, K::kButton, L"保存(&S)", Px(116), Px(668), Px(100), Px(26)});
        c.push_back({kIdAsstClose, K::kButton, L"閉じる", Px(732), Px(668), Px(100), Px(26)});
        return c;
    }();
    return controls;
}

}  // namespace vorta::forms
