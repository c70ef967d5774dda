// Discovery of running CAD instances by executable name and window captions.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

// The name of a process that discovery compares with ACADName: BaseNameOf the whole
// fixed-size name field, zero characters of its tail included. The cut at the first dot
// drops them from every name with an extension; a name without one ("acad") keeps them,
// so no ACADName can match it.
std::wstring AcadNameOf(const Platform& platform, const ProcessEntry& process);

// What one discovery run found: a record per process whose name is ACADName, in snapshot
// order, and the command line the run's searches left (the one it was given when none
// matched), with the snapshots it walked.
struct Discovery {
    std::vector<CadInstance> records;
    Hwnd foundCommandLine = 0;
    DiscoverySnapshots snapshots;
};

// One run over the running processes and their windows. It takes its own snapshots
// unless given those of a run made a moment before. A record whose command line search
// fails keeps the command line found before it.
Discovery DiscoverCads(Platform& platform, const LauncherSettings& settings, Hwnd foundCommandLine,
                       std::optional<DiscoverySnapshots> snapshots = {});

// Calls visit(process, top-level window, thread id) for every top-level window of every
// thread of the process, in thread snapshot order; the thread snapshot is taken on first
// use. Stops when visit returns false.
void ForEachTopLevelWindow(Platform& platform, const ProcessEntry& process,
                           std::optional<std::vector<ThreadEntry>>& threads,
                           const std::function<bool(Hwnd window, std::uint32_t threadId)>& visit);

// Puts a run's result into the shared state: its records into the table after those
// already there, one list item per record (its drawing name, its slot as the item's
// data), the last one selected, and FoundCommandLine.
void ShowDiscovery(const Discovery& found, LauncherState& state, PickerList& list);

// The CAD search: a fresh table, one run, shown in the list.
Discovery FindCadInstances(Platform& platform, LauncherState& state, PickerList& list);

// The launch's search. The table starts afresh; then the list's owner is loaded (the
// hidden console: its own CAD search and Get), whose records stay in the table ahead of
// this run's; this run walks the snapshots that search took a moment before.
void FindCadInstancesAfterLoading(Platform& platform, LauncherState& state, PickerHost& picker);

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

// Whether discovery looks at a top-level window at all: only at one whose caption has a
// length.
bool HasCaption(Platform& platform, Hwnd window);

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
