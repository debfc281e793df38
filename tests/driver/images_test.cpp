// The image family and image capture through the page's copy command and the clipboard.
#include <cstring>

#include "driver/picture_encoding.h"
#include "platform/clipboard_calls.h"
#include "standin/desktop/bitmaps.h"
#include "standin/imaging/picture_codec.h"
#include "tests/driver/driver_page.h"

namespace trenmoor {
namespace {

// Pixel (x, y) of a test picture: red 20x, green 100y, blue 9; each differs from its neighbours.
std::uint8_t channel(int x, int y, int c) { return c == 0 ? std::uint8_t(20 * x) : c == 1 ? std::uint8_t(100 * y) : 9; }

std::string pngOf(int width, int height) {
  desktop::Pixels p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) p.rgb.push_back(channel(x, y, c));
  Bytes png = imaging::encodePicture(p, imaging::Encoding::Png);
  return std::string(png.begin(), png.end());
}

// Serves pictures by address, decoded into the image as the browser does.
class PictureHost : public RecordingHost {
 public:
  void loadImage(html::Document&, html::Element& image, std::u16string_view url) override {
    auto it = pictures.find(wideToUtf8(url));
    if (it == pictures.end()) return;
    std::optional<desktop::Pixels> pixels = imaging::decodePicture(
        std::span(reinterpret_cast<const std::uint8_t*>(it->second.data()), it->second.size()));
    if (pixels) image.picture = std::make_shared<const desktop::Pixels>(std::move(*pixels));
  }
  std::map<std::string, std::string> pictures;
};

std::int32_t le32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | b[at + std::size_t(i)];
  return static_cast<std::int32_t>(v);
}

class Images : public DriverPage {
 protected:
  void SetUp() override { host_.pictures["http://example.com/share/bar.png"] = pngOf(10, 2); }
  void loadPage(std::string_view markup) { load(markup, &host_); }
  bool clipboardHoldsBitmap() { return desktop_.clipboard().holds(win::CF_BITMAP); }
  PictureHost host_;
};

TEST_F(Images, CaptureGivesTheBmpFileOfTheImageAndEmptiesTheClipboard) {
  loadPage(R"(<body><img id=other src="missing.png"><img id=bar src="bar.png"></body>)");
  const Bytes bmp = driver_.captureImage("bar.png");
  ASSERT_EQ(bmp.size(), 118u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  struct Field {
    std::size_t at;
    std::int32_t value;
  } fields[] = {{2, 118}, {6, 0}, {10, 54}, {14, 40}, {18, 10}, {22, 2}, {30, 0}, {34, 64},
                {38, 0},  {42, 0}, {46, 0}, {50, 0}};
  for (const Field& f : fields) EXPECT_EQ(le32(bmp, f.at), f.value) << "offset " << f.at;
  EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);   // planes
  EXPECT_EQ(bmp[28] | bmp[29] << 8, 24);  // bits per pixel
  // Rows bottom-up, blue-green-red, each padded from 30 to 32 bytes.
  for (int row = 0; row < 2; ++row) {
    const int y = 1 - row;
    for (int x = 0; x < 10; ++x) {
      const std::size_t at = 54 + std::size_t(row) * 32 + std::size_t(x) * 3;
      EXPECT_EQ(bmp[at], channel(x, y, 2));
      EXPECT_EQ(bmp[at + 1], channel(x, y, 1));
      EXPECT_EQ(bmp[at + 2], channel(x, y, 0)) << x << "," << y;
    }
    EXPECT_EQ(bmp[54 + std::size_t(row) * 32 + 30], 0);
    EXPECT_EQ(bmp[54 + std::size_t(row) * 32 + 31], 0);
  }
  EXPECT_FALSE(clipboardHoldsBitmap());
  EXPECT_FALSE(desktop_.clipboard().isOpen());
}

