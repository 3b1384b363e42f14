#pragma once
// The sizes in pixels at which the images of the toolbar, the ribbon and the
// dialogs are drawn (tools/draw-glyphs draws each anew for each size), and the
// resource that holds an image at a size: the image's id times 100 plus the
// size. Office asks for 16, 20, 24 and 32 pixels for a normal button at 100,
// 125, 150 and 200 %, and for 32, 40, 48 and 64 for a large one.
#include <array>

namespace trelvo::resources {

inline constexpr std::array<int, 7> kImageSizes = {16, 20, 24, 32, 40, 48, 64};
// A toolbar button, a normal ribbon button and a dialog's button face at 100 %.
inline constexpr int kSmallImage = 16;
// A large ribbon button at 100 %.
inline constexpr int kLargeImage = 32;
inline constexpr unsigned kBaseDpi = 96;

constexpr int ImageResource(int image, int size) { return image * 100 + size; }

// The pixels that an image of `base` pixels at 100 % takes at dpi, rounded.
constexpr int ScaledImage(int base, unsigned dpi) {
  return static_cast<int>((static_cast<unsigned>(base) * dpi + kBaseDpi / 2) / kBaseDpi);
}

// The drawn size for an image of `wanted` pixels: the smallest that is not
// smaller (a host shrinks a little more cleanly than it enlarges), the largest
// beyond them all.
constexpr int DrawnSize(int wanted) {
  for (const int size : kImageSizes)
    if (size >= wanted) return size;
  return kImageSizes.back();
}

}  // namespace trelvo::resources
