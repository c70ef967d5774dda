// The window-system values the launcher's logic uses: messages, key codes, input
// records, SetWindowPos arguments, window styles. Kept free of <windows.h> so the logic compiles
// natively; the Win32 adapter holds each value against the real headers at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorta::winapi {

// Window messages.
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmGetText = 0x000D;        // 13
inline constexpr std::uint32_t kWmGetTextLength = 0x000E;  // 14
inline constexpr std::uint32_t kWmCopyData = 0x004A;       // 74
inline constexpr std::uint32_t kWmCommand = 0x0111;        // 273

// Virtual-key codes.
inline constexpr std::uint16_t kVkControl = 0x11;  // 17
inline constexpr std::uint16_t kVkV = 0x56;        // 86
inline constexpr std::uint16_t kVkShift = 0x10;    // 16
inline constexpr std::uint32_t kMapVkToScan = 0;   // MapVirtualKey map type

// Keyboard input records (INPUT / KEYBDINPUT).
inline constexpr std::uint32_t kKeyEventExtendedKey = 0x0001;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x0002;
// sizeof(INPUT): a type tag and the largest input (MOUSEINPUT, which ends in a
// pointer-sized field), padded to the pointer's alignment: 28 bytes on 32-bit Windows,
// 40 on 64-bit Windows.
inline constexpr std::uint32_t kInputRecordSize = sizeof(void*) == 8 ? 40 : 28;

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

// Window styles (GWL_STYLE), as the settings assistant reads them off the CAD's windows.
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kEsMultiLine = 0x0004;  // an edit control's

// PROCESSENTRY32::szExeFile: the exe name field of a Tool Help process entry.
inline constexpr std::size_t kExeFileField = 260;

}  // namespace vorta::winapi
