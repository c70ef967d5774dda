// The settings assistant's analysis of one program: which of its windows are its main
// window, text window, command lines and their edit controls; what the launcher's
// discovery and the console's lookups find there with the current values, and why each
// key some part of the launcher uses does or does not fit; the values to propose; and
// what a run of the launcher would drive with given values ("試す"). Whether a caption
// matches is always decided by discovery's own rules (MatchTopLevelCaption,
// IsCommandLineCaption, DiscoverCads), whether an identifier names a control by the
// console's own lookup (GetDlgItem), and whether the launcher drives a CAD by its own
// rule (ChooseDriveTarget). The keys no part of the launcher uses (IsUnusedKey) are
// neither judged nor proposed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/assistant/lumset_file.h"
#include "launcher/assistant/window_survey.h"
#include "launcher/forms/console_platform.h"
#include "launcher/launch.h"
#include "launcher/launcher_state.h"
#include "launcher/platform.h"
#include "launcher/settings.h"

namespace vorta::assistant {

// The marks of the judgement: the value fits, or it does not.
inline constexpr wchar_t kMarkOk[] = L"✓";
inline constexpr wchar_t kMarkNg[] = L"×";
// What stands in the row, the report and the judgement of a key no part of the launcher
// uses (IsUnusedKey): its value is read and kept as it is.
inline constexpr wchar_t kUnusedKeyText[] = L"（起動ツールでは使われていません）";

// The parts of a CAD among one program's windows, told from their structure alone (not
// from the settings, which may be wrong): the main window is the visible titled window
// that holds a command line, preferring a title that does not name a text window and
// then the largest; the text window is another window holding a command line of the
// same title; a command line is a titled window whose own children include an edit
// control; under it, a multi-line edit holds the history and a one-line edit (the
// lowest, when there are several) the typed command. Only the controls the launcher
// looks up are told: the main window's input line (MainCmdCtrlID, Get) and the text
// window's history (TextHistCtrlID, History2).
struct CadParts {
    const WindowNode* main = nullptr;
    const WindowNode* text = nullptr;
    const WindowNode* mainCommandLine = nullptr;
    const WindowNode* textCommandLine = nullptr;
    const WindowNode* mainInput = nullptr;
    const WindowNode* textHistory = nullptr;
};
CadParts IdentifyParts(const std::vector<WindowNode>& tops);

struct Proposal {
    std::optional<std::wstring> value;  // nothing: no value can be proposed
    std::wstring why;
};
using Proposals = std::array<Proposal, kSettingCount>;  // none for an unused key

// The values to propose for the program's parts:
// - ACADName: the name discovery compares (AcadNameOf), when a value can equal it;
// - MainCaption: the main window's title up to and including the "20" of its version
//   year, or failing that the title up to its " - ", or the shortest start of the title
//   that no other titled window of the program has (discovery takes the last match);
// - TextCaption: the text window's title up to its " - ", or its shortest start that
//   picks it alone (windows taken as main windows aside);
// - CommandCaption: the command line's exact title;
// - MainCmdCtrlID and TextHistCtrlID: those of the main window's input line and the text
//   window's history, where the console's lookup of the identifier under the command line
//   finds that very control.
// `currentMainCaption` stands in for MainCaption when no main window is found.
Proposals Propose(const ProgramInfo& program, const std::vector<WindowNode>& tops,
                  const CadParts& parts, const std::wstring& currentMainCaption);

// What the launcher's discovery finds in one program with given settings, and what the
// console's lookups find under the command lines it found.
struct Recognised {
    CadInstance record;  // the program's record; all zero when discovery took none of it
    bool mainCommandLineInside = false;  // MainCommandLine lies inside MainWindow
    bool textCommandLineInside = false;
    Hwnd mainCmdControl = 0;   // GetDlgItem(MainCommandLine, MainCmdCtrlID), as Get does
    Hwnd textHistControl = 0;  // GetDlgItem(TextCommandLine, TextHistCtrlID), as History2
};

// Runs DiscoverCads with the settings, ACADName replaced by the program's base name (so the
// captions are judged even while ACADName is wrong), and keeps the record whose windows
// belong to the program.
Recognised Recognise(Platform& platform, ConsolePlatform& console, LauncherSettings settings,
                     const ProgramInfo& program);

struct KeyCheck {
    bool ok = false;
    std::wstring reason;
};
using KeyChecks = std::array<KeyCheck, kSettingCount>;  // an unused key: not ok, no reason

KeyChecks CheckSettings(const LauncherSettings& settings, const ProgramInfo& program,
                        const std::vector<WindowNode>& tops, const CadParts& parts,
                        const Recognised& found);

// The judgement of every key and the reason of every proposal, one line each, for the
// assistant's report; an unused key is told as such.
std::wstring DescribeChecks(const LauncherSettings& settings, const KeyChecks& checks,
                            const Proposals& proposals);

// The keys whose current value points at the window.
std::vector<std::wstring> MarksOf(const Recognised& found, Hwnd window);

// "「title」 クラス Edit  ID 1001  表示  640 × 64  ◀ MainCmdCtrlID"
std::wstring NodeLabel(const WindowNode& node, const std::vector<std::wstring>& marks);
// "acad.exe（PID 1234）  AutoCAD 2005 - [図面1.dwg] / …"
std::wstring ProgramLabel(const ProgramInfo& program);

// What the launcher would drive with these settings, found as it finds it: discovery over
// every program, the last record selected, its main window, and whether and where the
// launcher's own rule (ChooseDriveTarget) drives it: the command line it clicks, or the
// one discovery left when it refuses.
struct TryOutcome {
    DriveCheck check = DriveCheck::kNoCad;
    int instances = 0;  // CAD programs discovery found
    Hwnd main = 0;
    std::uint32_t processId = 0;
    std::wstring exeName;
    std::wstring drawingName;
    std::wstring mainTitle;
    Hwnd commandLine = 0;
    std::wstring commandLineTitle;
    std::wstring commandLineClass;
    std::wstring rootTitle;  // the top-level window that holds the command line
    bool inTextWindow = false;
    bool visible = false;
    Rect rect;
};
TryOutcome TryDiscovery(Platform& platform, ConsolePlatform& console,
                        const LauncherSettings& settings);

// The outcome told plainly; chosenProcessId is the program the user picked (0: none). A
// refusal is told with the launcher's own message for it (RefusalMessage).
std::wstring DescribeTry(const TryOutcome& outcome, std::uint32_t chosenProcessId);

}  // namespace vorta::assistant
