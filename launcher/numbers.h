// Numbers as the launcher's files hold them: a decimal number read from the start of a
// text (sign, digits, one point, an exponent written E or D), the way the pause file and
// the integer settings are read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorta {

// The blanks around (and, in a setting, inside) a number.
bool IsNumberBlank(wchar_t c);
bool IsDecimalDigit(wchar_t c);

// A decimal number scanned from the start of a text: its ASCII form for from_chars and
// how many characters it used.
struct ScannedNumber {
    std::string ascii;
    std::size_t used = 0;
    bool hasDigits = false;
};
ScannedNumber ScanDecimal(std::wstring_view text);

// The value of a scanned number. One beyond every double is infinite, one closer to zero
// than any double is zero.
double ValueOf(const ScannedNumber& number);

}  // namespace vorta
