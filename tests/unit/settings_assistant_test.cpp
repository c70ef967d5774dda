// The settings assistant against a fake desktop: the programs it lists, the window tree
// it shows, which windows the current values point at and why, the values it proposes,
// what a run of the launcher would drive with them, and a session from the shipped
// Lumset.ini to a saved one.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "launcher/assistant/session.h"
#include "launcher/discovery.h"
#include "launcher/launch.h"
#include "launcher/win32_values.h"
#include "tests/support/fake_console_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_files.h"

namespace vorta::assistant {
namespace {

using testing::Cp932;
using testing::FakeConsolePlatform;
using testing::FakePlatform;
using testing::FakeWindow;

using winapi::kEsMultiLine;
using winapi::kWsChild;

// The windows of one CAD, laid out like the stand-in CAD's: the main window holds its
// history edit and its command line (with the input edit); the text window holds a
// command line with the history above the input edit.
struct CadShape {
    std::string exe = "IJCAD.exe";
    std::wstring main = L"IJCAD 2020 PRO - [図面A.dwg]";
    std::wstring text = L"IJCAD テキスト ウィンドウ - 図面A.dwg";
    std::wstring command = L"コマンド行";
    std::int32_t mainCmd = 2001, textCmd = 2002, mainHist = 2003, textHist = 2004;
    bool textVisible = true;
    bool commandLinesVisible = true;
};

// Handles of one CAD: base + these.
enum : Hwnd { kMain = 1, kMainHist, kMainLine, kMainEdit, kText, kTextLine, kTextHist, kTextEdit };

LauncherSettings Shipped() {
    LauncherSettings s;
    s.ACADName = L"acad";
    s.CommandCaption = L"コマンド ライン";
    s.MainCaption = L"AutoCAD 20";
    s.TextCaption = L"AutoCAD テキスト ウィンドウ";
    s.MainCmdCtrlID = 1001;
    s.TextCmdCtrlID = 1002;
    s.MainHistCtrlID = 1003;
    s.TextHistCtrlID = 1004;
    return s;
}

LauncherSettings Accepted(const Proposals& proposals) {
    SettingTexts texts;
    for (std::size_t k = 0; k < kSettingCount; ++k) texts[k] = proposals[k].value.value_or(L"");
    return SettingsOf(texts);
}

class Assistant : public ::testing::Test {
  protected:
    // One window in both fakes: caption, place and visibility for the platform; class,
    // identifier and style for the console's lookups.
    void Add(Hwnd hwnd, std::uint32_t thread, Hwnd parent, const std::wstring& caption,
             const std::string& cls, std::int32_t id, Rect rect, std::uint32_t style = 0,
             bool visible = true) {
        FakeWindow w;
        w.hwnd = hwnd;
        w.threadId = parent == 0 ? thread : 0;
        w.parent = parent;
        w.caption = caption;
        w.rect = rect;
        w.visible = visible;
        platform.AddWindow(w);
        console.facts[hwnd] = {cls, parent == 0 ? 0 : id, parent, style | (parent ? kWsChild : 0)};
        // GetDlgItem finds the first child with the identifier.
        if (parent != 0) console.children.emplace(std::make_pair(parent, id), hwnd);
    }

    void AddCad(std::uint32_t pid, Hwnd base, const CadShape& cad = {}) {
        platform.AddProcess(pid, cad.exe);
        const std::uint32_t thread = pid * 10;
        platform.AddThread(thread, pid);
        const bool lines = cad.commandLinesVisible;
        Add(base + kMain, thread, 0, cad.main, "IJCADMainFrame", 0, {40, 40, 680, 460});
        Add(base + kMainHist, 0, base + kMain, L"", "Edit", cad.mainHist, {40, 60, 680, 396},
            kEsMultiLine);
        Add(base + kMainLine, 0, base + kMain, cad.command, "CmdLineBar", 0, {40, 396, 680, 460}, 0,
            lines);
        Add(base + kMainEdit, 0, base + kMainLine, L"", "Edit", cad.mainCmd, {40, 396, 680, 460});
        Add(base + kText, thread, 0, cad.text, "IJCADTextWindow", 0, {60, 500, 660, 800}, 0,
            cad.textVisible);
        Add(base + kTextLine, 0, base + kText, cad.command, "CmdLineBar", 0, {60, 520, 660, 800}, 0,
            lines);
        Add(base + kTextHist, 0, base + kTextLine, L"", "Edit", cad.textHist, {60, 520, 660, 772},
            kEsMultiLine);
        Add(base + kTextEdit, 0, base + kTextLine, L"", "Edit", cad.textCmd, {60, 772, 660, 800});
    }

