#include "launcher/forms/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "common/forms/command_table.h"
#include "launcher/discovery.h"
#include "launcher/forms/assistant_layout.h"
#include "launcher/forms/layout.h"
#include "launcher/win32_values.h"
#include "tests/support/design_checks.h"
#include "tests/support/fake_console_platform.h"
#include "tests/support/fake_platform.h"

namespace vorta::forms {
namespace {

using vorta::testing::Cp932;
using vorta::testing::FakeConsolePlatform;
using vorta::testing::FakeConsoleView;
using vorta::testing::FakePlatform;

constexpr wchar_t kTitle[] = L"vortastart";

// One CAD instance in slot 1: main window 11 with its command line 12, whose control
// 1001 (text "LINE") holds the command line's text; text window 13 with its command
// line 14, whose control 1004 holds the history.
class Console : public ::testing::Test {
  protected:
    Console() {
        state.settings.MainCmdCtrlID = 1001;
        state.settings.TextHistCtrlID = 1004;
        state.table.push_back({L"Drawing1.dwg", 11, 12, 13, 14});
        view.list.SetItemData(view.list.AddItem(L"Drawing1.dwg"), 1);
        view.list.SetListIndex(0);
        cad.children[{12, 1001}] = 120;
        cad.children[{14, 1004}] = 140;
        cad.texts[120] = "LINE";
        cad.texts[140] = Cp932(L"コマンド: LINE\r\n");
        cad.texts[11] = "AutoCAD";
        cad.historyOnRequest[13] = Cp932(L"コマンド: CIRCLE\r\n");
    }

    std::vector<std::string> SentKinds() const {
        std::vector<std::string> out;
        for (const auto& m : cad.sent) out.push_back(m.what);
        return out;
    }

