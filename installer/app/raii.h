// Small owners for the Windows resources the installer takes: each is released where it
// was taken.
#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string_view>
#include <utility>

namespace vortasetup {

// A GDI object (font, bitmap) deleted when the owner goes.
template <typename T>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ~GdiObject() { reset(); }
    void reset() {
        if (object_) DeleteObject(object_);
        object_ = nullptr;
    }
    T get() const { return object_; }

  private:
    T object_ = nullptr;
};

// A screen device context taken with GetDC.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A memory device context with one object selected into it for the painting of a bitmap.
class MemoryDc {
  public:
    MemoryDc(HDC compatible, HGDIOBJ object) : dc_(CreateCompatibleDC(compatible)) {
        if (dc_) old_ = SelectObject(dc_, object);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

// One WM_PAINT: BeginPaint and EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window), paint_{} {
        dc_ = BeginPaint(window_, &paint_);
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_ = nullptr;
};

// A kernel handle (an access token, an event) closed when the owner goes.
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    HANDLE* put() { return &handle_; }

  private:
    HANDLE handle_ = nullptr;
};

// COM on one thread: apartment-threaded on the window's thread (the folder dialog and the
// shell object need it), multithreaded on the thread that talks to the desktop's Explorer.
class ComApartment {
  public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
        : result_(CoInitializeEx(nullptr, model)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

  private:
    HRESULT result_;
};

// Memory handed out by the shell and freed with CoTaskMemFree (the folder identifier list).
template <typename T>
class CoTaskMemory {
  public:
    explicit CoTaskMemory(T* memory) : memory_(memory) {}
    CoTaskMemory(const CoTaskMemory&) = delete;
    CoTaskMemory& operator=(const CoTaskMemory&) = delete;
    ~CoTaskMemory() { reset(); }
    void reset() {
        if (memory_) CoTaskMemFree(memory_);
        memory_ = nullptr;
    }
    T* get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }

  private:
    T* memory_;
};

// One reference to a COM interface.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (pointer_) pointer_->Release();
    }
    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }
    T** put() { return &pointer_; }

  private:
    T* pointer_ = nullptr;
};

// A VARIANT cleared when the owner goes.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }

  private:
    VARIANT value_;
};

// A BSTR freed when the owner goes.
class Bstr {
  public:
    explicit Bstr(std::wstring_view text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }
    BSTR get() const { return text_; }

  private:
    BSTR text_;
};

// The strings an automation call may leave in an EXCEPINFO.
class ExceptionInfo {
  public:
    ExceptionInfo() : info_{} {}
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* get() { return &info_; }

  private:
    EXCEPINFO info_;
};

}  // namespace vortasetup
