#include "launcher/launch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "launcher/retry.h"
#include "launcher/win32_values.h"
#include "tests/support/fake_platform.h"

namespace vorta {
namespace {

using testing::Cp932;
using testing::FakePlatform;

constexpr Hwnd kMain = 1001, kMainCmd = 1002, kText = 1003, kTextCmd = 1004;
const std::wstring kIni = L"C:\\Tools\\Vorta\\Lumset.ini";

class Launch : public ::testing::Test {
  protected:
    Launch() {
        platform.iniMain[kIni] = {{L"ACADName", L"acad"},
                                  {L"MainCaption", L"AutoCAD 2005"},
                                  {L"TextCaption", L"AutoCAD テキスト"},
                                  {L"CommandCaption", L"コマンド"}};
        platform.cursor = {640, 300};
        platform.clip = {0, 0, 1280, 1024};
        platform.clipboard = "user's text";
        state.PauseUnit = 5;
    }

    void AddCad(bool textWindowToo = false, bool iconic = false) {
        platform.AddProcess(100, "acad.exe");
        platform.AddThread(10, 100);
        platform.AddWindow(
            {kMain, 10, 0, L"AutoCAD 2005 - [図面1.dwg]", {0, 0, 1000, 800}, iconic});
        platform.AddWindow({kMainCmd, 0, kMain, L"コマンド", {10, 700, 811, 761}, false});
        if (textWindowToo) {
            platform.AddWindow(
                {kText, 10, 0, L"AutoCAD テキスト ウィンドウ", {50, 50, 400, 300}, false});
            platform.AddWindow({kTextCmd, 0, kText, L"コマンド", {100, 100, 301, 201}, false});
        }
    }

    void Run() { LaunchInCad(platform, state, picker); }

    // A fresh desktop with one CAD, after the platform was replaced.
    void SetUpAgain() {
        platform.iniMain[kIni] = {{L"ACADName", L"acad"},
                                  {L"MainCaption", L"AutoCAD 2005"},
                                  {L"CommandCaption", L"コマンド"}};
        platform.cursor = {640, 300};
        platform.clipboard = "user's text";
        state = LauncherState{};
        picker = PlainPickerHost{};
        AddCad();
    }

    // Everything the user had is back, and nothing of ours is left behind.
    // A clipboard the sequence never wrote to keeps the user's text.
    void ExpectRestored(bool clipboardUsed = true) {
        EXPECT_EQ(platform.cursor, (Point{640, 300}));
        EXPECT_EQ(platform.clip, (Rect{0, 0, 1280, 1024}));
        EXPECT_TRUE(platform.topmost.empty());
        if (clipboardUsed)
            EXPECT_FALSE(platform.clipboard.has_value());
        else
            EXPECT_EQ(platform.clipboard, "user's text");
        // Every key pressed was released.
        int down = 0;
        for (auto& k : platform.keyInputs) down += (k.dwFlags & winapi::kKeyEventKeyUp) ? -1 : 1;
        EXPECT_EQ(down, 0);
    }

    std::vector<std::string> Filtered(std::initializer_list<std::string_view> prefixes) {
        std::vector<std::string> out;
        for (auto& e : platform.log)
            for (auto p : prefixes)
                if (e.starts_with(p)) {
                    out.push_back(e);
                    break;
                }
        return out;
    }

