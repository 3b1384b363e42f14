// The images of the ribbon, the toolbar and the dialogs as the host receives
// them, from the library's resources built into this program: every image at
// every size it is drawn at, each drawn for its size (anti-aliased, not an
// enlarged smaller one), and the picture that the callback of the large
// button "Einfügen" answers on a screen of 150 %.
#include <windows.h>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include "commands/ribbon_definition.h"
#include "platform/win32/pictures.h"
#include "resources/dialog_ids.h"
#include "resources/glyph_ids.h"
#include "resources/image_sizes.h"
#include "ribbon/callbacks.h"
#include "ribbon/win32/ribbon_pictures.h"

namespace trelvo::ribbon {
namespace {

constexpr char kInsert[] = "oaxRibbonButtonCEE2D128D81940E9B970ABAB598A8918";
// The toolbar's and the ribbon's images, drawn at every size Office asks for.
constexpr int kButtonImages[] = {IDB_GLYPH_SAVE, IDB_GLYPH_INSERT, IDB_GLYPH_OPTIONS, IDB_GLYPH_CUSTOMER,
                                 IDB_GLYPH_INFO};
// The range list's buttons, drawn for the dialogs at 100 to 250 %.
constexpr int kDialogImages[] = {IDB_RANGE_ADD, IDB_RANGE_REMOVE, IDB_RANGE_EDIT, IDB_RANGE_UP, IDB_RANGE_DOWN};
constexpr int kDialogSizes[] = {16, 20, 24, 32, 40};

using trelvo::win32::Pixels;

Pixels Image(int image, int size) {
  return trelvo::win32::ReadPixels(trelvo::win32::LoadImageBitmap(image, size).get());
}
int Alpha(const Pixels& image, LONG x, LONG y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  return static_cast<int>(image.values[static_cast<size_t>(y * image.width + x)] >> 24);
}

// The share of the silhouette's edge (drawn pixels beside an undrawn one or
// the border) whose alpha is partial: none where a picture was enlarged by
// repeating its pixels, most where curves and slants were drawn smooth.
double PartialEdgeShare(const Pixels& image) {
  int edge = 0, partial = 0;
  for (LONG y = 0; y < image.height; ++y)
    for (LONG x = 0; x < image.width; ++x) {
      const int alpha = Alpha(image, x, y);
      if (alpha == 0) continue;
      bool beside_undrawn = false;
      for (LONG dy = -1; dy <= 1; ++dy)
        for (LONG dx = -1; dx <= 1; ++dx) beside_undrawn = beside_undrawn || Alpha(image, x + dx, y + dy) == 0;
      if (!beside_undrawn) continue;
      ++edge;
      partial += alpha < 255;
    }
  return edge == 0 ? 0.0 : static_cast<double>(partial) / edge;
}

// Each pixel of the image repeated 2 x 2.
Pixels Doubled(const Pixels& image) {
  Pixels doubled{image.width * 2, image.height * 2, {}};
  for (LONG y = 0; y < doubled.height; ++y)
    for (LONG x = 0; x < doubled.width; ++x)
      doubled.values.push_back(image.values[static_cast<size_t>(y / 2 * image.width + x / 2)]);
  return doubled;
}

// A pixel's colour as it covers what lies below: each channel times alpha.
std::array<int, 4> Covering(DWORD pixel) {
  const int alpha = static_cast<int>(pixel >> 24);
  std::array<int, 4> channels{alpha, 0, 0, 0};
  for (int i = 1; i < 4; ++i) channels[i] = static_cast<int>(pixel >> (i - 1) * 8 & 0xFF) * alpha / 255;
  return channels;
}

// The share of the pixels that differ from those of the smaller image
// doubled by more than an eighth in a channel.
double ShareUnlikeDoubled(const Pixels& image, const Pixels& half) {
  const Pixels doubled = Doubled(half);
  int unlike = 0;
  for (size_t i = 0; i < image.values.size(); ++i) {
    const auto a = Covering(image.values[i]), b = Covering(doubled.values[i]);
    bool differs = false;
    for (size_t c = 0; c < 4; ++c) differs = differs || std::abs(a[c] - b[c]) > 32;
    unlike += differs;
  }
  return static_cast<double>(unlike) / static_cast<double>(image.values.size());
}

TEST(RibbonPictures, EveryImageIsThereAtEverySizeItIsDrawnAt) {
  for (const int image : kButtonImages)
    for (const int size : resources::kImageSizes) {
      const Pixels pixels = Image(image, size);
      EXPECT_EQ(pixels.width, size) << image;
      EXPECT_EQ(pixels.height, size) << image;
    }
  for (const int image : kDialogImages)
    for (const int size : kDialogSizes) EXPECT_EQ(Image(image, size).width, size) << image;
  // Asked for more than the dialogs' images are drawn at: the largest one there is.
  EXPECT_EQ(Image(IDB_RANGE_ADD, 48).width, 40);
  EXPECT_EQ(Image(IDB_GLYPH_INFO, 80).width, 64);
}

TEST(RibbonPictures, LargeImagesAreDrawnForTheirSizeNotEnlargedFromASmallerOne) {
  for (const int image : kButtonImages) {
    const Pixels sixteen = Image(image, 16);
    for (const int size : {32, 48})
      EXPECT_GT(PartialEdgeShare(Image(image, size)), 0.25) << image << " at " << size << " pixels";
    EXPECT_GT(ShareUnlikeDoubled(Image(image, 32), sixteen), 0.05) << image;
    // What the measures tell of an enlarged picture.
    EXPECT_EQ(ShareUnlikeDoubled(Doubled(sixteen), sixteen), 0.0) << image;
  }
}

TEST(RibbonPictures, OnAScreenOf150PercentTheLargeInsertButtonGetsA48PixelImage) {
  Ribbon ribbon;
  commands::BuildRibbonTab(ribbon, commands::kTrelvoRibbonTab, [](RibbonControl&, commands::Command) {});
  CallbackArguments arguments;
  arguments.control_id = kInsert;
  arguments.dpi = 144;
  const Answer answer = AnswerCallback(&ribbon, *CallbackOfNumber(static_cast<long>(Callback::GetImage)), arguments,
                                       [](const std::exception&) {});
  const auto* picture = std::get_if<Picture>(&answer);
  ASSERT_NE(picture, nullptr);

  Microsoft::WRL::ComPtr<IPicture> object;
  ASSERT_EQ(win32::PictureObject(*picture).As(&object), S_OK);
  OLE_HANDLE handle = 0;
  ASSERT_EQ(object->get_Handle(&handle), S_OK);
  // A picture's handle is 32 bits wide; a 64-bit process's GDI handles are its sign extension.
  const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(static_cast<int>(handle)));
  BITMAP shape{};
  ASSERT_NE(GetObjectW(bitmap, sizeof shape, &shape), 0);
  EXPECT_EQ(shape.bmWidth, 48);
  EXPECT_EQ(shape.bmHeight, 48);
  EXPECT_EQ(shape.bmBitsPixel, 32);
  // Premultiplied alpha: no colour channel above its pixel's alpha.
  const Pixels pixels = trelvo::win32::ReadPixels(bitmap);
  int partial = 0;
  for (const DWORD pixel : pixels.values) {
    const DWORD alpha = pixel >> 24;
    partial += alpha > 0 && alpha < 255;
    for (int shift = 0; shift < 24; shift += 8) ASSERT_LE(pixel >> shift & 0xFF, alpha);
  }
  EXPECT_GT(partial, 0);
}

}  // namespace
}  // namespace trelvo::ribbon
