// Capturing an image through the clipboard as the bytes of a 24-bit BMP file.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "driver/page_driver.h"
#include "driver/picture_encoding.h"
#include "platform/bitmap_calls.h"
#include "platform/clipboard_calls.h"

namespace trenmoor {

Bytes PageDriver::captureImage(const Text& key, std::int32_t format) {
  // 1. A control range of the body.
  const ComObject range = document_.getObject("body").callObject("createControlRange");
  // 2-3. The image in it (an empty element when none is found: the copy then reports false).
  const ComObject image = findImage(key, 0);
  range.call("add", {Variant(image.ref())});
  // 4. The page copies it to the clipboard.
  if (!range.callLogical("execCommand", {ComObject::textArgument("copy"), Variant(false), Variant(0)})) return {};
  // 5. The clipboard's bitmap as BMP bytes.
  Bytes picture = clipboardBitmapToBmp();
  // 6. Re-encoded on request; the BMP bytes stay when that fails.
  if (format != kPictureAsTaken) encodePicture(picture, format, picture);
  // 7.
  return picture;
}

Bytes PageDriver::clipboardBitmapToBmp() {
  using namespace win;
  // 1. Open the clipboard. When another holds it open, nothing here is ours to read, empty or
  // close: nothing is done.
  if (!OpenClipboard(0)) return {};
  // 2. Its bitmap.
  HANDLE bitmap = GetClipboardData(CF_BITMAP);
  if (!bitmap) {
    CloseClipboard();
    return {};
  }
  // 3. Its size.
  BITMAP record{};
  if (GetObjectA(bitmap, sizeof record, &record) == 0) {
    CloseClipboard();
    return {};
  }
  const std::int32_t width = record.bmWidth, height = record.bmHeight;
  // 4. A 24-bit header; rows padded to 4 bytes. Computed in 64 bits: a size past 2 GiB would
  // not fit the file's 32-bit fields and is refused.
  const std::int64_t imageSize = (static_cast<std::int64_t>(width) * 24 + 31) / 32 * 4 * height;
  if (width <= 0 || height <= 0 || imageSize > INT32_MAX - 54) {
    CloseClipboard();
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader = {40, width, height, 1, 24, BI_RGB, static_cast<DWORD>(imageSize), 0, 0, 0, 0};
  // 5. Read its rows, into the place they take in the file (step 7).
  HDC context = CreateCompatibleDC(nullptr);
  constexpr std::size_t kHeaders = 54;
  Bytes file(kHeaders + static_cast<std::size_t>(imageSize), 0);
  GetDIBits(context, bitmap, 0, static_cast<UINT>(height), file.data() + kHeaders, &info, DIB_RGB_COLORS);
  // 6. Done with the context and the clipboard.
  DeleteDC(context);
  EmptyClipboard();
  CloseClipboard();
  // 7. The file header and the bitmap header before the rows.
  const auto size = static_cast<std::int32_t>(imageSize);
  Bytes headers = {'B', 'M'};
  auto append = [&headers](const Bytes& bytes) { headers.insert(headers.end(), bytes.begin(), bytes.end()); };
  append(int32ToBytes(size + static_cast<std::int32_t>(kHeaders)));
  append(Bytes(4, 0));
  append(int32ToBytes(kHeaders));
  append(int32ToBytes(40));
  append(int32ToBytes(width));
  append(int32ToBytes(height));
  append({1, 0, 24, 0});
  append(Bytes(4, 0));
  append(int32ToBytes(size));
  append(Bytes(16, 0));
  std::copy(headers.begin(), headers.end(), file.begin());
  return file;
}

}  // namespace trenmoor