    FakePlatform platform;
    PlainPickerHost picker;
    LauncherState state;
};

TEST_F(Launch, DrivesTheCadInOrderAndPutsEverythingBack) {
    AddCad();
    Run();
    const std::string esc = "ClipboardSetText 1B";
    const std::string load = "ClipboardSetText 28 6C 6F 61 64 20 22 70 6F 6E 74 65 6B 22 29 0D 0A";
    std::vector<std::string> expected = {
        "SetForegroundWindow 1001",
        "SetWindowPos 1001,-1,0,0,0,0,16387",  // queued, never waited for
        "SetCursorPos 410,730",
        "ClipCursor 10,700,811,761",
        "SetCursorPos 410,730",
        "MouseEvent 2",
        "MouseEvent 4",
        "ClipboardClear",
        esc,
        "SetCursorPos 410,730",
        "SendInput 17,1",
        "SendInput 86,1",
        "SendInput 86,3",
        "SendInput 17,3",
        "ClipboardClear",
        load,
        "SetCursorPos 410,730",
        "SendInput 17,1",
        "SendInput 86,1",
        "SendInput 86,3",
        "SendInput 17,3",
        "ClipboardClear",
        "ClipCursor 0,0,1280,1024",
        "SetCursorPos 640,300",
        "SetWindowPos 1001,-2,0,0,0,0,67",
    };
    EXPECT_EQ(Filtered({"SetForeground", "OpenIcon", "SetWindowPos", "SetCursorPos", "ClipCursor",
                        "MouseEvent", "Clipboard", "SendInput"}),
              expected);
    EXPECT_TRUE(platform.messageBoxes.empty());
    ExpectRestored();
}

TEST_F(Launch, SavesCursorAndConfinementBeforeDiscovery) {
    AddCad();
    Run();
    auto order = Filtered({"GetCursorPos", "GetClipCursor", "SnapshotProcesses"});
    order.resize(3);
    EXPECT_EQ(order,
              (std::vector<std::string>{"GetCursorPos", "GetClipCursor", "SnapshotProcesses"}));
}

TEST_F(Launch, KeyRecordsCarryTheExtendedFlagAndScanCodes) {
    AddCad();
    Run();
    ASSERT_EQ(platform.keyInputs.size(), 8u);
    for (std::size_t i = 0; i < platform.keyInputs.size(); ++i) {
        const KeyboardInput& k = platform.keyInputs[i];
        EXPECT_TRUE(k.dwFlags & winapi::kKeyEventExtendedKey) << i;
        EXPECT_EQ(k.wScan, k.wVk == winapi::kVkControl ? 0x1D : 0x2F) << i;
        EXPECT_EQ(k.time, 0u);
        EXPECT_EQ(k.dwExtraInfo, 0u);
        // One record of the build's INPUT (its size is held against each build's headers).
        EXPECT_EQ(platform.keyInputSizes[i], static_cast<int>(winapi::kInputRecordSize));
    }
}

TEST_F(Launch, PausesAddUpTo63Units) {
    for (std::int16_t unit : {5, 1, 20}) {
        FakePlatform fresh;
        platform = fresh;
        platform.iniMain[kIni] = {{L"ACADName", L"acad"},
                                  {L"MainCaption", L"AutoCAD 2005"},
                                  {L"CommandCaption", L"コマンド"}};
        AddCad();
        state = LauncherState{};
        state.PauseUnit = unit;
        picker = PlainPickerHost{};
        Run();
        EXPECT_EQ(platform.PauseTotal(), 63u * unit) << unit;
        EXPECT_TRUE(std::all_of(platform.sleeps.begin(), platform.sleeps.end(),
                                [&](std::uint32_t s) { return s % unit == 0; }));
    }
}

TEST_F(Launch, MinimisedCadIsRestoredWithOpenIconNotForegrounded) {
    AddCad(false, true);
    Run();
    EXPECT_EQ(platform.CountLog("OpenIcon 1001"), 1u);
    EXPECT_EQ(platform.CountLog("SetForegroundWindow"), 0u);
    ExpectRestored();
}

TEST_F(Launch, ClickGoesToTheCommandLineDiscoveryMatchedLast) {
    AddCad(true);
    Run();
    // The text window's command line was matched last: its centre is clicked. The main
    // window is brought to the front and made topmost, then the text window as well, so
    // that the click lands without having to activate it and nothing covers it.
    EXPECT_EQ(platform.CountLog("ClipCursor 100,100,301,201"), 1u);
    EXPECT_EQ(platform.CountLog("SetCursorPos 200,150"), 4u);
    EXPECT_EQ(Filtered({"SetForegroundWindow", "SetWindowPos"}),
              (std::vector<std::string>{
                  "SetForegroundWindow 1001", "SetForegroundWindow 1003",
                  "SetWindowPos 1001,-1,0,0,0,0,16387", "SetWindowPos 1003,-1,0,0,0,0,16387",
                  "SetWindowPos 1003,-2,0,0,0,0,67", "SetWindowPos 1001,-2,0,0,0,0,67"}));
    EXPECT_EQ(platform.CountLog("SendInput"), 8u);
    ExpectRestored();
}

TEST_F(Launch, ClickPointRoundsDownOnNegativeCoordinates) {
    AddCad();
    platform.windows[0].rect = {-400, -100, 1000, 800};
    platform.windows[1].rect = {-301, -11, 0, 0};
    platform.clip = {-1000, -1000, 1000, 1000};
    platform.cursor = {640, 300};
    Run();
    EXPECT_EQ(platform.CountLog("SetCursorPos -151,-6"), 4u);
}

TEST_F(Launch, NoCadWarnsAndTouchesNothing) {
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first,
              L"AutoCadが見つからないか、AutoCadが開いていません。AutoCadを再起動してください。");
    EXPECT_EQ(platform.messageBoxes[0].second, L"警告");
    EXPECT_EQ(Filtered({"Set", "Clip", "OpenIcon", "MouseEvent", "SendInput"}),
              std::vector<std::string>{});
    EXPECT_EQ(platform.clipboard, "user's text");
}

TEST_F(Launch, HungCadIsToldAboutWithinTheBoundAndNothingIsTouched) {
    AddCad();
    platform.windows[0].hung = true;
    const std::uint32_t start = platform.tick;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadNotRespondingMessage);
    EXPECT_EQ(platform.messageBoxes[0].second, L"vortastart");
    EXPECT_LE(platform.tick - start, kRetryBoundMs);
    EXPECT_EQ(Filtered({"Set", "Clip", "OpenIcon", "MouseEvent", "SendInput"}),
              std::vector<std::string>{});
    EXPECT_EQ(platform.clipboard, "user's text");
}

