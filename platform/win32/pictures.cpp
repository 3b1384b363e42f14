#include "platform/win32/pictures.h"

#include <cstring>
#include <olectl.h>

#include "platform/error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/wide_text.h"
#include "resources/image_sizes.h"

namespace trelvo::win32 {
namespace {

Microsoft::WRL::ComPtr<IDispatch> PictureOf(PICTDESC& description) {
  description.cbSizeofstruct = sizeof description;
  Microsoft::WRL::ComPtr<IDispatch> picture;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                      reinterpret_cast<void**>(picture.GetAddressOf()))))
    throw Error("Ein Symbol kann nicht angelegt werden.");
  return picture;
}

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

bool HasBitmapResource(int id) { return FindResourceW(ModuleHandle(), MAKEINTRESOURCEW(id), RT_BITMAP) != nullptr; }

DWORD Channel(DWORD value, int shift) { return value >> shift & 0xFF; }

}  // namespace

UniqueBitmap LoadBitmapResource(int id) {
  UniqueBitmap bitmap(
      static_cast<HBITMAP>(LoadImageW(ModuleHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) throw Error("Ein Symbol fehlt in " + Narrow(ModuleFilePath()) + ".");
  return bitmap;
}

UniqueBitmap LoadImageBitmap(int image, int pixels) {
  const int wanted = resources::DrawnSize(pixels);
  int chosen = 0;
  for (const int size : resources::kImageSizes)
    if (size <= wanted && HasBitmapResource(resources::ImageResource(image, size))) chosen = size;
  return LoadBitmapResource(resources::ImageResource(image, chosen != 0 ? chosen : wanted));
}

Pixels ReadPixels(HBITMAP bitmap) {
  BITMAP shape{};
  if (!GetObjectW(bitmap, sizeof shape, &shape)) throw Error("Ein Symbol ist ungültig.");
  Pixels pixels{shape.bmWidth, shape.bmHeight, {}};
  pixels.values.resize(static_cast<size_t>(pixels.width * pixels.height));
  BITMAPINFO info = TopDown32(pixels.width, pixels.height);
  const ScreenDc screen;
  if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(pixels.height), pixels.values.data(), &info,
                DIB_RGB_COLORS) != pixels.height)
    throw Error("Ein Symbol kann nicht gelesen werden.");
  return pixels;
}

UniqueBitmap MakeBitmap(const Pixels& pixels) {
  BITMAPINFO info = TopDown32(pixels.width, pixels.height);
  void* bits = nullptr;
  const ScreenDc screen;
  UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) throw Error("Ein Symbol kann nicht angelegt werden.");
  std::memcpy(bits, pixels.values.data(), pixels.values.size() * sizeof(DWORD));
  return bitmap;
}

UniqueBitmap ImageOnButtonFace(int image, int pixels) {
  Pixels face = ReadPixels(LoadImageBitmap(image, pixels).get());
  const COLORREF fill = GetSysColor(COLOR_BTNFACE);
  const DWORD under[3] = {GetBValue(fill), GetGValue(fill), GetRValue(fill)};
  for (DWORD& value : face.values) {
    const DWORD alpha = Channel(value, 24);
    DWORD blended = 0;
    for (int channel = 0; channel < 3; ++channel)
      blended |= (Channel(value, channel * 8) * alpha + under[channel] * (255 - alpha) + 127) / 255 << channel * 8;
    value = blended;
  }
  const UniqueBitmap blended = MakeBitmap(face);
  // A bitmap of the screen's format, as buttons and the clipboard take it.
  const ScreenDc screen;
  UniqueBitmap compatible(CreateCompatibleBitmap(screen.get(), face.width, face.height));
  if (!compatible) throw Error("Ein Symbol kann nicht angelegt werden.");
  const MemoryDc source(blended.get());
  const MemoryDc target(compatible.get());
  BitBlt(target.get(), 0, 0, face.width, face.height, source.get(), 0, 0, SRCCOPY);
  return compatible;
}

Microsoft::WRL::ComPtr<IDispatch> BitmapPicture(UniqueBitmap bitmap) {
  PICTDESC description{};
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  auto picture = PictureOf(description);
  bitmap.release();
  return picture;
}

Microsoft::WRL::ComPtr<IDispatch> IconPicture(UniqueIcon icon) {
  PICTDESC description{};
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon.get();
  auto picture = PictureOf(description);
  icon.release();
  return picture;
}

}  // namespace trelvo::win32
