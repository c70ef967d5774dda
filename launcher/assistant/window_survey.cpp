#include "launcher/assistant/window_survey.h"

#include <optional>
#include <utility>

#include "launcher/discovery.h"
#include "launcher/text_file.h"
#include "launcher/win32_values.h"

namespace vorta::assistant {

namespace {

// The node of one window without its children; nothing when the window is gone.
std::optional<WindowNode> Describe(Platform& platform, ConsolePlatform& console, Hwnd hwnd,
                                   Hwnd& parent) {
    std::optional<forms::WindowFacts> facts = console.DescribeWindow(hwnd);
    if (!facts) return std::nullopt;
    WindowNode node;
    node.hwnd = hwnd;
    node.title = WindowTextOf(platform, hwnd);
    node.className = platform.FromAnsi(facts->className);
    node.controlId = facts->controlId;
    node.style = facts->style;
    node.visible = platform.IsWindowVisible(hwnd);
    platform.GetWindowRect(hwnd, node.rect);
    parent = facts->parent;
    return node;
}

struct Flat {
    WindowNode node;
    Hwnd parent = 0;
    std::vector<std::size_t> children;
};

WindowNode Assemble(std::vector<Flat>& flat, std::size_t i) {
    WindowNode node = std::move(flat[i].node);
    for (std::size_t child : flat[i].children) node.children.push_back(Assemble(flat, child));
    return node;
}

// A top-level window with its descendants, put together from the flat enumeration by
// each window's parent.
WindowNode SurveyTree(Platform& platform, ConsolePlatform& console, WindowNode top) {
    std::vector<Flat> flat;
    platform.EnumChildWindows(top.hwnd, [&](Hwnd child) {
        Hwnd parent = 0;
        if (std::optional<WindowNode> node = Describe(platform, console, child, parent))
            flat.push_back({std::move(*node), parent, {}});
        return flat.size() < kMaxDescendants;
    });
    std::vector<std::size_t> roots;
    for (std::size_t i = 0; i < flat.size(); ++i) {
        // A parent is enumerated before its children, mostly just before: searched
        // backwards. One not found is the top itself.
        std::size_t parent = i;
        while (parent > 0 && flat[parent - 1].node.hwnd != flat[i].parent) --parent;
        if (parent > 0) {
            flat[parent - 1].children.push_back(i);
        } else {
            roots.push_back(i);
        }
    }
    for (std::size_t i : roots) top.children.push_back(Assemble(flat, i));
    return top;
}

void FlattenInto(const WindowNode& node, std::vector<const WindowNode*>& out) {
    out.push_back(&node);
    for (const WindowNode& child : node.children) FlattenInto(child, out);
}

}  // namespace

std::wstring ExeNameOf(const Platform& platform, const ProcessEntry& process) {
    std::string_view field(process.exeFile);
    return platform.FromAnsi(field.substr(0, field.find('\0')));
}

bool WindowNode::IsEditLike() const {
    return AsciiLowered(className).find(L"edit") != std::wstring::npos;
}

bool WindowNode::IsMultiLine() const {
    return IsEditLike() && (style & winapi::kEsMultiLine) != 0;
}

std::vector<ProgramInfo> ListPrograms(Platform& platform, std::wstring_view acadName,
                                      std::uint32_t ownProcessId) {
    std::optional<std::vector<ThreadEntry>> threads;
    std::vector<ProgramInfo> programs;
    for (const ProcessEntry& process : platform.SnapshotProcesses()) {
        if (process.processId == 0 || process.processId == ownProcessId) continue;
        ProgramInfo program;
        program.processId = process.processId;
        ForEachTopLevelWindow(platform, process, threads, [&](Hwnd window, std::uint32_t) {
            if (HasCaption(platform, window) && platform.IsWindowVisible(window)) {
                std::wstring title = WindowTextOf(platform, window);
                if (!title.empty()) program.titles.push_back(std::move(title));
            }
            return true;
        });
        if (program.titles.empty()) continue;
        program.exeName = ExeNameOf(platform, process);
        program.baseName = AcadNameOf(platform, process);
        program.matchesAcadName = program.baseName == acadName;
        programs.push_back(std::move(program));
    }
    // In order, stably: a few dozen programs at most.
    auto before = [](const ProgramInfo& a, const ProgramInfo& b) {
        if (a.matchesAcadName != b.matchesAcadName) return a.matchesAcadName;
        return AsciiLowered(a.exeName) < AsciiLowered(b.exeName);
    };
    for (std::size_t i = 1; i < programs.size(); ++i)
        for (std::size_t j = i; j > 0 && before(programs[j], programs[j - 1]); --j)
            std::swap(programs[j], programs[j - 1]);
    return programs;
}

std::vector<WindowNode> SurveyWindows(Platform& platform, ConsolePlatform& console,
                                      std::uint32_t processId) {
    std::vector<WindowNode> tops;
    std::optional<std::vector<ThreadEntry>> threads;
    ForEachTopLevelWindow(
        platform, ProcessEntry{processId, {}}, threads, [&](Hwnd window, std::uint32_t) {
            if (!HasCaption(platform, window)) return true;
            Hwnd parent = 0;
            if (std::optional<WindowNode> node = Describe(platform, console, window, parent))
                tops.push_back(SurveyTree(platform, console, std::move(*node)));
            return true;
        });
    return tops;
}

const WindowNode* FindNode(const std::vector<WindowNode>& trees, Hwnd hwnd) {
    if (hwnd == 0) return nullptr;
    for (const WindowNode* node : Flatten(trees))
        if (node->hwnd == hwnd) return node;
    return nullptr;
}

std::vector<const WindowNode*> Flatten(const std::vector<WindowNode>& trees) {
    std::vector<const WindowNode*> out;
    for (const WindowNode& tree : trees) FlattenInto(tree, out);
    return out;
}

}  // namespace vorta::assistant
