#include "launcher/assistant/analysis.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/text/text_format.h"
#include "launcher/discovery.h"
#include "launcher/launch.h"
#include "launcher/numbers.h"
#include "launcher/text_file.h"
#include "launcher/win32_values.h"

namespace vorta::assistant {

namespace {

constexpr std::size_t kProgramLabelTitlesMax = 160;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\x3000';
}

std::wstring TrimRight(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return std::wstring(s);
}

// A title that names a text (history) window: "… テキスト ウィンドウ", "… Text Window".
bool NamesTextWindow(const std::wstring& title) {
    return title.find(L"テキスト") != std::wstring::npos ||
           AsciiLowered(title).find(L"text") != std::wstring::npos;
}

// The part of a title before the drawing name: up to its first "-", as discovery's
// drawing-name rule reads it.
std::wstring_view HeadOf(const std::wstring& title) {
    return std::wstring_view(title).substr(0, title.find(L'-'));
}

// The area of a window, for ranking only: each side counted up to 2^29 pixels (far beyond
// any screen), so that an area stays below 2^58, under the weight of every test.
std::int64_t Area(const WindowNode& node) {
    static constexpr std::int64_t kLongestSide = std::int64_t{1} << 29;
    auto side = [](std::int64_t s) { return std::clamp<std::int64_t>(s, 0, kLongestSide); };
    return side(node.Width()) * side(node.Height());
}

void Descendants(const WindowNode& node, std::vector<const WindowNode*>& out) {
    for (const WindowNode& child : node.children) {
        out.push_back(&child);
        Descendants(child, out);
    }
}

// The windows inside `top` that look like a command line: a title, and an edit control
// among their own children. In enumeration order.
std::vector<const WindowNode*> CommandLinesIn(const WindowNode& top) {
    std::vector<const WindowNode*> all;
    Descendants(top, all);
    std::vector<const WindowNode*> found;
    for (const WindowNode* node : all) {
        if (node->title.empty()) continue;
        if (std::any_of(node->children.begin(), node->children.end(),
                        [](const WindowNode& c) { return c.IsEditLike(); }))
            found.push_back(node);
    }
    return found;
}

bool HasTitle(const std::vector<const WindowNode*>& nodes, const std::wstring& title) {
    return std::any_of(nodes.begin(), nodes.end(),
                       [&](const WindowNode* n) { return n->title == title; });
}

// The first node with the highest score; nullptr when there is none.
template <typename Score>
const WindowNode* Best(const std::vector<const WindowNode*>& nodes, Score score) {
    const WindowNode* best = nullptr;
    for (const WindowNode* node : nodes)
        if (best == nullptr || score(*best) < score(*node)) best = node;
    return best;
}

struct EditRoles {
    const WindowNode* input = nullptr;
    const WindowNode* history = nullptr;
};

// The edit controls among parent's own children: a multi-line one (the tallest) holds
// the history; a one-line one (the lowest) the typed command. Without a multi-line one,
// the highest of several one-line edits is taken for the history; a lone multi-line edit
// is both.
EditRoles EditsUnder(const WindowNode& parent) {
    std::vector<const WindowNode*> single;
    std::vector<const WindowNode*> multi;
    for (const WindowNode& child : parent.children) {
        if (!child.IsEditLike()) continue;
        (child.IsMultiLine() ? multi : single).push_back(&child);
    }
    auto lowest = [](const std::vector<const WindowNode*>& nodes, const WindowNode* except) {
        const WindowNode* found = nullptr;
        for (const WindowNode* n : nodes)
            if (n != except && (found == nullptr || n->rect.top > found->rect.top)) found = n;
        return found;
    };
    EditRoles roles;
    roles.history = Best(multi, [](const WindowNode& n) { return n.Height(); });
    if (roles.history == nullptr && single.size() >= 2)
        roles.history = Best(
            single, [](const WindowNode& n) { return -static_cast<std::int64_t>(n.rect.top); });
    roles.input = lowest(single, roles.history);
    if (roles.input == nullptr) roles.input = lowest(multi, roles.history);
    if (roles.input == nullptr && multi.size() == 1) roles.input = multi.front();
    return roles;
}

// A program whose name has no extension: discovery's name keeps the zero tail of the
// name field, which no value of ACADName can hold.
bool HasNoExtension(const ProgramInfo& program) {
    return program.baseName.find(L'\0') != std::wstring::npos;
}

std::wstring NoExtensionReason(const ProgramInfo& program) {
    return Fill(
        L"プログラムの名前「%1」には拡張子（「.exe」など）がないため、起動ツールはどの "
        L"ACADName でもこのプログラムを見つけられません。",
        {program.exeName});
}

std::wstring Quoted(const std::wstring& text) {
    return L"「" + text + L"」";
}

// The first start of `title`, at least minLength characters long and not ending in a
// blank or half a character, that `fits`.
template <typename Fits>
std::optional<std::wstring> ShortestFitting(const std::wstring& title, std::size_t minLength,
                                            Fits fits) {
    for (std::size_t n = std::max<std::size_t>(minLength, 1); n <= title.size(); ++n) {
        if (IsBlank(title[n - 1])) continue;
        if (title[n - 1] >= 0xD800 && title[n - 1] <= 0xDBFF) continue;
        std::wstring prefix = title.substr(0, n);
        if (fits(prefix)) return prefix;
    }
    return std::nullopt;
}

// The "20" of a version year ("AutoCAD 2005", "IJCAD 2020 PRO") in the title's head:
// the title up to and including it.
std::optional<std::wstring> UpToYear(const std::wstring& title) {
    const std::wstring_view head = HeadOf(title);
    for (std::size_t p = 0; p + 4 <= head.size(); ++p) {
        if (head[p] != L'2' || head[p + 1] != L'0' || !IsDecimalDigit(head[p + 2]) ||
            !IsDecimalDigit(head[p + 3]))
            continue;
        if (p > 0 && !IsBlank(head[p - 1])) continue;
        if (p + 4 < head.size() && IsDecimalDigit(head[p + 4])) continue;
        return title.substr(0, p + 2);
    }
    return std::nullopt;
}

// Whether discovery, with these settings, takes `window` and no other of the program's
// top-level windows for a window of that kind.
bool MatchesOnly(const std::vector<WindowNode>& tops, const WindowNode& window,
                 const LauncherSettings& settings, CaptionMatch kind) {
    if (MatchTopLevelCaption(window.title, settings) != kind) return false;
    for (const WindowNode& top : tops)
        if (&top != &window && MatchTopLevelCaption(top.title, settings) == kind) return false;
    return true;
}

Proposal ProposeMainCaption(const std::vector<WindowNode>& tops, const WindowNode* main) {
    if (main == nullptr) return {std::nullopt, L"メイン ウィンドウが見つかりません。"};
    // Discovery takes the last window whose title starts with MainCaption: the value must
    // fit the main window and no other titled window of the program.
    auto alone = [&](const std::wstring& prefix) {
        LauncherSettings s;
        s.MainCaption = prefix;
        return MatchesOnly(tops, *main, s, CaptionMatch::kMainWindow);
    };
    const std::wstring head = TrimRight(HeadOf(main->title));
    std::optional<std::wstring> value = UpToYear(main->title);
    const wchar_t* why = L"メイン ウィンドウのタイトル「%1」の、バージョン年の「20」まで。";
    if (!value || !alone(*value)) {
        value = head;
        why =
            L"メイン ウィンドウのタイトル「%1」の「-」の前まで（「20」まででは、ほかの"
            L"ウィンドウとも一致します）。";
    }
    if (head.empty() || !alone(*value)) {
        value = ShortestFitting(main->title, head.size() + 1, alone);
        why = value ? L"メイン ウィンドウのタイトル「%1」のうち、ほかのウィンドウと区別できる"
                      L"ところまで。"
                    : L"メイン ウィンドウのタイトル「%1」全体で始まるウィンドウがほかにもあるため、"
                      L"区別できません。";
    }
    return {value, Fill(why, {main->title})};
}

Proposal ProposeTextCaption(const std::vector<WindowNode>& tops, const WindowNode* text,
                            const std::wstring& mainCaption) {
    if (text == nullptr)
        return {std::nullopt,
                L"テキスト ウィンドウ（コマンド ラインのあるもう一つのウィンドウ）が見つかり"
                L"ません。"};
    LauncherSettings s;
    s.MainCaption = mainCaption;
    if (MatchTopLevelCaption(text->title, s) == CaptionMatch::kMainWindow)
        return {std::nullopt, Fill(L"テキスト ウィンドウのタイトル「%1」が MainCaption「%2」でも"
                                   L"始まるため、メイン ウィンドウとして扱われます。",
                                   {text->title, mainCaption})};
    auto alone = [&](const std::wstring& prefix) {
        s.TextCaption = prefix;
        return MatchesOnly(tops, *text, s, CaptionMatch::kTextWindow);
    };
    const std::wstring head = TrimRight(HeadOf(text->title));
    std::optional<std::wstring> value = head;
    const wchar_t* why = L"テキスト ウィンドウのタイトル「%1」の「-」の前まで。";
    if (head.empty() || !alone(head)) {
        value = ShortestFitting(text->title, head.size() + 1, alone);
        why = value ? L"テキスト ウィンドウのタイトル「%1」のうち、ほかのウィンドウと区別できる"
                      L"ところまで。"
                    : L"テキスト ウィンドウのタイトル「%1」全体で始まるウィンドウがほかにもある"
                      L"ため、区別できません。";
    }
    return {value, Fill(why, {text->title})};
}

Proposal ProposeCommandCaption(const CadParts& parts) {
    const WindowNode* top = parts.mainCommandLine ? parts.main : parts.text;
    const WindowNode* line = parts.mainCommandLine ? parts.mainCommandLine : parts.textCommandLine;
    if (line == nullptr)
        return {std::nullopt, L"入力欄のあるコマンド ライン ウィンドウが見つかりません。"};
    std::wstring why = L"コマンド ライン ウィンドウのタイトル（完全一致）。";
    // Discovery stops at the first window inside whose title is the value.
    LauncherSettings s;
    s.CommandCaption = line->title;
    std::vector<const WindowNode*> inside;
    Descendants(*top, inside);
    for (const WindowNode* node : inside) {
        if (!IsCommandLineCaption(node->title, s)) continue;
        if (node != line)
            why += Fill(
                L"ただし、同じタイトルのウィンドウ（クラス %1）が先に見つかるため、"
                L"そちらが使われます。",
                {node->className});
        break;
    }
    return {line->title, why};
}

// The identifier of `control` under `parent`, when the console's lookup (the first
// child of parent with that identifier) finds that very control.
Proposal ProposeId(const WindowNode* parent, const WindowNode* control, const wchar_t* what) {
    if (parent == nullptr || control == nullptr)
        return {std::nullopt, Fill(L"%1が見つかりません。", {what})};
    for (const WindowNode& child : parent->children) {
        if (child.controlId != control->controlId) continue;
        if (&child != control)
            return {std::nullopt,
                    Fill(L"%1と同じ ID のコントロールが先にあるため、ID では指せません。", {what})};
        break;
    }
    return {DecimalText(control->controlId),
            Fill(L"%1（クラス %2）の ID。", {what, control->className})};
}

std::wstring TitleOf(const std::vector<WindowNode>& tops, Hwnd hwnd) {
    const WindowNode* node = FindNode(tops, hwnd);
    return node != nullptr ? node->title : std::wstring();
}

std::wstring Describe(const std::vector<WindowNode>& tops, Hwnd hwnd) {
    const WindowNode* node = FindNode(tops, hwnd);
    if (node == nullptr) return L"ほかのコントロール";
    return Fill(node->IsMultiLine() ? L"クラス %1、複数行" : L"クラス %1", {node->className});
}

// The check of an identifier: found is what the console's lookup gave, expected the
// control identified from the structure.
KeyCheck CheckId(std::int32_t id, bool commandLineFound, Hwnd found, const WindowNode* expected,
                 const std::vector<WindowNode>& tops, const wchar_t* where, const wchar_t* what) {
    if (!commandLineFound)
        return {false, Fill(L"%1が見つからないため、確かめられません。", {where})};
    const std::wstring idText = DecimalText(id);
    if (found == 0)
        return {false, Fill(L"%1の中に ID %2 のコントロールがありません。", {where, idText})};
    if (expected != nullptr && found != expected->hwnd)
        return {false,
                Fill(L"ID %1 は%2ではありません（%3）。%2の ID は %4 です。",
                     {idText, what, Describe(tops, found), DecimalText(expected->controlId)})};
    return {true, Fill(L"%1の%2（%3）です。", {where, what, Describe(tops, found)})};
}

}  // namespace