    ProgramInfo Program(std::uint32_t pid, const std::wstring& acadName = L"acad") {
        for (ProgramInfo& p : ListPrograms(platform, acadName, 0))
            if (p.processId == pid) return p;
        ADD_FAILURE() << "program " << pid << " not listed";
        return {};
    }

    FakePlatform platform;
    FakeConsolePlatform console;
};

TEST_F(Assistant, ListsProgramsWithVisibleTitledWindowsTheCurrentCadFirst) {
    platform.AddProcess(4, "explorer.exe");
    platform.AddThread(40, 4);
    Add(400, 40, 0, L"デスクトップ", "Progman", 0, {0, 0, 800, 600});
    platform.AddProcess(5, "service.exe");  // only a hidden window: not listed
    platform.AddThread(50, 5);
    Add(500, 50, 0, L"hidden", "Hidden", 0, {}, 0, false);
    platform.AddProcess(6, "vortastart.exe");  // ourselves: not listed
    platform.AddThread(60, 6);
    Add(600, 60, 0, L"Tallwrite", "VortaConsoleMain", 0, {0, 0, 320, 240});
    AddCad(100, 1000);
    AddCad(200, 2000, {.exe = "acad.exe"});

    const std::vector<ProgramInfo> programs = ListPrograms(platform, L"acad", 6);
    ASSERT_EQ(programs.size(), 3u);
    EXPECT_EQ(programs[0].exeName, L"acad.exe");
    EXPECT_TRUE(programs[0].matchesAcadName);
    EXPECT_EQ(programs[1].exeName, L"explorer.exe");  // then by name, whatever the case
    EXPECT_EQ(programs[2].exeName, L"IJCAD.exe");
    EXPECT_EQ(programs[2].titles,
              (std::vector<std::wstring>{L"IJCAD 2020 PRO - [図面A.dwg]",
                                         L"IJCAD テキスト ウィンドウ - 図面A.dwg"}));
    EXPECT_EQ(ProgramLabel(programs[2]),
              L"IJCAD.exe（PID 100）  IJCAD 2020 PRO - [図面A.dwg] / IJCAD テキスト ウィンドウ - "
              L"図面A.dwg");
}

TEST_F(Assistant, TheTreeNestsEachWindowUnderItsParentInEnumerationOrder) {
    AddCad(100, 1000, {.textVisible = false});
    Add(1100, 1000, 0, L"", "Untitled", 0, {});  // discovery passes over untitled windows
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    ASSERT_EQ(tops.size(), 2u);
    const WindowNode& main = tops[0];
    ASSERT_EQ(main.children.size(), 2u);
    EXPECT_EQ(main.children[0].hwnd, 1000 + kMainHist);
    EXPECT_TRUE(main.children[0].IsMultiLine());
    ASSERT_EQ(main.children[1].children.size(), 1u);
    EXPECT_EQ(main.children[1].children[0].hwnd, 1000 + kMainEdit);
    EXPECT_EQ(tops[1].children[0].children.size(), 2u);
    EXPECT_EQ(NodeLabel(main.children[1].children[0], {L"MainCmdCtrlID"}),
              L"（タイトルなし）  Edit  ID 2001  表示  640 × 64  ◀ MainCmdCtrlID");
    EXPECT_EQ(NodeLabel(tops[1], {L"TextCaption", L"x"}),
              L"「IJCAD テキスト ウィンドウ - 図面A.dwg」  IJCADTextWindow  非表示  600 × 300  "
              L"◀ TextCaption・x");
}

TEST_F(Assistant, ProposesValuesThatFindTheCadAndTheLauncherWouldDriveIt) {
    AddCad(100, 1000);
    const ProgramInfo program = Program(100);
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    ASSERT_TRUE(parts.main && parts.text);
    EXPECT_EQ(parts.main->hwnd, 1000 + kMain);
    EXPECT_EQ(parts.text->hwnd, 1000 + kText);

    const Proposals p = Propose(program, tops, parts, L"AutoCAD 20");
    EXPECT_EQ(p[kACADName].value, L"IJCAD");
    EXPECT_EQ(p[kMainCaption].value, L"IJCAD 20");
    EXPECT_EQ(p[kTextCaption].value, L"IJCAD テキスト ウィンドウ");
    EXPECT_EQ(p[kCommandCaption].value, L"コマンド行");
    EXPECT_EQ(p[kMainCmdCtrlID].value, L"2001");
    EXPECT_EQ(p[kTextHistCtrlID].value, L"2004");

    // Every proposed value checks out against discovery and the console's lookups (the
    // program was listed while ACADName was still "acad"). The keys no part of the
    // launcher uses are neither proposed nor judged.
    const LauncherSettings accepted = Accepted(p);
    const KeyChecks checks = CheckSettings(accepted, program, tops, parts,
                                           Recognise(platform, console, accepted, program));
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        EXPECT_EQ(checks[k].ok, !IsUnusedKey(k))
            << Cp932(KeyName(k)) << ": " << Cp932(checks[k].reason);
        EXPECT_EQ(p[k].value.has_value(), !IsUnusedKey(k)) << Cp932(KeyName(k));
    }

