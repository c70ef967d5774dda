// Numbers and patterns as text, written out by hand: std::to_wstring or a printf would
// bring the C library's whole wide printf, floating point included, into the programs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vorta {

// A number in decimal digits, with a minus sign when negative.
std::wstring DecimalText(std::int64_t value);

// A 32-bit number as "0x" and eight upper-case hexadecimal digits ("0x800705B4").
std::wstring HexText(std::uint32_t value);

// The bytes as upper-case hexadecimal pairs between blanks ("1B 28 6C"): the one dump of
// raw text for the tests, their fakes and the test tools' logs.
inline std::string HexBytes(std::string_view bytes) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
    return out;
}

// The pattern with "%1" to "%9" replaced by the values: one call where a chain of
// concatenations would cost the program far more code. A "%" not followed by the number
// of a given value stays as it is.
std::wstring Fill(std::wstring_view pattern, std::initializer_list<std::wstring_view> values);

}  // namespace vorta
