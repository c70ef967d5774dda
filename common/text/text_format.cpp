#include "common/text/text_format.h"

#include <cstddef>

namespace vorta {

std::wstring DecimalText(std::int64_t value) {
    // Counted as unsigned, so the smallest value has a magnitude too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return value < 0 ? L"-" + digits : digits;
}

std::wstring HexText(std::uint32_t value) {
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(value >> shift) & 0xF];
    return text;
}

std::wstring Fill(std::wstring_view pattern, std::initializer_list<std::wstring_view> values) {
    std::wstring out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        const std::size_t n = static_cast<std::size_t>(next - L'1');
        if (pattern[i] == L'%' && next >= L'1' && next <= L'9' && n < values.size()) {
            out += values.begin()[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace vorta