    // The launcher takes the command line discovery met last: the text window's.
    const TryOutcome tried = TryDiscovery(platform, console, accepted);
    EXPECT_EQ(tried.instances, 1);
    EXPECT_EQ(tried.main, 1000 + kMain);
    EXPECT_EQ(tried.drawingName, L"図面A.dwg");
    EXPECT_EQ(tried.commandLine, 1000 + kTextLine);
    EXPECT_TRUE(tried.inTextWindow);
    const std::wstring told = DescribeTry(tried, 100);
    EXPECT_NE(told.find(L"・操作する CAD: IJCAD.exe（PID 100）"), std::wstring::npos);
    EXPECT_NE(told.find(L"・図面名: 「図面A.dwg」"), std::wstring::npos);
    EXPECT_NE(
        told.find(L"クリックするコマンド ライン: 「コマンド行」（クラス CmdLineBar、テキスト "
                  L"ウィンドウ「IJCAD テキスト ウィンドウ - 図面A.dwg」の中、表示、600 × 280）"),
        std::wstring::npos)
        << Cp932(told);
    EXPECT_NE(told.find(L"この値なら"), std::wstring::npos);
}

TEST_F(Assistant, ASharedTitlePrefixGivesAMainCaptionTheTextWindowDoesNotMatch) {
    // "IJCAD 20" and "IJCAD 2020" begin both titles: the main caption reaches its " -".
    AddCad(100, 1000,
           {.main = L"IJCAD 2020 - [a.dwg]", .text = L"IJCAD 2020 テキスト ウィンドウ - a.dwg"});
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    const Proposals p = Propose(Program(100), tops, parts, L"AutoCAD 20");
    ASSERT_TRUE(p[kMainCaption].value);
    EXPECT_EQ(*p[kMainCaption].value, L"IJCAD 2020 -");
    EXPECT_EQ(p[kTextCaption].value, L"IJCAD 2020 テキスト ウィンドウ");

    LauncherState state;
    state.settings = Accepted(p);
    EXPECT_EQ(MatchTopLevelCaption(parts.text->title, state.settings), CaptionMatch::kTextWindow);
    PlainPickerHost picker;
    FindCadInstances(platform, state, picker.list());
    ASSERT_EQ(state.table.size(), 2u);
    EXPECT_EQ(state.table[1].MainWindow, 1000 + kMain);
    EXPECT_EQ(state.table[1].TextWindow, 1000 + kText);
    EXPECT_EQ(state.table[1].Name, L"a.dwg");

    // A main title that another window's title begins with cannot be told apart.
    AddCad(200, 2000, {.main = L"IJCAD", .text = L"IJCAD テキスト"});
    const std::vector<WindowNode> same = SurveyWindows(platform, console, 200);
    const Proposals none = Propose(Program(200), same, IdentifyParts(same), L"AutoCAD 20");
    EXPECT_FALSE(none[kMainCaption].value);
    EXPECT_NE(none[kMainCaption].why.find(L"区別できません"), std::wstring::npos);
    // ... and the text caption is then judged against the current main caption.
    EXPECT_EQ(none[kTextCaption].value, L"IJCAD テキスト");
}

// The proposal is discovery's own name for the program; a name without an extension keeps
// the zero tail of its name field there, and no value is proposed that could not match.
TEST_F(Assistant, ACadNameIsProposedOnlyWhenDiscoveryCanMatchIt) {
    AddCad(100, 1000, {.exe = "IJCAD.v2.exe"});
    AddCad(200, 2000, {.exe = "acad"});
    for (std::uint32_t pid : {100u, 200u}) {
        const ProgramInfo program = Program(pid);
        const std::vector<WindowNode> tops = SurveyWindows(platform, console, pid);
        const Proposals p = Propose(program, tops, IdentifyParts(tops), L"AutoCAD 20");
        LauncherState state;
        state.settings = Accepted(p);
        PlainPickerHost picker;
        FindCadInstances(platform, state, picker.list());
        if (pid == 100) {
            EXPECT_EQ(p[kACADName].value, L"IJCAD");
            ASSERT_EQ(state.table.size(), 2u);
            EXPECT_EQ(state.table[1].MainWindow, 1000 + kMain);
        } else {
            EXPECT_FALSE(p[kACADName].value);
            EXPECT_NE(p[kACADName].why.find(L"「acad」には拡張子"), std::wstring::npos);
            EXPECT_EQ(state.table.size(), 1u);  // discovery finds nothing: no value fits
            const KeyChecks c =
                CheckSettings(state.settings, program, tops, IdentifyParts(tops),
                              Recognise(platform, console, state.settings, program));
            EXPECT_FALSE(c[kACADName].ok);
            EXPECT_EQ(c[kACADName].reason, p[kACADName].why);
            // The captions are judged all the same.
            EXPECT_TRUE(c[kMainCaption].ok);
        }
    }
}

// Rectangles another program reports may span the whole 32-bit range: sizes are told and
// ranked without overflow.
TEST_F(Assistant, ExtremeRectanglesKeepTheirSizes) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    AddCad(100, 1000);
    // A huge titled window without a command line never outranks the main window.
    Add(1100, 1000, 0, L"IJCAD 2020 ツール", "Palette", 0, {kMin, kMin, kMax, kMax});
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    ASSERT_TRUE(parts.main);
    EXPECT_EQ(parts.main->hwnd, 1000 + kMain);
    EXPECT_EQ(NodeLabel(tops.back(), {}),
              L"「IJCAD 2020 ツール」  Palette  表示  4294967295 × 4294967295");

