#include "platform/win32/pictures.h"

#include <olectl.h>

#include "platform/error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/wide_text.h"

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

}  // namespace

UniqueBitmap LoadBitmapResource(int id) {
  UniqueBitmap bitmap(
      static_cast<HBITMAP>(LoadImageW(ModuleHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) throw Error("Ein Symbol fehlt in " + Narrow(ModuleFilePath()) + ".");
  return bitmap;
}

UniqueBitmap GlyphOnButtonFace(int id) {
  const UniqueBitmap glyph = LoadBitmapResource(id);
  BITMAP shape{};
  GetObjectW(glyph.get(), sizeof shape, &shape);
  UniqueBitmap face(CreateCompatibleBitmap(ScreenDc().get(), shape.bmWidth, shape.bmHeight));
  const MemoryDc source(glyph.get());
  const MemoryDc target(face.get());
  const COLORREF transparent = GetPixel(source.get(), 0, shape.bmHeight - 1);
  const COLORREF fill = GetSysColor(COLOR_BTNFACE);
  for (int y = 0; y < shape.bmHeight; ++y)
    for (int x = 0; x < shape.bmWidth; ++x) {
      const COLORREF pixel = GetPixel(source.get(), x, y);
      SetPixel(target.get(), x, y, pixel == transparent ? fill : pixel);
    }
  return face;
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