    FakePlatform platform;
    FakeConsolePlatform cad;
    FakeConsoleView view;
    LauncherState state;
    ConsoleCommands commands{platform, cad, state, view, kTitle};
};

TEST(PutPayload, IsTextThenCrThenNulConvertedAsAWhole) {
    FakePlatform codec;
    EXPECT_EQ(HexBytes(BuildPutPayload(codec, L"")), "0D 00");
    EXPECT_EQ(HexBytes(BuildPutPayload(codec, L"LINE")), "4C 49 4E 45 0D 00");
    // Two double-byte characters under code page 932: 4 bytes, then CR and NUL.
    std::string japanese = BuildPutPayload(codec, L"円弧");
    EXPECT_EQ(japanese.size(), 6u);
    EXPECT_EQ(japanese.substr(0, 4), Cp932(L"円弧"));
    EXPECT_EQ(HexBytes(japanese.substr(4)), "0D 00");
}

TEST_F(Console, PutSendsTheCommandRecordThenWakesTheCadThenReadsBack) {
    view.txtPut = L"円弧";
    commands.Put();

    ASSERT_EQ(SentKinds(), (std::vector<std::string>{"WM_COPYDATA", "PostMessage",
                                                     "WM_GETTEXTLENGTH", "WM_GETTEXT"}));
    const auto& copy = cad.sent[0];
    EXPECT_EQ(copy.window, 11u);
    EXPECT_EQ(copy.wParam, 1u);  // the constant 1, not a window handle
    EXPECT_EQ(copy.dwData, 1u);
    EXPECT_EQ(copy.data.size(), 6u);  // cbData
    EXPECT_EQ(copy.data, Cp932(L"円弧") + std::string("\r\0", 2));
    const auto& wake = cad.sent[1];
    EXPECT_EQ(wake.window, 11u);
    EXPECT_EQ(wake.message, winapi::kWmNull);
    EXPECT_EQ(wake.wParam, 0u);
    EXPECT_EQ(wake.lParam, 0);
    EXPECT_EQ(cad.sent[2].window, 120u);  // Get: the main command line's control
    EXPECT_EQ(view.txtGet, L"LINE");
    EXPECT_EQ(view.txtPut, L"円弧");  // Put neither clears nor changes the text
    EXPECT_TRUE(view.messageBoxes.empty());
}

TEST_F(Console, EnterInTxtPutRunsPutAndIsConsumedOtherKeysPassThrough) {
    view.txtPut = L"LINE";
    EXPECT_FALSE(commands.PutKeyPress(L'a'));
    EXPECT_TRUE(cad.sent.empty());

    EXPECT_TRUE(commands.PutKeyPress(kEnterKey));
    ASSERT_FALSE(cad.sent.empty());
    EXPECT_EQ(cad.sent[0].what, "WM_COPYDATA");
    EXPECT_EQ(HexBytes(cad.sent[0].data), "4C 49 4E 45 0D 00");
    EXPECT_EQ(view.txtPut, L"LINE");
}

TEST_F(Console, EveryCommandIsBlockedWithoutSelectionAndNothingIsSent) {
    view.list.Clear();  // empty picker list: nothing selected
    commands.Get();
    commands.Put();
    commands.History1();
    commands.History2();
    EXPECT_TRUE(commands.PutKeyPress(kEnterKey));  // still consumed

    EXPECT_TRUE(cad.sent.empty());
    ASSERT_EQ(view.messageBoxes.size(), 5u);
    for (const auto& [text, title] : view.messageBoxes) {
        EXPECT_EQ(text, L"AutoCADが選択されていません");
        EXPECT_EQ(title, kTitle);
    }
    EXPECT_FALSE(view.txtHistory.has_value());
    EXPECT_EQ(view.txtGet, L"txtGet");
}

TEST_F(Console, ItemsWithoutSelectionAreBlockedToo) {
    view.list.SetListIndex(-1);
    commands.Get();
    EXPECT_TRUE(cad.sent.empty());
    EXPECT_EQ(view.messageBoxes.size(), 1u);
}

TEST_F(Console, History1ShowsTheClipboardTextTheCadPutThere) {
    commands.History1();
    ASSERT_EQ(cad.sent.size(), 1u);
    EXPECT_EQ(cad.sent[0].window, 13u);
    EXPECT_EQ(cad.sent[0].wParam, 0x800Du);
    EXPECT_EQ(cad.sent[0].lParam, 0);
    EXPECT_EQ(view.txtHistory, L"コマンド: CIRCLE\r\n");

    // Pressed again: the same single window, holding the new text only.
    cad.historyOnRequest[13] = Cp932(L"コマンド: ARC\r\n");
    commands.History1();
    EXPECT_EQ(view.historyWindowsCreated, 1);
    EXPECT_EQ(view.historyShows, 2);
    EXPECT_EQ(view.txtHistory, L"コマンド: ARC\r\n");
}

TEST_F(Console, History1WithoutTextOnTheClipboardLeavesTheHistoryWindowAlone) {
    cad.historyOnRequest.clear();  // the CAD puts nothing there
    cad.clipboard.reset();         // and the clipboard holds no text (a picture, say)
    commands.History1();
    ASSERT_EQ(view.messageBoxes.size(), 1u);
    EXPECT_EQ(view.messageBoxes[0].first, L"テキストデータではありません");
    EXPECT_EQ(view.messageBoxes[0].second, kTitle);
    EXPECT_FALSE(view.txtHistory.has_value());
    EXPECT_EQ(view.historyShows, 0);

    // With an earlier text in place, a failing History1 keeps it and does not show it.
    view.txtHistory = L"earlier";
    commands.History1();
    EXPECT_EQ(view.txtHistory, L"earlier");
    EXPECT_EQ(view.historyShows, 0);
}

TEST_F(Console, History2ReadsTheTextWindowsHistoryControl) {
    commands.History2();
    EXPECT_EQ(view.txtHistory, L"コマンド: LINE\r\n");
    ASSERT_EQ(cad.sent.size(), 2u);
    EXPECT_EQ(cad.sent[1].window, 140u);
    // 16 bytes of text (four double-byte characters): 17 blanks and a zero, announced
    // as 18.
    EXPECT_EQ(cad.sent[1].wParam, 18u);
}

TEST_F(Console, ControlIdentifiersThatNameNoControlReadASingleBlank) {
    state.settings.MainCmdCtrlID = 0;
    state.settings.TextHistCtrlID = 0;
    commands.Get();
    EXPECT_EQ(commands.LastGetText(), L" ");
    EXPECT_EQ(view.txtGet, L" ");
    commands.History2();
    EXPECT_EQ(view.txtHistory, L" ");
    EXPECT_TRUE(view.messageBoxes.empty());
}

TEST_F(Console, ControlTextOfKeepsTheBufferRules) {
    // The text and its zero: n + 1 characters.
    EXPECT_EQ(commands.ControlTextOf(120), std::wstring(L"LINE\0", 5));
    // Double-byte text comes back whole.
    EXPECT_EQ(commands.ControlTextOf(140), std::wstring(L"コマンド: LINE\r\n\0", 13));
    // A text that became shorter after its length was read: zero, then the blanks.
    cad.textAfterLengthRead[120] = "AB";
    EXPECT_EQ(commands.ControlTextOf(120), std::wstring(L"AB\0  ", 5));
    // One that grew: the n + 1 bytes end in a lead byte, and that half character goes.
    cad.textAfterLengthRead[120] = "AB" + Cp932(L"円");
    EXPECT_EQ(commands.ControlTextOf(120), L"AB");
    // A text beyond the limit is read up to it, again without half a character.
    cad.texts[120] = std::string(kControlTextMaxBytes, 'A') + Cp932(L"円") + "tail";
    EXPECT_EQ(commands.ControlTextOf(120), std::wstring(kControlTextMaxBytes, L'A'));
    EXPECT_EQ(cad.sent.back().wParam, kControlTextMaxBytes + 2u);
    // An empty control: just the zero, so History2 shows an empty window.
    cad.texts[140] = "";
    commands.History2();
    EXPECT_EQ(view.txtHistory, L"");
}

TEST_F(Console, ACadThatDoesNotAnswerIsAskedOnceWithATimeout) {
    cad.hung = {11, 13, 120};
    view.txtPut = L"LINE";
    commands.Put();
    commands.History1();
    // The length request timed out: the text itself is not asked for.
    EXPECT_EQ(SentKinds(), (std::vector<std::string>{"WM_COPYDATA", "PostMessage",
                                                     "WM_GETTEXTLENGTH", "WM_COMMAND"}));
    for (const auto& m : cad.sent) {
        if (m.what == "PostMessage") continue;
        EXPECT_EQ(m.timeoutMs, kCadAnswerTimeoutMs) << m.what;
    }
    EXPECT_EQ(view.txtGet, L" ");
}

static_assert(kCadAnswerTimeoutMs > 0 && kCadAnswerTimeoutMs <= 10000,
              "a CAD that does not answer is given up within seconds");

// Loading creates the console and runs its load step, as the console window does in the
// launcher.
class LoadingHost : public PickerHost {
  public:
    LoadingHost(Platform& platform, ConsolePlatform& console, LauncherState& state)
        : platform_(platform), console_(console), state_(state) {}
    std::optional<DiscoverySnapshots> LoadOwner() override {
        if (commands) return std::nullopt;
        commands = std::make_unique<ConsoleCommands>(platform_, console_, state_, view, kTitle);
        commands->Load();
        return commands->TakeSearchSnapshots();
    }
    PickerList& cmbFileName() override { return view.PickerListControl(); }
    FakeConsoleView view;
    std::unique_ptr<ConsoleCommands> commands;

