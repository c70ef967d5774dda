#include "launcher/forms/win32/frm_settings_assistant.h"

#include <commctrl.h>

#include "common/forms/command_table.h"
#include "common/win32/controls.h"
#include "common/win32/dpi_font.h"
#include "launcher/app_title.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/form_support.h"
#include "launcher/paths.h"
#include "launcher/settings.h"

namespace vorta::forms::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VortaSettingsAssistant";
// Rows the program list shows when dropped down, and how wide it drops.
constexpr int kDroppedRows = 12;
constexpr int kDroppedWidthTwips = 1100 * 15;
constexpr int kValueMaxChars = 300;

void SetText(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
}

int Id(std::uint16_t base, std::size_t key) {
    return base + static_cast<int>(key);
}

}  // namespace

frmSettingsAssistant::frmSettingsAssistant(Platform& platform, ConsolePlatform& console,
                                           LauncherState& state, HINSTANCE instance)
    : platform_(platform), console_(console), state_(state), instance_(instance) {}

HWND frmSettingsAssistant::Control(int id) const {
    const std::size_t slot = IndexOf(AssistantControls(), id);
    return slot < controls_.size() ? controls_[slot] : nullptr;
}

bool frmSettingsAssistant::Show(HWND owner) {
    if (IsOpen()) {
        ::ShowWindow(hwnd(), ::IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
        ::SetForegroundWindow(hwnd());
        return true;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);
    const FormIcons icons = LoadFormIcons(instance_);
    // Owned by the console: it stays above it and goes when the console goes.
    if (!Create(instance_, vorta::win32::WindowClass{kClassName, icons.icon, icons.smallIcon},
                WS_EX_CONTROLPARENT, kAssistantCaption,
                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                CW_USEDEFAULT, CW_USEDEFAULT, 860, 740, owner))
        return false;
    dpi_ = vorta::win32::DpiOf(hwnd());
    if (!CreateControls()) {
        Destroy();
        return false;
    }
    const int d = static_cast<int>(dpi_);
    SetClientSize(hwnd(), TwipsToPixelsHalfAway(kAssistantClientWidth, d),
                  TwipsToPixelsHalfAway(kAssistantClientHeight, d));
    CentreOnScreen(hwnd());
    Form_Load();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(hwnd());
    ::SetForegroundWindow(hwnd());
    ::SetFocus(Control(kIdAsstProgram));
    return true;
}

// Creates the controls at dpi_.
bool frmSettingsAssistant::CreateControls() {
    font_ = CreateFormFont(kFormFontPoints, dpi_);
    controls_.assign(AssistantControls().size(), nullptr);
    if (!vorta::win32::CreateControls(hwnd(), AssistantDesign(), controls_, Placement(dpi_)))
        return false;
    for (std::size_t k = 0; k < kSettingCount; ++k)
        vorta::win32::SetTextLimit(Control(Id(kIdAsstRowValue, k)), kValueMaxChars);
    return true;
}

vorta::win32::ControlPlacement frmSettingsAssistant::Placement(UINT dpi) const {
    vorta::win32::ControlPlacement placement{dpi, {font_.get()}};
    placement.droppedRows = kDroppedRows;
    placement.droppedWidth = kDroppedWidthTwips;
    return placement;
}

void frmSettingsAssistant::ApplyDpi(UINT dpi) {
    font_ = CreateFormFont(kFormFontPoints, dpi);
    vorta::win32::PlaceControls(AssistantDesign(), controls_, Placement(dpi));
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

std::wstring frmSettingsAssistant::AppFolder() const {
    return state_.AppFolder.empty() ? AppFolderOf(platform_.ApplicationPath()) : state_.AppFolder;
}

std::wstring frmSettingsAssistant::TextOf(int id) const {
    return vorta::win32::WindowText(Control(id));
}

std::uint32_t frmSettingsAssistant::ChosenProcessId() const {
    return chosen_ >= 0 ? programs_[static_cast<std::size_t>(chosen_)].processId : 0;
}

void frmSettingsAssistant::Tell(const std::wstring& text) {
    ::MessageBoxW(hwnd(), text.c_str(), kAppTitle, MB_OK);
}

void frmSettingsAssistant::SetReport(const std::wstring& text) {
    SetText(Control(kIdAsstResult), text);
}

// --- What the window shows

void frmSettingsAssistant::FillPrograms(std::optional<std::uint32_t> keep) {
    programs_ = ListPrograms(platform_, current_.ACADName, ::GetCurrentProcessId());
    chosen_ = -1;
    HWND list = Control(kIdAsstProgram);
    vorta::win32::ComboClear(list);
    for (std::size_t i = 0; i < programs_.size(); ++i) {
        const std::wstring label = ProgramLabel(programs_[i]);
        vorta::win32::ComboAdd(list, label);
        const bool wanted = keep ? programs_[i].processId == *keep : programs_[i].matchesAcadName;
        if (chosen_ < 0 && wanted) chosen_ = static_cast<int>(i);
    }
    vorta::win32::ComboSelect(list, chosen_);
}

void frmSettingsAssistant::Analyse() {
    tops_.clear();
    parts_ = {};
    found_ = {};
    checks_ = {};
    proposals_ = {};
    if (chosen_ >= 0) {
        const ProgramInfo& program = programs_[static_cast<std::size_t>(chosen_)];
        tops_ = SurveyWindows(platform_, console_, program.processId);
        parts_ = IdentifyParts(tops_);
        found_ = Recognise(platform_, console_, current_, program);
        checks_ = CheckSettings(current_, program, tops_, parts_, found_);
        proposals_ = Propose(program, tops_, parts_, current_.MainCaption);
    }
    FillTree();
    FillRows();
    SetReport(chosen_ >= 0
                  ? DescribeChecks(current_, checks_, proposals_)
                  : L"お使いの CAD を「CAD のプログラム」の一覧から選んでください。一覧にない"
                    L"ときは、CAD を起動して図面を開いてから「一覧を更新」を押してください。");
}

namespace {

// What FillTree needs while it walks the trees.
struct TreeFill {
    HWND tree;
    const Recognised& found;
    const CadParts& parts;
    HTREEITEM mainItem = nullptr;

    // A window whose node is opened to view: one a value points at, or a part of the CAD.
    bool Shown(const WindowNode& node) const {
        for (const WindowNode* part :
             {parts.mainCommandLine, parts.textCommandLine, parts.mainInput, parts.mainHistory,
              parts.textInput, parts.textHistory})
            if (part == &node) return true;
        return !MarksOf(found, node.hwnd).empty();
    }
};

// Inserts the node and its children; true when the subtree holds a window to show.
bool InsertNode(TreeFill& fill, const WindowNode& node, HTREEITEM parent) {
    HTREEITEM self =
        vorta::win32::TreeAdd(fill.tree, parent, NodeLabel(node, MarksOf(fill.found, node.hwnd)),
                              static_cast<LPARAM>(node.hwnd));
    if (fill.parts.main == &node) fill.mainItem = self;
    bool holds = false;
    for (const WindowNode& child : node.children) holds = InsertNode(fill, child, self) || holds;
    if (holds) vorta::win32::TreeExpand(fill.tree, self);
    return holds || fill.Shown(node);
}

}  // namespace

void frmSettingsAssistant::FillTree() {
    HWND tree = Control(kIdAsstTree);
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    vorta::win32::TreeClear(tree);
    TreeFill fill{tree, found_, parts_};
    for (const WindowNode& top : tops_) InsertNode(fill, top, TVI_ROOT);
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    if (fill.mainItem != nullptr) vorta::win32::TreeSelectAndShow(tree, fill.mainItem);
    ::InvalidateRect(tree, nullptr, TRUE);
}

void frmSettingsAssistant::FillRows() {
    filling_ = true;
    const SettingTexts current = TextsOf(current_);
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        SetText(Control(Id(kIdAsstRowCurrent, k)), current[k]);
        SetText(Control(Id(kIdAsstRowMark, k)),
                chosen_ < 0 ? L"" : (checks_[k].ok ? kMarkOk : kMarkNg));
        const std::optional<std::wstring>& proposed = proposals_[k].value;
        SetText(Control(Id(kIdAsstRowValue, k)), proposed.value_or(current[k]));
        // Accepted at first: a proposal that changes a value that does not fit today.
        const bool accept = chosen_ >= 0 && proposed && *proposed != current[k] && !checks_[k].ok;
        vorta::win32::SetChecked(Control(Id(kIdAsstRowAccept, k)), accept);
    }
    filling_ = false;
}

std::optional<SettingTexts> frmSettingsAssistant::ChosenValues(LumsetChanges& changes) {
    SettingTexts values = TextsOf(current_);
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        if (!vorta::win32::IsChecked(Control(Id(kIdAsstRowAccept, k)))) continue;
        const std::wstring text = TextOf(Id(kIdAsstRowValue, k));
        if (std::optional<std::wstring> problem = ValueProblem(k, text, platform_)) {
            Tell(*problem);
            ::SetFocus(Control(Id(kIdAsstRowValue, k)));
            return std::nullopt;
        }
        values[k] = text;
        changes[k] = text;
    }
    return values;
}

