// The console window as the owner of the picker list: loading it creates frmMain hidden
// and runs its Form_Load (a CAD search of its own and, when that selected an instance,
// Get).
#pragma once

#include <memory>

#include "launcher/forms/console_platform.h"
#include "launcher/forms/win32/frm_main.h"
#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta::forms::win32 {

class ConsolePickerHost final : public PickerHost {
  public:
    ConsolePickerHost(Platform& platform, ConsolePlatform& console, LauncherState& state,
                      HINSTANCE instance);
    std::optional<DiscoverySnapshots> LoadOwner() override;
    PickerList& cmbFileName() override;
    // The console window, created and loaded on first use.
    frmMain& Form();
    bool Created() const { return form_ != nullptr; }

  private:
    Platform& platform_;
    ConsolePlatform& console_;
    LauncherState& state_;
    HINSTANCE instance_;
    std::unique_ptr<frmMain> form_;
    // Holds the list when the window could not be created, so discovery and the launch
    // still see the instances found (a list without its window would report item 0 as
    // selected).
    PlainPickerList fallback_;
};

// Loads the settings as the launch sequence does, shows the console window centred on
// the screen and handles its events until it is closed. Returns the exit code.
int ShowConsoleUntilClosed(Platform& platform, ConsolePickerHost& host, LauncherState& state);

// Handles the events of the thread until WM_QUIT, with the keyboard navigation (Tab
// between the controls) of the console window and of the settings assistant.
int RunMessageLoop(frmMain& form);

}  // namespace vorta::forms::win32
