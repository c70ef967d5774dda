#include "platform/win32/bounded_send.h"

#include <system_error>
#include <thread>

namespace vorta::win32 {

namespace {

// A window that is not answering is given up at once; one that is busy, after timeoutMs.
constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;

}  // namespace

LPARAM SendJob::LParam() {
    if (message == WM_GETTEXT) return reinterpret_cast<LPARAM>(bytes.data());
    if (message == WM_COPYDATA) {
        record.cbData = static_cast<DWORD>(bytes.size());
        record.lpData = bytes.data();
        return reinterpret_cast<LPARAM>(&record);
    }
    return static_cast<LPARAM>(lParamValue);
}

void SendJob::Run() {
    DWORD_PTR r = 0;
    const bool ok = ::SendMessageTimeoutA(ToHwnd(window), message, wParam, LParam(), kSendFlags,
                                          timeoutMs, &r) != 0;
    result = r;
    answered = ok;
    ::SetEvent(done.get());
}

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

std::shared_ptr<SendJob> NewSendJob(Hwnd window, UINT message, WPARAM wParam,
                                    std::uint32_t timeoutMs) {
    auto job = std::make_shared<SendJob>();
    job->window = window;
    job->message = message;
    job->wParam = wParam;
    job->timeoutMs = timeoutMs;
    return job;
}

}  // namespace vorta::win32