TEST_F(Images, EachFormatDecodesToTheSamePixels) {
  loadPage(R"(<body><img src="bar.png"></body>)");
  const Bytes bmp = driver_.captureImage("bar");
  struct Case {
    std::int32_t format;
    std::string signature;
    int tolerance;
  } cases[] = {{1, "BM", 0}, {2, "\xff\xd8", 255}, {3, "GIF8", 0}, {4, "II*", 0}, {5, "\x89PNG\r\n\x1a\n", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const Bytes bytes = driver_.captureImage("bar", c.format);
    ASSERT_GE(bytes.size(), c.signature.size());
    EXPECT_EQ(std::memcmp(bytes.data(), c.signature.data(), c.signature.size()), 0);
    std::optional<desktop::Pixels> back = imaging::decodePicture(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 10);
    EXPECT_EQ(back->height, 2);
    if (c.tolerance) continue;  // JPEG: the signature and size say enough of a 10 x 2 picture
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 10; ++x)
        for (int ch = 0; ch < 3; ++ch)
          ASSERT_EQ(back->rgb[std::size_t((y * 10 + x) * 3 + ch)], channel(x, y, ch)) << x << "," << y;
  }
  // A format without an encoder gives the BMP bytes.
  EXPECT_EQ(driver_.captureImage("bar", 9), bmp);
  EXPECT_EQ(driver_.captureImage("bar", -1), bmp);
}

TEST_F(Images, CapturedAtTheSizeTheImageIsLaidOutAt) {
  loadPage(R"(<body><img id=scaled src="bar.png" width=20 height=4><img id=thin src="bar.png" width=5></body>)");
  const Bytes a = driver_.captureImage("scaled");
  ASSERT_GE(a.size(), 54u);
  EXPECT_EQ(le32(a, 18), 20);
  EXPECT_EQ(le32(a, 22), 4);
  const Bytes b = driver_.captureImage("thin");
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(le32(b, 18), 5);
  EXPECT_EQ(le32(b, 22), 1);  // the picture's proportions
}

TEST_F(Images, NothingCopiedGivesEmptyBytesInEveryFormat) {
  loadPage(R"(<body><img id=gone src="missing.png"><input type=image id=button src="bar.png"><p id=text>x</p></body>)");
  for (const char* key : {"nothing-here", "gone", "button"}) {
    for (std::int32_t format : {0, 5}) EXPECT_TRUE(driver_.captureImage(key, format).empty()) << key;
  }
  EXPECT_FALSE(clipboardHoldsBitmap());
  PageDriver detached;
  EXPECT_TRUE(detached.captureImage("bar").empty());
}

TEST_F(Images, ClipboardReadLeavesAClipboardItCannotUse) {
  loadPage(R"(<body><img src="bar.png"></body>)");
  EXPECT_TRUE(driver_.clipboardBitmapToBmp().empty());  // nothing on it
  // Another holds the clipboard open: neither the copy nor the read touches it.
  ASSERT_TRUE(win::OpenClipboard(0x77));
  win::SetClipboardData(win::CF_BITMAP, desktop::createBitmap({1, 1, {1, 2, 3}}));
  EXPECT_TRUE(driver_.captureImage("bar").empty());
  EXPECT_TRUE(driver_.clipboardBitmapToBmp().empty());
  EXPECT_TRUE(desktop_.clipboard().isOpen());
  EXPECT_EQ(desktop_.clipboard().owner(), 0x77u);
  EXPECT_TRUE(clipboardHoldsBitmap());
  win::CloseClipboard();
  // Once it is closed, the bitmap left there is read.
  const Bytes one = driver_.clipboardBitmapToBmp();
  ASSERT_EQ(one.size(), 58u);
  EXPECT_EQ(one[54], 3);  // blue, green, red
  EXPECT_EQ(one[56], 1);
  EXPECT_FALSE(clipboardHoldsBitmap());
}

