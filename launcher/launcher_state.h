// Shared state of vortastart, owned by the launcher for the life of the process and
// touched only on the user-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/platform.h"

namespace vorta {

struct LauncherSettings {
    std::wstring ACADName;        // base name of the CAD executable, compared exactly
    std::wstring CommandCaption;  // exact caption of the command-line child window
    std::wstring MainCaption;     // leading text of the main window's caption
    std::wstring TextCaption;     // leading text of the text (history) window's caption
    std::int32_t MainCmdCtrlID = 0;
    std::int32_t TextCmdCtrlID = 0;
    std::int32_t MainHistCtrlID = 0;
    std::int32_t TextHistCtrlID = 0;
};

// One record per running CAD process.
struct CadInstance {
    std::wstring Name;  // drawing name cut from the main window's caption
    Hwnd MainWindow = 0;
    Hwnd MainCommandLine = 0;
    Hwnd TextWindow = 0;
    Hwnd TextCommandLine = 0;
    friend bool operator==(const CadInstance&, const CadInstance&) = default;
};

// Slot 0 stays empty; instances occupy slots 1, 2, ... in the order met.
using CadInstanceTable = std::vector<CadInstance>;

struct LauncherState {
    std::int16_t PauseUnit = 5;
    std::wstring AppFolder;  // always ends in one backslash
    LauncherSettings settings;
    CadInstanceTable table{CadInstance{}};
    // Left by the last successful command-line search; never cleared.
    Hwnd FoundCommandLine = 0;
};

// What one discovery run took of the system: the process snapshot and, once a process
// matched, the thread snapshot. A run made a moment after another may take them over.
struct DiscoverySnapshots {
    std::vector<ProcessEntry> processes;
    std::optional<std::vector<ThreadEntry>> threads;
};

}  // namespace vorta
