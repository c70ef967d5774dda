// Conversion between Unicode text and the system's ANSI code page (932 on Japanese
// Windows). Whole buffers are converted with exact lengths, so embedded zero
// characters survive in both directions.
#pragma once

#include <string>
#include <string_view>

namespace vorta::win32 {

std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view bytes);

}  // namespace vorta::win32
