// The launcher's start: the pause file, then the launch into the CAD.
#pragma once

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

// Main: pause file, then the launch sequence. Returns when the process should end.
void Main(Platform& platform, PickerHost& picker, LauncherState& state);

}  // namespace vorta
