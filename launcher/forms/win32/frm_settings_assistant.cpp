#include "launcher/forms/win32/frm_settings_assistant.h"

#include <commctrl.h>

#include "common/forms/command_table.h"
#include "common/win32/controls.h"
#include "common/win32/dpi_font.h"
#include "launcher/app_title.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/form_support.h"
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
    : platform_(platform),
      console_(console),
      state_(state),
      instance_(instance),
      session_(platform, console, files_, ::GetCurrentProcessId()) {}

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

std::wstring frmSettingsAssistant::TextOf(int id) const {
    return vorta::win32::WindowText(Control(id));
}

void frmSettingsAssistant::Tell(const std::wstring& text) {
    ::MessageBoxW(hwnd(), text.c_str(), kAppTitle, MB_OK);
}

void frmSettingsAssistant::SetReport(const std::wstring& text) {
    SetText(Control(kIdAsstResult), text);
}

// --- What the window shows

void frmSettingsAssistant::FillPrograms() {
    HWND list = Control(kIdAsstProgram);
    vorta::win32::ComboClear(list);
    for (const assistant::ProgramInfo& program : session_.programs())
        vorta::win32::ComboAdd(list, assistant::ProgramLabel(program));
    vorta::win32::ComboSelect(list, session_.chosen());
}

void frmSettingsAssistant::ShowAnalysis() {
    FillTree();
    FillRows();
    SetReport(session_.Report());
}

namespace {

// What FillTree needs while it walks the trees.
struct TreeFill {
    HWND tree;
    const assistant::Recognised& found;
    const assistant::CadParts& parts;
    HTREEITEM mainItem = nullptr;

    // A window whose node is opened to view: one a value points at, or a part of the CAD.
    bool Shown(const assistant::WindowNode& node) const {
        for (const assistant::WindowNode* part :
             {parts.mainCommandLine, parts.textCommandLine, parts.mainInput, parts.textHistory})
            if (part == &node) return true;
        return !assistant::MarksOf(found, node.hwnd).empty();
    }
};

// Inserts the node and its children; true when the subtree holds a window to show.
bool InsertNode(TreeFill& fill, const assistant::WindowNode& node, HTREEITEM parent) {
    HTREEITEM self = vorta::win32::TreeAdd(
        fill.tree, parent, assistant::NodeLabel(node, assistant::MarksOf(fill.found, node.hwnd)),
        static_cast<LPARAM>(node.hwnd));
    if (fill.parts.main == &node) fill.mainItem = self;
    bool holds = false;
    for (const assistant::WindowNode& child : node.children)
        holds = InsertNode(fill, child, self) || holds;
    if (holds) vorta::win32::TreeExpand(fill.tree, self);
    return holds || fill.Shown(node);
}

}  // namespace

void frmSettingsAssistant::FillTree() {
    HWND tree = Control(kIdAsstTree);
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    vorta::win32::TreeClear(tree);
    TreeFill fill{tree, session_.found(), session_.parts()};
    for (const assistant::WindowNode& top : session_.windows()) InsertNode(fill, top, TVI_ROOT);
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    if (fill.mainItem != nullptr) vorta::win32::TreeSelectAndShow(tree, fill.mainItem);
    ::InvalidateRect(tree, nullptr, TRUE);
}

void frmSettingsAssistant::FillRows() {
    filling_ = true;
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const assistant::KeyRow row = session_.Row(k);
        SetText(Control(Id(kIdAsstRowCurrent, k)), row.current);
        SetText(Control(Id(kIdAsstRowMark, k)), row.mark);
        SetText(Control(Id(kIdAsstRowValue, k)), row.value);
        vorta::win32::SetChecked(Control(Id(kIdAsstRowAccept, k)), row.accept);
        // A key no part of the launcher uses keeps its value: nothing to type or accept.
        ::EnableWindow(Control(Id(kIdAsstRowValue, k)), row.used);
        ::EnableWindow(Control(Id(kIdAsstRowAccept, k)), row.used);
    }
    filling_ = false;
}

assistant::KeyChoices frmSettingsAssistant::Choices() const {
    assistant::KeyChoices choices;
    for (std::size_t k = 0; k < kSettingCount; ++k)
        choices[k] = {vorta::win32::IsChecked(Control(Id(kIdAsstRowAccept, k))),
                      TextOf(Id(kIdAsstRowValue, k))};
    return choices;
}

void frmSettingsAssistant::ShowOutcome(const assistant::ActionOutcome& outcome) {
    if (outcome.saved) {
        // The console uses the saved values from now on.
        state_.settings = session_.settings();
        FillTree();
        FillRows();
    }
    if (!outcome.report.empty()) SetReport(outcome.report);
    if (!outcome.message.empty()) Tell(outcome.message);
    if (outcome.badKey) ::SetFocus(Control(Id(kIdAsstRowValue, *outcome.badKey)));
}

// --- Event handlers

void frmSettingsAssistant::Form_Load() {
    session_.Load(state_.AppFolder);  // set before the console was loaded
    FillPrograms();
    ShowAnalysis();
}

void frmSettingsAssistant::cmbProgram_Click() {
    session_.Choose(vorta::win32::ComboSelected(Control(kIdAsstProgram)));
    ShowAnalysis();
}

void frmSettingsAssistant::cmdRefresh_Click() {
    session_.Refresh();
    FillPrograms();
    ShowAnalysis();
}

void frmSettingsAssistant::cmdTry_Click() {
    ShowOutcome(session_.Try(Choices()));
}

void frmSettingsAssistant::cmdSave_Click() {
    ShowOutcome(session_.Save(Choices()));
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
