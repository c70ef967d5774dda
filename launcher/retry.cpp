#include "launcher/retry.h"

namespace vorta {

bool RetryUntilSuccess(Platform& platform, Pumping pumping, const std::function<bool()>& call,
                       std::uint32_t boundMs) {
    const std::uint32_t start = platform.TickCount();
    for (;;) {
        bool ok = call();
        if (pumping == Pumping::kYes) platform.DoEvents();
        if (ok) return true;
        if (static_cast<std::uint32_t>(platform.TickCount() - start) >= boundMs) return false;
        platform.Sleep(kRetryRestMs);
    }
}

}  // namespace vorta
