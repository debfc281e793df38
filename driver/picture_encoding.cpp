#include "driver/picture_encoding.h"

#include <cstring>
#include <string_view>

#include "platform/global_memory.h"
#include "platform/picture_coding.h"

namespace trenmoor {
namespace {

// The built-in encoders' class ids by format code; formats outside 1 to 5 have none.
Text encoderClassId(std::int32_t format) {
  static constexpr std::string_view kEncoders[] = {
      "{557CF400-1A04-11D3-9A73-0000F81EF32E}",  // 1 BMP
      "{557CF401-1A04-11D3-9A73-0000F81EF32E}",  // 2 JPEG
      "{557CF402-1A04-11D3-9A73-0000F81EF32E}",  // 3 GIF
      "{557CF405-1A04-11D3-9A73-0000F81EF32E}",  // 4 TIFF
      "{557CF406-1A04-11D3-9A73-0000F81EF32E}",  // 5 PNG
  };
  if (format < 1 || format > 5) return Text();
  return Text(kEncoders[format - 1]);
}

}  // namespace

Bytes int32ToBytes(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits >> 16),
          static_cast<std::uint8_t>(bits >> 24)};
}

win::GUID parseClassId(const Text& text) {
  const std::u16string wide = ansiToWide(text);  // c_str keeps the terminating NUL
  win::GUID id{};
  win::CLSIDFromString(wide.c_str(), &id);
  return id;
}

bool encodePicture(const Bytes& picture, std::int32_t format, Bytes& result) {
  using namespace win;
  // 1. Too short to be a picture.
  if (picture.size() < 3) return false;
  // 2. Start picture coding.
  const GdiplusStartupInput input;
  ULONG_PTR token = 0;
  GdiplusStartup(&token, &input, nullptr);
  // 3. The encoder's class id.
  const CLSID encoder = parseClassId(encoderClassId(format));
  // 4. The picture in a moveable block, under a stream that leaves the block alone.
  HGLOBAL inputBlock = GlobalAlloc(GMEM_MOVEABLE, picture.size());
  if (void* at = GlobalLock(inputBlock)) {
    std::memcpy(at, picture.data(), picture.size());
    GlobalUnlock(inputBlock);
  }
  IStream* inputStream = nullptr;
  CreateStreamOnHGlobal(inputBlock, 0, &inputStream);
  // 5. Decode it.
  GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromStream(inputStream, &bitmap);
  // 6. A stream on new memory, freed with it.
  IStream* outputStream = nullptr;
  CreateStreamOnHGlobal(nullptr, 1, &outputStream);
  // 7. Encode into it.
  GdipSaveImageToStream(bitmap, outputStream, &encoder, nullptr);
  // 8. Its block, locked, and its size.
  HGLOBAL outputBlock = nullptr;
  GetHGlobalFromStream(outputStream, &outputBlock);
  const auto* encoded = static_cast<const std::uint8_t*>(GlobalLock(outputBlock));
  const SIZE_T size = GlobalSize(outputBlock);
  // 9. What was written, when anything was.
  const bool written = encoded != nullptr;
  if (written) result.assign(encoded, encoded + size);
  // 10. Clean up.
  if (written) GlobalUnlock(outputBlock);
  if (outputStream) outputStream->Release();
  if (inputStream) inputStream->Release();
  if (bitmap) GdipDisposeImage(bitmap);
  GlobalFree(inputBlock);
  GdiplusShutdown(token);
  return written;
}

}  // namespace trenmoor
