#include "launcher/discovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "tests/support/fake_platform.h"

namespace vorta {
namespace {

using testing::FakePlatform;
using testing::FakeWindow;

class Discovery : public ::testing::Test {
  protected:
    Discovery() {
        state.settings.ACADName = L"acad";
        state.settings.MainCaption = L"AutoCAD 2005";
        state.settings.TextCaption = L"AutoCAD テキスト";
        state.settings.CommandCaption = L"コマンド";
    }

    // A CAD process with one thread owning a main window and a text window, each with a
    // command-line child. Handles are base+1 .. base+4.
    void AddCad(std::uint32_t pid, Hwnd base, const std::wstring& drawing,
                std::string_view exe = "acad.exe") {
        platform.AddProcess(pid, exe);
        platform.AddThread(pid * 10, pid);
        platform.AddWindow(
            {base + 1, pid * 10, 0, L"AutoCAD 2005 - [" + drawing + L"]", {}, false});
        platform.AddWindow({base + 2, 0, base + 1, L"コマンド", {10, 700, 810, 760}, false});
        platform.AddWindow(
            {base + 3, pid * 10, 0, L"AutoCAD テキスト ウィンドウ - " + drawing, {}, false});
        platform.AddWindow({base + 4, 0, base + 3, L"コマンド", {20, 20, 420, 320}, false});
    }

    PlainPickerList& List() { return picker.list(); }

    FakePlatform platform;
    PlainPickerHost picker;
    LauncherState state;
};

TEST_F(Discovery, TwoProcessesFillSlotsOneAndTwoAndSelectTheLast) {
    platform.AddProcess(4, "explorer.exe");
    AddCad(100, 1000, L"図面1.dwg");
    AddCad(200, 2000, L"Drawing2.dwg");
    FindCadInstances(platform, state, picker.list());

    ASSERT_EQ(state.table.size(), 3u);
    EXPECT_EQ(state.table[0], CadInstance{});
    EXPECT_EQ(state.table[1], (CadInstance{L"図面1.dwg", 1001, 1002, 1003, 1004}));
    EXPECT_EQ(state.table[2], (CadInstance{L"Drawing2.dwg", 2001, 2002, 2003, 2004}));
    ASSERT_EQ(List().ItemCount(), 2);
    EXPECT_EQ(List().ItemText(0), L"図面1.dwg");
    EXPECT_EQ(List().ItemData(0), 1);
    EXPECT_EQ(List().ItemData(1), 2);
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(state.FoundCommandLine, 2004u);  // the last match of the run
}

TEST_F(Discovery, NothingFoundLeavesOnlySlotZeroAndNoSelection) {
    List().AddItem(L"stale");
    List().SetListIndex(0);
    AddCad(100, 1000, L"a.dwg", "ACAD.EXE");  // the name match is case-sensitive
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table.size(), 1u);
    EXPECT_EQ(List().ItemCount(), 0);
    EXPECT_EQ(List().ListIndex(), -1);
}

TEST_F(Discovery, EveryRunStartsFromAResetTable) {
    AddCad(100, 1000, L"a.dwg");
    FindCadInstances(platform, state, picker.list());
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table.size(), 2u);
    EXPECT_EQ(List().ItemCount(), 1);
}

TEST_F(Discovery, MainCaptionTestComesBeforeTheTextCaptionTest) {
    state.settings.MainCaption = L"AutoCAD";
    state.settings.TextCaption = L"AutoCAD テキスト";
    AddCad(100, 1000, L"a.dwg");
    FindCadInstances(platform, state, picker.list());
    // The text window's caption also begins with "AutoCAD": it is taken as the main
    // window, and being later in enumeration order it overwrites the first.
    EXPECT_EQ(state.table[1].MainWindow, 1003u);
    EXPECT_EQ(state.table[1].TextWindow, 0u);
    // "... ウィンドウ - a.dwg" has no brackets: the rule skips " a" and drops the "g".
    EXPECT_EQ(state.table[1].Name, L".dw");
}

TEST_F(Discovery, AllThreadsOfTheProcessAreWalked) {
    platform.AddProcess(100, "acad.exe");
    platform.AddThread(11, 100);
    platform.AddThread(99, 555);  // another process's thread
    platform.AddThread(12, 100);
    platform.AddWindow({1, 11, 0, L"AutoCAD 2005 - [x.dwg]", {}, false});
    platform.AddWindow({2, 12, 0, L"AutoCAD テキスト", {}, false});
    platform.AddWindow({3, 99, 0, L"AutoCAD 2005 - [other.dwg]", {}, false});
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table[1].MainWindow, 1u);
    EXPECT_EQ(state.table[1].TextWindow, 2u);
    EXPECT_EQ(state.table[1].Name, L"x.dwg");
}

TEST_F(Discovery, AMatchingProcessWithoutRecognisedWindowsStillGetsARecord) {
    platform.AddProcess(100, "acad.exe");
    platform.AddThread(11, 100);
    platform.AddWindow({1, 11, 0, L"Untitled", {}, false});
    platform.AddWindow({2, 11, 0, L"", {}, false});
    FindCadInstances(platform, state, picker.list());
    ASSERT_EQ(state.table.size(), 2u);
    EXPECT_EQ(state.table[1], CadInstance{});
    EXPECT_EQ(List().ItemText(0), L"");
    EXPECT_EQ(List().ListIndex(), 0);
}

