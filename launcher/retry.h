// The one retry rule of the launcher: a call made again until it succeeds, resting
// between attempts, never longer than a bound.
#pragma once

#include <cstdint>
#include <functional>

#include "launcher/platform.h"

namespace vorta {

// Every retry loop gives up after this long.
inline constexpr std::uint32_t kRetryBoundMs = 3000;
// Between two failed attempts the thread rests this long, so a loop never spins hot.
inline constexpr std::uint32_t kRetryRestMs = 10;

enum class Pumping { kNo, kYes };

// Makes the call until it returns true or the bound is reached; in the pumping form the
// thread processes its pending events once after every attempt. Returns the last result.
bool RetryUntilSuccess(Platform& platform, Pumping pumping, const std::function<bool()>& call,
                       std::uint32_t boundMs = kRetryBoundMs);

}  // namespace vorta
