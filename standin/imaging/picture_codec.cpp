#include "standin/imaging/picture_codec.h"

#include <gd.h>
#include <tiffio.h>

#include <climits>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace trenmoor::imaging {
namespace {

// libgd reports problems (a corrupt picture) through one error callback that prints to standard
// error by default, and the TIFF library under it prints its own warnings (the deflate codec it
// writes with); every failure here is a result, so both stay quiet.
void quietErrors(int, const char*, va_list) {}

void keepQuiet() {
  static const bool once = [] {
    gdSetErrorMethod(quietErrors);
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    return true;
  }();
  (void)once;
}

struct ImageFree {
  void operator()(gdImage* image) const { gdImageDestroy(image); }
};
using Image = std::unique_ptr<gdImage, ImageFree>;

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

Image decodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  const int size = static_cast<int>(bytes.size());
  void* data = const_cast<std::uint8_t*>(bytes.data());
  using Reader = gdImagePtr (*)(int, void*);
  Reader reader = nullptr;
  if (startsWith(bytes, "\x89PNG\r\n\x1a\n")) reader = gdImageCreateFromPngPtr;
  else if (startsWith(bytes, "\xff\xd8\xff")) reader = gdImageCreateFromJpegPtr;
  else if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a")) reader = gdImageCreateFromGifPtr;
  else if (startsWith(bytes, "BM")) reader = gdImageCreateFromBmpPtr;
  else if (startsWith(bytes, std::string_view("II*\0", 4)) || startsWith(bytes, std::string_view("MM\0*", 4)))
    reader = gdImageCreateFromTiffPtr;
  if (!reader) return nullptr;
  return Image(reader(size, data));
}

std::optional<desktop::Pixels> pixelsOf(gdImage* image) {
  const int width = gdImageSX(image), height = gdImageSY(image);
  if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPixels) return std::nullopt;
  desktop::Pixels out{width, height, {}};
  out.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  std::uint8_t* to = out.rgb.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int colour = gdImageGetTrueColorPixel(image, x, y);
      // alpha 0 is opaque, 127 transparent: blend onto white
      const int opacity = gdAlphaMax - gdTrueColorGetAlpha(colour);
      auto blend = [opacity](int c) {
        return static_cast<std::uint8_t>((c * opacity + 255 * (gdAlphaMax - opacity)) / gdAlphaMax);
      };
      *to++ = blend(gdTrueColorGetRed(colour));
      *to++ = blend(gdTrueColorGetGreen(colour));
      *to++ = blend(gdTrueColorGetBlue(colour));
    }
  }
  return out;
}

bool wellFormed(const desktop::Pixels& pixels) {
  return pixels.width > 0 && pixels.height > 0 &&
         static_cast<std::int64_t>(pixels.width) * pixels.height <= kMaxPixels &&
         pixels.rgb.size() == static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height) * 3;
}

Image imageOf(const desktop::Pixels& pixels) {
  Image image(gdImageCreateTrueColor(pixels.width, pixels.height));
  if (!image) return nullptr;
  const std::uint8_t* from = pixels.rgb.data();
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x, from += 3) {
      image->tpixels[y][x] = gdTrueColor(from[0], from[1], from[2]);
    }
  }
  return image;
}

// A palette image holding exactly the picture's colours when there are at most 256 of them (the
// GIF encoder's own quantizer would shift them); null otherwise.
Image exactPaletteImage(const desktop::Pixels& pixels) {
  Image image(gdImageCreate(pixels.width, pixels.height));
  if (!image) return nullptr;
  std::unordered_map<int, int> indexOf;
  const std::uint8_t* from = pixels.rgb.data();
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x, from += 3) {
      const int colour = gdTrueColor(from[0], from[1], from[2]);
      auto [at, fresh] = indexOf.try_emplace(colour, 0);
      if (fresh) {
        if (indexOf.size() > gdMaxColors) return nullptr;
        at->second = gdImageColorAllocate(image.get(), from[0], from[1], from[2]);
      }
      image->pixels[y][x] = static_cast<unsigned char>(at->second);
    }
  }
  return image;
}

}  // namespace

std::optional<desktop::Pixels> decodePicture(std::span<const std::uint8_t> bytes) {
  keepQuiet();
  Image image = decodeImage(bytes);
  if (!image) return std::nullopt;
  return pixelsOf(image.get());
}

std::vector<std::uint8_t> encodePicture(const desktop::Pixels& pixels, Encoding encoding) {
  keepQuiet();
  if (!wellFormed(pixels)) return {};
  Image image = encoding == Encoding::Gif ? exactPaletteImage(pixels) : nullptr;
  if (!image) image = imageOf(pixels);
  if (!image) return {};
  int size = 0;
  void* data = nullptr;
  switch (encoding) {
    case Encoding::Bmp: data = gdImageBmpPtr(image.get(), &size, 0); break;
    case Encoding::Jpeg: data = gdImageJpegPtr(image.get(), &size, -1); break;
    case Encoding::Gif: data = gdImageGifPtr(image.get(), &size); break;
    case Encoding::Tiff: data = gdImageTiffPtr(image.get(), &size); break;
    case Encoding::Png: data = gdImagePngPtr(image.get(), &size); break;
  }
  std::vector<std::uint8_t> out;
  if (data && size > 0) out.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  if (data) gdFree(data);
  return out;
}

std::optional<desktop::Pixels> scalePicture(const desktop::Pixels& pixels, std::int32_t width, std::int32_t height) {
  keepQuiet();
  if (!wellFormed(pixels) || width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPixels) {
    return std::nullopt;
  }
  if (width == pixels.width && height == pixels.height) return pixels;
  Image from = imageOf(pixels);
  Image to(gdImageCreateTrueColor(width, height));
  if (!from || !to) return std::nullopt;
  gdImageCopyResampled(to.get(), from.get(), 0, 0, 0, 0, width, height, pixels.width, pixels.height);
  return pixelsOf(to.get());
}

}  // namespace trenmoor::imaging
