#include "launcher/numbers.h"

#include <algorithm>

namespace vorta {

bool IsNumberBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n';
}

bool IsDecimalDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

ScannedNumber ScanDecimal(std::wstring_view text) {
    ScannedNumber out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') out.ascii += '-';
        ++i;
    }
    bool point = false;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (IsDecimalDigit(c)) {
            out.ascii += static_cast<char>(c);
            out.hasDigits = true;
        } else if (c == L'.' && !point) {
            out.ascii += '.';
            point = true;
        } else {
            break;
        }
    }
    if (out.hasDigits && i < text.size() &&
        (text[i] == L'E' || text[i] == L'e' || text[i] == L'D' || text[i] == L'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
            exponent += static_cast<char>(text[j]);
            ++j;
        }
        std::size_t digitsStart = j;
        while (j < text.size() && IsDecimalDigit(text[j])) exponent += static_cast<char>(text[j++]);
        if (j > digitsStart) {
            out.ascii += exponent;
            i = j;
        }
    }
    out.used = i;
    return out;
}

WholeNumber RoundToWhole(const ScannedNumber& number) {
    // Worked out on the decimal digits themselves: value = digits x 10^exponent.
    constexpr long long kExponentBound = 1'000'000'000'000;  // far beyond any use
    constexpr std::size_t kMostDigits = 18;                  // 10^18 - 1 fits 64 bits
    WholeNumber out;
    std::string_view ascii = number.ascii;
    if (!ascii.empty() && ascii.front() == '-') {
        out.negative = true;
        ascii.remove_prefix(1);
    }
    std::string digits;
    long long exponent = 0;
    std::size_t i = 0;
    bool point = false;
    for (; i < ascii.size() && ascii[i] != 'e'; ++i) {
        if (ascii[i] == '.') {
            point = true;
        } else if (!(digits.empty() && ascii[i] == '0')) {  // leading zeros count nowhere
            digits += ascii[i];
            if (point) --exponent;
        } else if (point) {
            --exponent;
        }
    }
    if (i < ascii.size()) {  // the exponent part: 'e', an optional sign, digits
        ++i;
        const bool negative = i < ascii.size() && ascii[i] == '-';
        if (i < ascii.size() && (ascii[i] == '-' || ascii[i] == '+')) ++i;
        long long written = 0;
        for (; i < ascii.size(); ++i)
            written = std::min(written * 10 + (ascii[i] - '0'), kExponentBound);
        exponent += negative ? -written : written;
    }
    if (digits.empty()) return out;  // zero

    // Split into the whole part and the fraction.
    const long long size = static_cast<long long>(digits.size());
    const long long wholeDigits = size + exponent;
    if (wholeDigits > static_cast<long long>(kMostDigits)) {
        out.beyond = true;
        return out;
    }
    std::string_view fraction;
    if (wholeDigits <= 0) {
        // Below one: a half or more needs its first digit right after the point.
        if (wholeDigits < 0) return out;
        fraction = digits;
    } else {
        const std::size_t whole = static_cast<std::size_t>(std::min(wholeDigits, size));
        for (std::size_t d = 0; d < whole; ++d)
            out.magnitude = out.magnitude * 10 + static_cast<std::uint64_t>(digits[d] - '0');
        for (long long zeros = wholeDigits - size; zeros > 0; --zeros) out.magnitude *= 10;
        fraction = std::string_view(digits).substr(whole);
    }
    // Halves go to the even neighbour.
    if (!fraction.empty()) {
        const bool aboveHalf =
            fraction[0] > '5' ||
            (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string_view::npos);
        const bool half = fraction[0] == '5' && !aboveHalf;
        if (aboveHalf || (half && out.magnitude % 2 == 1)) ++out.magnitude;
    }
    return out;
}

}  // namespace vorta
