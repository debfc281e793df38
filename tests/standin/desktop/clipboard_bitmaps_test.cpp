// The clipboard, bitmaps, global memory with its streams, and class-id parsing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/bitmap_calls.h"
#include "platform/class_id.h"
#include "platform/clipboard_calls.h"
#include "platform/global_memory.h"
#include "standin/desktop/bitmaps.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::win {
namespace {

// A width x height bitmap whose pixel (x, y) is red x, green y, blue 7.
HBITMAP gradient(std::int32_t width, std::int32_t height) {
  desktop::Pixels p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.rgb.insert(p.rgb.end(), {std::uint8_t(x), std::uint8_t(y), 7});
  return desktop::createBitmap(std::move(p));
}

TEST(Clipboard, OneOpenerAtATimeAndItOwnsWhatIsSet) {
  desktop::Desktop d(desktop::ClockKind::Virtual);
  const std::size_t before = desktop::liveBitmapCount();
  HBITMAP bitmap = gradient(2, 2);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), nullptr);  // not open
  EXPECT_EQ(EmptyClipboard(), 0);
  EXPECT_EQ(CloseClipboard(), 0);
  ASSERT_NE(OpenClipboard(0x1234), 0);
  EXPECT_EQ(OpenClipboard(0), 0);  // a second open fails until closed
  EXPECT_EQ(d.clipboard().owner(), 0x1234u);
  EXPECT_EQ(SetClipboardData(7, bitmap), nullptr);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, reinterpret_cast<HANDLE>(0x99)), nullptr);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
  EXPECT_EQ(DeleteObject(bitmap), 0);  // the clipboard's now
  EXPECT_EQ(GetClipboardData(CF_BITMAP), bitmap);
  EXPECT_EQ(GetClipboardData(7), nullptr);
  // A second bitmap replaces the first, which is freed.
  HBITMAP second = gradient(1, 1);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, second), second);
  EXPECT_FALSE(desktop::isBitmap(bitmap));
  ASSERT_NE(CloseClipboard(), 0);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);  // closed: nothing readable
  ASSERT_NE(OpenClipboard(0), 0);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), second);
  ASSERT_NE(EmptyClipboard(), 0);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  EXPECT_EQ(desktop::liveBitmapCount(), before);
  CloseClipboard();
}

TEST(Clipboard, ADesktopEndingFreesItsBitmaps) {
  const std::size_t before = desktop::liveBitmapCount();
  {
    desktop::Desktop d(desktop::ClockKind::Virtual);
    OpenClipboard(0);
    SetClipboardData(CF_BITMAP, gradient(3, 3));
  }
  EXPECT_EQ(desktop::liveBitmapCount(), before);
}

