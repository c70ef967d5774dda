// Cutting ANSI text by bytes without splitting a double-byte character.
#pragma once

#include <cstddef>
#include <string_view>

#include "launcher/platform.h"

namespace vorta {

// The longest start of bytes that is at most maxBytes long and does not end inside a
// double-byte character (a lead byte whose trail byte is cut off, or missing).
std::string_view CutAnsi(const Platform& codec, std::string_view bytes, std::size_t maxBytes);

}  // namespace vorta
