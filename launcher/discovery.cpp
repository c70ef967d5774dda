// Discovery: walk the processes, keep those whose executable base name equals
// ACADName, and in each walk the top-level windows of all its threads to find the main
// window, the text window and, inside each, the command-line child.
#include "launcher/discovery.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "launcher/ansi_text.h"
#include "launcher/paths.h"

namespace vorta {

namespace {

class DiscoveryRun {
  public:
    DiscoveryRun(Platform& platform, LauncherState& state) : platform_(platform), state_(state) {}

    void SetCurrent(std::size_t index) { current_ = index; }

    // Always asks to continue: every top-level window of the thread is looked at.
    bool OnTopLevelWindow(Hwnd window, std::uint32_t threadId) {
        if (platform_.GetWindowTextLengthA(window) <= 0) return true;
        std::wstring t = WindowTextOf(platform_, window);
        switch (MatchTopLevelCaption(t, state_.settings)) {
            case CaptionMatch::kMainWindow:
                Current().Name = DrawingNameOf(t);
                Current().MainWindow = window;
                SearchCommandLine(window, threadId);
                Current().MainCommandLine = state_.FoundCommandLine;
                break;
            case CaptionMatch::kTextWindow:
                Current().TextWindow = window;
                SearchCommandLine(window, threadId);
                Current().TextCommandLine = state_.FoundCommandLine;
                break;
            case CaptionMatch::kNone:
                break;
        }
        return true;
    }

    // Asks to stop at the first child whose caption is the command-line caption.
    bool OnChildWindow(Hwnd window, std::uint32_t /*threadId*/) {
        if (IsCommandLineCaption(WindowTextOf(platform_, window), state_.settings)) {
            state_.FoundCommandLine = window;
            return false;
        }
        return true;
    }

  private:
    // Index-based: a nested discovery run may grow the table under us.
    CadInstance& Current() { return state_.table.at(current_); }

    void SearchCommandLine(Hwnd window, std::uint32_t threadId) {
        platform_.EnumChildWindows(window,
                                   [&](Hwnd child) { return OnChildWindow(child, threadId); });
    }

    Platform& platform_;
    LauncherState& state_;
    std::size_t current_ = 0;
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

void FindCadInstances(Platform& platform, LauncherState& state, PickerHost& picker) {
    state.table.assign(1, CadInstance{});
    // The first touch of the list may create its owner, whose loading runs a discovery
    // of its own; that run's records stay in the table and this run appends after them.
    const std::uint32_t runsBefore = state.discoveryRuns;
    picker.cmbFileName().Clear();
    // A run nested in the line above has just taken the snapshots: they serve this run
    // as well, which then finds what that run found.
    const bool nested = state.discoveryRuns != runsBefore;
    ++state.discoveryRuns;
    if (!nested) {
        state.processes = platform.SnapshotProcesses();
        state.threads.reset();
    }

    DiscoveryRun run(platform, state);
    std::optional<std::vector<ThreadEntry>>& threads = state.threads;
    for (const ProcessEntry& process : state.processes) {
        if (AcadNameOf(platform, process) != state.settings.ACADName) continue;

        state.table.emplace_back();
        const std::size_t index = state.table.size() - 1;
        run.SetCurrent(index);
        // One thread snapshot serves every matching process of the run.
        if (!threads) threads = platform.SnapshotThreads();
        for (const ThreadEntry& thread : *threads) {
            if (thread.ownerProcessId != process.processId) continue;
            platform.EnumThreadWindows(thread.threadId, [&](Hwnd window) {
                return run.OnTopLevelWindow(window, thread.threadId);
            });
        }
        PickerList& list = picker.cmbFileName();
        int item = list.AddItem(state.table[index].Name);
        list.SetItemData(item, static_cast<std::int32_t>(index));
    }

    if (state.table.size() > 1) {
        PickerList& list = picker.cmbFileName();
        list.SetListIndex(list.ItemCount() - 1);
    }
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
