// The stand-in's bitmaps and device contexts: handles over 24-bit colour pixels, shared by the
// whole process as the system's drawing objects are.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace trenmoor::desktop {

// Pixels of a bitmap, rows top-down, 3 bytes per pixel in red, green, blue order.
struct Pixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgb;  // width x height x 3 bytes
};

// A new bitmap holding the pixels (shared, never changed); null when their size does not match
// width x height x 3 or either side is not positive.
void* createBitmap(std::shared_ptr<const Pixels> pixels);
void* createBitmap(Pixels pixels);
// The bitmap's pixels; null for a handle that is not a live bitmap.
std::shared_ptr<const Pixels> bitmapPixels(void* bitmap);
bool isBitmap(void* bitmap);
// Marks a bitmap as held by a clipboard, which alone may then delete it (deleteHeldBitmap).
void holdBitmap(void* bitmap, bool held);
void deleteHeldBitmap(void* bitmap);
// How many bitmaps are alive (a test's check that none leak).
std::size_t liveBitmapCount();

}  // namespace trenmoor::desktop
