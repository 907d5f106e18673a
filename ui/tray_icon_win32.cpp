#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "resources/icon_ids.h"
#include "ui/main_window_win32.h"
#include "ui/tray.h"
#include "ui/tray_image_scaling.h"
#include "ui/tray_win32.h"

namespace {

constexpr int kImageResources[] = {VANTREL_TRAY_IMAGE_RED, VANTREL_TRAY_IMAGE_YELLOW,
                                   VANTREL_TRAY_IMAGE_GREEN};
constexpr int kImageCount = 3;
// An ICO file: a 6-byte header, then one 16-byte entry per image.
constexpr DWORD kIcoHeaderBytes = 6;
constexpr DWORD kIcoEntryBytes = 16;

HICON images[kImageCount] = {};
bool iconShown = false;
// What the shell shows while iconShown.
HeadsetLook shownLook;
// The image the main window was last given; -1 before the first.
int windowImage = -1;

std::uint32_t ReadLittleEndian32(const BYTE* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// The image data of the one image in an embedded ICO file.
bool FindImageData(int resource, const BYTE*& data, DWORD& bytes) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(resource), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const auto* file = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD fileBytes = found ? SizeofResource(nullptr, found) : 0;
  if (!file || fileBytes < kIcoHeaderBytes + kIcoEntryBytes) return false;
  const BYTE* entry = file + kIcoHeaderBytes;
  const std::uint32_t imageBytes = ReadLittleEndian32(entry + 8);
  const std::uint32_t imageOffset = ReadLittleEndian32(entry + 12);
  if (imageOffset > fileBytes || imageBytes > fileBytes - imageOffset) return false;
  data = file + imageOffset;
  bytes = imageBytes;
  return true;
}

BITMAPINFO TopDownFormat(int size) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  return format;
}

// The icon's pixels at its own size, top row first.
std::vector<std::uint32_t> PixelsOf(HICON icon, int& size) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  size = bitmap.bmWidth;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(size) * size);
  BITMAPINFO format = TopDownFormat(size);
  HDC screen = GetDC(nullptr);
  const int rows =
      GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (bitmap.bmWidth != bitmap.bmHeight || rows != size) return {};
  return pixels;
}

HICON IconOf(const std::vector<std::uint32_t>& pixels, int size) {
  BITMAPINFO format = TopDownFormat(size);
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  // With an alpha channel the mask is not used for drawing; it only has to exist.
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HICON icon = nullptr;
  if (color && mask) {
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(pixels[0]));
    ICONINFO info{TRUE, 0, 0, mask, color};
    icon = CreateIconIndirect(&info);
  }
  if (color) DeleteObject(color);
  if (mask) DeleteObject(mask);
  return icon;
}

// An embedded image at the size Windows uses for small icons at the
// screen's scale, so neither the shell nor the title bar has to shrink it.
HICON LoadTrayImage(int resource) {
  const BYTE* data = nullptr;
  DWORD bytes = 0;
  if (!FindImageData(resource, data, bytes)) return nullptr;
  // Width and height 0: the image at its own size.
  HICON full = CreateIconFromResourceEx(const_cast<BYTE*>(data), bytes, TRUE, 0x00030000, 0, 0, 0);
  if (!full) return nullptr;
  int size = 0;
  const std::vector<std::uint32_t> pixels = PixelsOf(full, size);
  DestroyIcon(full);
  const int smallSize = GetSystemMetrics(SM_CXSMICON);
  const std::vector<std::uint32_t> scaled = ScaleSquareImage(pixels, size, smallSize);
  return scaled.empty() ? nullptr : IconOf(scaled, smallSize);
}

NOTIFYICONDATAW IconData(UINT flags) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = MainWindowHandle();
  data.uID = kTrayIconId;
  data.uFlags = flags;
  return data;
}

void CopyTooltip(NOTIFYICONDATAW& data, const std::wstring& tooltip) {
  // The shell keeps at most 127 characters; a longer headset name is cut.
  const size_t length = std::min(tooltip.size(), std::size(data.szTip) - 1);
  std::memcpy(data.szTip, tooltip.data(), length * sizeof(wchar_t));
  data.szTip[length] = L'\0';
}

bool SendIconData(DWORD command, const HeadsetLook& look) {
  NOTIFYICONDATAW data = IconData(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = TrayImageIcon(look.image);
  CopyTooltip(data, look.tooltip);
  if (Shell_NotifyIconW(command, &data) == FALSE) return false;
  shownLook = look;
  return true;
}

// Handing the shell the image and tooltip it already shows has it copy the
// icon's bits and redraw it; a change of nothing but the callback message
// costs neither and still fails when the shell has lost the icon.
bool IconStillHeld() {
  NOTIFYICONDATAW data = IconData(NIF_MESSAGE);
  data.uCallbackMessage = kTrayCallbackMessage;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The program runs elevated and Explorer does not: without this, Windows
// drops Explorer's "TaskbarCreated" broadcast and the clicks on the icon
// before they reach the window.
void AllowShellMessages(HWND window) {
  ChangeWindowMessageFilterEx(window, RegisterWindowMessageW(L"TaskbarCreated"), MSGFLT_ALLOW,
                              nullptr);
  ChangeWindowMessageFilterEx(window, kTrayCallbackMessage, MSGFLT_ALLOW, nullptr);
}

}  // namespace

bool LoadTrayImages() {
  bool all = true;
  for (int image = 0; image < kImageCount; ++image) {
    images[image] = LoadTrayImage(kImageResources[image]);
    all = all && images[image] != nullptr;
  }
  return all;
}

HICON TrayImageIcon(int image) {
  return image >= 0 && image < kImageCount ? images[image] : images[kTrayImageNotFound];
}

void DestroyTrayImages() {
  for (HICON& image : images) {
    if (image) DestroyIcon(image);
    image = nullptr;
  }
}

bool AddTrayIcon() {
  HWND window = MainWindowHandle();
  if (!window) return false;
  AllowShellMessages(window);
  const HeadsetLook startup{kTrayImageNotFound, kStartupTooltip};
  // An icon the shell still holds, though the program thought it lost,
  // refuses a second add; taking it over through a modify serves as well.
  iconShown = SendIconData(NIM_ADD, startup) || SendIconData(NIM_MODIFY, startup);
  return iconShown;
}

void RemoveTrayIcon() {
  NOTIFYICONDATAW data = IconData(0);
  Shell_NotifyIconW(NIM_DELETE, &data);
  iconShown = false;
}

bool TrayIconExists() { return iconShown; }

void SetTrayIconLook(const HeadsetLook& look) {
  if (!iconShown) return;
  // A refused change means the shell has lost the icon (Explorer ended);
  // the main loop's icon watch adds it again.
  iconShown = look == shownLook ? IconStillHeld() : SendIconData(NIM_MODIFY, look);
}

void SetMainWindowImage(int image) {
  HWND window = MainWindowHandle();
  // Each WM_SETICON has the window manager and the taskbar fetch and redraw
  // the icon, even when it is the one the window already shows.
  if (!window || image == windowImage) return;
  windowImage = image;
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(TrayImageIcon(image)));
}