// --- Event handlers

void frmSettingsAssistant::Form_Load() {
    current_ = LoadLauncherSettings(platform_, AppFolder());
    FillPrograms(std::nullopt);
    Analyse();
}

void frmSettingsAssistant::cmbProgram_Click() {
    const int index = vorta::win32::ComboSelected(Control(kIdAsstProgram));
    chosen_ = index >= 0 && index < static_cast<int>(programs_.size()) ? index : -1;
    Analyse();
}

void frmSettingsAssistant::cmdRefresh_Click() {
    const std::uint32_t keep = ChosenProcessId();
    FillPrograms(keep != 0 ? std::optional<std::uint32_t>(keep) : std::nullopt);
    Analyse();
}

void frmSettingsAssistant::cmdTry_Click() {
    LumsetChanges changes;
    const std::optional<SettingTexts> values = ChosenValues(changes);
    if (!values) return;
    const TryOutcome outcome = TryDiscovery(platform_, console_, SettingsOf(*values));
    std::wstring report = DescribeTry(outcome, ChosenProcessId());
    if (chosen_ >= 0) report += L"\r\n\r\n" + DescribeChecks(current_, checks_, proposals_);
    SetReport(report);
}

void frmSettingsAssistant::cmdSave_Click() {
    LumsetChanges changes;
    const std::optional<SettingTexts> values = ChosenValues(changes);
    if (!values) return;
    bool any = false;
    for (const std::optional<std::wstring>& change : changes) any = any || change.has_value();
    if (!any) {
        Tell(L"保存する値がありません。変える値の「採用」に印を付けてから保存してください。");
        return;
    }
    const std::wstring folder = AppFolder();
    const SaveOutcome outcome = SaveLumset(files_, platform_, folder, changes);
    if (!outcome.saved) {
        SetReport(outcome.message);
        Tell(outcome.message);
        return;
    }
    // Read back as the launcher reads it; the console uses the new values from now on.
    current_ = LoadLauncherSettings(platform_, folder);
    state_.settings = current_;
    const SettingTexts wanted = TextsOf(SettingsOf(*values));
    const SettingTexts read = TextsOf(current_);
    std::wstring report = outcome.message;
    for (std::size_t k = 0; k < kSettingCount; ++k)
        if (changes[k] && wanted[k] != read[k])
            report += L"\r\n注意: 読み直した " + std::wstring(KeyName(k)) + L" が「" + read[k] +
                      L"」になっています。";
    report += L"\r\nコンソールの CADSearch、Get、History2 も、これからはこの値を使います。";
    Analyse();
    SetReport(report + L"\r\n\r\n" + DescribeChecks(current_, checks_, proposals_));
}

