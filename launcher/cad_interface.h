// What the launcher relies on in the CAD application and in the window system:
// window messages, the CAD's command identifiers, key codes and input flags.
// Kept free of <windows.h> so the core compiles natively; the Win32 layer checks
// these values against the real headers at compile time.
#pragma once

#include <cstdint>

namespace vorta::cad {

// Window messages.
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmGetText = 0x000D;        // 13
inline constexpr std::uint32_t kWmGetTextLength = 0x000E;  // 14
inline constexpr std::uint32_t kWmCopyData = 0x004A;       // 74
inline constexpr std::uint32_t kWmCommand = 0x0111;        // 273

// The CAD text window puts its command history on the clipboard when it receives
// WM_COMMAND with this identifier (and lParam 0).
inline constexpr std::uint32_t kCmdCopyHistory = 0x800D;  // 32781

// WM_COPYDATA into the CAD main window: dwData 1 marks command text (ANSI, ending in
// CR and NUL) that the CAD runs as if typed; wParam is the constant 1.
inline constexpr std::uint32_t kCopyDataCommandText = 1;
inline constexpr std::uint32_t kCopyDataWParam = 1;

// Virtual-key codes.
inline constexpr std::uint16_t kVkControl = 0x11;  // 17
inline constexpr std::uint16_t kVkV = 0x56;        // 86
inline constexpr std::uint16_t kVkShift = 0x10;    // 16
inline constexpr std::uint32_t kMapVkToScan = 0;   // MapVirtualKey map type

// Keyboard input records (INPUT / KEYBDINPUT).
inline constexpr std::uint32_t kInputKeyboard = 1;
inline constexpr std::uint32_t kKeyEventExtendedKey = 0x0001;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x0002;
inline constexpr std::uint32_t kInputRecordSize = 28;  // sizeof(INPUT) on 32-bit Windows

// mouse_event flags.
inline constexpr std::uint32_t kMouseLeftDown = 0x0002;
inline constexpr std::uint32_t kMouseLeftUp = 0x0004;

// SetWindowPos.
inline constexpr std::int32_t kHwndTopmost = -1;
inline constexpr std::int32_t kHwndNoTopmost = -2;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;
inline constexpr std::uint32_t kSwpShowWindow = 0x0040;
// Queues the change to the window's thread instead of waiting for it: how the z-order
// of a CAD that has stopped answering is put back.
inline constexpr std::uint32_t kSwpAsyncWindowPos = 0x4000;
inline constexpr std::uint32_t kTopmostFlags = kSwpNoMove | kSwpNoSize;                     // 3
inline constexpr std::uint32_t kNoTopmostFlags = kSwpNoMove | kSwpNoSize | kSwpShowWindow;  // 0x43

// Clipboard format of plain ANSI text.
inline constexpr std::uint32_t kCfText = 1;

// Tool Help snapshots.
inline constexpr std::uint32_t kSnapProcess = 2;
inline constexpr std::uint32_t kSnapThread = 4;
inline constexpr std::uint32_t kProcessEntrySize = 296;  // sizeof(PROCESSENTRY32) (ANSI)
inline constexpr std::uint32_t kThreadEntrySize = 28;    // sizeof(THREADENTRY32)
inline constexpr std::size_t kExeFileField = 260;        // PROCESSENTRY32::szExeFile

// Text typed into the CAD command line.
inline constexpr wchar_t kEsc = 27;
inline constexpr wchar_t kLoadCommand[] = L"(load \"pontek\")\r\n";  // 17 characters

}  // namespace vorta::cad
