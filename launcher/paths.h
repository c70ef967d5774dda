// The path rules shared by the launcher: the program's own folder, and the base name
// that discovery compares with ACADName.
#pragma once

#include <string>

namespace vorta {

// App folder with exactly one trailing backslash.
std::wstring AppFolderOf(const std::wstring& applicationPath);

// Last component of a path without its extension.
std::wstring BaseNameOf(std::wstring path);

}  // namespace vorta
