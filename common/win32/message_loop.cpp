#include "common/win32/message_loop.h"

namespace vorta::win32 {

bool RouteToDialog(HWND dialog, MSG& message) {
    return dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message);
}

int RunMessageLoop(const MessageFilter& filter) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (filter && filter(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool ProcessPendingMessages(const MessageFilter& filter, int bound) {
    MSG message{};
    for (int handled = 0; handled < bound; ++handled) {
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return true;
        if (message.message == WM_QUIT) {
            // Not ours to act on: left for whoever runs the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (filter && filter(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

}  // namespace vorta::win32