CadParts IdentifyParts(const std::vector<WindowNode>& tops) {
    CadParts parts;
    std::vector<const WindowNode*> all;
    std::vector<const WindowNode*> visible;
    for (const WindowNode& top : tops) {
        all.push_back(&top);
        if (top.visible && !top.title.empty()) visible.push_back(&top);
    }
    // Scores rank by the first test, then the next: each test weighs more than every
    // area (Area stays below 2^58).
    constexpr std::int64_t kFirst = std::int64_t{1} << 62;
    constexpr std::int64_t kSecond = std::int64_t{1} << 61;
    constexpr std::int64_t kThird = std::int64_t{1} << 60;
    parts.main = Best(visible.empty() ? all : visible, [&](const WindowNode& n) {
        return (CommandLinesIn(n).empty() ? 0 : kFirst) + (NamesTextWindow(n.title) ? 0 : kSecond) +
               Area(n);
    });
    if (parts.main == nullptr) return parts;
    const std::vector<const WindowNode*> mainLines = CommandLinesIn(*parts.main);

    // The text window may well be hidden (it is, until the user opens it).
    std::vector<const WindowNode*> others;
    for (const WindowNode* top : all)
        if (top != parts.main && !CommandLinesIn(*top).empty()) others.push_back(top);
    parts.text = Best(others, [&](const WindowNode& n) {
        const std::vector<const WindowNode*> lines = CommandLinesIn(n);
        const bool shared = std::any_of(lines.begin(), lines.end(), [&](const WindowNode* l) {
            return HasTitle(mainLines, l->title);
        });
        return (shared ? kFirst : 0) + (NamesTextWindow(n.title) ? kSecond : 0) +
               (n.visible ? kThird : 0) + Area(n);
    });
    const std::vector<const WindowNode*> textLines =
        parts.text ? CommandLinesIn(*parts.text) : std::vector<const WindowNode*>{};

    for (const WindowNode* line : mainLines)
        if (HasTitle(textLines, line->title)) {
            parts.mainCommandLine = line;
            break;
        }
    if (parts.mainCommandLine == nullptr && !mainLines.empty())
        parts.mainCommandLine = mainLines.front();
    for (const WindowNode* line : textLines)
        if (parts.mainCommandLine != nullptr && line->title == parts.mainCommandLine->title) {
            parts.textCommandLine = line;
            break;
        }
    if (parts.textCommandLine == nullptr && !textLines.empty())
        parts.textCommandLine = textLines.front();

    if (parts.mainCommandLine != nullptr)
        parts.mainInput = EditsUnder(*parts.mainCommandLine).input;
    if (parts.textCommandLine != nullptr)
        parts.textHistory = EditsUnder(*parts.textCommandLine).history;
    return parts;
}