  private:
    Platform& platform_;
    ConsolePlatform& console_;
    LauncherState& state_;
};

class NestedDiscovery : public ::testing::Test {
  protected:
    NestedDiscovery() {
        state.settings.ACADName = L"acad";
        state.settings.MainCaption = L"AutoCAD 2005";
        state.settings.TextCaption = L"AutoCAD テキスト";
        state.settings.CommandCaption = L"コマンド";
        state.settings.MainCmdCtrlID = 1001;
    }
    void AddCad(std::uint32_t pid, Hwnd base, const std::wstring& drawing) {
        platform.AddProcess(pid, "acad.exe");
        platform.AddThread(pid * 10, pid);
        platform.AddWindow(
            {base + 1, pid * 10, 0, L"AutoCAD 2005 - [" + drawing + L"]", {}, false});
        platform.AddWindow({base + 2, 0, base + 1, L"コマンド", {}, false});
        platform.AddWindow({base + 3, pid * 10, 0, L"AutoCAD テキスト - " + drawing, {}, false});
        platform.AddWindow({base + 4, 0, base + 3, L"コマンド", {}, false});
        cad.children[{base + 2, 1001}] = base + 5;
        cad.texts[base + 5] = "";
    }
    FakePlatform platform;
    FakeConsolePlatform cad;
    LauncherState state;
    LoadingHost host{platform, cad, state};
};

TEST_F(NestedDiscovery, KeepsTheNestedRecordsAndAppendsTheResumedRunsAfterThem) {
    AddCad(100, 1000, L"A.dwg");
    AddCad(200, 2000, L"B.dwg");
    FindCadInstancesAfterLoading(platform, state, host);

    const CadInstance a{L"A.dwg", 1001, 1002, 1003, 1004};
    const CadInstance b{L"B.dwg", 2001, 2002, 2003, 2004};
    EXPECT_EQ(state.table, (CadInstanceTable{CadInstance{}, a, b, a, b}));
    // The list and the selection come from the resumed run: slots 3 and 4.
    ASSERT_EQ(host.view.list.ItemCount(), 2);
    EXPECT_EQ(host.view.list.ItemData(0), 3);
    EXPECT_EQ(host.view.list.ItemData(1), 4);
    EXPECT_EQ(host.view.list.ListIndex(), 1);
    EXPECT_EQ(host.view.list.ItemText(1), L"B.dwg");
    EXPECT_EQ(state.FoundCommandLine, 2004u);
    // The resumed run uses the snapshots the nested run has just taken.
    EXPECT_EQ(platform.CountLog("SnapshotProcesses"), 1u);
    EXPECT_EQ(platform.CountLog("SnapshotThreads"), 1u);
    // The load step's Get read the selected instance's command line, once.
    ASSERT_FALSE(cad.sent.empty());
    EXPECT_EQ(cad.sent[0].what, "WM_GETTEXTLENGTH");
    EXPECT_EQ(cad.sent[0].window, 2005u);
    EXPECT_TRUE(host.view.messageBoxes.empty());
}

TEST_F(NestedDiscovery, LoadingWithoutACadSendsNothingAndSaysNothing) {
    FindCadInstancesAfterLoading(platform, state, host);
    EXPECT_EQ(state.table.size(), 1u);
    EXPECT_EQ(host.view.list.ListIndex(), -1);
    EXPECT_TRUE(cad.sent.empty());
    EXPECT_TRUE(host.view.messageBoxes.empty());
}

TEST(Layout, TwipsAtCommonDpis) {
    EXPECT_EQ(TwipsToPixelsHalfAway(kMainClientWidth, 96), 316);
    EXPECT_EQ(TwipsToPixelsHalfAway(kMainClientHeight, 96), 208);
    EXPECT_EQ(TwipsToPixelsHalfAway(kHistoryClientWidth, 96), 410);
    EXPECT_EQ(TwipsToPixelsHalfAway(kHistoryClientHeight, 96), 299);
    EXPECT_EQ(TwipsToPixelsHalfAway(kMainClientWidth, 144), 474);
    EXPECT_EQ(TwipsToPixelsHalfAway(1000, 96), 67);  // 66.7 rounds up
    EXPECT_EQ(PixelsToTwipsHalfAway(316, 96), 4740);
    EXPECT_EQ(PixelsToTwipsHalfAway(-2, 96), -30);
    // Every design value is a whole number of pixels at 96 dpi.
    for (const Control& c : kMainControls) {
        for (int v : {c.left, c.top, c.width, c.height})
            EXPECT_EQ(PixelsToTwipsHalfAway(TwipsToPixelsHalfAway(v, 96), 96), v) << c.name;
    }
    EXPECT_EQ(FontHeightPixels(kFormFontPoints, 96), -12);
    EXPECT_EQ(FontHeightPixels(kLabel3FontPoints, 96), -11);
    EXPECT_EQ(FontHeightPixels(kLabel3FontPoints, 192), -22);
    // A DPI of zero or below (a broken DPI message) counts as 96; results hold at the
    // int range.
    EXPECT_EQ(PixelsToTwipsHalfAway(316, 0), 4740);
    EXPECT_EQ(TwipsToPixelsHalfAway(4740, -1), 316);
    EXPECT_EQ(FontHeightPixels(kFormFontPoints, 0), -12);
    EXPECT_EQ(PixelsToTwipsHalfAway(INT_MAX, 96), INT_MAX);
    EXPECT_EQ(PixelsToTwipsHalfAway(INT_MIN, 96), INT_MIN);
    EXPECT_EQ(TwipsToPixelsHalfAway(INT_MAX, 2000), INT_MAX);
}

// frmMain in pixels as the window places its controls, at every width it can be dragged to
// (the width rule applies from the text boxes' left edge on): no two controls overlap, and
// from the design width on every control ends inside the client area. (The buttons' bottom
// edges stand one pixel below it by design.)
TEST(Layout, MainControlsNeitherOverlapNorLeaveTheClientArea) {
    auto overlap = [](const Box& a, const Box& b) {
        return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
               b.top < a.top + a.height;
    };
    for (int dpi : {96, 120, 144, 168, 192}) {
        auto px = [dpi](int twips) { return TwipsToPixelsHalfAway(twips, dpi); };
        const int design = px(kMainClientWidth);
        for (int client = px(MainControl(kIdTxtGet).left); client <= design + 300; ++client) {
            const std::optional<MainWidths> w = WidthRule(PixelsToTwipsHalfAway(client, dpi));
            ASSERT_TRUE(w) << client << " px at " << dpi << " dpi";
            std::vector<Box> boxes;
            for (const Control& c : kMainControls) {
                const int width = c.id == kIdCmbFileName ? w->cmbFileName
                                  : c.id == kIdTxtGet    ? w->txtGet
                                  : c.id == kIdTxtPut    ? w->txtPut
                                                         : c.width;
                boxes.push_back({px(c.left), px(c.top), px(width), px(c.height)});
                if (client >= design && boxes.back().left + boxes.back().width > client)
                    FAIL() << c.name << " leaves the client area of " << client << " px at " << dpi
                           << " dpi";
            }
            for (std::size_t i = 0; i < boxes.size(); ++i)
                for (std::size_t j = i + 1; j < boxes.size(); ++j)
                    if (overlap(boxes[i], boxes[j]))
                        FAIL() << kMainControls[i].name << " overlaps " << kMainControls[j].name
                               << " at " << client << " px, " << dpi << " dpi";
        }
    }
}

TEST(Layout, WidthRuleWidensTheThreeControlsAndNothingElse) {
    auto design = WidthRule(kMainClientWidth);
    ASSERT_TRUE(design);
    EXPECT_EQ(*design, (MainWidths{4740, 4020, 4020}));
    auto wider = WidthRule(kMainClientWidth + 1000);
    ASSERT_TRUE(wider);
    EXPECT_EQ(wider->cmbFileName - design->cmbFileName, 1000);
    EXPECT_EQ(wider->txtGet - design->txtGet, 1000);
    EXPECT_EQ(wider->txtPut - design->txtPut, 1000);
    // Narrower than the text boxes' left edge (a minimised window): no change at all.
    EXPECT_FALSE(WidthRule(0));
    EXPECT_FALSE(WidthRule(719));
    EXPECT_FALSE(WidthRule(INT_MIN));
    EXPECT_EQ(WidthRule(720), (MainWidths{720, 0, 0}));
}

// frmHistory in pixels: txtHistory lies inside the client area as designed, and covers it
// once the window is resized, at any size.
TEST(Layout, HistoryBoxStaysInsideTheClientAreaAndCoversItOnceResized) {
    for (int dpi : {96, 120, 144, 168, 192}) {
        auto px = [dpi](int twips) { return TwipsToPixelsHalfAway(twips, dpi); };
        const Control& t = kTxtHistory;
        EXPECT_TRUE(px(t.left) >= 0 && px(t.top) >= 0 &&
                    px(t.left) + px(t.width) <= px(kHistoryClientWidth) &&
                    px(t.top) + px(t.height) <= px(kHistoryClientHeight))
            << dpi << " dpi";
    }
    for (const auto& [width, height] : {std::pair{410, 299}, {500, 280}, {0, 0}})
        EXPECT_EQ(FillRule(width, height), (Box{0, 0, width, height}));
}

// The console's three windows as the window side places them from their tables: every
// control inside the client area at every DPI from 96 to 192 (frmMain's buttons, one pixel
// below it by design, aside); and a control's slot as the windows look it up.
TEST(Layout, EveryConsoleDesignKeepsItsControlsInsideTheClientArea) {
    for (int dpi = 96; dpi <= 192; ++dpi)
        for (const FormDesign& design : {kMainDesign, kHistoryDesign, AssistantDesign()})
            EXPECT_EQ(vorta::testing::ControlsLeavingTheClientArea(design, dpi),
                      std::vector<std::string>{});
    EXPECT_EQ(IndexOf(kMainControls, kIdCmbFileName), 7u);
    EXPECT_EQ(IndexOf(kMainControls, kIdMnuEnd), kMainControls.size());  // a menu item
}

// The command table: the entry for the control and the notification, and for a control
// array the element's index; nothing for another notification or beyond the array.
TEST(CommandTable, CallsTheHandlerOfTheControlAndNotification) {
    struct Form {
        std::vector<std::string> calls;
        void Ok() { calls.push_back("Ok"); }
        void Menu() { calls.push_back("Menu"); }
        void Row(std::size_t index) { calls.push_back("Row" + std::to_string(index)); }
    };
    constexpr int kClicked = 0;
    constexpr int kChanged = 0x300;
    static constexpr Command<Form> kCommands[] = {
        On(1, kClicked, &Form::Ok), OnArray(10, 3, kChanged, &Form::Row),
        On(13, kClicked, &Form::Menu),
        On(1, kClicked, &Form::Menu),  // never reached: the first entry answers
    };
    Form form;
    EXPECT_TRUE(Dispatch(form, kCommands, 1, kClicked));
    EXPECT_FALSE(Dispatch(form, kCommands, 1, kChanged));
    EXPECT_FALSE(Dispatch(form, kCommands, 9, kChanged));
    EXPECT_TRUE(Dispatch(form, kCommands, 10, kChanged));
    EXPECT_TRUE(Dispatch(form, kCommands, 12, kChanged));
    EXPECT_FALSE(Dispatch(form, kCommands, 13, kChanged));
    EXPECT_FALSE(Dispatch(form, kCommands, 11, kClicked));
    EXPECT_TRUE(Dispatch(form, kCommands, 13, kClicked));
    EXPECT_EQ(form.calls, (std::vector<std::string>{"Ok", "Row0", "Row2", "Menu"}));
}

}  // namespace
}  // namespace vorta::forms
