// The command-line launch sequence: bring the CAD to the front, click into its
// command line, paste ESC and the load command, and put everything back.
#pragma once

#include <cstdint>

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

// A clipboard held by another program is waited for this long.
inline constexpr std::uint32_t kClipboardBoundMs = 1000;
// After a click, the CAD is given this long to move the keyboard focus into its command
// line before the click is made again.
inline constexpr std::uint32_t kFocusWaitMs = 500;
// Clicks made while the keys would land in the CAD but its focus stays outside the command
// line (a drawing area that keeps the focus and hands keys on): after this many, the
// launcher pastes anyway and the proof of delivery decides.
inline constexpr int kClicksBeforePasting = 3;

extern const wchar_t kNoCadMessage[];
extern const wchar_t kNoCadTitle[];
extern const wchar_t kUnexpectedErrorMessage[];
extern const wchar_t kClipboardBusyMessage[];
extern const wchar_t kClipboardNotSetMessage[];
extern const wchar_t kCadNotRespondingMessage[];
extern const wchar_t kCadClosedMessage[];
extern const wchar_t kNoCommandLineMessage[];
extern const wchar_t kCadElevatedMessage[];
extern const wchar_t kCadNotForegroundMessage[];
extern const wchar_t kCommandLineCoveredMessage[];
extern const wchar_t kPasteNotTakenMessage[];
extern const wchar_t kInputRefusedMessage[];

// Whether the launcher can drive the selected CAD.
enum class DriveCheck {
    kReady,
    kNoCad,          // nothing selected, or no main window recognised
    kHigherRights,   // the CAD runs with rights above ours, or ones we may not read
    kNotAnswering,   // its main window does not answer a bounded question
    kClosed,         // its main window is gone
    kNoCommandLine,  // no visible command line with a size in the CAD's own process
};

// What a launch drives: the CAD's main window and the command line it clicks, with the
// top-level window holding that command line, and their owners.
struct DriveTarget {
    DriveCheck check = DriveCheck::kNoCad;
    Hwnd main = 0;
    Hwnd commandLine = 0;
    Hwnd commandRoot = 0;
    WindowOwner cad;  // the process and thread of the main window
    WindowOwner commandOwner;
};

// The one rule for "can the launcher drive this CAD, and where will it click", used by
// the launch and by the settings assistant's try: the rights first (the system drops
// our input on its way to a program with higher rights, answering or not), then a
// bounded question to the main window, then the command line: FoundCommandLine when it
// is usable, else the record's MainCommandLine, else its TextCommandLine. Usable means a
// live window of the CAD's own process, visible, with a size (unknown, and taken as
// given, while the window holding it is minimised).
DriveTarget ChooseDriveTarget(Platform& platform, const CadInstance* selected,
                              Hwnd foundCommandLine);

// What the user is told when the check is not kReady, and under which title.
const wchar_t* RefusalMessage(DriveCheck check);
const wchar_t* RefusalTitle(DriveCheck check);

void LaunchInCad(Platform& platform, LauncherState& state, PickerHost& picker);

}  // namespace vorta
