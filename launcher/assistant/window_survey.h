// What the settings assistant sees of the desktop: the programs that show windows, and
// one program's windows as a tree. Processes, threads and top-level windows are walked
// by discovery's own walk (ForEachTopLevelWindow), and captions read and filtered as
// discovery reads them (WindowTextOf, HasCaption), so what the assistant shows is what
// the launcher compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/forms/console_platform.h"
#include "launcher/platform.h"

namespace vorta::assistant {

using forms::ConsolePlatform;

// The width and height of a rectangle, negative when it is turned over: worked out in 64
// bits, since any two 32-bit coordinates may stand in a rectangle another program reports.
inline std::int64_t WidthOf(const Rect& r) {
    return static_cast<std::int64_t>(r.right) - r.left;
}
inline std::int64_t HeightOf(const Rect& r) {
    return static_cast<std::int64_t>(r.bottom) - r.top;
}

// A window and its descendants, in the order the window system enumerates them (each
// child followed by its own children), which is the order discovery meets them.
struct WindowNode {
    Hwnd hwnd = 0;
    std::wstring title;
    std::wstring className;
    std::int32_t controlId = 0;
    std::uint32_t style = 0;
    bool visible = false;  // the window and all its ancestors have the visible style
    Rect rect;             // screen coordinates
    std::vector<WindowNode> children;

    std::int64_t Width() const { return WidthOf(rect); }
    std::int64_t Height() const { return HeightOf(rect); }
    // An edit control of some kind (Edit, RichEdit20W, ...): where a command is typed
    // or a history is kept.
    bool IsEditLike() const;
    // A multi-line edit control (ES_MULTILINE): a history rather than an input line.
    bool IsMultiLine() const;
};

// A program with at least one visible top-level window that has a title.
struct ProgramInfo {
    std::uint32_t processId = 0;
    std::wstring exeName;              // as Task Manager shows it, e.g. "acad.exe"
    std::wstring baseName;             // as discovery compares it with ACADName (AcadNameOf)
    std::vector<std::wstring> titles;  // its visible, titled top-level windows
    bool matchesAcadName = false;      // its base name is the current ACADName
};

// The name in a PROCESSENTRY32's fixed-size field, up to its first zero character, as
// Task Manager shows it.
std::wstring ExeNameOf(const Platform& platform, const ProcessEntry& process);

// The programs with visible titled windows, ours left out: those whose base name is
// acadName first, then the others by name (without regard to case).
std::vector<ProgramInfo> ListPrograms(Platform& platform, std::wstring_view acadName,
                                      std::uint32_t ownProcessId);

// No more descendants than this are read of one top-level window.
inline constexpr std::size_t kMaxDescendants = 4000;

// The titled top-level windows of every thread of the process (discovery passes over
// untitled ones), each with its descendants.
std::vector<WindowNode> SurveyWindows(Platform& platform, ConsolePlatform& console,
                                      std::uint32_t processId);

// The node of that window in the trees, or nullptr.
const WindowNode* FindNode(const std::vector<WindowNode>& trees, Hwnd hwnd);

// Every node of the trees in enumeration order (each top-level window, then its
// descendants).
std::vector<const WindowNode*> Flatten(const std::vector<WindowNode>& trees);

}  // namespace vorta::assistant
