// Discovery of running CAD instances by executable name and window captions.
#pragma once

#include <functional>
#include <string>

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

using BaseNameFunction = std::function<std::wstring(std::wstring)>;

// Rebuilds state.table and the picker list and selects the last instance found.
// baseNameOf lets the console window use its own copy of BaseNameOf.
void FindCadInstances(Platform& platform, LauncherState& state, PickerHost& picker,
                      const BaseNameFunction& baseNameOf = {});

// The caption of a window, cut on its ANSI bytes so double-byte characters stay whole.
std::wstring WindowTextOf(Platform& platform, Hwnd window);

// The drawing name in a main window caption such as "AutoCAD 2005 - [Drawing1.dwg]".
// Empty when the caption is too short to hold one.
std::wstring DrawingNameOf(const std::wstring& caption);

}  // namespace vorta
