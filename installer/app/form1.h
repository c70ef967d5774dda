// Form1: the installer's one window, with the banner (Picture1), the information line and
// the two buttons "インストール" and "キャンセル".
#pragma once

#include <array>

#include "common/win32/unique.h"
#include "common/win32/win.h"
#include "common/win32/window.h"
#include "installer/app/win32_platform.h"
#include "installer/form1_layout.h"
#include "installer/install_sequence.h"

namespace vorta::setup {

// Picture1: the banner bitmap, painted unscaled from the top-left corner; the rest of the
// box has the button face colour.
class Picture1 : public vorta::win32::Window {
  public:
    // Creates the box as the child `id` of `parent`, still without a size; false when it
    // cannot be created.
    bool Open(HINSTANCE instance, HWND parent, int id);

  protected:
    // Made as vorta::win32::Owned<Picture1>.
    Picture1() = default;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    vorta::win32::GdiObject<HBITMAP> banner_;
};

class Form1 : public vorta::win32::Window {
  public:
    // Creates the window and its controls at the screen's dpi, places it (Form_Load) and
    // shows it; false when the window or one of its controls cannot be created.
    bool Open(HINSTANCE instance);

    // Handles the window's events until the program ends.
    void Run();

    // Handles the events waiting now, without waiting for new ones: the window repaints and
    // its buttons answer while the installer works.
    void ProcessPendingEvents();

  protected:
    // Made as vorta::win32::Owned<Form1>.
    Form1();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    // False when a control cannot be created.
    bool CreateControls(HINSTANCE instance);
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Form_Unload();

    int dpi_ = 96;
    vorta::win32::GdiObject<HFONT> boldFont_;
    vorta::win32::GdiObject<HFONT> regularFont_;
    vorta::win32::Owned<Picture1> picture1_;
    std::array<HWND, kForm1Controls.size()> controls_{};
    Win32InstallPlatform platform_;
    InstallerController controller_;
};

// Creates Form1, shows it and runs its events until the program ends.
int RunForm1(HINSTANCE instance);

}  // namespace vorta::setup