TEST_F(Launch, ProcessWithoutRecognisedMainWindowWarnsAndTouchesNothing) {
    platform.AddProcess(100, "acad.exe");
    platform.AddThread(10, 100);
    platform.AddWindow({kText, 10, 0, L"AutoCAD テキスト", {}, false});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].second, L"警告");
    EXPECT_EQ(Filtered({"Set", "Clip", "OpenIcon", "MouseEvent", "SendInput"}),
              std::vector<std::string>{});
}

TEST_F(Launch, TransientFailuresAreRetriedWithPumping) {
    AddCad();
    platform.failures["SetWindowPos topmost"] = 2;
    platform.failures["ClipCursor"] = 1;
    platform.failures["SendInput"] = 3;
    Run();
    EXPECT_EQ(platform.CountLog("SetWindowPos 1001,-1"), 3u);
    EXPECT_TRUE(platform.messageBoxes.empty());
    // Pumped once after every attempt of the topmost call, the successful one included.
    auto it =
        std::find(platform.log.begin(), platform.log.end(), "SetWindowPos 1001,-1,0,0,0,0,16387");
    ASSERT_NE(it, platform.log.end());
    EXPECT_EQ(*(it + 1), "DoEvents");
    ExpectRestored();
}

// Each call that can keep failing: the sequence gives up within its bound, puts
// everything back and tells the user why.
struct GiveUpCase {
    const char* call;
    const wchar_t* message;
};
class LaunchGivesUp : public Launch, public ::testing::WithParamInterface<GiveUpCase> {};

