#include "launcher/win32/bounded_send.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

// Helper threads are kept for the next call once their call is done: starting a thread
// costs more than most calls. One whose call was given up stays with it, and the next
// call gets another.
class Helpers {
  public:
    // Runs `work` on an idle helper (a new one when none is idle), then sets `done`.
    void Run(std::function<void()> work, std::shared_ptr<UniqueHandle> done) {
        std::shared_ptr<Helper> helper;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!idle_.empty()) {
                helper = std::move(idle_.back());
                idle_.pop_back();
            }
        }
        if (!helper) {
            helper = std::make_shared<Helper>();
            std::thread([this, helper] { Serve(helper); }).detach();
        }
        std::lock_guard<std::mutex> lock(helper->mutex);
        helper->work = std::move(work);
        helper->done = std::move(done);
        helper->ready.notify_one();
    }

  private:
    struct Helper {
        std::mutex mutex;
        std::condition_variable ready;
        std::function<void()> work;
        std::shared_ptr<UniqueHandle> done;
    };

    void Serve(const std::shared_ptr<Helper>& helper) {
        for (;;) {
            std::function<void()> work;
            std::shared_ptr<UniqueHandle> done;
            {
                std::unique_lock<std::mutex> lock(helper->mutex);
                helper->ready.wait(lock, [&] { return static_cast<bool>(helper->work); });
                work = std::exchange(helper->work, nullptr);
                done = std::move(helper->done);
            }
            work();
            {
                // Idle again before the caller hears of it, so its next call finds it.
                std::lock_guard<std::mutex> lock(mutex_);
                idle_.push_back(helper);
            }
            ::SetEvent(done->get());
        }
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<Helper>> idle_;
};

// Never destroyed: helpers may still finish while the process ends.
Helpers& HelperThreads() {
    static Helpers* helpers = new Helpers;
    return *helpers;
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
    auto run = [windowThread, work = std::move(work)] {
        work();
        Pending().Remove(windowThread);
    };
    try {
        HelperThreads().Run(run, done);
    } catch (const std::system_error&) {
        run();  // no thread to spare: make the call from here
        ::SetEvent(done->get());
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
