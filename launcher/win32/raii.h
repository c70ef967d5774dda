// Small owners for the Win32 resources the launcher takes inside one platform call.
// Each releases its resource where it was taken, also when an exception passes.
#pragma once

#include <utility>

#include "launcher/win32/win32.h"

namespace vorta::win32 {

// A kernel handle closed with CloseHandle: snapshots, files, events, threads.
// Both NULL and INVALID_HANDLE_VALUE count as "no handle".
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr) {
        if (valid()) ::CloseHandle(handle_);
        handle_ = handle;
    }

  private:
    HANDLE handle_ = nullptr;
};

// A Tool Help snapshot of the whole system (process id 0).
inline UniqueHandle TakeSnapshot(DWORD what) {
    return UniqueHandle(::CreateToolhelp32Snapshot(what, 0));
}

// The clipboard, opened once by the constructor; closed by the destructor when the
// open succeeded. Whether and how often to try again is the caller's business.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner = nullptr) : open_(::OpenClipboard(owner) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    bool is_open() const { return open_; }

  private:
    bool open_;
};

// Movable global memory for clipboard data. Freed by the destructor unless ownership
// went to the system (release() after a successful SetClipboardData).
class GlobalMemory {
  public:
    GlobalMemory(UINT flags, SIZE_T bytes) : memory_(::GlobalAlloc(flags, bytes)) {}
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() {
        if (memory_ != nullptr) ::GlobalFree(memory_);
    }
    HGLOBAL get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }
    HGLOBAL release() { return std::exchange(memory_, nullptr); }

  private:
    HGLOBAL memory_;
};

// GlobalLock for the life of the object.
class GlobalLockGuard {
  public:
    explicit GlobalLockGuard(HGLOBAL memory)
        : memory_(memory), data_(memory != nullptr ? ::GlobalLock(memory) : nullptr) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_ != nullptr) ::GlobalUnlock(memory_);
    }
    void* data() const { return data_; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// Saves the cursor confinement rectangle and puts it back on destruction.
class CursorClipGuard {
  public:
    CursorClipGuard() : saved_(::GetClipCursor(&rect_) != FALSE) {}
    CursorClipGuard(const CursorClipGuard&) = delete;
    CursorClipGuard& operator=(const CursorClipGuard&) = delete;
    ~CursorClipGuard() {
        if (saved_) ::ClipCursor(&rect_);
    }
    const RECT& saved() const { return rect_; }

  private:
    RECT rect_{};
    bool saved_;
};

// Makes a window topmost; drops the topmost state again on destruction.
class TopmostGuard {
  public:
    explicit TopmostGuard(HWND window)
        : window_(window),
          done_(::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) !=
                FALSE) {}
    TopmostGuard(const TopmostGuard&) = delete;
    TopmostGuard& operator=(const TopmostGuard&) = delete;
    ~TopmostGuard() {
        if (done_) {
            ::SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    bool done() const { return done_; }

  private:
    HWND window_;
    bool done_;
};

// COM on the current thread (apartment-threaded by default), uninitialised again on
// destruction when this object's initialisation counted.
class ComInit {
  public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED)
        : result_(::CoInitializeEx(nullptr, model)) {}
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    bool ok() const { return SUCCEEDED(result_); }
    HRESULT result() const { return result_; }

  private:
    HRESULT result_;
};

// A GDI object (font, brush, pen, bitmap, region) deleted with DeleteObject.
template <typename T>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    ~GdiObject() { reset(); }
    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(T object = nullptr) {
        if (object_ != nullptr) ::DeleteObject(object_);
        object_ = object;
    }

  private:
    T object_ = nullptr;
};

// A device context taken with GetDC and given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A window destroyed with DestroyWindow.
class UniqueWindow {
  public:
    UniqueWindow() = default;
    explicit UniqueWindow(HWND window) : window_(window) {}
    UniqueWindow(const UniqueWindow&) = delete;
    UniqueWindow& operator=(const UniqueWindow&) = delete;
    UniqueWindow(UniqueWindow&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    UniqueWindow& operator=(UniqueWindow&& other) noexcept {
        if (this != &other) reset(std::exchange(other.window_, nullptr));
        return *this;
    }
    ~UniqueWindow() { reset(); }
    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void reset(HWND window = nullptr) {
        if (window_ != nullptr) ::DestroyWindow(window_);
        window_ = window;
    }

  private:
    HWND window_ = nullptr;
};

}  // namespace vorta::win32