TEST_P(LaunchGivesUp, AndRestoresEverything) {
    AddCad();
    platform.failures[GetParam().call] = -1;
    const std::uint32_t start = platform.tick;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, GetParam().message);
    EXPECT_EQ(platform.messageBoxes[0].second, L"vortastart");
    EXPECT_LT(platform.tick - start, 4 * kRetryBoundMs + 1000);
    // The message comes after the restoring.
    EXPECT_EQ(platform.log.back(), "MessageBox");
    const std::string call = GetParam().call;
    if (call != "SetCursorPos") {
        ExpectRestored(call == "SendInput");
    } else {
        EXPECT_EQ(platform.clip, (Rect{0, 0, 1280, 1024}));
        EXPECT_TRUE(platform.topmost.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryBound, LaunchGivesUp,
    ::testing::Values(GiveUpCase{"SetForegroundWindow", kCadNotForegroundMessage},
                      GiveUpCase{"SetWindowPos topmost", kCadNotForegroundMessage},
                      GiveUpCase{"SetCursorPos", kInputRefusedMessage},
                      GiveUpCase{"ClipCursor", kInputRefusedMessage},
                      GiveUpCase{"SendInput", kInputRefusedMessage}));

TEST_F(Launch, PressedKeyIsReleasedWhenTheNextKeyCannotBeSent) {
    AddCad();
    platform.failures["SendInput 86,1"] = -1;  // Ctrl goes down, the V key never does
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kInputRefusedMessage);
    ASSERT_EQ(platform.keyInputs.size(), 2u);
    EXPECT_EQ(platform.keyInputs[1].wVk, winapi::kVkControl);
    EXPECT_EQ(platform.keyInputs[1].dwFlags, winapi::kKeyEventExtendedKey | winapi::kKeyEventKeyUp);
    ExpectRestored();
}

TEST_F(Launch, BusyClipboardIsWaitedForAboutASecondThenEverythingIsPutBack) {
    AddCad();
    platform.clipboardBusy = true;
    const std::uint32_t start = platform.tick;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kClipboardBusyMessage);
    EXPECT_EQ(platform.messageBoxes[0].second, L"vortastart");
    EXPECT_GE(platform.tick - start, kClipboardBoundMs);
    EXPECT_LT(platform.tick - start, 3 * kClipboardBoundMs + 1000);
    EXPECT_EQ(platform.cursor, (Point{640, 300}));
    EXPECT_EQ(platform.clip, (Rect{0, 0, 1280, 1024}));
    EXPECT_TRUE(platform.topmost.empty());
    EXPECT_EQ(platform.CountLog("SendInput"), 0u);  // nothing typed from a stale clipboard
    EXPECT_EQ(platform.clipboard, "user's text");   // never ours, so never cleared
}

TEST_F(Launch, ClipboardThatTakesNoTextIsToldApartFromABusyOne) {
    AddCad();
    platform.failures["ClipboardSetText"] = -1;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kClipboardNotSetMessage);
    EXPECT_EQ(platform.CountLog("SendInput"), 0u);
    ExpectRestored();
}

TEST_F(Launch, ClipboardHeldAfterTheLoadCommandIsNoFailure) {
    AddCad();
    platform.failuresAfter["ClipboardClear"] = 2;  // the two pastes clear it, then it is taken
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("ClipboardSetText 28"), 1u);  // the load command was typed
    EXPECT_EQ(platform.cursor, (Point{640, 300}));
    EXPECT_EQ(platform.clip, (Rect{0, 0, 1280, 1024}));
    EXPECT_TRUE(platform.topmost.empty());
}

TEST_F(Launch, ClipboardFreedInTimeLetsTheSequenceGoOn) {
    AddCad();
    platform.failures["ClipboardSetText"] = 5;
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    ExpectRestored();
}