Proposals Propose(const ProgramInfo& program, const std::vector<WindowNode>& tops,
                  const CadParts& parts, const std::wstring& currentMainCaption) {
    Proposals p;
    if (program.baseName.empty()) {
        p[kACADName] = {std::nullopt, L"プログラムの名前が読めません。"};
    } else if (HasNoExtension(program)) {
        p[kACADName] = {std::nullopt, NoExtensionReason(program)};
    } else {
        p[kACADName] = {
            program.baseName,
            Fill(L"「%1」の最初の「.」から後ろを除いた名前（大文字と小文字もそのまま）。",
                 {program.exeName})};
    }
    p[kMainCaption] = ProposeMainCaption(tops, parts.main);
    p[kTextCaption] =
        ProposeTextCaption(tops, parts.text, p[kMainCaption].value.value_or(currentMainCaption));
    p[kCommandCaption] = ProposeCommandCaption(parts);
    p[kMainCmdCtrlID] = ProposeId(parts.mainCommandLine, parts.mainInput,
                                  L"メイン ウィンドウのコマンド ラインの入力欄");
    p[kTextHistCtrlID] = ProposeId(parts.textCommandLine, parts.textHistory,
                                   L"テキスト ウィンドウのコマンド ラインの履歴欄");
    return p;
}

