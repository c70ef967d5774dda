// The pause file "tardo.dat" beside the program: its first line is the pause unit, the
// milliseconds every pause of the launch sequence is counted in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "launcher/platform.h"

namespace vorta {

inline constexpr wchar_t kPauseFileName[] = L"tardo.dat";
inline constexpr std::int16_t kDefaultPauseUnit = 5;
// The largest pause used is 6 units; 6 x 5461 still fits in 16 bits.
inline constexpr std::int16_t kMinPauseUnit = 1;
inline constexpr std::int16_t kMaxPauseUnit = 5461;

// Only the first line of the pause file counts; no more than this is read of it.
inline constexpr std::size_t kPauseFileHeadBytes = 4096;

extern const wchar_t kPauseFileMessage[];

// The first line of the pause file as a 16-bit number (rounded half to even), or
// nothing when the content is unusable.
std::optional<std::int16_t> ParsePauseFile(std::string_view bytes, const Platform& codec);

// The pause unit actually used: never zero, never negative, never so large that six of
// it overflow 16 bits.
std::int16_t ClampPauseUnit(std::int16_t value);

}  // namespace vorta