    // Command lines turned over have no size: the launcher's rule turns them down, and the
    // try tells their sizes as they are.
    for (FakeWindow& w : platform.windows)
        if (w.hwnd == 1000 + kMainLine || w.hwnd == 1000 + kTextLine)
            w.rect = {kMin, kMax, kMax, kMin};
    LauncherSettings s = Shipped();
    s.ACADName = L"IJCAD";
    s.MainCaption = L"IJCAD 20";
    s.TextCaption = L"IJCAD テキスト";
    s.CommandCaption = L"コマンド行";
    const TryOutcome tried = TryDiscovery(platform, console, s);
    EXPECT_EQ(tried.check, DriveCheck::kNoCommandLine);
    const std::wstring told = DescribeTry(tried, 100);
    EXPECT_NE(told.find(L"4294967295 × -4294967295"), std::wstring::npos) << Cp932(told);
    EXPECT_NE(told.find(kNoCommandLineMessage), std::wstring::npos);
}

TEST_F(Assistant, AHiddenTextWindowIsStillTheTextWindow) {
    // A text window stays hidden until the user opens it; discovery finds it all the same.
    AddCad(100, 1000, {.textVisible = false});
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    ASSERT_TRUE(parts.text);
    EXPECT_EQ(parts.text->hwnd, 1000 + kText);
    EXPECT_EQ(parts.textHistory->hwnd, 1000 + kTextHist);
}

TEST_F(Assistant, EditsAreToldApartAndAnIdentifierTheLookupWouldMissIsNotProposed) {
    // A command line of two one-line edits: the upper one keeps the history, the lower
    // one takes the command. In the text window the history's identifier is also carried
    // by an earlier child, which GetDlgItem would find.
    platform.AddProcess(100, "cad.exe");
    platform.AddThread(1000, 100);
    Add(1, 1000, 0, L"CAD 2010 - [x.dwg]", "Frame", 0, {0, 0, 800, 600});
    Add(2, 0, 1, L"Command", "Bar", 0, {0, 500, 800, 600});
    Add(4, 0, 2, L"", "RichEdit20W", 77, {0, 510, 800, 570});
    Add(5, 0, 2, L"", "RichEdit20W", 78, {0, 570, 800, 600});
    Add(6, 1000, 0, L"CAD Text Window", "TextFrame", 0, {0, 0, 400, 300});
    Add(7, 0, 6, L"Command", "Bar", 0, {0, 0, 400, 300});
    Add(3, 0, 7, L"", "Static", 90, {0, 0, 10, 10});
    Add(8, 0, 7, L"", "Edit", 90, {0, 0, 400, 270}, kEsMultiLine);
    Add(9, 0, 7, L"", "Edit", 91, {0, 270, 400, 300});
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    EXPECT_EQ(parts.mainInput->hwnd, 5u);
    EXPECT_EQ(parts.textHistory->hwnd, 8u);
    const Proposals p = Propose(Program(100), tops, parts, L"???");
    EXPECT_EQ(p[kMainCmdCtrlID].value, L"78");
    EXPECT_FALSE(p[kTextHistCtrlID].value);
    EXPECT_NE(p[kTextHistCtrlID].why.find(L"同じ ID"), std::wstring::npos);
    EXPECT_EQ(p[kMainCaption].value, L"CAD 20");
    EXPECT_EQ(p[kTextCaption].value, L"CAD Text Window");
}