Recognised Recognise(Platform& platform, ConsolePlatform& console, LauncherSettings settings,
                     const ProgramInfo& program) {
    settings.ACADName = program.baseName;
    const Discovery discovery = DiscoverCads(platform, settings, 0);

    Recognised found;
    for (const CadInstance& record : discovery.records) {
        const Hwnd any = record.MainWindow != 0 ? record.MainWindow : record.TextWindow;
        if (any != 0 && platform.GetWindowThreadProcessId(any).processId == program.processId) {
            found.record = record;
            break;
        }
    }
    const CadInstance& r = found.record;
    // A search that found nothing leaves the command line of an earlier one: only a
    // command line inside the window counts.
    found.mainCommandLineInside = r.MainWindow != 0 && r.MainCommandLine != 0 &&
                                  platform.IsChild(r.MainWindow, r.MainCommandLine);
    found.textCommandLineInside = r.TextWindow != 0 && r.TextCommandLine != 0 &&
                                  platform.IsChild(r.TextWindow, r.TextCommandLine);
    if (found.mainCommandLineInside)
        found.mainCmdControl = console.GetDlgItem(r.MainCommandLine, settings.MainCmdCtrlID);
    if (found.textCommandLineInside)
        found.textHistControl = console.GetDlgItem(r.TextCommandLine, settings.TextHistCtrlID);
    return found;
}

