#include "launcher/forms/layout.h"

#include <cmath>
#include <stdexcept>

namespace vorta::forms {

namespace {

int RoundedRatio(long long value, long long num, long long den) {
    // Round half away from zero, for negative values too.
    long long scaled = value * num;
    long long half = den / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / den : -((-scaled + half) / den));
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
    return RoundedRatio(twips, dpi, kTwipsPerInch);
}

int PixelsToTwips(int pixels, int dpi) {
    return RoundedRatio(pixels, kTwipsPerInch, dpi);
}

const ControlLayout& MainControl(ControlId id) {
    for (const ControlLayout& control : kMainControls)
        if (control.id == id) return control;
    throw std::out_of_range("no such control on frmMain");
}

int FontHeightPixels(double points, int dpi) {
    return -static_cast<int>(std::lround(points * dpi / 72.0));
}

std::optional<MainWidths> WidthRule(int clientWidthTwips) {
    MainWidths w{clientWidthTwips, clientWidthTwips - MainControl(kIdTxtGet).left,
                 clientWidthTwips - MainControl(kIdTxtPut).left};
    if (w.cmbFileName < 0 || w.txtGet < 0 || w.txtPut < 0) return std::nullopt;
    return w;
}

Box FillRule(int clientWidth, int clientHeight) {
    return {0, 0, clientWidth, clientHeight};
}

}  // namespace vorta::forms
