// What the launcher relies on in the CAD application itself: the command identifier of
// its text window, the form of command text it accepts through WM_COPYDATA, and the text
// typed into its command line.
#pragma once

#include <cstdint>

namespace vorta::cad {

// The CAD text window puts its command history on the clipboard when it receives
// WM_COMMAND with this identifier (and lParam 0).
inline constexpr std::uint32_t kCmdCopyHistory = 0x800D;  // 32781

// WM_COPYDATA into the CAD main window: dwData 1 marks command text (ANSI, ending in
// CR and NUL) that the CAD runs as if typed; wParam is the constant 1.
inline constexpr std::uint32_t kCopyDataCommandText = 1;
inline constexpr std::uint32_t kCopyDataWParam = 1;

// Text typed into the CAD command line: Esc ends whatever command runs, then the load.
inline constexpr wchar_t kEsc = 27;
inline constexpr wchar_t kLoadCommand[] = L"(load \"pontek\")\r\n";  // 17 characters

}  // namespace vorta::cad
