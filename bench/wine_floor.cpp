// The floor of the Wine benchmark: a GUI program that creates one hidden window,
// destroys it and ends, and does nothing else. What it costs under Wine (starting the
// process, loading user32, connecting to the display) is what any window program pays
// before doing its own work; wine_launch_bench.py subtracts it from the launcher's time.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"VortaBenchFloor";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 320, 260, nullptr, nullptr, instance, nullptr);
    if (window != nullptr) ::DestroyWindow(window);
    ::ExitProcess(window != nullptr ? 0 : 1);
}
