// Decoding and encoding pictures over libgd, and scaling them: the imaging stand-in's own
// interface, used by its GDI+-shaped calls and by the HTML stand-in's images.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "standin/desktop/bitmaps.h"

namespace trenmoor::imaging {

enum class Encoding { Bmp, Jpeg, Gif, Tiff, Png };

// The largest picture decoded, in pixels; larger ones are refused rather than allocated.
constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;

// A PNG, JPEG, GIF, BMP or TIFF picture (told by its first bytes) as opaque pixels:
// transparency is blended onto white. nullopt for anything that does not decode.
std::optional<desktop::Pixels> decodePicture(std::span<const std::uint8_t> bytes);

// The pixels encoded; JPEG at the encoder's default quality, BMP uncompressed 24-bit. Empty when
// the pixels are malformed or the encoder fails.
std::vector<std::uint8_t> encodePicture(const desktop::Pixels& pixels, Encoding encoding);

// The pixels resampled to width x height (both positive); the picture unchanged when the size is
// its own, nullopt for a size that is not positive or exceeds kMaxPixels.
std::optional<desktop::Pixels> scalePicture(const desktop::Pixels& pixels, std::int32_t width, std::int32_t height);

}  // namespace trenmoor::imaging
