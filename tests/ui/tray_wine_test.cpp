#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "resources/icon_ids.h"
#include "ui/tray.h"
#include "ui/tray_win32.h"

namespace {

constexpr int kImageResources[] = {VANTREL_TRAY_IMAGE_RED, VANTREL_TRAY_IMAGE_YELLOW,
                                   VANTREL_TRAY_IMAGE_GREEN};

std::vector<BYTE> ResourceBytes(int id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!found) return {};
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
  return std::vector<BYTE>(bytes, bytes + SizeofResource(nullptr, found));
}

std::uint32_t Little32(const BYTE* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
std::uint32_t Big32(const BYTE* at) {
  return static_cast<std::uint32_t>(at[0]) << 24 | at[1] << 16 | at[2] << 8 | at[3];
}

TEST(TrayImages, EachIsASingle64PixelImageWithPngDataAtOffset22) {
  for (int id : kImageResources) {
    SCOPED_TRACE(id);
    const std::vector<BYTE> file = ResourceBytes(id);
    ASSERT_GT(file.size(), 22u + 33u);
    const BYTE header[] = {0, 0, 1, 0, 1, 0};
    EXPECT_EQ(std::memcmp(file.data(), header, sizeof(header)), 0);
    const BYTE* entry = file.data() + 6;
    EXPECT_EQ(entry[0], 64);                  // width
    EXPECT_EQ(entry[1], 64);                  // height
    EXPECT_EQ(entry[4] | entry[5] << 8, 1);   // planes
    EXPECT_EQ(entry[6] | entry[7] << 8, 32);  // bits per pixel
    EXPECT_EQ(Little32(entry + 8), file.size() - 22);
    EXPECT_EQ(Little32(entry + 12), 22u);
    const BYTE* png = file.data() + 22;
    EXPECT_EQ(std::memcmp(png, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(std::memcmp(png + 12, "IHDR", 4), 0);
    EXPECT_EQ(Big32(png + 16), 64u);
    EXPECT_EQ(Big32(png + 20), 64u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 6);  // red, green, blue and alpha
  }
}

struct Pixel {
  int red, green, blue, alpha;
};

// The icon's pixels, top row first.
std::vector<Pixel> PixelsOf(HICON icon, int& size) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  size = bitmap.bmWidth;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<BYTE> bytes(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight * 4);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, bytes.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  std::vector<Pixel> pixels;
  for (size_t at = 0; at + 3 < bytes.size(); at += 4) {
    pixels.push_back({bytes[at + 2], bytes[at + 1], bytes[at], bytes[at + 3]});
  }
  return pixels;
}

TEST(TrayImages, LoadedAtSmallIconSizeWithTheirVisorColourOnAClearGround) {
  ASSERT_TRUE(LoadTrayImages());
  for (int image : {kTrayImageNotFound, kTrayImageOffline, kTrayImageOnline}) {
    SCOPED_TRACE(image);
    int size = 0;
    const std::vector<Pixel> pixels = PixelsOf(TrayImageIcon(image), size);
    ASSERT_EQ(size, GetSystemMetrics(SM_CXSMICON));
    ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
    EXPECT_EQ(pixels[0].alpha, 0) << "the corners stay clear";
    EXPECT_EQ(pixels[size * size - 1].alpha, 0);
    // Between the two cameras, below the reflection: the visor itself.
    const Pixel visor = pixels[size * size / 2 + size / 2];
    EXPECT_EQ(visor.alpha, 255);
    if (image == kTrayImageNotFound) {
      EXPECT_GT(visor.red, 150);
      EXPECT_LT(visor.green, 110);
    } else if (image == kTrayImageOffline) {
      EXPECT_GT(visor.red, 170);
      EXPECT_GT(visor.green, 140);
      EXPECT_LT(visor.blue, 90);
    } else {
      EXPECT_GT(visor.green, 120);
      EXPECT_LT(visor.red, 130);
    }
  }
  EXPECT_EQ(TrayImageIcon(7), TrayImageIcon(kTrayImageNotFound));
  DestroyTrayImages();
}

}  // namespace
