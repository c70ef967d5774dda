// A window owned by a C++ object: the class is registered once per process, the object is
// attached at WM_NCCREATE and detached at WM_NCDESTROY, and its HandleMessage sees every
// message in between. Such an object is made as Owned<T>, which destroys the window while
// the whole object still lives.
#pragma once

#include <string>
#include <utility>

#include "common/win32/win.h"

namespace vorta::win32 {

struct WindowClass {
    const wchar_t* name = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    // The dialog face colour unless told otherwise.
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};

// Registers the class once per process (again is harmless); true when it is registered.
bool RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass, WNDPROC procedure);

class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // The derived part is gone by now: the object is detached before the window goes, so
    // no message reaches it. Owned<T> has destroyed the window before that.
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    bool IsOpen() const { return hwnd_ != nullptr; }
    void Destroy();

  protected:
    Window() = default;

    // Registers the class and creates the window attached to this object.
    bool Create(HINSTANCE instance, const WindowClass& windowClass, DWORD exStyle,
                const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                HWND parent, HMENU menu = nullptr);

    // Every message from WM_NCCREATE on; the default procedure unless handled. The handle
    // is detached after WM_NCDESTROY has been handled here.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// A window object as it is made: its destructor destroys the window first, while the
// object is whole, so the WM_DESTROY and WM_NCDESTROY handling of T, and whatever points at
// it (a subclassed control), meet live members. Window classes keep their constructors
// protected, so that they are made this way alone.
template <typename T>
class Owned final : public T {
  public:
    template <typename... Args>
    explicit Owned(Args&&... args) : T(std::forward<Args>(args)...) {}
    ~Owned() override { this->Destroy(); }
};

// The window's whole text (of a control, its contents); empty for no window.
std::wstring WindowText(HWND window);
// The window's class name ("Button", "#32770"); empty for no window.
std::wstring WindowClassName(HWND window);

// A child control; its font is the caller's business.
HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                 DWORD style, int id, int x = 0, int y = 0, int width = 0, int height = 0);

}  // namespace vorta::win32
