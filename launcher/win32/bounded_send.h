// One window message to another program's window, bounded in time: sent from a helper
// thread while the caller waits at most the time-out. SendMessageTimeoutA alone is not
// enough: some systems (Wine among them) keep the sender waiting until a window that
// stopped answering wakes up, whatever the time-out. The helper owns
// everything the call points to, so when the wait is given up it can finish on its own
// once the window answers (or with the process).
//
// A thread that has not yet answered an earlier call is not asked again: the next call
// to any of its windows fails at once, so a CAD that stopped answering costs one
// time-out, not one per question.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "launcher/win32/win32.h"

namespace vorta::win32 {

struct SendJob {
    Hwnd window = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    std::int32_t lParamValue = 0;  // WM_COMMAND's lParam
    std::string bytes;             // WM_GETTEXT buffer, or the WM_COPYDATA payload
    COPYDATASTRUCT record{};
    std::uint32_t timeoutMs = 0;
    std::atomic<bool> answered{false};
    DWORD_PTR result = 0;

    LPARAM LParam();
    void Run();
};

std::shared_ptr<SendJob> NewSendJob(Hwnd window, UINT message, WPARAM wParam,
                                    std::uint32_t timeoutMs);

// Sends the job's message and waits for the answer, handling only messages sent to
// this thread meanwhile (as a plain SendMessage does), never longer than the job's
// time-out. True when the window answered in time.
bool SendBounded(const std::shared_ptr<SendJob>& job);

}  // namespace vorta::win32