TEST_F(Assistant, TheShippedValuesAgainstAnIjcadSayWhatIsWrong) {
    AddCad(100, 1000);
    const ProgramInfo program = Program(100);
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    const LauncherSettings s = Shipped();
    const Recognised found = Recognise(platform, console, s, program);
    EXPECT_EQ(found.record, CadInstance{});
    for (Hwnd h = 1000 + kMain; h <= 1000 + kTextEdit; ++h) EXPECT_TRUE(MarksOf(found, h).empty());
    const KeyChecks c = CheckSettings(s, program, tops, parts, found);
    for (std::size_t k = 0; k < kSettingCount; ++k) EXPECT_FALSE(c[k].ok) << Cp932(KeyName(k));
    EXPECT_EQ(c[kACADName].reason,
              L"選んだプログラムの名前は「IJCAD」です（大文字と小文字も区別します）。");
    EXPECT_EQ(c[kMainCaption].reason, L"「AutoCAD 20」で始まるタイトルのウィンドウがありません。");
    EXPECT_EQ(c[kCommandCaption].reason,
              L"メイン ウィンドウが見つからないため、確かめられません。");
    EXPECT_EQ(c[kMainCmdCtrlID].reason,
              L"メイン ウィンドウのコマンド ラインが見つからないため、確かめられません。");
}

TEST_F(Assistant, ChecksTellWhichWindowAValuePointsAtAndWhy) {
    AddCad(100, 1000);
    const ProgramInfo program = Program(100, L"IJCAD");
    const std::vector<WindowNode> tops = SurveyWindows(platform, console, 100);
    const CadParts parts = IdentifyParts(tops);
    LauncherSettings s = Shipped();
    s.ACADName = L"IJCAD";
    s.CommandCaption = L"コマンド行";
    s.MainCaption = L"IJCAD";  // the text window's title begins with it too
    s.TextCaption = L"IJCAD テキスト";
    s.MainCmdCtrlID = 2001;
    s.TextHistCtrlID = 2002;  // the text window's input line, not its history
    Recognised found = Recognise(platform, console, s, program);
    // The text window, met after the main window, is taken for the main window.
    EXPECT_EQ(found.record.MainWindow, 1000 + kText);
    KeyChecks c = CheckSettings(s, program, tops, parts, found);
    EXPECT_TRUE(c[kACADName].ok);
    EXPECT_FALSE(c[kMainCaption].ok);
    EXPECT_NE(c[kMainCaption].reason.find(L"がメイン ウィンドウとして選ばれます"),
              std::wstring::npos);
    EXPECT_FALSE(c[kTextCaption].ok);
    EXPECT_NE(c[kTextCaption].reason.find(L"MainCaption「IJCAD」でも始まるため"),
              std::wstring::npos);

    s.MainCaption = L"IJCAD 20";
    s.MainHistCtrlID = 2003;  // names the main window's history, but nothing looks it up
    found = Recognise(platform, console, s, program);
    c = CheckSettings(s, program, tops, parts, found);
    EXPECT_TRUE(c[kMainCaption].ok) << Cp932(c[kMainCaption].reason);
    EXPECT_TRUE(c[kTextCaption].ok) << Cp932(c[kTextCaption].reason);
    EXPECT_TRUE(c[kCommandCaption].ok);
    EXPECT_TRUE(c[kMainCmdCtrlID].ok);
    EXPECT_FALSE(c[kTextHistCtrlID].ok);
    EXPECT_EQ(c[kTextHistCtrlID].reason,
              L"ID 2002 は履歴欄ではありません（クラス Edit）。履歴欄の ID は 2004 です。");
    const std::wstring report = DescribeChecks(s, c, {});
    EXPECT_NE(report.find(L"－ MainHistCtrlID「2003」: （起動ツールでは使われていません）"),
              std::wstring::npos)
        << Cp932(report);
    EXPECT_NE(report.find(L"－ TextCmdCtrlID「1002」: （起動ツールでは使われていません）"),
              std::wstring::npos);

    using Marks = std::vector<std::wstring>;
    EXPECT_EQ(MarksOf(found, 1000 + kMain), Marks{L"MainCaption"});
    EXPECT_EQ(MarksOf(found, 1000 + kMainLine), Marks{L"CommandCaption"});
    EXPECT_EQ(MarksOf(found, 1000 + kMainEdit), Marks{L"MainCmdCtrlID"});
    EXPECT_TRUE(MarksOf(found, 1000 + kMainHist).empty());
    EXPECT_EQ(MarksOf(found, 1000 + kTextEdit), Marks{L"TextHistCtrlID"});
    EXPECT_TRUE(MarksOf(found, 1000 + kTextHist).empty());
    EXPECT_TRUE(MarksOf(found, 0).empty());
}

