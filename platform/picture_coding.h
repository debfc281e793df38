// Picture decoding and encoding in the shape of GDI+'s flat calls. Implemented by the imaging
// stand-in (standin/imaging) with BMP, JPEG, GIF, TIFF and PNG.
#pragma once

#include <cstdint>

#include "platform/class_id.h"
#include "platform/global_memory.h"

namespace trenmoor::win {

using ULONG_PTR = std::uintptr_t;

enum GpStatus : std::int32_t {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  UnknownImageFormat = 13,
  FileNotFound = 10,
  GdiplusNotInitialized = 18,
};

struct GdiplusStartupInput {
  std::uint32_t GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = 0;
  BOOL SuppressExternalCodecs = 0;
};

// A decoded picture (a bitmap is an image).
struct GpImage;
using GpBitmap = GpImage;

// Counts one more start of picture coding and gives its token: Ok. InvalidParameter (nothing
// counted, *token untouched) for a null token or input, or a version other than 1.
GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);

// Balances the start that gave `token`; unknown tokens are ignored.
void GdiplusShutdown(ULONG_PTR token);

// Reads the stream from its position to its end and decodes a BMP, JPEG, GIF, TIFF or PNG
// picture into *bitmap: Ok. GdiplusNotInitialized while no start is counted; InvalidParameter
// for a null argument; UnknownImageFormat for bytes that do not decode. *bitmap is untouched on
// failure.
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);

// Encodes the image with the encoder of class id `encoder` and writes the bytes to the stream:
// Ok. Encoder parameters are not supported: `parameters` must be null. FileNotFound for a class
// id that names no encoder; InvalidParameter for a null or unknown image or stream, or
// parameters; GenericError when the encoder or the stream fails. Nothing is written on failure.
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder, const void* parameters);

// Frees the image: Ok; InvalidParameter for a null or unknown image.
GpStatus GdipDisposeImage(GpImage* image);

}  // namespace trenmoor::win
