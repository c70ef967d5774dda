#include "launcher/forms/win32/frm_main.h"

#include <commctrl.h>

#include "common/forms/command_table.h"
#include "common/win32/controls.h"
#include "common/win32/dpi_font.h"
#include "launcher/app_title.h"
#include "launcher/forms/win32/form_support.h"

namespace vorta::forms::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VortaConsoleMain";
constexpr wchar_t kCaption[] = L"Tallwrite";
constexpr UINT_PTR kTxtPutSubclass = 1;
// Rows the picker list shows when dropped down.
constexpr int kDroppedRows = 8;

// The menu bar "File(&F)" with "CADSearch" and "End", and "設定(&S)" with the settings
// assistant.
vorta::win32::UniqueMenu MakeMenuBar() {
    vorta::win32::UniqueMenu bar(::CreateMenu());
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, kIdMnuCADSearch, L"CADSearch");
    ::AppendMenuW(file, MF_STRING, kIdMnuEnd, L"End");
    ::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File(&F)");
    HMENU settings = ::CreatePopupMenu();
    ::AppendMenuW(settings, MF_STRING, kIdMnuSettingsAssistant, kSettingsAssistantMenuItem);
    ::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(settings), kSettingsMenuCaption);
    return bar;
}

}  // namespace

// --- ComboPickerList

void ComboPickerList::Attach(HWND combo) {
    combo_ = combo;
    if (combo_ != nullptr) {
        for (const Item& item : items_) SetItemData(AddItem(item.text), item.data);
        if (index_ >= 0) SetListIndex(index_);
    }
    items_.clear();
    index_ = -1;
}

void ComboPickerList::Clear() {
    if (combo_ == nullptr) {
        items_.clear();
        index_ = -1;
        return;
    }
    vorta::win32::ComboClear(combo_);
}

int ComboPickerList::AddItem(const std::wstring& text) {
    if (combo_ == nullptr) {
        items_.push_back({text, 0});
        return static_cast<int>(items_.size()) - 1;
    }
    return vorta::win32::ComboAdd(combo_, text);
}

void ComboPickerList::SetItemData(int index, std::int32_t data) {
    if (combo_ == nullptr) {
        if (Has(index)) items_[static_cast<std::size_t>(index)].data = data;
        return;
    }
    vorta::win32::ComboSetItemData(combo_, index, data);
}

std::int32_t ComboPickerList::ItemData(int index) const {
    if (combo_ == nullptr)
        return Has(index) ? items_[static_cast<std::size_t>(index)].data : CB_ERR;
    return vorta::win32::ComboItemData(combo_, index);
}

int ComboPickerList::ItemCount() const {
    if (combo_ == nullptr) return static_cast<int>(items_.size());
    return vorta::win32::ComboCount(combo_);
}

int ComboPickerList::ListIndex() const {
    if (combo_ == nullptr) return index_;
    return vorta::win32::ComboSelected(combo_);
}

void ComboPickerList::SetListIndex(int index) {
    if (combo_ == nullptr) {
        index_ = Has(index) ? index : -1;
        return;
    }
    vorta::win32::ComboSelect(combo_, index);
}

// --- frmMain

frmMain::frmMain(Platform& platform, ConsolePlatform& console, LauncherState& state,
                 HINSTANCE instance)
    : commands_(platform, console, state, *this, kAppTitle),
      instance_(instance),
      history_(instance),
      assistant_(platform, console, state, instance) {}

HWND frmMain::Control(ControlId id) const {
    const std::size_t slot = IndexOf(kMainControls, id);
    return slot < controls_.size() ? controls_[slot] : nullptr;
}

bool frmMain::Load() {
    if (IsOpen()) return true;
    // The class gets its icons when the window is first shown.
    vorta::win32::UniqueMenu menu = MakeMenuBar();
    if (!Create(instance_, vorta::win32::WindowClass{kClassName}, WS_EX_CONTROLPARENT, kCaption,
                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 320, 260,
                nullptr, menu.get()))
        return false;
    menu.release();
    // Hidden, the window needs no controls: the load step's search fills the picker list,
    // which holds the items until its control is made (most runs of the launcher never
    // show the window).
    Form_Load();
    return true;
}