KeyChecks CheckSettings(const LauncherSettings& s, const ProgramInfo& program,
                        const std::vector<WindowNode>& tops, const CadParts& parts,
                        const Recognised& found) {
    KeyChecks c;
    const CadInstance& r = found.record;

    if (program.baseName == s.ACADName) {
        c[kACADName] = {true, Fill(L"選んだプログラム「%1」と一致します。", {program.exeName})};
    } else if (HasNoExtension(program)) {
        c[kACADName] = {false, NoExtensionReason(program)};
    } else {
        c[kACADName] = {false, Fill(L"選んだプログラムの名前は「%1」です（大文字と小文字も区別"
                                    L"します）。",
                                    {program.baseName})};
    }

    // Other windows that MainCaption takes for a main window: the last one met wins.
    std::vector<std::wstring> alsoMain;
    for (const WindowNode& top : tops)
        if (top.hwnd != r.MainWindow &&
            MatchTopLevelCaption(top.title, s) == CaptionMatch::kMainWindow)
            alsoMain.push_back(top.title);
    if (r.MainWindow == 0) {
        c[kMainCaption] = {
            false, Fill(L"「%1」で始まるタイトルのウィンドウがありません。", {s.MainCaption})};
    } else if (parts.main != nullptr && r.MainWindow != parts.main->hwnd) {
        c[kMainCaption] = {false,
                           Fill(L"「%1」で始まるタイトルのウィンドウ「%2」がメイン "
                                L"ウィンドウとして選ばれます（メイン ウィンドウは「%3」"
                                L"です）。",
                                {s.MainCaption, TitleOf(tops, r.MainWindow), parts.main->title})};
    } else if (!alsoMain.empty()) {
        c[kMainCaption] = {false, Fill(L"「%1」で始まるタイトルのウィンドウがほかにもあります"
                                       L"（「%2」）。最後に見つかったものがメイン ウィンドウに"
                                       L"なります。",
                                       {s.MainCaption, alsoMain.front()})};
    } else {
        c[kMainCaption] = {
            true, Fill(L"メイン ウィンドウ「%1」と一致します。", {TitleOf(tops, r.MainWindow)})};
    }

    if (r.TextWindow == 0 && parts.text != nullptr &&
        MatchTopLevelCaption(parts.text->title, s) == CaptionMatch::kMainWindow) {
        c[kTextCaption] = {false, Fill(L"テキスト ウィンドウ「%1」のタイトルが MainCaption「%2」"
                                       L"でも始まるため、メイン ウィンドウとして扱われます。",
                                       {parts.text->title, s.MainCaption})};
    } else if (r.TextWindow == 0) {
        c[kTextCaption] = {
            false, Fill(L"「%1」で始まるタイトルのウィンドウがありません。", {s.TextCaption})};
    } else if (parts.text != nullptr && r.TextWindow != parts.text->hwnd) {
        c[kTextCaption] = {false,
                           Fill(L"「%1」で始まるタイトルのウィンドウ「%2」がテキスト "
                                L"ウィンドウとして選ばれます（テキスト ウィンドウは「%3」"
                                L"です）。",
                                {s.TextCaption, TitleOf(tops, r.TextWindow), parts.text->title})};
    } else {
        c[kTextCaption] = {
            true, Fill(L"テキスト ウィンドウ「%1」と一致します。", {TitleOf(tops, r.TextWindow)})};
    }

    if (r.MainWindow == 0) {
        c[kCommandCaption] = {false, L"メイン ウィンドウが見つからないため、確かめられません。"};
    } else if (!found.mainCommandLineInside) {
        c[kCommandCaption] = {false, Fill(L"メイン ウィンドウの中に、タイトルが「%1」のウィンドウ"
                                          L"がありません。",
                                          {s.CommandCaption})};
    } else if (parts.mainCommandLine != nullptr &&
               r.MainCommandLine != parts.mainCommandLine->hwnd) {
        c[kCommandCaption] = {false, Fill(L"メイン ウィンドウの中で「%1」というタイトルの"
                                          L"ウィンドウは、コマンド ラインではありません（%2）。",
                                          {s.CommandCaption, Describe(tops, r.MainCommandLine)})};
    } else {
        c[kCommandCaption] = {true, Fill(L"メイン ウィンドウの中のコマンド ライン（%1）と一致"
                                         L"します。",
                                         {Describe(tops, r.MainCommandLine)})};
    }

    const wchar_t* mainLine = L"メイン ウィンドウのコマンド ライン";
    const wchar_t* textLine = L"テキスト ウィンドウのコマンド ライン";
    c[kMainCmdCtrlID] = CheckId(s.MainCmdCtrlID, found.mainCommandLineInside, found.mainCmdControl,
                                parts.mainInput, tops, mainLine, L"入力欄");
    c[kTextHistCtrlID] =
        CheckId(s.TextHistCtrlID, found.textCommandLineInside, found.textHistControl,
                parts.textHistory, tops, textLine, L"履歴欄");
    return c;
}

