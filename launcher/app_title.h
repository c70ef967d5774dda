// The program's name, the title of its message boxes.
#pragma once

namespace vorta {

inline constexpr wchar_t kAppTitle[] = L"vortastart";

}  // namespace vorta
