#pragma once
// The images of the library's resources (drawn at every size of
// resources/image_sizes.h, 32-bit with alpha) and the picture objects
// (IPictureDisp) that hosts take for button faces and ribbon images.
#include <memory>
#include <type_traits>
#include <vector>
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
// An image at the size drawn for `pixels` (resources/image_sizes.h), or the
// largest one drawn below it where the image is drawn only that far; fails
// when the image is missing.
UniqueBitmap LoadImageBitmap(int image, int pixels);

// A bitmap's pixels as 32-bit values 0xAARRGGBB, rows from the top.
struct Pixels {
  LONG width = 0;
  LONG height = 0;
  std::vector<DWORD> values;
};
Pixels ReadPixels(HBITMAP bitmap);
// A top-down 32-bit DIB section holding the pixels.
UniqueBitmap MakeBitmap(const Pixels& pixels);

// The image blended over the button-face colour, as a bitmap compatible with
// the screen: for the dialogs' buttons and a face pasted into a toolbar.
UniqueBitmap ImageOnButtonFace(int image, int pixels);

// Picture objects that own the bitmap or icon from now on.
Microsoft::WRL::ComPtr<IDispatch> BitmapPicture(UniqueBitmap bitmap);
Microsoft::WRL::ComPtr<IDispatch> IconPicture(UniqueIcon icon);

}  // namespace trelvo::win32