TEST_F(Assistant, TryTellsWhereTheLauncherWouldStop) {
    LauncherSettings s = Shipped();
    EXPECT_NE(DescribeTry(TryDiscovery(platform, console, s), 100).find(kNoCadMessage),
              std::wstring::npos);

    // Command lines that exist but are hidden: the launcher refuses to click.
    AddCad(100, 1000, {.commandLinesVisible = false});
    s.ACADName = L"IJCAD";
    s.MainCaption = L"IJCAD 20";
    s.TextCaption = L"IJCAD テキスト";
    s.CommandCaption = L"コマンド行";
    std::wstring told = DescribeTry(TryDiscovery(platform, console, s), 100);
    EXPECT_NE(told.find(L"・見つかったコマンド ライン: 「コマンド行」（クラス CmdLineBar、テキスト "
                        L"ウィンドウ「IJCAD テキスト ウィンドウ - 図面A.dwg」の中、非表示"),
              std::wstring::npos)
        << Cp932(told);
    EXPECT_NE(told.find(kNoCommandLineMessage), std::wstring::npos);
    EXPECT_EQ(told.find(L"この値なら"), std::wstring::npos);

    // A caption no window has.
    s.CommandCaption = L"Command Line";
    told = DescribeTry(TryDiscovery(platform, console, s), 100);
    EXPECT_NE(told.find(L"タイトルが CommandCaption のウィンドウがありません"), std::wstring::npos);

    // Two CADs of that name: the launcher drives the last one found.
    AddCad(200, 2000, {.main = L"IJCAD 2020 PRO - [図面B.dwg]"});
    s.CommandCaption = L"コマンド行";
    const TryOutcome tried = TryDiscovery(platform, console, s);
    EXPECT_EQ(tried.instances, 2);
    EXPECT_EQ(tried.main, 2000 + kMain);
    told = DescribeTry(tried, 100);
    EXPECT_NE(told.find(L"見つかった 2 個のうち、最後のものです"), std::wstring::npos);
    EXPECT_NE(told.find(L"一覧で選んだプログラムとは別のプログラムです"), std::wstring::npos);
}

// The try applies the launcher's own rule: it promises what the launch does.
TEST_F(Assistant, TryFollowsTheLaunchersRuleForRightsAndTheCommandLineClicked) {
    LauncherSettings s = Shipped();
    s.ACADName = L"IJCAD";
    s.MainCaption = L"IJCAD 20";
    s.TextCaption = L"IJCAD テキスト";
    s.CommandCaption = L"コマンド行";
    // A hidden text window met last: the launcher clicks the main window's command line.
    AddCad(100, 1000, {.textVisible = false});
    TryOutcome tried = TryDiscovery(platform, console, s);
    EXPECT_EQ(tried.check, DriveCheck::kReady);
    EXPECT_EQ(tried.commandLine, 1000 + kMainLine);
    std::wstring told = DescribeTry(tried, 100);
    EXPECT_NE(told.find(L"「IJCAD 2020 PRO - [図面A.dwg]」の中、表示、640 × 64"),
              std::wstring::npos)
        << Cp932(told);
    EXPECT_NE(told.find(L"この値なら"), std::wstring::npos);

    // A CAD run with higher rights is refused, as the launch refuses it.
    platform.rights[100] = ProcessRights::kHigher;
    tried = TryDiscovery(platform, console, s);
    EXPECT_EQ(tried.check, DriveCheck::kHigherRights);
    told = DescribeTry(tried, 100);
    EXPECT_NE(told.find(kCadElevatedMessage), std::wstring::npos) << Cp932(told);
    EXPECT_EQ(told.find(L"この値なら"), std::wstring::npos);
}

