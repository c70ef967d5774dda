// Discovery of running CAD instances by executable name and window captions.
#pragma once

#include <cstdint>
#include <string>

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

// The name of a process that discovery compares with ACADName: BaseNameOf the whole
// fixed-size name field, zero characters of its tail included. The cut at the first dot
// drops them from every name with an extension; a name without one ("acad") keeps them,
// so no ACADName can match it.
std::wstring AcadNameOf(const Platform& platform, const ProcessEntry& process);

// Rebuilds state.table and the picker list and selects the last instance found.
void FindCadInstances(Platform& platform, LauncherState& state, PickerHost& picker);

// The record of the list's selected item, whose data is the record's slot in the table;
// nothing when no item is selected or its slot holds no record.
const CadInstance* SelectedRecord(const PickerList& list, const CadInstanceTable& table);

// The most of a caption that is read, in ANSI bytes. Captions are short; a window that
// reports more (another program's, perhaps a broken one) has its caption cut there.
inline constexpr std::int32_t kWindowTextMaxBytes = 32 * 1024;

// The caption of a window, cut on its ANSI bytes so double-byte characters stay whole:
// it ends at the first zero byte, and a double-byte character cut in half at the end
// is dropped.
std::wstring WindowTextOf(Platform& platform, Hwnd window);

// What discovery takes a top-level window for, from its caption alone. The main-caption
// test is made first: a caption that begins with both captions is a main window's.
enum class CaptionMatch { kNone, kMainWindow, kTextWindow };
CaptionMatch MatchTopLevelCaption(const std::wstring& caption, const LauncherSettings& settings);

// Whether a child window's caption is the command line's: the whole caption, exactly.
bool IsCommandLineCaption(const std::wstring& caption, const LauncherSettings& settings);

// The drawing name in a main window caption such as "AutoCAD 2005 - [Drawing1.dwg]".
// Empty when the caption is too short to hold one.
std::wstring DrawingNameOf(const std::wstring& caption);

}  // namespace vorta
