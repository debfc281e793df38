// The bitmap and device-context calls the system makes to read a bitmap's pixels.
// Implemented by the desktop stand-in, whose bitmaps hold 24-bit colour pixels.
#pragma once

#include <cstdint>

#include "platform/window_calls.h"

namespace trenmoor::win {

using HANDLE = void*;
using HGDIOBJ = void*;
using HBITMAP = void*;
using HDC = void*;
using LONG = std::int32_t;
using WORD = std::uint16_t;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD BI_RGB = 0;

// What GetObjectA reports about a bitmap.
struct BITMAP {
  LONG bmType;        // 0
  LONG bmWidth;       // pixels
  LONG bmHeight;      // pixels
  LONG bmWidthBytes;  // bytes per row of the bitmap's own storage: width x 4
  WORD bmPlanes;      // 1
  WORD bmBitsPixel;   // 32
  void* bmBits;       // null: the pixels are not addressable
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // positive: rows bottom-up; negative: top-down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  std::uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// For a bitmap: with a null `out`, returns sizeof(BITMAP); otherwise fills *out and returns
// sizeof(BITMAP). 0, *out untouched, for a handle that is not a live bitmap or a `size` below
// sizeof(BITMAP).
int GetObjectA(HGDIOBJ object, int size, void* out);

// A memory device context (`like` is ignored: every context is compatible with the screen).
// Never 0.
HDC CreateCompatibleDC(HDC like);

// Deletes a context made by CreateCompatibleDC: nonzero; 0 for any other handle.
BOOL DeleteDC(HDC context);

// Deletes a bitmap: nonzero; 0 for a handle that is not a live bitmap, or one the clipboard holds.
BOOL DeleteObject(HGDIOBJ object);

// Copies `lines` scan lines starting at `start` (counted in the order of the destination: from
// the bottom when biHeight is positive) into `bits` as 24-bit blue-green-red pixels, each row
// padded with zeros to a multiple of 4 bytes; `bits` must hold that many rows. Returns the
// number of lines copied (fewer when the bitmap ends first). 0, nothing written, for a bad
// context or bitmap, a null `bits` or `info`, usage other than DIB_RGB_COLORS, or a header that
// is not 40 bytes, 1 plane, 24 bits, BI_RGB, with the bitmap's own width and height (either sign).
int GetDIBits(HDC context, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

}  // namespace trenmoor::win
