// The settings assistant's window, captioned "Lumset.ini の設定アシスタント", opened
// from frmMain's menu "設定(&S)". It lists the programs that show windows, shows the
// chosen program's windows as a tree, judges the eight values of Lumset.ini against
// them, proposes values, tries them as the launcher would and saves the accepted ones.
// Every decision is made by the platform-free AssistantSession (launcher/assistant/);
// this class owns the controls, renders the session's state and hands the user's actions
// to it from its event handlers. Nothing here sends a message to a CAD window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/win32/form_controls.h"
#include "common/win32/unique.h"
#include "common/win32/window.h"
#include "launcher/assistant/session.h"
#include "launcher/forms/assistant_layout.h"
#include "launcher/forms/console_platform.h"
#include "launcher/forms/win32/win32_settings_files.h"
#include "launcher/launcher_state.h"
#include "launcher/platform.h"

namespace vorta::forms::win32 {

class frmSettingsAssistant : public vorta::win32::Window {
  public:
    // Creates the window owned by `owner`, loads it and shows it centred on the screen;
    // when it is open already, brings it to the front. False when it cannot be created.
    bool Show(HWND owner);
    HWND Control(int id) const;

    // Event handlers.
    void Form_Load();
    void cmbProgram_Click();
    void cmdRefresh_Click();
    void cmdTry_Click();
    void cmdSave_Click();
    void cmdClose_Click();
    void txtValue_Change(std::size_t key);

  protected:
    // Made as vorta::win32::Owned<frmSettingsAssistant>. The settings saved here also
    // become state.settings, which the console uses.
    frmSettingsAssistant(Platform& platform, ConsolePlatform& console, LauncherState& state,
                         HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnCommand(int id, int code);
    bool CreateControls();
    vorta::win32::ControlPlacement Placement(UINT dpi) const;
    void ApplyDpi(UINT dpi);
    // Shows the session's state: the program list, the tree, the rows and the report.
    void FillPrograms();
    void ShowAnalysis();
    void FillTree();
    void FillRows();
    void SetReport(const std::wstring& text);
    std::wstring TextOf(int id) const;
    // What the user has in the rows.
    assistant::KeyChoices Choices() const;
    // Shows what came of "試す" or a save.
    void ShowOutcome(const assistant::ActionOutcome& outcome);
    void Tell(const std::wstring& text);

    Platform& platform_;
    ConsolePlatform& console_;
    LauncherState& state_;
    HINSTANCE instance_;
    Win32SettingsFiles files_;
    assistant::AssistantSession session_;
    std::vector<HWND> controls_;  // in the order of AssistantControls()
    UINT dpi_ = 96;
    vorta::win32::GdiObject<HFONT> font_;
    bool filling_ = false;  // the rows are being filled, not typed into
};

}  // namespace vorta::forms::win32