void frmSettingsAssistant::cmdClose_Click() {
    Destroy();
}

void frmSettingsAssistant::txtValue_Change(std::size_t key) {
    // A value the user types is meant to be used.
    if (filling_) return;
    vorta::win32::SetChecked(Control(Id(kIdAsstRowAccept, key)), true);
}

// --- Window procedure

void frmSettingsAssistant::OnCommand(int id, int code) {
    static constexpr Command<frmSettingsAssistant> kCommands[] = {
        OnArray(kIdAsstRowValue, kSettingCount, EN_CHANGE, &frmSettingsAssistant::txtValue_Change),
        On(kIdAsstProgram, CBN_SELCHANGE, &frmSettingsAssistant::cmbProgram_Click),
        On(kIdAsstRefresh, BN_CLICKED, &frmSettingsAssistant::cmdRefresh_Click),
        On(kIdAsstTry, BN_CLICKED, &frmSettingsAssistant::cmdTry_Click),
        On(kIdAsstSave, BN_CLICKED, &frmSettingsAssistant::cmdSave_Click),
        On(kIdAsstClose, BN_CLICKED, &frmSettingsAssistant::cmdClose_Click),
        On(IDCANCEL, BN_CLICKED, &frmSettingsAssistant::cmdClose_Click),  // Esc
    };
    Dispatch(*this, kCommands, id, code);
}

LRESULT frmSettingsAssistant::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            if (!controls_.empty()) ApplyDpi(dpi_);
            TakeSuggestedRect(hwnd(), lParam);
            return 0;
        }
        case WM_CLOSE:
            Destroy();
            return 0;
        case WM_NCDESTROY:
            controls_.clear();
            break;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorta::forms::win32
