#pragma once
// Bitmaps from the library's resources and the picture objects (IPictureDisp)
// that hosts take for button faces and ribbon images.
#include <memory>
#include <type_traits>
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/gdi_objects.h"

namespace trelvo::win32 {

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A bitmap resource of the module as a DIB section; fails when it is missing.
UniqueBitmap LoadBitmapResource(int id);
// The glyph with its transparent colour (the bottom-left pixel's) replaced by
// the button-face colour, as a bitmap compatible with the screen.
UniqueBitmap GlyphOnButtonFace(int id);
// Picture objects that own the bitmap or icon from now on.
Microsoft::WRL::ComPtr<IDispatch> BitmapPicture(UniqueBitmap bitmap);
Microsoft::WRL::ComPtr<IDispatch> IconPicture(UniqueIcon icon);

}  // namespace trelvo::win32
