// ConsolePlatform over Win32: ANSI messages to CAD windows, each sent with
// SendMessageTimeoutA and SMTO_ABORTIFHUNG, the clipboard's CF_TEXT, and what the
// window system records of a window.
#pragma once

#include "launcher/forms/console_platform.h"
#include "launcher/platform.h"

namespace vorta::forms::win32 {

class Win32ConsolePlatform final : public ConsolePlatform {
  public:
    // The platform paces the wait for a clipboard that another program holds.
    explicit Win32ConsolePlatform(Platform& platform) : platform_(platform) {}

    Hwnd GetDlgItem(Hwnd parent, std::int32_t controlId) override;
    std::optional<std::int32_t> SendGetTextLength(Hwnd window, std::uint32_t timeoutMs) override;
    bool SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) override;
    bool SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                      std::string_view payload, std::uint32_t timeoutMs) override;
    bool SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                     std::uint32_t timeoutMs) override;
    void PostWindowMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam,
                           std::int32_t lParam) override;
    bool ClipboardHasText() override;
    std::optional<std::string> ClipboardGetText() override;
    std::optional<WindowFacts> DescribeWindow(Hwnd window) override;

  private:
    Platform& platform_;
};

}  // namespace vorta::forms::win32