bool frmMain::Complete() {
    if (complete_) return true;
    if (!IsOpen()) return false;
    const FormIcons icons = LoadFormIcons(instance_);
    ::SetClassLongPtrW(hwnd(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icons.icon));
    ::SetClassLongPtrW(hwnd(), GCLP_HICONSM, reinterpret_cast<LONG_PTR>(icons.smallIcon));
    dpi_ = vorta::win32::DpiOf(hwnd());
    font_ = CreateFormFont(kFormFontPoints, dpi_);
    label3Font_ = CreateFormFont(kLabel3FontPoints, dpi_);
    // Created in tab order, which makes it the order of the Tab key.
    if (!vorta::win32::CreateControls(hwnd(), kMainDesign, controls_, Placement(dpi_)))
        return false;
    FitComboHeight(dpi_);
    ::SetWindowSubclass(Control(kIdTxtPut), &frmMain::TxtPutProc, kTxtPutSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
    const int d = static_cast<int>(dpi_);
    SetClientSize(hwnd(), TwipsToPixelsHalfAway(kMainClientWidth, d),
                  TwipsToPixelsHalfAway(kMainClientHeight, d));
    // What the load step found and what Get read while the window was hidden.
    cmbFileName_.Attach(Control(kIdCmbFileName));
    if (txtGetText_) ::SetWindowTextW(Control(kIdTxtGet), txtGetText_->c_str());
    complete_ = true;
    return true;
}

vorta::win32::ControlPlacement frmMain::Placement(UINT dpi) const {
    vorta::win32::ControlPlacement placement{dpi, {font_.get(), label3Font_.get()}};
    placement.droppedRows = kDroppedRows;
    return placement;
}

void frmMain::ApplyDpi(UINT dpi) {
    font_ = CreateFormFont(kFormFontPoints, dpi);
    label3Font_ = CreateFormFont(kLabel3FontPoints, dpi);
    vorta::win32::PlaceControls(kMainDesign, controls_, Placement(dpi));
    FitComboHeight(dpi);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void frmMain::FitComboHeight(UINT dpi) {
    HWND combo = Control(kIdCmbFileName);
    const int closedHeight =
        PixelBox(kMainDesign, MainControl(kIdCmbFileName), static_cast<int>(dpi)).height;
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT rect{};
        ::GetWindowRect(combo, &rect);
        const int delta = closedHeight - (rect.bottom - rect.top);
        if (delta == 0) return;
        const int field = vorta::win32::ComboItemHeight(combo, -1);
        if (field + delta <= 0) return;
        vorta::win32::ComboSetItemHeight(combo, -1, field + delta);
    }
}

void frmMain::ShowCentred() {
    if (!Complete()) return;
    CentreOnScreen(hwnd());
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(hwnd());
    ::SetForegroundWindow(hwnd());
    ::SetFocus(Control(kIdCmdGet));  // first in the tab order
}

// --- ConsoleView

std::wstring frmMain::TxtPutText() {
    Complete();
    return vorta::win32::WindowText(Control(kIdTxtPut));
}

void frmMain::SetTxtGetText(std::wstring_view text) {
    txtGetText_ = std::wstring(text);
    HWND box = Control(kIdTxtGet);
    if (box != nullptr) ::SetWindowTextW(box, txtGetText_->c_str());
}

void frmMain::ShowHistory(std::wstring_view text) {
    if (!history_.IsOpen() && !history_.Create()) return;
    history_.SetText(text);
    history_.Show(hwnd());
}

void frmMain::MessageBox(std::wstring_view text, std::wstring_view title) {
    const std::wstring message(text);
    const std::wstring caption(title);
    HWND owner = IsOpen() && ::IsWindowVisible(hwnd()) ? hwnd() : nullptr;
    ::MessageBoxW(owner, message.c_str(), caption.c_str(), MB_OK);
}

// --- Event handlers

void frmMain::Form_Load() {
    commands_.Load();
}

void frmMain::Form_Resize() {
    if (Control(kIdTxtPut) == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int d = static_cast<int>(dpi_);
    const std::optional<MainWidths> widths = WidthRule(PixelsToTwipsHalfAway(client.right, d));
    if (!widths) return;  // minimised or narrower than the text boxes' left edge
    auto setWidth = [&](ControlId id, int twips) {
        HWND control = Control(id);
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::SetWindowPos(control, nullptr, 0, 0, TwipsToPixelsHalfAway(twips, d),
                       rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    setWidth(kIdCmbFileName, widths->cmbFileName);
    setWidth(kIdTxtGet, widths->txtGet);
    setWidth(kIdTxtPut, widths->txtPut);
}

void frmMain::Form_Unload() {
    history_.Destroy();
}

void frmMain::cmdGet_Click() {
    commands_.Get();
}

void frmMain::cmdPut_Click() {
    commands_.Put();
}

void frmMain::txtPut_KeyPress(int& KeyAscii) {
    if (commands_.PutKeyPress(static_cast<wchar_t>(KeyAscii))) KeyAscii = 0;
}

void frmMain::cmdHistory1_Click() {
    commands_.History1();
}

void frmMain::cmdHistory2_Click() {
    commands_.History2();
}

void frmMain::mnuCADSearch_Click() {
    commands_.CadSearch();
}

void frmMain::mnuEnd_Click() {
    ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void frmMain::mnuSettingsAssistant_Click() {
    if (!assistant_.Show(hwnd()))
        MessageBox(L"設定アシスタントのウィンドウを開けませんでした。", kAppTitle);
}

// --- Window procedures

void frmMain::OnCommand(int id, int code) {
    // The handler of each button and menu item.
    static constexpr Command<frmMain> kCommands[] = {
        On(kIdCmdGet, BN_CLICKED, &frmMain::cmdGet_Click),
        On(kIdCmdPut, BN_CLICKED, &frmMain::cmdPut_Click),
        On(kIdCmdHistory1, BN_CLICKED, &frmMain::cmdHistory1_Click),
        On(kIdCmdHistory2, BN_CLICKED, &frmMain::cmdHistory2_Click),
        On(kIdMnuCADSearch, kMenuItem, &frmMain::mnuCADSearch_Click),
        On(kIdMnuEnd, kMenuItem, &frmMain::mnuEnd_Click),
        On(kIdMnuSettingsAssistant, kMenuItem, &frmMain::mnuSettingsAssistant_Click),
    };
    Dispatch(*this, kCommands, id, code);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            if (complete_) ApplyDpi(dpi_);
            TakeSuggestedRect(hwnd(), lParam);
            Form_Resize();
            return 0;
        }
        case WM_CLOSE:
            Form_Unload();
            Destroy();
            return 0;
        case WM_DESTROY:
            if (onClosed) onClosed();
            break;
        case WM_NCDESTROY:
            if (Control(kIdTxtPut) != nullptr)
                ::RemoveWindowSubclass(Control(kIdTxtPut), &frmMain::TxtPutProc, kTxtPutSubclass);
            controls_.fill(nullptr);
            complete_ = false;
            cmbFileName_.Attach(nullptr);
            break;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK frmMain::TxtPutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
    auto* form = reinterpret_cast<frmMain*>(self);
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter belongs to the text box, not to the window's keyboard navigation.
            const MSG* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
                msg->wParam == VK_RETURN) {
                return DLGC_WANTALLKEYS | ::DefSubclassProc(window, message, wParam, lParam);
            }
            break;
        }
        case WM_CHAR: {
            int keyAscii = static_cast<int>(wParam);
            form->txtPut_KeyPress(keyAscii);
            if (keyAscii == 0) return 0;
            return ::DefSubclassProc(window, message, static_cast<WPARAM>(keyAscii), lParam);
        }
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace vorta::forms::win32
