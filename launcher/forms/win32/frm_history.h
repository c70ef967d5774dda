// frmHistory, captioned "ﾋｽﾄﾘｰ": one multi-line text box txtHistory with both scroll
// bars that always fills the client area. Shown modeless and without an owner; when
// the user closes it, it is discarded and the next history command creates it again.
#pragma once

#include <string_view>

#include "common/win32/unique.h"
#include "common/win32/window.h"

namespace vorta::forms::win32 {

class frmHistory final : public vorta::win32::Window {
  public:
    explicit frmHistory(HINSTANCE instance);
    ~frmHistory() override;

    // Creates the window hidden, client area 6150 x 4485 twips at its DPI.
    bool Create();
    // Replaces the whole text of txtHistory.
    void SetText(std::wstring_view text);
    // Shows the window (beside `console` the first time, when that fits) and brings it
    // to the front.
    void Show(HWND console);

    HWND txtHistory() const { return txtHistory_; }

    // Fill rule.
    void Form_Resize();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void ApplyDpi(UINT dpi);

    HINSTANCE instance_;
    HWND txtHistory_ = nullptr;
    bool shownBefore_ = false;
    vorta::win32::GdiObject<HFONT> font_;
};

}  // namespace vorta::forms::win32
