#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/tray_image_scaling.h"

namespace {

constexpr std::uint32_t kOpaqueRed = 0xFFFF0000;
constexpr std::uint32_t kClearGreen = 0x0000FF00;

TEST(TrayImageScaling, SameSizeKeepsEveryVisiblePixel) {
  const std::vector<std::uint32_t> pixels = {kOpaqueRed, kClearGreen, 0x80102030, 0xFF0000FF};
  // A clear pixel's colour shows nowhere, so it comes out as plain 0.
  EXPECT_EQ(ScaleSquareImage(pixels, 2, 2),
            (std::vector<std::uint32_t>{kOpaqueRed, 0, 0x80102030, 0xFF0000FF}));
}

TEST(TrayImageScaling, ClearPixelsLendNoColourToVisibleOnes) {
  const std::vector<std::uint32_t> pixels = {kOpaqueRed, kClearGreen, kClearGreen, kClearGreen};
  // A quarter covered, all of it red.
  EXPECT_EQ(ScaleSquareImage(pixels, 2, 1), (std::vector<std::uint32_t>{0x40FF0000}));
  EXPECT_EQ(ScaleSquareImage({kClearGreen, kClearGreen, kClearGreen, kClearGreen}, 2, 1),
            (std::vector<std::uint32_t>{0}));
}

TEST(TrayImageScaling, ThinLinesSurviveAsFainterLinesAtAQuarterSize) {
  // A white line one pixel wide across a clear 64 x 64 image: picking one
  // pixel in four would lose it three times out of four.
  std::vector<std::uint32_t> pixels(64 * 64, 0);
  for (int x = 0; x < 64; ++x) pixels[33 * 64 + x] = 0xFFFFFFFF;
  const std::vector<std::uint32_t> scaled = ScaleSquareImage(pixels, 64, 16);
  ASSERT_EQ(scaled.size(), 256u);
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(scaled[8 * 16 + x], 0x40FFFFFFu) << x;
    EXPECT_EQ(scaled[7 * 16 + x], 0u) << x;
  }
}

TEST(TrayImageScaling, UnevenFactorsShareEdgePixelsByArea) {
  // Three pixels into two: the middle one is split half and half.
  const std::vector<std::uint32_t> pixels = {
      0xFF000000, 0xFFFFFFFF, 0xFF000000,  //
      0xFF000000, 0xFFFFFFFF, 0xFF000000,  //
      0xFF000000, 0xFFFFFFFF, 0xFF000000,
  };
  const std::vector<std::uint32_t> scaled = ScaleSquareImage(pixels, 3, 2);
  ASSERT_EQ(scaled.size(), 4u);
  for (std::uint32_t pixel : scaled) EXPECT_EQ(pixel, 0xFF555555u);
  EXPECT_EQ(ScaleSquareImage(pixels, 3, 6).size(), 36u);
}

TEST(TrayImageScaling, MismatchedInputGivesNothing) {
  EXPECT_TRUE(ScaleSquareImage({kOpaqueRed}, 2, 1).empty());
  EXPECT_TRUE(ScaleSquareImage({kOpaqueRed}, 1, 0).empty());
}

}  // namespace
