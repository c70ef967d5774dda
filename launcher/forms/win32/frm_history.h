// frmHistory, captioned "ﾋｽﾄﾘｰ": one multi-line text box txtHistory with both scroll
// bars that always fills the client area. Shown modeless and without an owner; when
// the user closes it, it is discarded and the next history command creates it again.
#pragma once

#include <string_view>

#include "launcher/win32/raii.h"
#include "launcher/win32/win32.h"

namespace vorta::forms::win32 {

class frmHistory {
  public:
    explicit frmHistory(HINSTANCE instance);
    ~frmHistory();
    frmHistory(const frmHistory&) = delete;
    frmHistory& operator=(const frmHistory&) = delete;

    // Creates the window hidden, client area 6150 x 4485 twips at its DPI.
    bool Create();
    bool IsOpen() const { return hwnd_ != nullptr; }
    // Replaces the whole text of txtHistory.
    void SetText(std::wstring_view text);
    // Shows the window (beside `console` the first time, when that fits) and brings it
    // to the front.
    void Show(HWND console);
    void Close();

    HWND hwnd() const { return hwnd_; }
    HWND txtHistory() const { return txtHistory_; }

    // Fill rule.
    void Form_Resize();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpi(UINT dpi);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND txtHistory_ = nullptr;
    bool shownBefore_ = false;
    vorta::win32::GdiObject<HFONT> font_;
};

}  // namespace vorta::forms::win32
