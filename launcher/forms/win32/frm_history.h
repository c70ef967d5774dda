// frmHistory, captioned "ﾋｽﾄﾘｰ": one multi-line text box txtHistory with both scroll
// bars that always fills the client area. Shown modeless and without an owner; when
// the user closes it, it is discarded and the next history command creates it again.
#pragma once

#include <array>
#include <string_view>

#include "common/win32/form_controls.h"
#include "common/win32/unique.h"
#include "common/win32/window.h"

namespace vorta::forms::win32 {

class frmHistory : public vorta::win32::Window {
  public:
    // Creates the window hidden, client area 6150 x 4485 twips at its DPI.
    bool Create();
    // Replaces the whole text of txtHistory.
    void SetText(std::wstring_view text);
    // Shows the window (beside `console` the first time, when that fits) and brings it
    // to the front.
    void Show(HWND console);

    HWND txtHistory() const { return controls_[0]; }

    // Fill rule.
    void Form_Resize();

  protected:
    // Made as vorta::win32::Owned<frmHistory>.
    explicit frmHistory(HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    vorta::win32::ControlPlacement Placement(UINT dpi) const;
    void ApplyDpi(UINT dpi);

    HINSTANCE instance_;
    std::array<HWND, 1> controls_{};  // txtHistory
    bool shownBefore_ = false;
    vorta::win32::GdiObject<HFONT> font_;
};

}  // namespace vorta::forms::win32
