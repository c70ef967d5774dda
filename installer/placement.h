// Where Form1 goes on the screen when it loads: centred horizontally, its vertical centre
// at one third of the screen height. All measures in twips (1/1440 inch).
#pragma once

#include <cstdint>

namespace vorta::setup {

struct FormPlacement {
    std::int32_t left;
    std::int32_t top;
};

// Rounds to the nearest whole number, halves to the even neighbour, and saturates at the
// limits of a 32-bit signed integer.
std::int32_t RoundHalfToEven(double value);

// Left = screen width / 2 - window width / 2, top = screen height / 3 - window height / 2,
// every division truncating toward zero; measures are rounded to whole twips first. The
// result is not clamped to the screen: a short screen gives a negative top.
//
// The screen measures were once held on 16 bits, which caps them at 32767 twips (2184 pixels
// at 96 dpi). Larger screens keep their whole measure here, so the window stays centred on
// them too; for every screen that fits 16 bits the result is the same.
FormPlacement PlaceForm(double screenWidthTwips, double screenHeightTwips, double windowWidthTwips,
                        double windowHeightTwips);

// Conversions at the real dots per inch of the screen; 96 dpi gives 15 twips per pixel.
// Twips become whole pixels by RoundHalfToEven (halves to the even neighbour); pixels become
// twips exactly, fractions kept, for PlaceForm to round.
std::int32_t TwipsToPixelsHalfToEven(std::int32_t twips, int dpi);
double PixelsToTwipsUnrounded(std::int32_t pixels, int dpi);

}  // namespace vorta::setup
