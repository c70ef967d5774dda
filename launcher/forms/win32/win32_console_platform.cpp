#include "launcher/forms/win32/win32_console_platform.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/win32/raii.h"
#include "platform/win32/win32.h"

namespace vorta::forms::win32 {

namespace {

using vorta::win32::FromHwnd;
using vorta::win32::ToHwnd;

// A window that is not answering is given up at once; one that is busy, after timeoutMs.
constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
// How long a clipboard held open by another program is waited for.
constexpr DWORD kClipboardWaitMs = 1000;
constexpr DWORD kClipboardRestMs = 10;

// One message to a CAD window, made on a helper thread while this thread waits for a
// bounded time. SendMessageTimeoutA alone is not enough: some systems (Wine among them)
// keep the sender waiting until a CAD that stopped answering wakes up, whatever the
// time-out. The helper owns everything the message points to, so when the wait is
// given up it can finish on its own once the CAD answers (or with the process).
struct SendJob {
    Hwnd window = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    std::int32_t lParamValue = 0;  // WM_COMMAND's lParam
    std::string bytes;             // WM_GETTEXT buffer, or the WM_COPYDATA payload
    COPYDATASTRUCT record{};
    std::uint32_t timeoutMs = 0;
    std::atomic<bool> answered{false};
    vorta::win32::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    DWORD_PTR result = 0;

    LPARAM LParam() {
        if (message == WM_GETTEXT) return reinterpret_cast<LPARAM>(bytes.data());
        if (message == WM_COPYDATA) {
            record.cbData = static_cast<DWORD>(bytes.size());
            record.lpData = bytes.data();
            return reinterpret_cast<LPARAM>(&record);
        }
        return static_cast<LPARAM>(lParamValue);
    }

    void Run() {
        DWORD_PTR r = 0;
        const bool ok = ::SendMessageTimeoutA(ToHwnd(window), message, wParam, LParam(), kSendFlags,
                                              timeoutMs, &r) != 0;
        result = r;
        answered = ok;
        ::SetEvent(done.get());
    }
};

// Waits for the job, handling only messages sent to this thread meanwhile (as a plain
// SendMessage does), never longer than the job's time-out.
bool SendBounded(const std::shared_ptr<SendJob>& job) {
    if (job->window == 0 || !job->done) return false;
    try {
        std::thread([job] { job->Run(); }).detach();
    } catch (const std::system_error&) {
        job->Run();  // no thread to spare: send from here
    }
    const DWORD start = ::GetTickCount();
    HANDLE done = job->done.get();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= job->timeoutMs) return false;
        const DWORD wait =
            ::MsgWaitForMultipleObjects(1, &done, FALSE, job->timeoutMs - elapsed, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0) return job->answered;
        if (wait != WAIT_OBJECT_0 + 1) return false;
        MSG pending{};
        ::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

std::shared_ptr<SendJob> NewJob(Hwnd window, UINT message, WPARAM wParam, std::uint32_t timeoutMs) {
    auto job = std::make_shared<SendJob>();
    job->window = window;
    job->message = message;
    job->wParam = wParam;
    job->timeoutMs = timeoutMs;
    return job;
}

}  // namespace

Hwnd Win32ConsolePlatform::GetDlgItem(Hwnd parent, std::int32_t controlId) {
    return FromHwnd(::GetDlgItem(ToHwnd(parent), controlId));
}

std::optional<std::int32_t> Win32ConsolePlatform::SendGetTextLength(Hwnd window,
                                                                    std::uint32_t timeoutMs) {
    auto job = NewJob(window, WM_GETTEXTLENGTH, 0, timeoutMs);
    if (!SendBounded(job)) return std::nullopt;
    return static_cast<std::int32_t>(job->result);
}

bool Win32ConsolePlatform::SendGetText(Hwnd window, std::string& buffer, std::uint32_t timeoutMs) {
    auto job = NewJob(window, WM_GETTEXT, static_cast<WPARAM>(buffer.size()), timeoutMs);
    job->bytes = buffer;
    if (!SendBounded(job)) return false;
    buffer = job->bytes;
    return true;
}

bool Win32ConsolePlatform::SendCopyData(Hwnd window, std::uint32_t wParam, std::uint32_t dwData,
                                        std::string_view payload, std::uint32_t timeoutMs) {
    auto job = NewJob(window, WM_COPYDATA, wParam, timeoutMs);
    job->bytes = std::string(payload);
    job->record.dwData = dwData;
    return SendBounded(job);
}

bool Win32ConsolePlatform::SendCommand(Hwnd window, std::uint32_t wParam, std::int32_t lParam,
                                       std::uint32_t timeoutMs) {
    auto job = NewJob(window, WM_COMMAND, wParam, timeoutMs);
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
    const DWORD start = ::GetTickCount();
    for (;;) {
        vorta::win32::OpenedClipboard clipboard;
        if (clipboard.is_open()) {
            HANDLE data = ::GetClipboardData(CF_TEXT);
            if (data == nullptr) return std::nullopt;
            vorta::win32::GlobalLockGuard lock(data);
            if (lock.data() == nullptr) return std::nullopt;
            const char* text = static_cast<const char*>(lock.data());
            const std::size_t size = ::GlobalSize(data);
            return std::string(text, ::strnlen(text, size));
        }
        if (::GetTickCount() - start >= kClipboardWaitMs) return std::nullopt;
        ::Sleep(kClipboardRestMs);
    }
}

}  // namespace vorta::forms::win32
