// Numbers as the launcher's files hold them: a decimal number read from the start of a
// text (sign, digits, one point, an exponent written E or D), the way the pause file and
// the integer settings are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorta {

// The blanks around (and, in a setting, inside) a number.
bool IsNumberBlank(wchar_t c);
bool IsDecimalDigit(wchar_t c);

// A decimal number scanned from the start of a text: its ASCII form and
// how many characters it used.
struct ScannedNumber {
    std::string ascii;
    std::size_t used = 0;
    bool hasDigits = false;
};
ScannedNumber ScanDecimal(std::wstring_view text);

// A scanned number rounded to a whole number, halves to the even neighbour, exactly as
// its decimal digits say (no binary fraction in between). `beyond` when the result has
// more than 18 digits.
struct WholeNumber {
    bool negative = false;
    bool beyond = false;
    std::uint64_t magnitude = 0;
};
WholeNumber RoundToWhole(const ScannedNumber& number);

}  // namespace vorta