// Where the command line cannot be clicked safely, nothing at all is touched.
TEST_F(Launch, UnusableCommandLineTouchesNothing) {
    const std::vector<std::pair<const char*, std::function<void(FakePlatform&)>>> cases = {
        {"no caption matches", [](FakePlatform& p) { p.windows[1].caption = L"別の窓"; }},
        {"hidden", [](FakePlatform& p) { p.windows[1].visible = false; }},
        {"hidden parent", [](FakePlatform& p) { p.windows[0].visible = false; }},
        {"zero size",
         [](FakePlatform& p) {
             p.windows[1].rect = {10, 700, 10, 761};
         }},
        // A CAD met earlier holds the only command line: the selected CAD has none.
        {"another CAD's",
         [](FakePlatform& p) {
             p.windows[1].caption = L"別の窓";
             p.processes.insert(p.processes.begin(), p.processes[0]);
             p.processes[0].processId = 200;
             p.AddThread(20, 200);
             p.AddWindow({2001, 20, 0, L"AutoCAD 2005 - [別.dwg]", {0, 0, 500, 500}});
             p.AddWindow({2002, 0, 2001, L"コマンド", {0, 400, 500, 500}});
         }},
    };
    for (const auto& [name, breakIt] : cases) {
        platform = FakePlatform{};
        platform.iniMain[kIni] = {{L"ACADName", L"acad"},
                                  {L"MainCaption", L"AutoCAD 2005"},
                                  {L"CommandCaption", L"コマンド"}};
        platform.clipboard = "user's text";
        state = LauncherState{};
        picker = PlainPickerHost{};
        AddCad();
        breakIt(platform);
        Run();
        ASSERT_EQ(platform.messageBoxes.size(), 1u) << name;
        EXPECT_EQ(platform.messageBoxes[0].first, kNoCommandLineMessage) << name;
        EXPECT_EQ(platform.messageBoxes[0].second, L"vortastart") << name;
        EXPECT_EQ(Filtered({"Set", "Clip", "OpenIcon", "MouseEvent", "SendInput"}),
                  std::vector<std::string>{})
            << name;
        EXPECT_EQ(platform.clipboard, "user's text") << name;
    }
}

TEST_F(Launch, CadWithHigherRightsIsToldAboutAndNothingIsTouched) {
    AddCad();
    platform.rights[100] = ProcessRights::kHigher;
    platform.windows[0].hung = true;  // it does not answer us either: the rights are the cause
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadElevatedMessage);
    EXPECT_EQ(platform.CountLog("IsWindowResponding"), 0u);
    EXPECT_EQ(Filtered({"Set", "Clip", "OpenIcon", "MouseEvent", "SendInput"}),
              std::vector<std::string>{});
    // Rights that cannot be read change nothing.
    platform = FakePlatform{};
    SetUpAgain();
    platform.rights[100] = ProcessRights::kUnknown;
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("SendInput"), 8u);
}

TEST_F(Launch, ClickThatDoesNotTakeIsMadeAgainBeforeAnyKey) {
    AddCad();
    platform.failures["Click"] = 2;
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("MouseEvent 2"), 3u);
    auto keysAndClicks = Filtered({"MouseEvent 2", "SendInput"});
    EXPECT_EQ(keysAndClicks[2], "MouseEvent 2");
    EXPECT_EQ(keysAndClicks[3], "SendInput 17,1");
    ExpectRestored();
}

// Clicks that never take leave the focus on the CAD's frame: the keys still land in the
// CAD, so it gets the paste after the bounded clicks, and the proof of delivery tells
// that nothing arrived.
TEST_F(Launch, ClickThatNeverTakesIsPastedIntoTheCadAndTheMissingPasteIsTold) {
    AddCad();
    platform.windows[0].ignoresPaste = true;
    platform.failures["Click"] = -1;
    const std::uint32_t start = platform.tick;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kPasteNotTakenMessage);
    EXPECT_EQ(platform.CountLog("MouseEvent 2"), static_cast<std::size_t>(kClicksBeforePasting));
    EXPECT_LT(platform.tick - start, 2 * kRetryBoundMs + 1000);
    EXPECT_EQ(platform.CountLog("SendInput"), 4u);  // the ESC paste only, into the CAD
    EXPECT_EQ(platform.CountLog("ClipboardSetText 28"), 0u);
    ExpectRestored();
}

