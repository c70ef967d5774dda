// Discovery: walk the processes, keep those whose executable base name equals
// ACADName, and in each walk the top-level windows of all its threads to find the main
// window, the text window and, inside each, the command-line child.
#include "launcher/discovery.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "launcher/ansi_text.h"
#include "launcher/paths.h"

namespace vorta {

namespace {

// The window callbacks of one run. Each record is filled by the windows of its own
// process; the command line a search finds is kept for the records after it.
class DiscoveryRun {
  public:
    DiscoveryRun(Platform& platform, const LauncherSettings& settings, Hwnd foundCommandLine)
        : platform_(platform), settings_(settings), found_(foundCommandLine) {}

    // Always asks to continue: every top-level window of the thread is looked at.
    bool OnTopLevelWindow(CadInstance& record, Hwnd window) {
        if (!HasCaption(platform_, window)) return true;
        std::wstring t = WindowTextOf(platform_, window);
        switch (MatchTopLevelCaption(t, settings_)) {
            case CaptionMatch::kMainWindow:
                record.Name = DrawingNameOf(t);
                record.MainWindow = window;
                SearchCommandLine(window);
                record.MainCommandLine = found_;
                break;
            case CaptionMatch::kTextWindow:
                record.TextWindow = window;
                SearchCommandLine(window);
                record.TextCommandLine = found_;
                break;
            case CaptionMatch::kNone:
                break;
        }
        return true;
    }

    Hwnd FoundCommandLine() const { return found_; }

  private:
    // Stops at the first child whose caption is the command-line caption.
    void SearchCommandLine(Hwnd window) {
        platform_.EnumChildWindows(window, [&](Hwnd child) {
            if (!IsCommandLineCaption(WindowTextOf(platform_, child), settings_)) return true;
            found_ = child;
            return false;
        });
    }

    Platform& platform_;
    const LauncherSettings& settings_;
    Hwnd found_;
};

}  // namespace

std::wstring WindowTextOf(Platform& platform, Hwnd window) {
    std::int32_t n = platform.GetWindowTextLengthA(window);
    if (n <= 0) return {};
    // Another program's window may report any length: read no more than a caption can
    // sensibly hold.
    n = std::min(n, kWindowTextMaxBytes);
    std::string buffer = platform.GetWindowTextA(window, n + 1);
    buffer.resize(std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(n)));
    // The length is only an upper bound: for a window of another process, or a Unicode
    // window read through the ANSI call, it can be up to twice the real byte count.
    // The text ends at the zero byte the system wrote after it.
    buffer.resize(std::min(buffer.size(), buffer.find('\0')));
    // A caption that grew after its length was read, or one longer than we read, may
    // end in a lead byte whose trail byte did not fit: that half character is dropped.
    return platform.FromAnsi(CutAnsi(platform, buffer, buffer.size()));
}

bool HasCaption(Platform& platform, Hwnd window) {
    return platform.GetWindowTextLengthA(window) > 0;
}

CaptionMatch MatchTopLevelCaption(const std::wstring& caption, const LauncherSettings& settings) {
    // The main-caption test comes first: a text caption that begins with the main
    // caption is taken as a main window.
    if (caption.compare(0, settings.MainCaption.size(), settings.MainCaption) == 0)
        return CaptionMatch::kMainWindow;
    if (caption.compare(0, settings.TextCaption.size(), settings.TextCaption) == 0)
        return CaptionMatch::kTextWindow;
    return CaptionMatch::kNone;
}

bool IsCommandLineCaption(const std::wstring& caption, const LauncherSettings& settings) {
    return caption == settings.CommandCaption;
}

std::wstring DrawingNameOf(const std::wstring& caption) {
    // "AutoCAD 2005 - [Drawing1.dwg]": skip the dash, the blank and the opening
    // bracket, drop the closing bracket. Without a dash, start at the third character.
    std::size_t dash = caption.find(L'-');
    std::size_t start = (dash == std::wstring::npos) ? 2 : dash + 3;
    if (start >= caption.size()) return {};
    return caption.substr(start, caption.size() - start - 1);
}

std::wstring AcadNameOf(const Platform& platform, const ProcessEntry& process) {
    return BaseNameOf(platform.FromAnsi(process.exeFile));
}

void ForEachTopLevelWindow(Platform& platform, const ProcessEntry& process,
                           std::optional<std::vector<ThreadEntry>>& threads,
                           const std::function<bool(Hwnd, std::uint32_t)>& visit) {
    // One thread snapshot serves every process of the run.
    if (!threads) threads = platform.SnapshotThreads();
    bool going = true;
    for (const ThreadEntry& thread : *threads) {
        if (!going) break;
        if (thread.ownerProcessId != process.processId) continue;
        platform.EnumThreadWindows(
            thread.threadId, [&](Hwnd window) { return going = visit(window, thread.threadId); });
    }
}

Discovery DiscoverCads(Platform& platform, const LauncherSettings& settings, Hwnd foundCommandLine,
                       std::optional<DiscoverySnapshots> snapshots) {
    Discovery found;
    if (snapshots)
        found.snapshots = std::move(*snapshots);
    else
        found.snapshots.processes = platform.SnapshotProcesses();
    DiscoveryRun run(platform, settings, foundCommandLine);
    for (const ProcessEntry& process : found.snapshots.processes) {
        if (AcadNameOf(platform, process) != settings.ACADName) continue;
        CadInstance& record = found.records.emplace_back();
        ForEachTopLevelWindow(
            platform, process, found.snapshots.threads,
            [&](Hwnd window, std::uint32_t) { return run.OnTopLevelWindow(record, window); });
    }
    found.foundCommandLine = run.FoundCommandLine();
    return found;
}

void ShowDiscovery(const Discovery& found, LauncherState& state, PickerList& list) {
    list.Clear();
    for (const CadInstance& record : found.records) {
        state.table.push_back(record);
        const int item = list.AddItem(record.Name);
        list.SetItemData(item, static_cast<std::int32_t>(state.table.size() - 1));
    }
    if (list.ItemCount() > 0) list.SetListIndex(list.ItemCount() - 1);
    state.FoundCommandLine = found.foundCommandLine;
}

Discovery FindCadInstances(Platform& platform, LauncherState& state, PickerList& list) {
    state.table.assign(1, CadInstance{});
    Discovery found = DiscoverCads(platform, state.settings, state.FoundCommandLine);
    ShowDiscovery(found, state, list);
    return found;
}

void FindCadInstancesAfterLoading(Platform& platform, LauncherState& state, PickerHost& picker) {
    state.table.assign(1, CadInstance{});
    std::optional<DiscoverySnapshots> loaded = picker.LoadOwner();
    const Discovery found =
        DiscoverCads(platform, state.settings, state.FoundCommandLine, std::move(loaded));
    ShowDiscovery(found, state, picker.cmbFileName());
}

const CadInstance* SelectedRecord(const PickerList& list, const CadInstanceTable& table) {
    const int selected = list.ListIndex();
    if (selected < 0) return nullptr;
    // Slot 0 stays empty.
    const std::int32_t slot = list.ItemData(selected);
    if (slot <= 0 || static_cast<std::size_t>(slot) >= table.size()) return nullptr;
    return &table[static_cast<std::size_t>(slot)];
}

}  // namespace vorta
