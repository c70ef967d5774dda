#include "launcher/forms/layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace vorta::forms {

namespace {

// The dots per inch to convert with: a DPI of zero or below (a DPI message whose word
// was zero) converts as the standard 96.
long long UsableDpi(int dpi) {
    return dpi > 0 ? dpi : 96;
}

int SaturateToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

int RoundedRatio(long long value, long long num, long long den) {
    // Round half away from zero, for negative values too. Both factors are within the
    // int range, so the product fits; the result is held at the int range.
    long long scaled = value * num;
    long long half = den / 2;
    return SaturateToInt(scaled >= 0 ? (scaled + half) / den : -((-scaled + half) / den));
}

}  // namespace

int TwipsToPixelsHalfAway(int twips, int dpi) {
    return RoundedRatio(twips, UsableDpi(dpi), kTwipsPerInch);
}

int PixelsToTwipsHalfAway(int pixels, int dpi) {
    return RoundedRatio(pixels, kTwipsPerInch, UsableDpi(dpi));
}

const Control& MainControl(ControlId id) {
    for (const Control& control : kMainControls)
        if (control.id == id) return control;
    throw std::out_of_range("no such control on frmMain");
}

int FontHeightPixels(double points, int dpi) {
    return -SaturateToInt(std::llround(points * static_cast<double>(UsableDpi(dpi)) / 72.0));
}

std::optional<MainWidths> WidthRule(int clientWidthTwips) {
    // The left edges are positive, so a width that is not negative stays in range.
    if (clientWidthTwips < 0 || clientWidthTwips < MainControl(kIdTxtGet).left ||
        clientWidthTwips < MainControl(kIdTxtPut).left)
        return std::nullopt;
    return MainWidths{clientWidthTwips, clientWidthTwips - MainControl(kIdTxtGet).left,
                      clientWidthTwips - MainControl(kIdTxtPut).left};
}

Box FillRule(int clientWidth, int clientHeight) {
    return {0, 0, clientWidth, clientHeight};
}

}  // namespace vorta::forms
