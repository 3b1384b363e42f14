#pragma once
// Owners of GDI objects: a bitmap or a font deleted with DeleteObject, the
// screen's device context released, a memory device context deleted with
// DeleteDC (with whatever it had selected put back).
#include <memory>
#include <type_traits>
#include <windows.h>

namespace trelvo::win32 {

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The screen's device context, released when it goes.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() { ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HBITMAP selected) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) previous_ = SelectObject(dc_, selected);
  }
  ~MemoryDc() {
    if (!dc_) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace trelvo::win32
