#include "launcher/win32/bounded_send.h"

#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "common/win32/unique.h"

namespace vorta::win32 {

namespace {

// A window that is not answering is given up at once; one that is busy, after timeoutMs.
constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
// How long a helper waits for an answer the caller has given up on.
constexpr UINT kHelperSendTimeoutMs = 60000;

// Window threads with a call of ours still unanswered, and how many.
class Unanswered {
  public:
    bool Has(DWORD thread) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = pending_.find(thread);
        return it != pending_.end() && it->second > 0;
    }
    void Add(DWORD thread) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++pending_[thread];
    }
    void Remove(DWORD thread) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (--pending_[thread] <= 0) pending_.erase(thread);
    }

  private:
    std::mutex mutex_;
    std::map<DWORD, int> pending_;
};

// Never destroyed: detached helpers may still finish while the process ends.
Unanswered& Pending() {
    static Unanswered* pending = new Unanswered;
    return *pending;
}

// Runs work on a helper thread, counted as unanswered for the window's thread until it
// returns, and waits for it at most timeoutMs while handling messages sent to this
// thread. True when the work was done in time. The thread stops counting as unanswered
// before the caller can see the work done, so the next call never finds it pending.
bool RunAndWait(DWORD windowThread, std::uint32_t timeoutMs, std::function<void()> work) {
    if (windowThread == 0) return false;
    auto done = std::make_shared<UniqueHandle>(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!*done) return false;
    if (Pending().Has(windowThread)) return false;
    Pending().Add(windowThread);
    auto run = [windowThread, done, work = std::move(work)] {
        work();
        Pending().Remove(windowThread);
        ::SetEvent(done->get());
    };
    try {
        std::thread(run).detach();
    } catch (const std::system_error&) {
        run();  // no thread to spare: make the call from here
    }
    HANDLE event = done->get();
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        const DWORD wait =
            ::MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0) return true;
        if (wait != WAIT_OBJECT_0 + 1) return false;
        MSG pending{};
        ::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

DWORD ThreadOf(Hwnd window) {
    return window == 0 ? 0 : ::GetWindowThreadProcessId(ToHwnd(window), nullptr);
}

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
    // The helper waits far longer than its caller: while the window has not answered,
    // its thread stays counted as unanswered and is not asked again.
    DWORD_PTR r = 0;
    const bool ok = ::SendMessageTimeoutA(ToHwnd(window), message, wParam, LParam(), kSendFlags,
                                          kHelperSendTimeoutMs, &r) != 0;
    result = r;
    answered = ok;
}

bool SendBounded(const std::shared_ptr<SendJob>& job) {
    return RunAndWait(ThreadOf(job->window), job->timeoutMs, [job] { job->Run(); }) &&
           job->answered;
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