TEST_F(Discovery, FoundCommandLineIsCarriedOverWhenNoChildMatches) {
    state.FoundCommandLine = 777;
    platform.AddProcess(100, "acad.exe");
    platform.AddThread(11, 100);
    platform.AddWindow({1, 11, 0, L"AutoCAD 2005 - [x.dwg]", {}, false});
    platform.AddWindow({2, 0, 1, L"not the command line", {}, false});
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table[1].MainCommandLine, 777u);
    EXPECT_EQ(state.FoundCommandLine, 777u);
}

TEST_F(Discovery, ChildSearchStopsAtTheFirstMatchAndReachesGrandchildren) {
    platform.AddProcess(100, "acad.exe");
    platform.AddThread(11, 100);
    platform.AddWindow({1, 11, 0, L"AutoCAD 2005 - [x.dwg]", {}, false});
    platform.AddWindow({2, 0, 1, L"frame", {}, false});
    platform.AddWindow({3, 0, 2, L"コマンド", {}, false});
    platform.AddWindow({4, 0, 1, L"コマンド", {}, false});
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table[1].MainCommandLine, 3u);
}

TEST_F(Discovery, ExeNameFieldWithoutExtensionKeepsItsZeroTail) {
    platform.AddProcess(100, "acad");  // no dot: the zero bytes of the field stay
    platform.AddThread(11, 100);
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table.size(), 1u);
}

TEST_F(Discovery, ThreadsAreSnapshottedOnceAndOnlyWhenAProcessMatches) {
    platform.AddProcess(1, "explorer.exe");
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(platform.CountLog("SnapshotThreads"), 0u);
    AddCad(100, 1000, L"a.dwg");
    AddCad(200, 2000, L"b.dwg");
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(platform.CountLog("SnapshotProcesses"), 2u);
    EXPECT_EQ(platform.CountLog("SnapshotThreads"), 1u);
    EXPECT_EQ(state.table.size(), 3u);  // both processes found their own windows
    EXPECT_EQ(state.table[2].Name, L"b.dwg");
}

TEST(DrawingName, IsCutFromTheCaption) {
    EXPECT_EQ(DrawingNameOf(L"AutoCAD 2005 - [Drawing1.dwg]"), L"Drawing1.dwg");
    EXPECT_EQ(DrawingNameOf(L"IJCAD 2024 - [図面1.dwg]"), L"図面1.dwg");
    EXPECT_EQ(DrawingNameOf(L"A-B - [x.dwg]"), L"- [x.dwg");  // the first dash counts
    EXPECT_EQ(DrawingNameOf(L"AutoCAD"), L"toCA");            // no dash: from the third character
}

TEST(DrawingName, TooShortCaptionsGiveAnEmptyName) {
    EXPECT_EQ(DrawingNameOf(L"AutoCAD -"), L"");
    EXPECT_EQ(DrawingNameOf(L"AutoCAD - "), L"");
    EXPECT_EQ(DrawingNameOf(L"AutoCAD - ["), L"");
    EXPECT_EQ(DrawingNameOf(L"AutoCAD - [x"), L"");
    EXPECT_EQ(DrawingNameOf(L"Ab"), L"");
    EXPECT_EQ(DrawingNameOf(L"Abc"), L"");
    EXPECT_EQ(DrawingNameOf(L""), L"");
}

TEST(WindowText, IsCutOnAnsiBytesSoDoubleByteCharactersStayWhole) {
    FakePlatform platform;
    platform.AddWindow({5, 1, 0, L"図面 - [テスト.dwg]", {}, false});
    EXPECT_EQ(WindowTextOf(platform, 5), L"図面 - [テスト.dwg]");
    EXPECT_EQ(WindowTextOf(platform, 6), L"");  // no such window
    auto addWindow = [&](Hwnd hwnd, std::wstring caption, std::int32_t overestimate) {
        FakeWindow w{};
        w.hwnd = hwnd;
        w.caption = std::move(caption);
        w.lengthOverestimate = overestimate;
        platform.AddWindow(w);
    };
    // A caption that grew by a byte after its length was read: the lead byte that made
    // it into the buffer is dropped rather than kept as half a character.
    addWindow(7, L"AB円", -1);
    EXPECT_EQ(WindowTextOf(platform, 7), L"AB");
    // A window claiming the largest length is read up to the limit, cut where a
    // character ends.
    addWindow(8, std::wstring(kWindowTextMaxBytes - 1, L'A') + L"円",
              INT32_MAX - (kWindowTextMaxBytes + 1));
    EXPECT_EQ(WindowTextOf(platform, 8), std::wstring(kWindowTextMaxBytes - 1, L'A'));
}

TEST_F(Discovery, CaptionsWhoseLengthIsOverestimatedStillMatch) {
    AddCad(100, 1000, L"図面1.dwg");
    for (auto& w : platform.windows)  // as for a Unicode CAD read through the ANSI call
        w.lengthOverestimate = static_cast<std::int32_t>(testing::Cp932(w.caption).size());
    FindCadInstances(platform, state, picker.list());
    EXPECT_EQ(state.table[1], (CadInstance{L"図面1.dwg", 1001, 1002, 1003, 1004}));
}

}  // namespace
}  // namespace vorta
