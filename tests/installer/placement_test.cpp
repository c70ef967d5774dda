#include "installer/placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/form1_layout.h"
#include "tests/support/design_checks.h"

namespace vorta::setup {
namespace {

// Form1's outer size at 96 dpi with a thin frame: 645 x 351 pixels.
constexpr double kWindowWidth = 645 * 15.0;
constexpr double kWindowHeight = 351 * 15.0;

TEST(PlaceForm, CentresHorizontallyAndPutsTheCentreAtOneThirdOfTheHeight) {
    // 1024 x 768 pixels = 15360 x 11520 twips.
    const FormPlacement place = PlaceForm(15360, 11520, kWindowWidth, kWindowHeight);
    EXPECT_EQ(place.left, 7680 - 4837);  // 9675 / 2 truncates to 4837
    EXPECT_EQ(place.top, 3840 - 2632);   // 5265 / 2 truncates to 2632
}

TEST(PlaceForm, DivisionsTruncateTowardZero) {
    // 15361 / 2 = 7680, 11521 / 3 = 3840, 9701 / 2 = 4850, 5001 / 2 = 2500.
    const FormPlacement place = PlaceForm(15361, 11521, 9701, 5001);
    EXPECT_EQ(place.left, 2830);
    EXPECT_EQ(place.top, 1340);
}

TEST(PlaceForm, ShortScreenGivesANegativeTopThatIsNotClamped) {
    // 800 x 360 pixels: the window's top edge lies above the screen.
    const FormPlacement place = PlaceForm(12000, 5400, kWindowWidth, kWindowHeight);
    EXPECT_EQ(place.left, 6000 - 4837);
    EXPECT_EQ(place.top, 1800 - 2632);
    EXPECT_LT(place.top, 0);
}

TEST(PlaceForm, ScreensBeyond16BitTwipsStayCentred) {
    // 3840 x 2160 pixels = 57600 x 32400 twips; 2560 x 2400 = 38400 x 36000 twips: both
    // beyond what a 16-bit measure holds.
    const FormPlacement wide = PlaceForm(57600, 32400, kWindowWidth, kWindowHeight);
    EXPECT_EQ(wide.left, 28800 - 4837);
    EXPECT_EQ(wide.top, 10800 - 2632);
    const FormPlacement tall = PlaceForm(38400, 36000, kWindowWidth, kWindowHeight);
    EXPECT_EQ(tall.left, 19200 - 4837);
    EXPECT_EQ(tall.top, 12000 - 2632);
    // The window's centre is the screen's horizontal centre, within the truncation.
    EXPECT_NEAR(wide.left + kWindowWidth / 2, 57600 / 2, 1);
}

TEST(PlaceForm, MeasuresAreRoundedToWholeTwipsHalvesToEven) {
    // At 120 dpi one pixel is 12 twips, but fractional measures come from other dpi values.
    EXPECT_EQ(PlaceForm(15360.5, 11520, 0, 0).left, 7680);            // 15360.5 -> 15360
    EXPECT_EQ(PlaceForm(15361.5, 11520, 0, 0).left, 7681);            // 15361.5 -> 15362
    EXPECT_EQ(PlaceForm(15360, 11520, 9001.5, 0).left, 7680 - 4501);  // 9001.5 -> 9002
    EXPECT_EQ(PlaceForm(15360, 11520, 9000.6, 0).left, 7680 - 4500);  // 9000.6 -> 9001
}

TEST(RoundHalfToEven, HalvesGoToTheEvenNeighbourAndExtremesSaturate) {
    EXPECT_EQ(RoundHalfToEven(2.5), 2);
    EXPECT_EQ(RoundHalfToEven(3.5), 4);
    EXPECT_EQ(RoundHalfToEven(-2.5), -2);
    EXPECT_EQ(RoundHalfToEven(-3.5), -4);
    EXPECT_EQ(RoundHalfToEven(-3.4), -3);
    EXPECT_EQ(RoundHalfToEven(1e12), 2147483647);
    EXPECT_EQ(RoundHalfToEven(-1e12), -2147483647 - 1);
}

TEST(TwipConversions, FollowTheRealDotsPerInch) {
    // The client area: 9585 x 4830 twips.
    EXPECT_EQ(TwipsToPixelsHalfToEven(9585, 96), 639);
    EXPECT_EQ(TwipsToPixelsHalfToEven(4830, 96), 322);
    EXPECT_EQ(TwipsToPixelsHalfToEven(9585, 120), 799);  // 798.75
    EXPECT_EQ(TwipsToPixelsHalfToEven(4830, 144), 483);
    EXPECT_EQ(TwipsToPixelsHalfToEven(-900, 96), -60);
    EXPECT_EQ(TwipsToPixelsHalfToEven(18, 120), 2);  // 1.5
    EXPECT_EQ(TwipsToPixelsHalfToEven(30, 120), 2);  // 2.5
    EXPECT_DOUBLE_EQ(PixelsToTwipsUnrounded(1024, 96), 15360);
    EXPECT_DOUBLE_EQ(PixelsToTwipsUnrounded(1024, 120), 12288);
}

// Form1's controls as the window places them at the screen's DPI, 96 to 192: inside the
// client area, Picture1 (two pixels wider by design) aside; and the client area the
// window is sized to.
TEST(Form1Design, KeepsItsControlsInsideTheClientArea) {
    for (int dpi = 96; dpi <= 192; ++dpi)
        EXPECT_EQ(vorta::testing::ControlsLeavingTheClientArea(kForm1Design, dpi),
                  std::vector<std::string>{});
    EXPECT_EQ(forms::ClientBox(kForm1Design, 96), (forms::Box{0, 0, 639, 322}));
    EXPECT_EQ(forms::ClientBox(kForm1Design, 120), (forms::Box{0, 0, 799, 402}));  // 402.5
    // At 144 dpi halves go to the even neighbour: 400.5 -> 400, 961.5 -> 962.
    EXPECT_EQ(forms::PixelBox(kForm1Design, kForm1Controls[0], 144), (forms::Box{0, 0, 962, 400}));
}

}  // namespace
}  // namespace vorta::setup
