// frmMain, captioned "Tallwrite": the console window. It holds the picker list
// cmbFileName that discovery fills, the text boxes txtGet and txtPut, four buttons
// and the menu "File(&F)" with "CADSearch" and "End". Each event has its handler,
// named after the control and the event; the commands themselves are
// ConsoleCommands. Positions and sizes are twips converted at the window's real DPI.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "launcher/forms/console.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/frm_history.h"
#include "platform/win32/raii.h"
#include "platform/win32/win32.h"

namespace vorta::forms::win32 {

// The picker list over a drop-down list control.
class ComboPickerList final : public PickerList {
  public:
    void Attach(HWND combo) { combo_ = combo; }
    void Clear() override;
    int AddItem(const std::wstring& text) override;
    void SetItemData(int index, std::int32_t data) override;
    std::int32_t ItemData(int index) const override;
    int ItemCount() const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;

  private:
    HWND combo_ = nullptr;
};

class frmMain final : public ConsoleView {
  public:
    frmMain(Platform& platform, ConsolePlatform& console, LauncherState& state, HINSTANCE instance);
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Creates the window and its controls without showing them, then runs Form_Load.
    // False when the window cannot be created.
    bool Load();
    // Displays the window centred on the screen.
    void ShowCentred();
    bool IsOpen() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }
    HWND Control(ControlId id) const;
    frmHistory& History() { return history_; }
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

    // ConsoleView.
    PickerList& PickerListControl() override { return cmbFileName_; }
    std::wstring TxtPutText() override;
    void SetTxtGetText(std::wstring_view text) override;
    void ShowHistory(std::wstring_view text) override;
    void MessageBox(std::wstring_view text, std::wstring_view title) override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TxtPutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id);
    bool CreateControls();
    void ApplyDpi(UINT dpi);
    void FitComboHeight(int closedHeight);

    ConsoleCommands commands_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    std::array<HWND, kMainControls.size()> controls_{};
    ComboPickerList cmbFileName_;
    frmHistory history_;
    vorta::win32::GdiObject<HFONT> font_;
    vorta::win32::GdiObject<HFONT> label3Font_;
};

}  // namespace vorta::forms::win32
