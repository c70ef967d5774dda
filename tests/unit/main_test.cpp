#include "launcher/main.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/pause_file.h"
#include "launcher/picker_list.h"
#include "tests/support/fake_platform.h"

namespace vorta {
namespace {

using testing::FakePlatform;

TEST(MainStart, MissingPauseFileWarnsOnceThenLaunchesWithFive) {
    FakePlatform platform;
    PlainPickerHost picker;
    LauncherState state;
    Main(platform, picker, state);
    ASSERT_GE(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kPauseFileMessage);
    EXPECT_EQ(platform.messageBoxes[0].second, L"vortastart");
    EXPECT_EQ(state.PauseUnit, 5);
    EXPECT_EQ(state.AppFolder, L"C:\\Tools\\Vorta\\");  // the launch ran
    // The message's gap is one ideographic space; its digits and tilde are full-width.
    EXPECT_NE(std::wstring(kPauseFileMessage).find(L"１～２０をセットして\u3000tardo.dat"),
              std::wstring::npos);
}

TEST(MainStart, PauseFileBesideTheProgramIsUsedEvenAtADriveRoot) {
    FakePlatform platform;
    platform.applicationPath = L"E:\\";
    platform.files[L"E:\\\\tardo.dat"] = "  12 \r\n";
    PlainPickerHost picker;
    LauncherState state;
    Main(platform, picker, state);
    EXPECT_EQ(state.PauseUnit, 12);
    EXPECT_EQ(state.AppFolder, L"E:\\");
    for (auto& box : platform.messageBoxes) EXPECT_NE(box.first, kPauseFileMessage);
}

TEST(MainStart, ZeroPauseIsRaisedToOne) {
    FakePlatform platform;
    platform.files[L"C:\\Tools\\Vorta\\tardo.dat"] = "0";
    PlainPickerHost picker;
    LauncherState state;
    Main(platform, picker, state);
    EXPECT_EQ(state.PauseUnit, 1);
}

}  // namespace
}  // namespace vorta
