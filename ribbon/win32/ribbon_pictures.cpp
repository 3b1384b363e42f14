#include "ribbon/win32/ribbon_pictures.h"

#include <cstring>
#include <vector>

#include "platform/error.h"
#include "platform/win32/pictures.h"

namespace trelvo::ribbon::win32 {
namespace {

using trelvo::win32::ScreenDc;
using trelvo::win32::UniqueBitmap;
using trelvo::win32::UniqueIcon;

constexpr DWORD kColourBits = 0x00FFFFFF;
constexpr DWORD kOpaque = 0xFF000000;

BITMAPINFO TopDown32(LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A monochrome mask for an icon: set where the bitmap is transparent.
UniqueBitmap MaskOf(const std::vector<DWORD>& pixels, LONG width, LONG height) {
  const LONG stride = (width + 15) / 16 * 2;  // rows of whole 16-bit words
  std::vector<BYTE> bits(static_cast<size_t>(stride * height), 0);
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x)
      if ((pixels[static_cast<size_t>(y * width + x)] & kOpaque) == 0)
        bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
  return UniqueBitmap(CreateBitmap(width, height, 1, 1, bits.data()));
}

}  // namespace

UniqueBitmap AlphaBitmap(HBITMAP source) {
  BITMAP shape{};
  if (!GetObjectW(source, sizeof shape, &shape)) throw Error("Ein Symbol des Menübands ist ungültig.");
  const LONG width = shape.bmWidth;
  const LONG height = shape.bmHeight;
  BITMAPINFO info = TopDown32(width, height);
  std::vector<DWORD> pixels(static_cast<size_t>(width * height));
  const ScreenDc screen;
  if (GetDIBits(screen.get(), source, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
    throw Error("Ein Symbol des Menübands kann nicht gelesen werden.");
  if (shape.bmBitsPixel < 32)
    for (DWORD& pixel : pixels) pixel |= kOpaque;
  // A transparent pixel is wholly zero, colour and alpha: it looks the same
  // whether the host blends straight or premultiplied alpha.
  const DWORD transparent = pixels[static_cast<size_t>((height - 1) * width)] & kColourBits;
  for (DWORD& pixel : pixels)
    if ((pixel & kColourBits) == transparent || (pixel & kOpaque) == 0) pixel = 0;

  void* bits = nullptr;
  UniqueBitmap result(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!result) throw Error("Ein Symbol des Menübands kann nicht angelegt werden.");
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof(DWORD));
  return result;
}

Microsoft::WRL::ComPtr<IDispatch> PictureObject(const Picture& picture) {
  UniqueBitmap bitmap = AlphaBitmap(trelvo::win32::LoadBitmapResource(picture.glyph).get());
  if (!picture.icon) return trelvo::win32::BitmapPicture(std::move(bitmap));

  BITMAP shape{};
  GetObjectW(bitmap.get(), sizeof shape, &shape);
  std::vector<DWORD> pixels(static_cast<size_t>(shape.bmWidth * shape.bmHeight));
  std::memcpy(pixels.data(), shape.bmBits, pixels.size() * sizeof(DWORD));
  const UniqueBitmap mask = MaskOf(pixels, shape.bmWidth, shape.bmHeight);
  ICONINFO icon_info{};
  icon_info.fIcon = TRUE;
  icon_info.hbmMask = mask.get();
  icon_info.hbmColor = bitmap.get();
  UniqueIcon icon(CreateIconIndirect(&icon_info));  // copies both bitmaps
  if (!icon) throw Error("Ein Symbol des Menübands kann nicht angelegt werden.");
  return trelvo::win32::IconPicture(std::move(icon));
}

}  // namespace trelvo::ribbon::win32
