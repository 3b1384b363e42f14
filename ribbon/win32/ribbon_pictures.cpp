#include "ribbon/win32/ribbon_pictures.h"

#include <vector>

#include "platform/error.h"
#include "platform/win32/pictures.h"

namespace trelvo::ribbon::win32 {
namespace {

using trelvo::win32::Pixels;
using trelvo::win32::UniqueBitmap;
using trelvo::win32::UniqueIcon;

constexpr DWORD Alpha(DWORD pixel) { return pixel >> 24; }

// A monochrome mask for an icon: set where the image is wholly transparent.
UniqueBitmap MaskOf(const Pixels& pixels) {
  const LONG stride = (pixels.width + 15) / 16 * 2;  // rows of whole 16-bit words
  std::vector<BYTE> bits(static_cast<size_t>(stride * pixels.height), 0);
  for (LONG y = 0; y < pixels.height; ++y)
    for (LONG x = 0; x < pixels.width; ++x)
      if (Alpha(pixels.values[static_cast<size_t>(y * pixels.width + x)]) == 0)
        bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
  return UniqueBitmap(CreateBitmap(pixels.width, pixels.height, 1, 1, bits.data()));
}

Pixels ImagePixels(const Picture& picture) {
  return trelvo::win32::ReadPixels(trelvo::win32::LoadImageBitmap(picture.glyph, picture.size).get());
}

}  // namespace

UniqueBitmap ControlBitmap(const Picture& picture) {
  Pixels pixels = ImagePixels(picture);
  for (DWORD& pixel : pixels.values) {
    const DWORD alpha = Alpha(pixel);
    DWORD premultiplied = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) premultiplied |= ((pixel >> shift & 0xFF) * alpha + 127) / 255 << shift;
    pixel = premultiplied;
  }
  return trelvo::win32::MakeBitmap(pixels);
}

Microsoft::WRL::ComPtr<IDispatch> PictureObject(const Picture& picture) {
  if (!picture.icon) return trelvo::win32::BitmapPicture(ControlBitmap(picture));
  // An icon's colour keeps its straight alpha.
  const Pixels pixels = ImagePixels(picture);
  const UniqueBitmap colour = trelvo::win32::MakeBitmap(pixels);
  const UniqueBitmap mask = MaskOf(pixels);
  ICONINFO icon_info{};
  icon_info.fIcon = TRUE;
  icon_info.hbmMask = mask.get();
  icon_info.hbmColor = colour.get();
  UniqueIcon icon(CreateIconIndirect(&icon_info));  // copies both bitmaps
  if (!icon) throw Error("Ein Symbol des Menübands kann nicht angelegt werden.");
  return trelvo::win32::IconPicture(std::move(icon));
}

}  // namespace trelvo::ribbon::win32