BITMAPINFO header24(LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader = {40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  return info;
}

TEST(Bitmaps, GetDIBitsPadsRowsToFourBytesBottomUp) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (LONG width = 1; width <= 4; ++width) {
    SCOPED_TRACE(width);
    HBITMAP bitmap = gradient(width, 2);
    BITMAP record;
    std::memset(&record, 0xAB, sizeof record);
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), int(sizeof record));
    EXPECT_EQ(record.bmWidth, width);
    EXPECT_EQ(record.bmHeight, 2);
    const std::size_t stride = (width * 24 + 31) / 32 * 4;
    std::vector<std::uint8_t> bits(stride * 2 + 4, 0xEE);  // 4 sentinel bytes past the end
    BITMAPINFO info = header24(width, 2);
    ASSERT_EQ(GetDIBits(dc, bitmap, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    for (std::size_t row = 0; row < 2; ++row) {
      const std::uint8_t y = static_cast<std::uint8_t>(1 - row);  // bottom row first
      for (LONG x = 0; x < width; ++x) {
        const std::uint8_t* px = &bits[row * stride + std::size_t(x) * 3];
        EXPECT_EQ(px[0], 7);  // blue, green, red
        EXPECT_EQ(px[1], y);
        EXPECT_EQ(px[2], x);
      }
      for (std::size_t pad = std::size_t(width) * 3; pad < stride; ++pad) EXPECT_EQ(bits[row * stride + pad], 0);
    }
    for (std::size_t i = stride * 2; i < bits.size(); ++i) EXPECT_EQ(bits[i], 0xEE);
    // Top-down on request: the top row first.
    info = header24(width, -2);
    ASSERT_EQ(GetDIBits(dc, bitmap, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[1], 0);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(Bitmaps, BadHandlesAndHeadersReadNothing) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = gradient(3, 2);
  BITMAP record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_EQ(GetObjectA(bitmap, sizeof record - 1, &record), 0);
  EXPECT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(0x77), sizeof record, &record), 0);
  EXPECT_EQ(record.bmWidth, static_cast<LONG>(0xABABABAB));
  std::vector<std::uint8_t> bits(64, 0xEE);
  struct Case {
    HDC dc;
    BITMAPINFO info;
    UINT start;
  } cases[] = {
      {reinterpret_cast<HDC>(0x5), header24(3, 2), 0},  // not a context
      {dc, header24(4, 2), 0},                          // another width
      {dc, header24(3, 3), 0},                          // another height
      {dc, header24(3, 2), 2},                          // past the last line
  };
  for (Case& c : cases) EXPECT_EQ(GetDIBits(c.dc, bitmap, c.start, 2, bits.data(), &c.info, DIB_RGB_COLORS), 0);
  BITMAPINFO info32 = header24(3, 2);
  info32.bmiHeader.biBitCount = 32;
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, 2, bits.data(), &info32, DIB_RGB_COLORS), 0);
  EXPECT_EQ(bits, std::vector<std::uint8_t>(64, 0xEE));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(GlobalMemory, BlocksAndStreamsOverThem) {
  EXPECT_EQ(GlobalAlloc(0, 4), nullptr);  // fixed memory is not offered
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 3u);
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  std::memcpy(bytes, "abc", 3);
  EXPECT_EQ(GlobalUnlock(block), 0);

  IStream* in = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, 0, &in), S_OK);
  char read[8] = {};
  ULONG count = 99;
  EXPECT_EQ(in->Read(read, 8, &count), S_FALSE);
  EXPECT_EQ(count, 3u);
  EXPECT_STREQ(read, "abc");
  EXPECT_EQ(in->Release(), 0u);
  EXPECT_EQ(GlobalSize(block), 3u);  // the stream did not own the block
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  IStream* untouched = reinterpret_cast<IStream*>(0x1);
  EXPECT_EQ(CreateStreamOnHGlobal(block, 0, &untouched), E_INVALIDARG);
  EXPECT_EQ(untouched, reinterpret_cast<IStream*>(0x1));

  IStream* out = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, &out), S_OK);
  HGLOBAL under = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(out, &under), S_OK);
  EXPECT_EQ(GlobalLock(under), nullptr);  // nothing written yet: nothing to address
  ULONG written = 0;
  EXPECT_EQ(out->Write("hello", 5, &written), S_OK);
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(GlobalSize(under), 5u);
  void* at = GlobalLock(under);
  ASSERT_NE(at, nullptr);
  EXPECT_EQ(std::memcmp(at, "hello", 5), 0);
  GlobalUnlock(under);
  EXPECT_EQ(out->Release(), 0u);
  EXPECT_EQ(GlobalSize(under), 0u);  // freed with the stream
}

TEST(ClassIds, ParsedOrZero) {
  CLSID id{};
  EXPECT_EQ(CLSIDFromString(u"{557CF406-1a04-11D3-9A73-0000F81EF32E}", &id), S_OK);
  EXPECT_EQ(id, (CLSID{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}));
  for (const char16_t* bad : {u"", u"{557CF406-1A04-11D3-9A73-0000F81EF32E", u"{557CF406-1A04-11D3-9A73-0000F81EF32G}",
                              u"557CF406-1A04-11D3-9A73-0000F81EF32E", u"{557CF406-1A04-11D3-9A73-0000F81EF32E}x",
                              u"{557CF406+1A04-11D3-9A73-0000F81EF32E}"}) {
    id = CLSID{1, 2, 3, {4}};
    EXPECT_EQ(CLSIDFromString(bad, &id), CO_E_CLASSSTRING);
    EXPECT_EQ(id, CLSID{});
  }
  EXPECT_EQ(CLSIDFromString(nullptr, &id), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(u"x", nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace trenmoor::win
