#include "tests/support/fake_console_platform.h"

#include <algorithm>

#include "launcher/cad_protocol.h"
#include "launcher/win32_values.h"

namespace vorta::testing {

bool FakeConsolePlatform::Exists(Hwnd window) const {
    if (window == 0) return false;
    if (texts.count(window) || historyOnRequest.count(window)) return true;
    return std::any_of(children.begin(), children.end(), [&](const auto& c) {
        return c.first.first == window || c.second == window;
    });
}

Hwnd FakeConsolePlatform::GetDlgItem(Hwnd parent, std::int32_t controlId) {
    auto it = children.find({parent, controlId});
    return it == children.end() ? 0 : it->second;
}

std::optional<std::int32_t> FakeConsolePlatform::SendGetTextLength(Hwnd window,
                                                                   std::uint32_t timeoutMs) {
    sent.push_back({"WM_GETTEXTLENGTH", window, winapi::kWmGetTextLength, 0, 0, 0, {}, timeoutMs});
    if (!Exists(window) || hung.count(window)) return std::nullopt;
    auto it = texts.find(window);
    std::int32_t n = it == texts.end() ? 0 : static_cast<std::int32_t>(it->second.size());
    if (auto shrink = textAfterLengthRead.find(window); shrink != textAfterLengthRead.end()) {
        texts[window] = shrink->second;
        textAfterLengthRead.erase(shrink);
    }
    return n;
}

bool FakeConsolePlatform::SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) {
    sent.push_back({"WM_GETTEXT",
                    window,
                    winapi::kWmGetText,
                    static_cast<std::uint32_t>(buffer.size()),
                    0,
                    0,
                    {},
                    timeoutMs});
    if (!Exists(window) || hung.count(window)) return false;
    // Like an edit control: at most wParam - 1 bytes of text, then a zero byte.
    const std::string& text = texts[window];
    std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    buffer[n] = '\0';
    return true;
}

bool FakeConsolePlatform::SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                                       std::string_view payload, std::uint32_t timeoutMs) {
    sent.push_back({"WM_COPYDATA", window, winapi::kWmCopyData, wParam, 0, dwData,
                    std::string(payload), timeoutMs});
    return Exists(window) && !hung.count(window);
}

bool FakeConsolePlatform::SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                                      std::uint32_t timeoutMs) {
    sent.push_back({"WM_COMMAND", window, winapi::kWmCommand, wParam, lParam, 0, {}, timeoutMs});
    if (!Exists(window) || hung.count(window)) return false;
    if (auto it = historyOnRequest.find(window);
        it != historyOnRequest.end() && wParam == cad::kCmdCopyHistory && lParam == 0) {
        clipboard = it->second;
    }
    return true;
}

void FakeConsolePlatform::PostWindowMessage(Hwnd window, std::uint32_t message,
                                            std::uint32_t wParam, std::int32_t lParam) {
    sent.push_back({"PostMessage", window, message, wParam, lParam, 0, {}, 0});
}

}  // namespace vorta::testing
