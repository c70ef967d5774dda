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

// The pattern with "%1" to "%9" replaced by the values: one call where a chain of
// concatenations would cost the program far more code. A "%" not followed by the number
// of a given value stays as it is.
std::wstring Fill(std::wstring_view pattern, std::initializer_list<std::wstring_view> values);

}  // namespace vorta
