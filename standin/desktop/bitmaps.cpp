// The seam's bitmap and device-context calls over a process-wide table of bitmaps.
#include "standin/desktop/bitmaps.h"

#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "platform/bitmap_calls.h"

namespace trenmoor::desktop {
namespace {

struct Bitmap {
  std::shared_ptr<const Pixels> pixels;
  bool held = false;
};

// Handles are numbers in pointer clothing, never dereferenced, so a stale or made-up handle is
// simply not found.
struct DrawingObjects {
  std::mutex mutex;
  std::map<std::uintptr_t, Bitmap> bitmaps;
  std::set<std::uintptr_t> contexts;
  std::uintptr_t next = 0x40000;
};

DrawingObjects& objects() {
  static DrawingObjects table;
  return table;
}

std::uintptr_t key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }
void* handleOf(std::uintptr_t number) { return reinterpret_cast<void*>(number); }

}  // namespace

void* createBitmap(Pixels pixels) { return createBitmap(std::make_shared<const Pixels>(std::move(pixels))); }

void* createBitmap(std::shared_ptr<const Pixels> pixels) {
  if (!pixels || pixels->width <= 0 || pixels->height <= 0 ||
      pixels->rgb.size() != static_cast<std::size_t>(pixels->width) * static_cast<std::size_t>(pixels->height) * 3) {
    return nullptr;
  }
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  std::uintptr_t number = t.next++;
  t.bitmaps.emplace(number, Bitmap{std::move(pixels), false});
  return handleOf(number);
}

std::shared_ptr<const Pixels> bitmapPixels(void* bitmap) {
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  auto it = t.bitmaps.find(key(bitmap));
  if (it == t.bitmaps.end()) return nullptr;
  return it->second.pixels;
}

bool isBitmap(void* bitmap) {
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  return t.bitmaps.count(key(bitmap)) != 0;
}

void holdBitmap(void* bitmap, bool held) {
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  auto it = t.bitmaps.find(key(bitmap));
  if (it != t.bitmaps.end()) it->second.held = held;
}

void deleteHeldBitmap(void* bitmap) {
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  t.bitmaps.erase(key(bitmap));
}

std::size_t liveBitmapCount() {
  DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  return t.bitmaps.size();
}

}  // namespace trenmoor::desktop

namespace trenmoor::win {

using desktop::objects;

int GetObjectA(HGDIOBJ object, int size, void* out) {
  std::shared_ptr<const desktop::Pixels> pixels = desktop::bitmapPixels(object);
  if (!pixels) return 0;
  if (!out) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP record{0, pixels->width, pixels->height, pixels->width * 4, 1, 32, nullptr};
  std::memcpy(out, &record, sizeof record);
  return sizeof(BITMAP);
}

HDC CreateCompatibleDC(HDC) {
  desktop::DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  std::uintptr_t number = t.next++;
  t.contexts.insert(number);
  return desktop::handleOf(number);
}

BOOL DeleteDC(HDC context) {
  desktop::DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  return t.contexts.erase(desktop::key(context)) != 0 ? 1 : 0;
}

BOOL DeleteObject(HGDIOBJ object) {
  desktop::DrawingObjects& t = objects();
  std::lock_guard lock(t.mutex);
  auto it = t.bitmaps.find(desktop::key(object));
  if (it == t.bitmaps.end() || it->second.held) return 0;
  t.bitmaps.erase(it);
  return 1;
}

int GetDIBits(HDC context, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  if (!bits || !info || usage != DIB_RGB_COLORS) return 0;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  {
    desktop::DrawingObjects& t = objects();
    std::lock_guard lock(t.mutex);
    if (!t.contexts.count(desktop::key(context))) return 0;
  }
  std::shared_ptr<const desktop::Pixels> pixels = desktop::bitmapPixels(bitmap);
  if (!pixels || header.biSize != sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 24 ||
      header.biCompression != BI_RGB || header.biWidth != pixels->width ||
      (header.biHeight != pixels->height && header.biHeight != -pixels->height)) {
    return 0;
  }
  const bool bottomUp = header.biHeight > 0;
  const std::size_t width = static_cast<std::size_t>(pixels->width);
  const std::size_t height = static_cast<std::size_t>(pixels->height);
  const std::size_t stride = (width * 3 + 3) / 4 * 4;
  if (start >= height) return 0;
  const std::size_t count = std::min<std::size_t>(lines, height - start);
  auto* out = static_cast<std::uint8_t*>(bits);
  for (std::size_t line = 0; line < count; ++line) {
    const std::size_t row = bottomUp ? height - 1 - (start + line) : start + line;
    const std::uint8_t* from = pixels->rgb.data() + row * width * 3;
    std::uint8_t* to = out + line * stride;
    for (std::size_t x = 0; x < width; ++x) {
      to[x * 3] = from[x * 3 + 2];
      to[x * 3 + 1] = from[x * 3 + 1];
      to[x * 3 + 2] = from[x * 3];
    }
    std::memset(to + width * 3, 0, stride - width * 3);
  }
  return static_cast<int>(count);
}

}  // namespace trenmoor::win
