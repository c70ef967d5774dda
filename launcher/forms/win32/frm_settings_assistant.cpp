#include "launcher/forms/win32/frm_settings_assistant.h"

#include <commctrl.h>

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

// The window class and styles of each kind of control.
ControlClass ClassOf(AssistantKind kind) {
    switch (kind) {
        case AssistantKind::kLabel:
            return {L"STATIC", SS_LEFT, 0};
        case AssistantKind::kMark:
            return {L"STATIC", SS_CENTER | SS_NOPREFIX, 0};
        case AssistantKind::kDropDownList:
            return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case AssistantKind::kButton:
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case AssistantKind::kTree:
            return {
                WC_TREEVIEWW,
                WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                WS_EX_CLIENTEDGE};
        case AssistantKind::kReadOnlyText:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case AssistantKind::kText:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case AssistantKind::kCheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case AssistantKind::kReport:
            return {L"EDIT",
                    WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    WS_EX_CLIENTEDGE};
    }
    return {L"EDIT", 0, 0};
}

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

frmSettingsAssistant::~frmSettingsAssistant() {
    // Its WM_NCDESTROY handling needs this object whole.
    Destroy();
}

HWND frmSettingsAssistant::Control(int id) const {
    const std::vector<AssistantControl>& layout = AssistantControls();
    for (std::size_t i = 0; i < layout.size() && i < controls_.size(); ++i)
        if (layout[i].id == id) return controls_[i];
    return nullptr;
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
    if (!CreateControls()) {
        Destroy();
        return false;
    }
    dpi_ = vorta::win32::DpiOf(hwnd());
    ApplyDpi(dpi_);
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

bool frmSettingsAssistant::CreateControls() {
    for (const AssistantControl& control : AssistantControls()) {
        HWND child = CreateControl(hwnd(), ClassOf(control.kind), control.text, control.id);
        if (child == nullptr) return false;
        if (control.kind == AssistantKind::kText)
            ::SendMessageW(child, EM_SETLIMITTEXT, kValueMaxChars, 0);
        controls_.push_back(child);
    }
    return true;
}

void frmSettingsAssistant::ApplyDpi(UINT dpi) {
    font_ = CreateFormFont(kFormFontPoints, dpi);
    const std::vector<AssistantControl>& layout = AssistantControls();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const AssistantControl& control = layout[i];
        const bool dropDown = control.kind == AssistantKind::kDropDownList;
        PlaceControl(controls_[i], font_.get(), control.left, control.top, control.width,
                     control.height, dpi, dropDown ? kDroppedRows : 0);
        if (dropDown)
            ::SendMessageW(controls_[i], CB_SETDROPPEDWIDTH,
                           static_cast<WPARAM>(
                               TwipsToPixelsHalfAway(kDroppedWidthTwips, static_cast<int>(dpi))),
                           0);
    }
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

std::wstring frmSettingsAssistant::AppFolder() const {
    return state_.AppFolder.empty() ? AppFolderOf(platform_.ApplicationPath()) : state_.AppFolder;
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
    std::wstring label = assistant::NodeLabel(node, assistant::MarksOf(fill.found, node.hwnd));
    TVINSERTSTRUCTW item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_PARAM;
    item.item.pszText = label.data();
    item.item.lParam = static_cast<LPARAM>(node.hwnd);
    HTREEITEM self = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(fill.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (fill.parts.main == &node) fill.mainItem = self;
    bool holds = false;
    for (const assistant::WindowNode& child : node.children)
        holds = InsertNode(fill, child, self) || holds;
    if (holds) ::SendMessageW(fill.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(self));
    return holds || fill.Shown(node);
}

}  // namespace

void frmSettingsAssistant::FillTree() {
    HWND tree = Control(kIdAsstTree);
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    TreeFill fill{tree, session_.found(), session_.parts()};
    for (const assistant::WindowNode& top : session_.windows()) InsertNode(fill, top, TVI_ROOT);
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    if (fill.mainItem != nullptr) {
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(fill.mainItem));
        ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(fill.mainItem));
    }
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
    session_.Load(AppFolder());
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
    if (id >= kIdAsstRowValue && id < Id(kIdAsstRowValue, kSettingCount)) {
        if (code == EN_CHANGE) txtValue_Change(static_cast<std::size_t>(id - kIdAsstRowValue));
        return;
    }
    if (id == kIdAsstProgram) {
        if (code == CBN_SELCHANGE) cmbProgram_Click();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kIdAsstRefresh:
            cmdRefresh_Click();
            break;
        case kIdAsstTry:
            cmdTry_Click();
            break;
        case kIdAsstSave:
            cmdSave_Click();
            break;
        case kIdAsstClose:
        case IDCANCEL:  // Esc
            cmdClose_Click();
            break;
        default:
            break;
    }
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
