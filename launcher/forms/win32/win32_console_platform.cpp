#include "launcher/forms/win32/win32_console_platform.h"

#include <cstring>

#include "common/win32/unique.h"
#include "launcher/launch.h"
#include "launcher/retry.h"
#include "launcher/win32/bounded_send.h"
#include "launcher/win32/win32.h"

namespace vorta::forms::win32 {

namespace {

using vorta::win32::FromHwnd;
using vorta::win32::NewSendJob;
using vorta::win32::SendBounded;
using vorta::win32::ToHwnd;

}  // namespace

Hwnd Win32ConsolePlatform::GetDlgItem(Hwnd parent, std::int32_t controlId) {
    return FromHwnd(::GetDlgItem(ToHwnd(parent), controlId));
}

std::optional<std::int32_t> Win32ConsolePlatform::SendGetTextLength(Hwnd window,
                                                                    std::uint32_t timeoutMs) {
    auto job = NewSendJob(window, WM_GETTEXTLENGTH, 0, timeoutMs);
    if (!SendBounded(job)) return std::nullopt;
    return static_cast<std::int32_t>(job->result);
}

bool Win32ConsolePlatform::SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) {
    auto job = NewSendJob(window, WM_GETTEXT, static_cast<WPARAM>(buffer.size()), timeoutMs);
    job->bytes = buffer;
    if (!SendBounded(job)) return false;
    buffer = job->bytes;
    return true;
}

bool Win32ConsolePlatform::SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                                        std::string_view payload, std::uint32_t timeoutMs) {
    auto job = NewSendJob(window, WM_COPYDATA, wParam, timeoutMs);
    job->bytes = std::string(payload);
    job->record.dwData = dwData;
    return SendBounded(job);
}

bool Win32ConsolePlatform::SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                                       std::uint32_t timeoutMs) {
    auto job = NewSendJob(window, WM_COMMAND, wParam, timeoutMs);
    job->lParamValue = lParam;
    return SendBounded(job);
}

void Win32ConsolePlatform::PostWindowMessage(Hwnd window, std::uint32_t message,
                                             std::uint32_t wParam, std::int32_t lParam) {
    ::PostMessageA(ToHwnd(window), message, wParam, lParam);
}

bool Win32ConsolePlatform::ClipboardHasText() {
    return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

std::optional<std::string> Win32ConsolePlatform::ClipboardGetText() {
    // A clipboard held open by another program is waited for as the launch sequence
    // waits for it.
    std::optional<std::string> text;
    RetryUntilSuccess(
        platform_, Pumping::kNo,
        [&text] {
            const vorta::win32::OpenedClipboard clipboard =
                vorta::win32::OpenClipboardOnce(nullptr);
            if (!clipboard) return false;
            HANDLE data = ::GetClipboardData(CF_TEXT);
            if (data == nullptr) return true;
            const vorta::win32::GlobalLocked lock = vorta::win32::LockGlobal(data);
            if (!lock) return true;
            const char* bytes = static_cast<const char*>(lock.get());
            text.emplace(bytes, ::strnlen(bytes, ::GlobalSize(data)));
            return true;
        },
        kClipboardBoundMs);
    return text;
}

std::optional<WindowFacts> Win32ConsolePlatform::DescribeWindow(Hwnd window) {
    // None of these calls waits for the window's thread: the system answers them.
    HWND h = ToHwnd(window);
    if (h == nullptr || !::IsWindow(h)) return std::nullopt;
    WindowFacts facts;
    char name[257] = {};
    const int length = ::GetClassNameA(h, name, static_cast<int>(sizeof name));
    facts.className.assign(name, static_cast<std::size_t>(length > 0 ? length : 0));
    facts.style = static_cast<std::uint32_t>(::GetWindowLongW(h, GWL_STYLE));
    if ((facts.style & WS_CHILD) != 0) {
        facts.controlId = ::GetDlgCtrlID(h);
        facts.parent = FromHwnd(::GetAncestor(h, GA_PARENT));
    }
    return facts;
}

}  // namespace vorta::forms::win32
