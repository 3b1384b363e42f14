#include "frame/button_face.h"

#include <thread>
#include <vector>

#include "platform/error.h"
#include "platform/win32/dpi.h"
#include "platform/win32/pictures.h"
#include "resources/image_sizes.h"

namespace trelvo::frame {
namespace {

using win32::MemoryDc;
using win32::UniqueBitmap;
using win32::Variant;
using namespace std::chrono_literals;

// The face's size: a toolbar button's 16 pixels at the screen's resolution.
int FaceSize() { return resources::ScaledImage(resources::kSmallImage, win32::ThreadDpi()); }

// A monochrome mask: white where the image is mostly transparent, black elsewhere.
UniqueBitmap MakeMask(const win32::Pixels& pixels) {
  UniqueBitmap mask(CreateBitmap(pixels.width, pixels.height, 1, 1, nullptr));
  const MemoryDc target(mask.get());
  for (LONG y = 0; y < pixels.height; ++y)
    for (LONG x = 0; x < pixels.width; ++x)
      SetPixel(
          target.get(), x, y,
          pixels.values[static_cast<size_t>(y * pixels.width + x)] >> 24 < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  return mask;
}

// Picture and Mask: the image's colours, opaque, where the mask lets them
// through; command bars cut the face with the mask and blend nothing.
void SetPictureAndMask(const win32::DispatchObject& button, int glyph) {
  button.Get("Picture");  // fails in hosts without picture faces
  win32::Pixels pixels = win32::ReadPixels(win32::LoadImageBitmap(glyph, FaceSize()).get());
  UniqueBitmap mask = MakeMask(pixels);
  for (DWORD& value : pixels.values) value |= 0xFF000000;
  UniqueBitmap bitmap = win32::MakeBitmap(pixels);
  button.Put("Picture", Variant::Object(win32::BitmapPicture(std::move(bitmap)).Get()));
  button.Put("Mask", Variant::Object(win32::BitmapPicture(std::move(mask)).Get()));
}

bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt <= 100; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

// Formats whose data is a block of global memory; the others (bitmaps,
// palettes, metafiles, display and owner formats, GDI and private handles)
// hold handles that a copy of their bytes would not keep alive.
bool IsGlobalMemoryFormat(UINT format) {
  switch (format) {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE: return false;
    default:
      return !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST) &&
             !(format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST);
  }
}

// What the clipboard holds as global memory, to be put back.
struct SavedFormat {
  UINT format;
  std::vector<char> bytes;
};
std::vector<SavedFormat> SaveClipboard() {
  std::vector<SavedFormat> saved;
  if (!OpenClipboardPatiently()) return saved;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    if (!IsGlobalMemoryFormat(format)) continue;
    HANDLE data = GetClipboardData(format);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (!bytes) continue;
    const auto* begin = static_cast<const char*>(bytes);
    saved.push_back({format, std::vector<char>(begin, begin + GlobalSize(data))});
    GlobalUnlock(data);
  }
  CloseClipboard();
  return saved;
}

void RestoreClipboard(const std::vector<SavedFormat>& saved) {
  if (!OpenClipboardPatiently()) return;
  EmptyClipboard();
  for (const SavedFormat& format : saved) {
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, format.bytes.size());
    void* bytes = copy ? GlobalLock(copy) : nullptr;
    if (!bytes) {
      if (copy) GlobalFree(copy);
      continue;
    }
    std::copy(format.bytes.begin(), format.bytes.end(), static_cast<char*>(bytes));
    GlobalUnlock(copy);
    if (!SetClipboardData(format.format, copy)) GlobalFree(copy);  // the clipboard owns it once taken
  }
  CloseClipboard();
}

void PasteFromClipboard(const win32::DispatchObject& button, int glyph) {
  const std::vector<SavedFormat> saved = SaveClipboard();
  std::string failure = "Das Symbol einer Schaltfläche kann nicht eingefügt werden.";
  for (int attempt = 0; attempt <= 10; ++attempt) {
    if (OpenClipboardPatiently()) {
      UniqueBitmap face = win32::ImageOnButtonFace(glyph, FaceSize());  // what PasteFace takes
      EmptyClipboard();
      if (SetClipboardData(CF_BITMAP, face.get())) face.release();  // the clipboard owns it now
      CloseClipboard();
      try {
        button.Call("PasteFace");
        failure.clear();
        break;
      } catch (const std::exception& error) {
        failure = error.what();
      }
    }
    std::this_thread::sleep_for(10ms);
  }
  RestoreClipboard(saved);
  if (!failure.empty()) throw Error(failure);
}

}  // namespace

void SetButtonFace(const win32::DispatchObject& button, int glyph, const std::string& host_version) {
  if (!host_version.starts_with("9.0")) {
    try {
      return SetPictureAndMask(button, glyph);
    } catch (const std::exception&) {
      // Hosts without picture faces take the clipboard way.
    }
  }
  PasteFromClipboard(button, glyph);
}

}  // namespace trelvo::frame