// A CAD whose drawing area keeps the focus and hands the keys on: a click does not move
// the focus, the keys land in the CAD, and both texts are pasted after the bounded clicks
// of the first paste, with no more clicks before the second.
TEST_F(Launch, FocusKeptOnADrawingAreaIsPastedThrough) {
    AddCad();
    constexpr Hwnd kDrawing = 1005;
    platform.AddWindow({kDrawing, 0, kMain, L"", {10, 10, 811, 690}});
    platform.focusKeeper = kDrawing;
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("MouseEvent 2"), static_cast<std::size_t>(kClicksBeforePasting));
    EXPECT_EQ(platform.CountLog("SendInput"), 8u);
    EXPECT_EQ(platform.CountLog("ClipboardSetText 28"), 1u);
    ExpectRestored();
}

// The command line under a window of another program that stays on top: no click is ever
// made there, no key is sent, and the user is told what is in the way.
TEST_F(Launch, CommandLineCoveredByAnotherProgramIsToldWithoutAnyKey) {
    AddCad();
    platform.AddProcess(300, "other.exe");
    platform.AddThread(30, 300);
    platform.AddWindow({3000, 30, 0, L"ほかの窓", {0, 650, 900, 800}});
    // It puts itself on top again right after the CAD was made topmost.
    platform.triggers.push_back({"SetCursorPos", [&] { platform.topmost.push_back(3000); }});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCommandLineCoveredMessage);
    EXPECT_EQ(platform.CountLog("MouseEvent"), 0u);
    EXPECT_EQ(platform.CountLog("SendInput"), 0u);
    EXPECT_EQ(platform.cursor, (Point{640, 300}));
    EXPECT_EQ(platform.clip, (Rect{0, 0, 1280, 1024}));
    EXPECT_FALSE(platform.IsTopmost(kMain));
}

// Another program takes the foreground while Ctrl is down and the CAD cannot be brought
// back: the V key is never pressed there, Ctrl is released, and the user is told.
TEST_F(Launch, NoKeyIsPressedWhileAnotherProgramIsInFront) {
    AddCad();
    platform.AddWindow({3000, 99, 0, L"メモ帳", {1100, 0, 1200, 100}});
    platform.triggers.push_back({"SendInput 17,1", [&] {
                                     platform.foreground = 3000;
                                     platform.failures["SetForegroundWindow"] = -1;
                                 }});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadNotForegroundMessage);
    EXPECT_EQ(platform.CountLog("SendInput 86"), 0u);
    EXPECT_EQ(platform.CountLog("SendInput"), 2u);  // Ctrl down, and up again
    ExpectRestored(true);
}

// A CAD that keeps a hidden text window which discovery meets last: its command line is
// FoundCommandLine, but the visible one of the main window is clicked.
TEST_F(Launch, HiddenCommandLineMetLastGivesWayToTheVisibleOneOfTheSameCad) {
    AddCad(true);
    platform.windows[2].visible = false;  // the text window
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("ClipCursor 10,700,811,761"), 1u);
    EXPECT_EQ(platform.CountLog("SetForegroundWindow 1003"), 0u);
    EXPECT_EQ(platform.CountLog("SendInput"), 8u);
    ExpectRestored();
}

// A CAD that stops answering right after the bounded question: nothing the launcher
// does next waits for it (the fake throws on any call that would), and the user is told.
TEST_F(Launch, CadHungRightAfterTheQuestionNeverHoldsTheLauncher) {
    AddCad();
    platform.triggers.push_back(
        {"SetForegroundWindow 1001", [&] { platform.HangProcessWindows(100); }});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadNotRespondingMessage);
    EXPECT_EQ(platform.CountLog("SetWindowPos 1001,-1,0,0,0,0,16387"), 1u);
    EXPECT_EQ(platform.CountLog("SendInput"), 0u);
    ExpectRestored(false);
}

