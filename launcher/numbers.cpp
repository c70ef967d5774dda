#include "launcher/numbers.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

namespace vorta {

namespace {

// The power of ten of the first nonzero digit of a scanned number without its sign
// ("0.05" gives -2, "120e1" gives 3); nothing when every digit is zero. The exponent is
// held at a bound far beyond any double, so no count wraps.
std::optional<long long> LeadingPowerOfTen(std::string_view ascii) {
    constexpr long long kExponentBound = 1'000'000'000'000;
    const std::size_t e = ascii.find('e');
    const std::string_view mantissa = ascii.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::size_t i = e + 1;
        const bool negative = i < ascii.size() && ascii[i] == '-';
        if (i < ascii.size() && (ascii[i] == '-' || ascii[i] == '+')) ++i;
        for (; i < ascii.size(); ++i)
            exponent = std::min(exponent * 10 + (ascii[i] - '0'), kExponentBound);
        if (negative) exponent = -exponent;
    }
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return std::nullopt;
    std::size_t point = mantissa.find('.');
    if (point == std::string_view::npos) point = mantissa.size();
    const long long position = first < point ? static_cast<long long>(point - first - 1)
                                             : -static_cast<long long>(first - point);
    return position + exponent;
}

}  // namespace

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

double ValueOf(const ScannedNumber& number) {
    const std::string& ascii = number.ascii;
    bool negative = !ascii.empty() && ascii.front() == '-';
    const char* first = ascii.data() + (negative ? 1 : 0);
    double value = 0;
    auto result = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it does not fit. A number that does
        // not fit is either beyond every limit or closer to zero than any double; its
        // first nonzero digit tells which, whatever its exponent says on its own
        // ("1000...e-0" is huge, "0.000...1" is about zero).
        std::optional<long long> power =
            LeadingPowerOfTen(std::string_view(first, ascii.data() + ascii.size() - first));
        value = power && *power >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace vorta
