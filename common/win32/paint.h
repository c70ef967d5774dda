// Owners for painting: one WM_PAINT between BeginPaint and EndPaint, and a memory device
// context with one object selected into it, for drawing a bitmap.
#pragma once

#include "common/win32/win.h"

namespace vorta::win32 {

class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window), paint_{} {
        dc_ = ::BeginPaint(window_, &paint_);
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_ = nullptr;
};

// The object is selected back out before the context is deleted.
class MemoryDc {
  public:
    MemoryDc(HDC compatible, HGDIOBJ object) : dc_(::CreateCompatibleDC(compatible)) {
        if (dc_ != nullptr) old_ = ::SelectObject(dc_, object);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_ == nullptr) return;
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace vorta::win32
