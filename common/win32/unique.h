// One owner for every Win32 resource the programs take: a value with the function that
// gives it back, called where the owner goes, on every path. The aliases below name the
// resources the programs use.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <utility>

#include "common/win32/win.h"

namespace vorta::win32 {

template <typename T>
constexpr bool NotNull(T value) {
    return value != T{};
}

template <typename T, void (*Close)(T), bool (*Valid)(T) = &NotNull<T>>
class Unique {
  public:
    Unique() = default;
    explicit Unique(T value) : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    T get() const { return value_; }
    bool valid() const { return Valid(value_); }
    explicit operator bool() const { return valid(); }
    T release() { return std::exchange(value_, T{}); }
    void reset(T value = T{}) {
        if (Valid(value_)) Close(value_);
        value_ = value;
    }
    // For functions that hand out the resource through a pointer.
    T* put() {
        reset();
        return &value_;
    }

  private:
    T value_{};
};

namespace close {
inline void Handle(HANDLE handle) {
    ::CloseHandle(handle);
}
inline bool HandleValid(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
inline void Gdi(HGDIOBJ object) {
    ::DeleteObject(object);
}
template <typename T>
void GdiOf(T object) {
    Gdi(object);
}
inline void Global(HGLOBAL memory) {
    ::GlobalFree(memory);
}
inline void GlobalLocked(void* data) {
    ::GlobalUnlock(::GlobalHandle(data));
}
inline void Clipboard(bool) {
    ::CloseClipboard();
}
inline void ComApartment(bool) {
    ::CoUninitialize();
}
template <typename T>
void ComRelease(T* object) {
    object->Release();
}
template <typename T>
void CoTaskMemory(T* memory) {
    ::CoTaskMemFree(memory);
}
inline void ScreenDc(HDC dc) {
    ::ReleaseDC(nullptr, dc);
}
inline void Bstr(BSTR text) {
    ::SysFreeString(text);
}
inline void Menu(HMENU menu) {
    ::DestroyMenu(menu);
}
}  // namespace close

// Kernel handles (snapshots, files, events, threads, tokens); NULL and INVALID_HANDLE_VALUE
// both mean "none".
using UniqueHandle = Unique<HANDLE, &close::Handle, &close::HandleValid>;
// Fonts, bitmaps and the other GDI objects.
template <typename T>
using GdiObject = Unique<T, &close::GdiOf<T>>;
// Movable global memory for clipboard data; release() once the system has taken it.
using GlobalMemory = Unique<HGLOBAL, &close::Global>;
// A GlobalLock; the owner holds the locked data and unlocks it.
using GlobalLocked = Unique<void*, &close::GlobalLocked>;
// The clipboard while it is open.
using OpenedClipboard = Unique<bool, &close::Clipboard>;
// COM initialised on this thread.
using ComApartment = Unique<bool, &close::ComApartment>;
// One reference to a COM interface.
template <typename T>
using ComRef = Unique<T*, &close::ComRelease<T>>;
// Memory the shell hands out (an item identifier list).
template <typename T>
using CoTaskMemory = Unique<T*, &close::CoTaskMemory<T>>;
// The screen's device context.
using ScreenDc = Unique<HDC, &close::ScreenDc>;
// An automation string.
using Bstr = Unique<BSTR, &close::Bstr>;
// A menu with its submenus, destroyed unless a window took it (release() then).
using UniqueMenu = Unique<HMENU, &close::Menu>;

inline GlobalLocked LockGlobal(HGLOBAL memory) {
    return GlobalLocked(memory != nullptr ? ::GlobalLock(memory) : nullptr);
}
inline OpenedClipboard OpenClipboardOnce(HWND owner) {
    return OpenedClipboard(::OpenClipboard(owner) != FALSE);
}
inline ComApartment InitialiseCom(DWORD model) {
    return ComApartment(SUCCEEDED(::CoInitializeEx(nullptr, model)));
}
inline ScreenDc GetScreenDc() {
    return ScreenDc(::GetDC(nullptr));
}
// For COM functions that return an interface through void**.
template <typename T>
void** OutPointer(ComRef<T>& reference) {
    return reinterpret_cast<void**>(reference.put());
}

}  // namespace vorta::win32