TEST_F(Launch, FocusTakenAwayBetweenThePastesIsClickedBack) {
    AddCad();
    platform.AddWindow({3000, 99, 0, L"メモ帳", {1100, 0, 1200, 100}});
    platform.triggers.push_back({"ClipboardSetText 28", [&] { platform.foreground = 3000; }});
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.CountLog("MouseEvent 2"), 2u);
    EXPECT_EQ(platform.CountLog("SendInput"), 8u);
    ExpectRestored();
}

// The text is handed over only when the CAD asks for it; a paste it never takes is
// reported, not passed over.
TEST_F(Launch, PasteTheCadNeverTakesStopsTheRunAndIsTold) {
    AddCad();
    platform.failures["ClipboardTaken"] = 1;
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kPasteNotTakenMessage);
    EXPECT_EQ(platform.CountLog("ClipboardSetText 28"), 0u);  // no second paste
    EXPECT_EQ(platform.CountLog("SendInput"), 4u);
    EXPECT_EQ(platform.clipboardReader, 100u);  // offered to the CAD's process only
    ExpectRestored();
}

TEST_F(Launch, CadClosedMidRunGetsNoMoreKeysAndTheUserIsTold) {
    AddCad();
    platform.triggers.push_back({"SendInput 17,3", [&] { platform.DestroyWindowTree(kMain); }});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadClosedMessage);
    EXPECT_EQ(platform.CountLog("SendInput"), 4u);  // the first paste only
    EXPECT_EQ(platform.CountLog("SetWindowPos 1001,-2"), 0u);
    ExpectRestored();
}

TEST_F(Launch, CadHungMidRunIsToldAboutWithinTheBoundAndDropsTopmostWhenItWakes) {
    AddCad();
    std::uint32_t hungAt = 0;
    platform.triggers.push_back({"SendInput 17,3", [&] {
                                     platform.HangProcessWindows(100);
                                     hungAt = platform.tick;
                                 }});
    Run();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].first, kCadNotRespondingMessage);
    EXPECT_LE(platform.tick - hungAt, kRetryBoundMs + 1000);
    EXPECT_EQ(platform.CountLog("SendInput"), 4u);
    // Queued to the CAD's thread rather than waited for.
    EXPECT_EQ(platform.CountLog("SetWindowPos 1001,-2,0,0,0,0,16451"), 1u);
    ExpectRestored();
}

TEST_F(Launch, RestoresAreCheckedWhereAConfinementTakesEffectLate) {
    AddCad();
    platform.clipTakesEffectLater = true;
    platform.triggers.push_back({"MouseEvent 4", [&] { platform.cursor = {20, 710}; }});
    Run();
    EXPECT_TRUE(platform.messageBoxes.empty());
    ExpectRestored();
}

TEST(RetryUntilSuccess, NonPumpingFormNeverPumps) {
    FakePlatform platform;
    int calls = 0;
    EXPECT_TRUE(RetryUntilSuccess(platform, Pumping::kNo, [&] { return ++calls == 3; }));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(platform.CountLog("DoEvents"), 0u);
}

TEST(RetryUntilSuccess, GivesUpAtItsBound) {
    FakePlatform platform;
    int calls = 0;
    EXPECT_FALSE(RetryUntilSuccess(
        platform, Pumping::kYes,
        [&] {
            ++calls;
            return false;
        },
        500));
    EXPECT_EQ(platform.CountLog("DoEvents"), static_cast<std::size_t>(calls));
    EXPECT_GE(calls, 2);
    EXPECT_LE(calls, 60);
}

TEST(RetryUntilSuccess, SurvivesTheTickCounterWrapping) {
    FakePlatform platform;
    platform.tick = 0xFFFFFF00u;
    int calls = 0;
    EXPECT_FALSE(RetryUntilSuccess(
        platform, Pumping::kNo,
        [&] {
            ++calls;
            return false;
        },
        1000));
    EXPECT_GE(calls, 50);
}

}  // namespace
}  // namespace vorta
