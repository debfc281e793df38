// The seam's GDI+-shaped picture calls over the picture codec and the desktop's streams.
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/picture_coding.h"
#include "standin/imaging/picture_codec.h"

namespace trenmoor::win {

struct GpImage {
  desktop::Pixels pixels;
};

namespace {

struct CodingState {
  std::mutex mutex;
  std::set<ULONG_PTR> tokens;
  ULONG_PTR nextToken = 1;
  std::set<const GpImage*> images;
};

CodingState& state() {
  static CodingState s;
  return s;
}

bool started() {
  CodingState& s = state();
  std::lock_guard lock(s.mutex);
  return !s.tokens.empty();
}

bool isLiveImage(const GpImage* image) {
  CodingState& s = state();
  std::lock_guard lock(s.mutex);
  return s.images.count(image) != 0;
}

// The built-in encoders by class id: {557CF40n-1A04-11D3-9A73-0000F81EF32E}.
std::optional<imaging::Encoding> encoderOf(const CLSID& id) {
  static constexpr CLSID kBase{0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  CLSID base = id;
  base.data1 &= ~0xFu;
  if (!(base == kBase)) return std::nullopt;
  switch (id.data1 & 0xFu) {
    case 0: return imaging::Encoding::Bmp;
    case 1: return imaging::Encoding::Jpeg;
    case 2: return imaging::Encoding::Gif;
    case 5: return imaging::Encoding::Tiff;
    case 6: return imaging::Encoding::Png;
    default: return std::nullopt;
  }
}

}  // namespace

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void*) {
  if (!token || !input || input->GdiplusVersion != 1) return InvalidParameter;
  CodingState& s = state();
  std::lock_guard lock(s.mutex);
  *token = s.nextToken++;
  s.tokens.insert(*token);
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token) {
  CodingState& s = state();
  std::lock_guard lock(s.mutex);
  s.tokens.erase(token);
}

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) {
  if (!started()) return GdiplusNotInitialized;
  if (!stream || !bitmap) return InvalidParameter;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[16384];
  for (;;) {
    ULONG read = 0;
    stream->Read(chunk, sizeof chunk, &read);
    bytes.insert(bytes.end(), chunk, chunk + read);
    if (read < sizeof chunk) break;
  }
  std::optional<desktop::Pixels> pixels = imaging::decodePicture(bytes);
  if (!pixels) return UnknownImageFormat;
  auto* image = new GpImage{std::move(*pixels)};
  CodingState& s = state();
  std::lock_guard lock(s.mutex);
  s.images.insert(image);
  *bitmap = image;
  return Ok;
}

GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder, const void* parameters) {
  if (!started()) return GdiplusNotInitialized;
  if (!stream || !encoder || parameters || !isLiveImage(image)) return InvalidParameter;
  std::optional<imaging::Encoding> encoding = encoderOf(*encoder);
  if (!encoding) return FileNotFound;
  std::vector<std::uint8_t> bytes = imaging::encodePicture(image->pixels, *encoding);
  if (bytes.empty() || bytes.size() > UINT32_MAX) return GenericError;
  return stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr) == S_OK ? Ok : GenericError;
}

GpStatus GdipDisposeImage(GpImage* image) {
  {
    CodingState& s = state();
    std::lock_guard lock(s.mutex);
    if (!image || s.images.erase(image) == 0) return InvalidParameter;
  }
  delete image;
  return Ok;
}

}  // namespace trenmoor::win
