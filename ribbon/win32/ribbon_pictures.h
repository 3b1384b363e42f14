#pragma once
// The ribbon's images as the host takes them: a control's bitmap as a
// top-down 32-bit bitmap with alpha, an item's as an icon. Pixels of the
// bitmap's transparent colour (its bottom-left pixel) get alpha 0; a bitmap
// with fewer bits per pixel is opaque everywhere else.
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/gdi_objects.h"
#include "ribbon/callbacks.h"

namespace trelvo::ribbon::win32 {

// A copy of source, top-down with 32 bits per pixel and alpha.
trelvo::win32::UniqueBitmap AlphaBitmap(HBITMAP source);

// The picture object for a callback's picture.
Microsoft::WRL::ComPtr<IDispatch> PictureObject(const Picture& picture);

}  // namespace trelvo::ribbon::win32