std::wstring DescribeChecks(const LauncherSettings& settings, const KeyChecks& checks,
                            const Proposals& proposals) {
    const SettingTexts current = TextsOf(settings);
    std::wstring text = L"いまの Lumset.ini の値:\r\n";
    for (std::size_t k = 0; k < kSettingCount; ++k)
        text += IsUnusedKey(k)
                    ? Fill(L"－ %1「%2」: %3\r\n", {KeyName(k), current[k], kUnusedKeyText})
                    : Fill(L"%1 %2「%3」: %4\r\n", {checks[k].ok ? kMarkOk : kMarkNg, KeyName(k),
                                                    current[k], checks[k].reason});
    text += L"\r\n提案した値:\r\n";
    for (std::size_t k = 0; k < kSettingCount; ++k)
        if (!IsUnusedKey(k))
            text +=
                proposals[k].value
                    ? Fill(L"%1「%2」: %3\r\n", {KeyName(k), *proposals[k].value, proposals[k].why})
                    : Fill(L"%1（提案なし）: %2\r\n", {KeyName(k), proposals[k].why});
    return text;
}

std::vector<std::wstring> MarksOf(const Recognised& found, Hwnd window) {
    const CadInstance& r = found.record;
    const std::pair<Hwnd, std::size_t> pointers[] = {
        {r.MainWindow, kMainCaption},
        {r.TextWindow, kTextCaption},
        {found.mainCommandLineInside ? r.MainCommandLine : 0, kCommandCaption},
        {found.textCommandLineInside ? r.TextCommandLine : 0, kCommandCaption},
        {found.mainCmdControl, kMainCmdCtrlID},
        {found.textHistControl, kTextHistCtrlID},
    };
    std::vector<std::wstring> marks;
    if (window == 0) return marks;
    for (const auto& [hwnd, key] : pointers)
        if (hwnd == window) marks.push_back(KeyName(key));
    return marks;
}

std::wstring NodeLabel(const WindowNode& node, const std::vector<std::wstring>& marks) {
    std::wstring label = node.title.empty() ? L"（タイトルなし）" : Quoted(node.title);
    label += Fill(L"  %1", {node.className});
    if ((node.style & winapi::kWsChild) != 0)
        label += Fill(L"  ID %1", {DecimalText(node.controlId)});
    label += Fill(node.visible ? L"  表示  %1 × %2" : L"  非表示  %1 × %2",
                  {DecimalText(node.Width()), DecimalText(node.Height())});
    for (std::size_t i = 0; i < marks.size(); ++i)
        label += Fill(i == 0 ? L"  ◀ %1" : L"・%1", {marks[i]});
    return label;
}

std::wstring ProgramLabel(const ProgramInfo& program) {
    std::wstring label = Fill(L"%1（PID %2）  ", {program.exeName, DecimalText(program.processId)});
    std::wstring titles;
    for (const std::wstring& title : program.titles) {
        if (!titles.empty()) titles += L" / ";
        titles += title;
    }
    if (titles.size() > kProgramLabelTitlesMax)
        titles = titles.substr(0, kProgramLabelTitlesMax) + L"…";
    return label + titles;
}

