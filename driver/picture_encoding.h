// Re-encoding captured pictures through the picture-coding calls, and the little-endian integer
// bytes of a BMP file.
#pragma once

#include <cstdint>

#include "platform/class_id.h"
#include "platform/text.h"

namespace trenmoor {

// Re-encodes the picture in a format of PageDriver::PictureFormat (1 to 5): true with `result`
// replaced by the new bytes; false, `result` untouched, for a picture under 3 bytes, one that
// does not decode, a format without an encoder, or a save that wrote nothing.
bool encodePicture(const Bytes& picture, std::int32_t format, Bytes& result);

// The class id the text names; all zeros when it names none.
win::GUID parseClassId(const Text& text);

// The 4 bytes of the value, least significant first.
Bytes int32ToBytes(std::int32_t value);

}  // namespace trenmoor
