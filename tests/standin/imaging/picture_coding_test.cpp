// Picture coding through the GDI+-shaped calls: every encoder round-trips the pixels, and bytes
// that are not a picture fail cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/picture_coding.h"
#include "standin/imaging/picture_codec.h"

namespace trenmoor::win {
namespace {

// Four colour blocks, each 16 x 16 (a whole JPEG block with its colour subsampled), so lossy
// coding keeps each block's colour.
desktop::Pixels quadrants() {
  desktop::Pixels p{32, 32, {}};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool right = x >= 16, bottom = y >= 16;
      p.rgb.insert(p.rgb.end(), {std::uint8_t(right ? 255 : 0), std::uint8_t(bottom ? 255 : 0),
                                 std::uint8_t(right && bottom ? 0 : 255)});
    }
  return p;
}

class PictureCoding : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GdiplusStartup(&token_, &input_, nullptr), Ok); }
  void TearDown() override { GdiplusShutdown(token_); }

  // The bytes through a stream into a bitmap and out again with the encoder; empty on failure.
  std::vector<std::uint8_t> reencode(const std::vector<std::uint8_t>& bytes, const CLSID& encoder, GpStatus* saved) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (void* at = GlobalLock(block)) std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* in = nullptr;
    CreateStreamOnHGlobal(block, 0, &in);
    GpBitmap* bitmap = nullptr;
    GpStatus made = GdipCreateBitmapFromStream(in, &bitmap);
    IStream* out = nullptr;
    CreateStreamOnHGlobal(nullptr, 1, &out);
    *saved = made == Ok ? GdipSaveImageToStream(bitmap, out, &encoder, nullptr) : made;
    HGLOBAL under = nullptr;
    GetHGlobalFromStream(out, &under);
    std::vector<std::uint8_t> result;
    if (auto* at = static_cast<std::uint8_t*>(GlobalLock(under))) result.assign(at, at + GlobalSize(under));
    GlobalUnlock(under);
    out->Release();
    in->Release();
    if (bitmap) GdipDisposeImage(bitmap);
    GlobalFree(block);
    return result;
  }

  ULONG_PTR token_ = 0;
  GdiplusStartupInput input_;
};

CLSID encoder(std::uint32_t last) {
  return CLSID{0x557CF400 + last, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

TEST_F(PictureCoding, EveryEncoderRoundTripsThePixels) {
  const desktop::Pixels original = quadrants();
  const std::vector<std::uint8_t> bmp = imaging::encodePicture(original, imaging::Encoding::Bmp);
  struct Case {
    std::uint32_t encoder;
    std::string signature;
    int tolerance;
  } cases[] = {{0, "BM", 0}, {1, "\xff\xd8", 64}, {2, "GIF8", 0}, {5, "II*", 0}, {6, "\x89PNG", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signature);
    GpStatus saved = GenericError;
    const std::vector<std::uint8_t> bytes = reencode(bmp, encoder(c.encoder), &saved);
    ASSERT_EQ(saved, Ok);
    ASSERT_GE(bytes.size(), c.signature.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::ptrdiff_t(c.signature.size())), c.signature);
    std::optional<desktop::Pixels> back = imaging::decodePicture(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width, 32);
    ASSERT_EQ(back->height, 32);
    // Lossless codings keep every byte; JPEG is compared at the middle of each block, away from
    // the ringing at its edges.
    for (std::size_t i = 0; i < original.rgb.size(); ++i) {
      const std::size_t x = i / 3 % 32, y = i / 3 / 32;
      if (c.tolerance > 0 && (x % 16 != 8 || y % 16 != 8)) continue;
      ASSERT_NEAR(back->rgb[i], original.rgb[i], c.tolerance) << "byte " << i;
    }
  }
}

TEST_F(PictureCoding, UnknownEncodersAndUnreadableBytesWriteNothing) {
  const std::vector<std::uint8_t> bmp = imaging::encodePicture(quadrants(), imaging::Encoding::Bmp);
  GpStatus saved = Ok;
  EXPECT_TRUE(reencode(bmp, encoder(3), &saved).empty());
  EXPECT_EQ(saved, FileNotFound);
  EXPECT_TRUE(reencode(bmp, CLSID{}, &saved).empty());
  EXPECT_EQ(saved, FileNotFound);

  std::vector<std::vector<std::uint8_t>> corrupt = {
      {'B', 'M', 0},                                         // too short
      {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 1, 2},   // a signature and nothing after
      {0xff, 0xd8, 0xff, 0xe0, 0, 0x10, 'J', 'F', 'I', 'F'}, // a cut-off JPEG
      std::vector<std::uint8_t>(300, 0x42),
  };
  std::vector<std::uint8_t> truncated = imaging::encodePicture(quadrants(), imaging::Encoding::Png);
  truncated.resize(truncated.size() / 2);
  corrupt.push_back(truncated);
  for (const auto& bytes : corrupt) {
    EXPECT_TRUE(reencode(bytes, encoder(6), &saved).empty());
    EXPECT_EQ(saved, UnknownImageFormat);
  }
}

TEST(PictureCodingStart, NothingDecodesBeforeAStart) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  IStream* in = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, 1, &in), S_OK);
  GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(0x1);
  EXPECT_EQ(GdipCreateBitmapFromStream(in, &bitmap), GdiplusNotInitialized);
  EXPECT_EQ(bitmap, reinterpret_cast<GpBitmap*>(0x1));
  in->Release();
  ULONG_PTR token = 0;
  GdiplusStartupInput version2;
  version2.GdiplusVersion = 2;
  EXPECT_EQ(GdiplusStartup(&token, &version2, nullptr), InvalidParameter);
  EXPECT_EQ(GdipDisposeImage(reinterpret_cast<GpImage*>(0x10)), InvalidParameter);
}

TEST(PictureScaling, ResamplesToTheSizeAsked) {
  std::optional<desktop::Pixels> big = imaging::scalePicture(quadrants(), 16, 4);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->width, 16);
  EXPECT_EQ(big->height, 4);
  EXPECT_EQ(big->rgb.size(), 16u * 4 * 3);
  EXPECT_EQ(big->rgb[2], 255);  // top-left stays blue
  EXPECT_FALSE(imaging::scalePicture(quadrants(), 0, 4));
}

}  // namespace
}  // namespace trenmoor::win
