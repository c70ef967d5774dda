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

extern const wchar_t kNoCadMessage[];
extern const wchar_t kNoCadTitle[];
extern const wchar_t kCadNotDrivenMessage[];
extern const wchar_t kClipboardBusyMessage[];
extern const wchar_t kClipboardNotSetMessage[];
extern const wchar_t kCadNotRespondingMessage[];
extern const wchar_t kCadClosedMessage[];
extern const wchar_t kNoCommandLineMessage[];
extern const wchar_t kCadElevatedMessage[];

void LaunchInCad(Platform& platform, LauncherState& state, PickerHost& picker);

}  // namespace vorta
