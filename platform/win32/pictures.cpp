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
