// The message loops of both programs: the main loop until WM_QUIT, and the pass over the
// messages already waiting that a long operation makes so that its window stays alive.
#pragma once

#include <functional>

#include "common/win32/win.h"

namespace vorta::win32 {

// Takes a message before it is translated and dispatched; true when it was handled
// (dialog keys: Tab, Enter, arrows).
using MessageFilter = std::function<bool(MSG&)>;

// IsDialogMessage for a window that may not exist (yet or any more).
bool RouteToDialog(HWND dialog, MSG& message);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(const MessageFilter& filter = {});

// Handles the messages waiting now, at most `bound` of them, without waiting for more.
// A WM_QUIT met on the way is posted again for the main loop; then false.
bool ProcessPendingMessages(const MessageFilter& filter, int bound);

}  // namespace vorta::win32
