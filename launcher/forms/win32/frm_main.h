// frmMain, captioned "Tallwrite": the console window. It holds the picker list
// cmbFileName that discovery fills, the text boxes txtGet and txtPut, four buttons
// and the menu "File(&F)" with "CADSearch" and "End"; beside it the menu "設定(&S)"
// opens the settings assistant. Each event has its handler, named after the control and
// the event; the commands themselves are ConsoleCommands. Positions and sizes are twips
// converted at the window's real DPI.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/form_controls.h"
#include "common/win32/unique.h"
#include "common/win32/window.h"
#include "launcher/forms/console.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/frm_history.h"
#include "launcher/forms/win32/frm_settings_assistant.h"

namespace vorta::forms::win32 {

// The picker list over a drop-down list control. Until the control is attached (the
// console makes its controls only when it is first shown) the items and the selection
// are kept here, by the control's rules, and the control is given them when attached.
class ComboPickerList final : public PickerList {
  public:
    void Attach(HWND combo);
    void Clear() override;
    int AddItem(const std::wstring& text) override;
    void SetItemData(int index, std::int32_t data) override;
    std::int32_t ItemData(int index) const override;
    int ItemCount() const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;

  private:
    struct Item {
        std::wstring text;
        std::int32_t data;
    };
    bool Has(int index) const { return index >= 0 && index < static_cast<int>(items_.size()); }

    HWND combo_ = nullptr;
    std::vector<Item> items_;
    int index_ = -1;
};

class frmMain : public vorta::win32::Window, public ConsoleView {
  public:
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Creates the window hidden, then runs Form_Load, which fills the picker list. False
    // when the window cannot be created.
    bool Load();
    // Displays the window centred on the screen, completing it first.
    void ShowCentred();
    HWND Control(ControlId id) const;
    frmHistory& History() { return history_; }
    frmSettingsAssistant& SettingsAssistant() { return assistant_; }
    ConsoleCommands& Commands() { return commands_; }
    // Called once the window has been destroyed.
    std::function<void()> onClosed;

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void cmdGet_Click();
    void cmdPut_Click();
    // KeyAscii is set to 0 when the character is consumed.
    void txtPut_KeyPress(int& KeyAscii);
    void cmdHistory1_Click();
    void cmdHistory2_Click();
    void mnuCADSearch_Click();
    void mnuEnd_Click();
    void mnuSettingsAssistant_Click();

    // ConsoleView.
    PickerList& PickerListControl() override { return cmbFileName_; }
    std::wstring TxtPutText() override;
    void SetTxtGetText(std::wstring_view text) override;
    void ShowHistory(std::wstring_view text) override;
    void MessageBox(std::wstring_view text, std::wstring_view title) override;

  protected:
    // Made as vorta::win32::Owned<frmMain>.
    frmMain(Platform& platform, ConsolePlatform& console, LauncherState& state, HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static LRESULT CALLBACK TxtPutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    void OnCommand(int id, int code);
    // Makes what only a shown window needs: the class icons, the controls, the fonts and
    // the layout at the window's DPI; then the controls get what the load step put in
    // the list and what Get read. True once the window is complete.
    bool Complete();
    vorta::win32::ControlPlacement Placement(UINT dpi) const;
    void ApplyDpi(UINT dpi);
    // The closed box's height follows its selection field: the field is set so that the
    // box measures its designed height at `dpi`.
    void FitComboHeight(UINT dpi);

    ConsoleCommands commands_;
    HINSTANCE instance_;
    bool complete_ = false;
    UINT dpi_ = 96;
    std::array<HWND, kMainControls.size()> controls_{};
    ComboPickerList cmbFileName_;
    // The last text Get read, kept for txtGet while that does not exist yet.
    std::optional<std::wstring> txtGetText_;
    vorta::win32::Owned<frmHistory> history_;
    vorta::win32::Owned<frmSettingsAssistant> assistant_;
    vorta::win32::GdiObject<HFONT> font_;
    vorta::win32::GdiObject<HFONT> label3Font_;
};

}  // namespace vorta::forms::win32