TryOutcome TryDiscovery(Platform& platform, ConsolePlatform& console,
                        const LauncherSettings& settings) {
    const Discovery found = DiscoverCads(platform, settings, 0);
    TryOutcome out;
    out.instances = static_cast<int>(found.records.size());
    // The launcher's choice: the last record, and its main window.
    if (found.records.empty()) return out;
    const CadInstance& record = found.records.back();
    out.main = record.MainWindow;
    if (out.main == 0) return out;
    out.processId = platform.GetWindowThreadProcessId(out.main).processId;
    for (const ProcessEntry& process : found.snapshots.processes)
        if (process.processId == out.processId) out.exeName = ExeNameOf(platform, process);
    out.drawingName = record.Name;
    out.mainTitle = WindowTextOf(platform, out.main);

    // The launcher's own rule: whether it drives this CAD, and which command line it clicks.
    const DriveTarget drive = ChooseDriveTarget(platform, &record, found.foundCommandLine);
    out.check = drive.check;
    out.commandLine = drive.commandLine;
    if (out.commandLine == 0) return out;
    out.commandLineTitle = WindowTextOf(platform, out.commandLine);
    if (std::optional<forms::WindowFacts> facts = console.DescribeWindow(out.commandLine))
        out.commandLineClass = platform.FromAnsi(facts->className);
    const Hwnd root = platform.GetRootWindow(out.commandLine);
    out.rootTitle = WindowTextOf(platform, root);
    out.inTextWindow = root != 0 && root == record.TextWindow;
    out.visible = platform.IsWindowVisible(out.commandLine);
    platform.GetWindowRect(out.commandLine, out.rect);
    return out;
}

std::wstring DescribeTry(const TryOutcome& o, std::uint32_t chosenProcessId) {
    std::wstring text =
        L"試した結果（起動ツールと同じ探し方で探しました。CAD には何も入力していません）:\r\n";
    const wchar_t* stops = L"\r\n→ 起動ツールは「%1」と表示して止まります。";
    if (o.instances == 0)
        return text + L"・ACADName に一致するプログラムが動いていません。" +
               Fill(stops, {kNoCadMessage});
    if (o.main == 0)
        return text +
               L"・CAD のプログラムは見つかりましたが、タイトルが MainCaption で始まるウィンドウ"
               L"がありません。" +
               Fill(stops, {kNoCadMessage});
    text += Fill(L"・操作する CAD: %1（PID %2）", {o.exeName, DecimalText(o.processId)});
    if (o.instances > 1)
        text += Fill(L"。見つかった %1 個のうち、最後のものです", {DecimalText(o.instances)});
    text += L"\r\n";
    if (chosenProcessId != 0 && o.processId != chosenProcessId)
        text += L"  注意: 一覧で選んだプログラムとは別のプログラムです。\r\n";
    text += o.drawingName.empty() ? L"・図面名: （なし）\r\n"
                                  : Fill(L"・図面名: 「%1」\r\n", {o.drawingName});
    text += Fill(L"・メイン ウィンドウ: 「%1」\r\n", {o.mainTitle});
    // The command line: the one clicked, or the one discovery left when none is usable.
    const std::wstring commandLine =
        Fill(L"「%1」（クラス %2、%3「%4」の中、%5、%6 × %7）",
             {o.commandLineTitle, o.commandLineClass,
              o.inTextWindow ? L"テキスト ウィンドウ" : L"ウィンドウ", o.rootTitle,
              o.visible ? L"表示" : L"非表示", DecimalText(WidthOf(o.rect)),
              DecimalText(HeightOf(o.rect))});
    if (o.check == DriveCheck::kNoCommandLine)
        text += o.commandLine == 0
                    ? std::wstring(
                          L"・コマンド ライン: タイトルが CommandCaption のウィンドウが"
                          L"ありません。\r\n")
                    : Fill(
                          L"・見つかったコマンド ライン: %1。この CAD の、表示されていて大きさの"
                          L"あるコマンド ラインではないため、クリックしません。\r\n",
                          {commandLine});
    if (o.check != DriveCheck::kReady) return text + Fill(stops, {RefusalMessage(o.check)});
    return text + Fill(
                      L"・クリックするコマンド ライン: %1\r\n→ この値なら、起動ツールはこの"
                      L"コマンド ラインをクリックして入力します。",
                      {commandLine});
}

}  // namespace vorta::assistant