// --- A session: from the Lumset.ini shipped for another CAD to one saved for the IJCAD.

class Session : public Assistant {
  protected:
    void SetUp() override {
        platform.profilesFromFiles = true;
        platform.files[ini] = shipped;
        platform.AddProcess(6, "vortastart.exe");  // the assistant's own program
        platform.AddThread(60, 6);
        Add(600, 60, 0, L"Lumset.ini の設定アシスタント", "VortaSettingsAssistant", 0,
            {0, 0, 9, 9});
        AddCad(100, 1000);
        session.Load(folder);
    }

    // The rows as they start: each proposal, ticked or not.
    KeyChoices Rows() const {
        KeyChoices choices;
        for (std::size_t k = 0; k < kSettingCount; ++k) {
            const KeyRow row = session.Row(k);
            choices[k] = {row.accept, row.value};
        }
        return choices;
    }

    void ChooseCad() {
        const std::vector<ProgramInfo>& programs = session.programs();
        for (std::size_t i = 0; i < programs.size(); ++i)
            if (programs[i].processId == 100) session.Choose(static_cast<int>(i));
        ASSERT_GE(session.chosen(), 0);
    }

    const std::wstring folder = L"C:\\CAD\\Vorta\\";
    const std::wstring ini = folder + L"Lumset.ini";
    const std::string shipped = Cp932(
        L"; 出荷時の値\r\n[Main]\r\nACADName=acad\r\nCommandCaption=コマンド ライン\r\n"
        L"MainCaption=AutoCAD 20\r\nTextCaption=AutoCAD テキスト ウィンドウ\r\n"
        L"MainCmdCtrlID=1001\r\nTextCmdCtrlID=1002\r\nMainHistCtrlID=1003\r\nTextHistCtrlID="
        L"1004\r\n");
    testing::MemoryFiles files{platform.files};
    AssistantSession session{platform, console, files, 6};
};

TEST_F(Session, ProposesForTheChosenCadAndTicksWhatDoesNotFitTheUnusedKeysAside) {
    // ACADName fits no program: none is chosen, nothing judged or ticked, ourselves unlisted.
    EXPECT_EQ(session.chosen(), -1);
    EXPECT_EQ(session.programs().size(), 1u);
    EXPECT_EQ(session.Report(), kChooseProgramText);
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const KeyRow row = session.Row(k);
        EXPECT_EQ(std::wstring(row.mark), L"") << Cp932(KeyName(k));
        EXPECT_FALSE(row.accept) << Cp932(KeyName(k));
        EXPECT_EQ(row.value, IsUnusedKey(k) ? kUnusedKeyText : row.current);
    }

    ChooseCad();
    const std::array<std::wstring, kSettingCount> proposed{
        L"IJCAD", L"コマンド行", L"IJCAD 20", L"IJCAD テキスト ウィンドウ",
        L"2001",  L"",           L"",         L"2004"};
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const KeyRow row = session.Row(k);
        EXPECT_EQ(row.used, !IsUnusedKey(k));
        if (IsUnusedKey(k)) {
            EXPECT_EQ(row.value, kUnusedKeyText);
            EXPECT_EQ(std::wstring(row.mark), L"");
            EXPECT_FALSE(row.accept);
            EXPECT_EQ(row.current, k == kTextCmdCtrlID ? L"1002" : L"1003");
        } else {
            EXPECT_EQ(row.value, proposed[k]) << Cp932(KeyName(k));
            EXPECT_EQ(std::wstring(row.mark), kMarkNg) << Cp932(KeyName(k));
            EXPECT_TRUE(row.accept) << Cp932(KeyName(k));
        }
    }
    EXPECT_NE(
        session.Report().find(L"－ TextCmdCtrlID「1002」: （起動ツールでは使われていません）"),
        std::wstring::npos);

    // Listed again, the chosen program stays chosen wherever it comes in the list.
    platform.AddProcess(50, "aaa.exe");
    platform.AddThread(500, 50);
    Add(5000, 500, 0, L"A", "A", 0, {0, 0, 9, 9});
    session.Refresh();
    ASSERT_EQ(session.programs().size(), 2u);
    EXPECT_EQ(session.chosen(), 1);
    EXPECT_EQ(session.programs()[1].processId, 100u);

    // A value that fits already is not ticked, and 試す uses what is ticked.
    platform.files[ini] = Cp932(L"[Main]\r\nACADName=IJCAD\r\nCommandCaption=コマンド行\r\n");
    session.Load(folder);
    ASSERT_EQ(session.programs()[static_cast<std::size_t>(session.chosen())].processId, 100u);
    EXPECT_EQ(std::wstring(session.Row(kACADName).mark), kMarkOk);
    EXPECT_FALSE(session.Row(kACADName).accept);
    EXPECT_TRUE(session.Row(kMainCaption).accept);
    EXPECT_NE(session.Try(Rows()).report.find(L"この値なら"), std::wstring::npos);
    KeyChoices none = Rows();
    none[kMainCaption].accept = false;  // "???" finds no main window
    EXPECT_NE(session.Try(none).report.find(kNoCadMessage), std::wstring::npos);
}

