#pragma once
// The ribbon's images as the host takes them: a control's image as a
// top-down 32-bit bitmap with premultiplied alpha (as AlphaBlend draws it), an
// item's as an icon; each at the size the callback chose for the screen's
// resolution, drawn for that size. A wholly transparent pixel is zero in
// colour and alpha alike.
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/gdi_objects.h"
#include "ribbon/callbacks.h"

namespace trelvo::ribbon::win32 {

// The image at its size, top-down with 32 bits per pixel and premultiplied alpha.
trelvo::win32::UniqueBitmap ControlBitmap(const Picture& picture);

// The picture object for a callback's picture.
Microsoft::WRL::ComPtr<IDispatch> PictureObject(const Picture& picture);

}  // namespace trelvo::ribbon::win32