TEST_F(Images, ImageInputsCountBeforeImgElements) {
  loadPage(R"(<body><img id=pic src="http://cdn.example.com/a/photo_123.jpg" name=n1 title=t1 width=7 height=8>
      <input type=image id=i1 src="b1.gif"><input type=text id=t><input type=image id=i2><input type=image id=i3>
      <img id=second src="x.png"></body>)");
  EXPECT_EQ(idOf(driver_.findImage("photo_123")), "pic");  // part of the address
  EXPECT_EQ(driver_.imageIndex("pic"), 4);
  EXPECT_EQ(driver_.imageIndex("second"), 5);
  EXPECT_EQ(driver_.imageIndex("i1"), 1);
  EXPECT_EQ(driver_.imageIndex("none"), -1);
  EXPECT_TRUE(driver_.findImage("none").empty());

  Text src, width, height, title, name, id;
  ComObject element;
  ASSERT_TRUE(driver_.imageInfo(4, &src, &width, &height, &title, &name, &id, &element));
  EXPECT_EQ(src, "http://cdn.example.com/a/photo_123.jpg");
  EXPECT_EQ(width + "," + height + "," + title + "," + name + "," + id, "7,8,t1,n1,pic");
  EXPECT_EQ(idOf(element), "pic");
  EXPECT_FALSE(driver_.imageInfo(6, &src, nullptr, nullptr, nullptr, nullptr, nullptr, &element));
  EXPECT_TRUE(element.empty());
  EXPECT_EQ(src, "");

  std::vector<Text> sources, widths, heights, names, ids, titles;
  EXPECT_EQ(driver_.listImages(&sources, &widths, &heights, &names, &ids, &titles), 5);
  EXPECT_EQ(driver_.listImages(&sources, &widths, &heights, &names, &ids, &titles), 5);
  ASSERT_EQ(ids.size(), 10u);
  EXPECT_EQ(ids[0], "i1");
  EXPECT_EQ(ids[3], "pic");
  EXPECT_EQ(ids[8], "pic");
  EXPECT_EQ(titles[3], "t1");  // listing labels nothing
  EXPECT_EQ(driver_.listImages(), 5);

  EXPECT_EQ(driver_.countImages(false), 5);
  EXPECT_EQ(byId("i1").getText("title"), "");
  EXPECT_EQ(driver_.countImages(true), 5);
  EXPECT_EQ(byId("i1").getText("title"), ansiLiteral<"图片">() + "1");
  EXPECT_EQ(byId("pic").getText("title"), ansiLiteral<"图片">() + "4");
}

TEST_F(Images, ClickAndShowHide) {
  loadPage(R"(<body><img id=pic src="a.png" onclick="this.alt='clicked'"></body>)");
  EXPECT_TRUE(driver_.clickImage("pic"));
  EXPECT_EQ(byId("pic").getText("alt"), "clicked");
  EXPECT_FALSE(driver_.clickImage("none"));
  EXPECT_TRUE(driver_.showHideImage("pic", 0, true));
  EXPECT_EQ(byId("pic").getObject("style").getText("display"), "none");
  EXPECT_TRUE(driver_.showHideImage("pic", 0, false));
  EXPECT_EQ(byId("pic").getObject("style").getText("display"), "");
  EXPECT_FALSE(driver_.showHideImage("none", 0, true));
}

TEST(PictureEncoding, ShortPicturesAndBytes) {
  Bytes result = {7};
  EXPECT_FALSE(encodePicture({'B', 'M'}, 5, result));
  EXPECT_FALSE(encodePicture({1, 2, 3, 4, 5}, 5, result));
  EXPECT_EQ(result, Bytes{7});
  EXPECT_EQ(int32ToBytes(0x01020304), (Bytes{4, 3, 2, 1}));
  EXPECT_EQ(int32ToBytes(-2), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(parseClassId("{557CF401-1A04-11D3-9A73-0000F81EF32E}").data1, 0x557CF401u);
  EXPECT_EQ(parseClassId(""), win::GUID{});
}

}  // namespace
}  // namespace trenmoor