TEST_F(Session, SavesTheTickedValuesReadsThemBackAndKeepsTheUnusedKeysLines) {
    ChooseCad();
    KeyChoices choices = Rows();
    choices[kTextCmdCtrlID] = {true, L"55"};  // never written: no part of the launcher uses it
    const ActionOutcome outcome = session.Save(choices);
    ASSERT_TRUE(outcome.saved) << Cp932(outcome.message);
    EXPECT_EQ(outcome.message, L"");
    EXPECT_EQ(outcome.report.find(L"注意"), std::wstring::npos) << Cp932(outcome.report);
    EXPECT_EQ(platform.files[ini + L".bak"], shipped);
    EXPECT_EQ(platform.files[ini],
              Cp932(L"; 出荷時の値\r\n[Main]\r\nACADName=IJCAD\r\nCommandCaption=コマンド行\r\n"
                    L"MainCaption=IJCAD 20\r\nTextCaption=IJCAD テキスト ウィンドウ\r\n"
                    L"MainCmdCtrlID=2001\r\nTextCmdCtrlID=1002\r\nMainHistCtrlID=1003\r\n"
                    L"TextHistCtrlID=2004\r\n"));
    // The settings are those read back, and now every used key fits.
    EXPECT_EQ(session.settings().ACADName, L"IJCAD");
    EXPECT_EQ(session.settings().MainCmdCtrlID, 2001);
    EXPECT_EQ(session.settings().TextCmdCtrlID, 1002);
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        if (IsUnusedKey(k)) continue;
        EXPECT_EQ(std::wstring(session.Row(k).mark), kMarkOk) << Cp932(KeyName(k));
        EXPECT_FALSE(session.Row(k).accept) << Cp932(KeyName(k));
    }
    EXPECT_NE(outcome.report.find(L"✓ TextHistCtrlID「2004」"), std::wstring::npos);
}

TEST_F(Session, ASaveThatFailsOrHasNothingToWriteLeavesTheFileAndTheSettings) {
    ChooseCad();
    files.failing["write"] = {FileStatus::kFailed, 112, L"ディスクの空き領域が不足しています。"};
    ActionOutcome outcome = session.Save(Rows());
    EXPECT_FALSE(outcome.saved);
    EXPECT_NE(outcome.message.find(L"元の Lumset.ini はそのままです"), std::wstring::npos);
    EXPECT_EQ(outcome.report, outcome.message);
    EXPECT_EQ(platform.files, (std::map<std::wstring, std::string>{{ini, shipped}}));
    EXPECT_EQ(session.settings().ACADName, L"acad");
    EXPECT_TRUE(session.Row(kACADName).accept);  // the rows stay for another try
    files.failing.clear();
    EXPECT_TRUE(session.Save(Rows()).saved);

    // A value that cannot be written, or nothing ticked: no file is touched.
    files.steps.clear();
    KeyChoices choices = Rows();
    choices[kMainCmdCtrlID] = {true, L"20a1"};
    for (const ActionOutcome& refused : {session.Save(choices), session.Try(choices)}) {
        EXPECT_EQ(refused.badKey, std::optional<std::size_t>(kMainCmdCtrlID));
        EXPECT_NE(refused.message.find(L"MainCmdCtrlID には数値"), std::wstring::npos);
        EXPECT_EQ(refused.report, L"");
    }
    choices = Rows();
    choices[kMainHistCtrlID] = {true, L"7"};  // an unused key's tick counts for nothing
    outcome = session.Save(choices);
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message, kNothingToSaveMessage);
    EXPECT_TRUE(files.steps.empty());
}

}  // namespace
}  // namespace vorta::assistant
