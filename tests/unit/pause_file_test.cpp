#include "launcher/pause_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/fake_platform.h"

namespace vorta {
namespace {

using testing::Cp932;
using testing::FakePlatform;

std::optional<std::int16_t> Pause(std::string_view bytes) {
    FakePlatform codec;
    return ParsePauseFile(bytes, codec);
}

TEST(PauseFile, RoundsHalvesToEvenAndAcceptsBlanks) {
    EXPECT_EQ(Pause("3"), 3);
    EXPECT_EQ(Pause("2.5"), 2);
    EXPECT_EQ(Pause("3.5"), 4);
    EXPECT_EQ(Pause("-2.5"), -2);
    EXPECT_EQ(Pause("  7\t "), 7);
    EXPECT_EQ(Pause("7\n"), 7);  // a file saved with Unix line ends
    EXPECT_EQ(Pause("1e1"), 10);
    EXPECT_EQ(Pause("32767"), 32767);
    EXPECT_EQ(Pause("-32768"), -32768);
    EXPECT_EQ(Pause("." + std::string(324, '0') + "1"), 0);  // below any double
    // Worked out on the decimal digits: just above a half is above it, however far out.
    EXPECT_EQ(Pause("2.50000000000000000001"), 3);
}

TEST(PauseFile, OnlyTheFirstLineCountsAndOnlyCrEndsIt) {
    EXPECT_EQ(Pause("4\r\n9\r\n"), 4);
    EXPECT_EQ(Pause("4\rletters"), 4);
    EXPECT_EQ(Pause("4\n9"), std::nullopt);  // a lone LF does not end the line
}

TEST(PauseFile, UnusableContentIsRejected) {
    EXPECT_EQ(Pause(""), std::nullopt);
    EXPECT_EQ(Pause("\r\n5"), std::nullopt);  // empty first line
    EXPECT_EQ(Pause("abc"), std::nullopt);
    EXPECT_EQ(Pause("5abc"), std::nullopt);
    EXPECT_EQ(Pause("."), std::nullopt);
    EXPECT_EQ(Pause("32768"), std::nullopt);
    EXPECT_EQ(Pause("32767.5"), std::nullopt);  // rounds to 32768
    EXPECT_EQ(Pause("-32769"), std::nullopt);
    EXPECT_EQ(Pause("1e400"), std::nullopt);
    // Too large however small its exponent.
    EXPECT_EQ(Pause("1" + std::string(309, '0') + "e-0"), std::nullopt);
}

TEST(PauseFile, FullWidthDigitsAsTheMessageShowsThem) {
    EXPECT_EQ(Pause(Cp932(L"１２")), 12);
    EXPECT_EQ(Pause(Cp932(L"\u3000５\u3000")), 5);
    EXPECT_EQ(Pause(Cp932(L"五")), std::nullopt);
}

TEST(PauseFile, ClampKeepsEveryPauseFiniteAndWithin16Bits) {
    EXPECT_EQ(ClampPauseUnit(0), 1);
    EXPECT_EQ(ClampPauseUnit(-300), 1);
    EXPECT_EQ(ClampPauseUnit(20), 20);
    EXPECT_EQ(ClampPauseUnit(5461), 5461);
    EXPECT_EQ(ClampPauseUnit(5462), 5461);
    EXPECT_LE(6 * ClampPauseUnit(32767), 32767);
}

TEST(PauseFile, ByteOrderMarksOfUtf8AndUtf16AreRead) {
    EXPECT_EQ(Pause("\xEF\xBB\xBF"
                    "5\r\n"),
              5);
    EXPECT_EQ(Pause(std::string("\xFF\xFE"
                                "1\0"
                                "2\0\r\0\n\0",
                                10)),
              12);
    EXPECT_EQ(Pause(std::string("\xFE\xFF\0"
                                "7",
                                4)),
              7);
    EXPECT_EQ(Pause("\xEF\xBC\x95"), 5);  // a full-width ５ in UTF-8 without a mark
    EXPECT_EQ(Pause("\xEF\xBB\xBF"), std::nullopt);
}

}  // namespace
}  // namespace vorta
