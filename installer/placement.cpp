#include "installer/placement.h"

#include <cmath>
#include <limits>

namespace vorta::setup {

std::int32_t RoundHalfToEven(double value) {
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

FormPlacement PlaceForm(double screenWidthTwips, double screenHeightTwips, double windowWidthTwips,
                        double windowHeightTwips) {
    // Halving and thirds are done on 64 bits so that no measure can overflow; C++ integer
    // division truncates toward zero, as the placement requires.
    const std::int64_t screenWidth = RoundHalfToEven(screenWidthTwips);
    const std::int64_t screenHeight = RoundHalfToEven(screenHeightTwips);
    const std::int64_t windowWidth = RoundHalfToEven(windowWidthTwips);
    const std::int64_t windowHeight = RoundHalfToEven(windowHeightTwips);
    const std::int64_t left = screenWidth / 2 - windowWidth / 2;
    const std::int64_t top = screenHeight / 3 - windowHeight / 2;
    return {RoundHalfToEven(static_cast<double>(left)), RoundHalfToEven(static_cast<double>(top))};
}

std::int32_t TwipsToPixelsHalfToEven(std::int32_t twips, int dpi) {
    return RoundHalfToEven(static_cast<double>(twips) * dpi / 1440.0);
}

double PixelsToTwipsUnrounded(std::int32_t pixels, int dpi) {
    return static_cast<double>(pixels) * 1440.0 / dpi;
}

}  // namespace vorta::setup
