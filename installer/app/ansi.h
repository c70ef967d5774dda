// Text is held as Unicode and converted to the system's ANSI code page (932 on Japanese
// Windows) at each platform call that takes ANSI text.
#pragma once

#include <string>
#include <string_view>

namespace vortasetup {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);

}  // namespace vortasetup
