// The launcher's logic compiles without <windows.h>, so it carries its own copies of
// the window-system values it uses. Here they are held against the real headers.
#include "launcher/win32/win32.h"
#include "launcher/win32_values.h"

namespace vorta::winapi {

// Window messages.
static_assert(kWmNull == WM_NULL);
static_assert(kWmGetText == WM_GETTEXT);
static_assert(kWmGetTextLength == WM_GETTEXTLENGTH);
static_assert(kWmCopyData == WM_COPYDATA);
static_assert(kWmCommand == WM_COMMAND);

// Keys and keyboard input records.
static_assert(kVkControl == VK_CONTROL);
static_assert(kVkV == 'V');
static_assert(kVkShift == VK_SHIFT);
static_assert(kMapVkToScan == MAPVK_VK_TO_VSC);
static_assert(kKeyEventExtendedKey == KEYEVENTF_EXTENDEDKEY);
static_assert(kKeyEventKeyUp == KEYEVENTF_KEYUP);
static_assert(kInputRecordSize == sizeof(INPUT));
static_assert(sizeof(INPUT) == (sizeof(void*) == 8 ? 40 : 28));

// Mouse.
static_assert(kMouseLeftDown == MOUSEEVENTF_LEFTDOWN);
static_assert(kMouseLeftUp == MOUSEEVENTF_LEFTUP);

// SetWindowPos. HWND_TOPMOST and HWND_NOTOPMOST are pointer casts, which a constant
// expression cannot hold; the Win32 layer turns kHwndTopmost/kHwndNoTopmost into them.
static_assert(kSwpNoSize == SWP_NOSIZE);
static_assert(kSwpNoMove == SWP_NOMOVE);
static_assert(kSwpShowWindow == SWP_SHOWWINDOW);
static_assert(kTopmostFlags == 3);
static_assert(kNoTopmostFlags == 0x43);

// Window styles.
static_assert(kWsChild == WS_CHILD);
static_assert(kEsMultiLine == ES_MULTILINE);

// Tool Help.
static_assert(kExeFileField == sizeof(PROCESSENTRY32::szExeFile));
static_assert(kExeFileField == MAX_PATH);

// The text handed to WM_COPYDATA.
static_assert(sizeof(COPYDATASTRUCT) == (sizeof(void*) == 8 ? 24 : 12));

}  // namespace vorta::winapi
