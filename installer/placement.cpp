#include "installer/placement.h"

#include <cmath>
#include <limits>

namespace vortasetup {

std::int32_t RoundToWhole(double value) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(value)) return 0;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5) {
        rounded = floor + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    }
    if (rounded >= kMax) return std::numeric_limits<std::int32_t>::max();
    if (rounded <= kMin) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

FormPlacement PlaceForm(double screen_width_twips, double screen_height_twips,
                        double window_width_twips, double window_height_twips) {
    // Halving and thirds are done on 64 bits so that no measure can overflow; C++ integer
    // division truncates toward zero, as the placement requires.
    const std::int64_t screen_width = RoundToWhole(screen_width_twips);
    const std::int64_t screen_height = RoundToWhole(screen_height_twips);
    const std::int64_t window_width = RoundToWhole(window_width_twips);
    const std::int64_t window_height = RoundToWhole(window_height_twips);
    const std::int64_t left = screen_width / 2 - window_width / 2;
    const std::int64_t top = screen_height / 3 - window_height / 2;
    return {RoundToWhole(static_cast<double>(left)), RoundToWhole(static_cast<double>(top))};
}

std::int32_t TwipsToPixelsHalfToEven(std::int32_t twips, int dpi) {
    return RoundToWhole(static_cast<double>(twips) * dpi / 1440.0);
}

double PixelsToTwipsUnrounded(std::int32_t pixels, int dpi) {
    return static_cast<double>(pixels) * 1440.0 / dpi;
}

}  // namespace vortasetup
