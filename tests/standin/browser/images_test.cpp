// Images are fetched as the page loads, through the browser's network, and the page completes
// once they are in; their natural size is then known to scripts and the object model.
#include "standin/imaging/picture_codec.h"
#include "tests/standin/browser/browser_fixture.h"

namespace trenmoor::browser {
namespace {

using ImagesTest = BrowserFixture;

std::string picture(int width, int height, imaging::Encoding encoding) {
  desktop::Pixels p{width, height, std::vector<std::uint8_t>(std::size_t(width * height * 3), 200)};
  std::vector<std::uint8_t> bytes = imaging::encodePicture(p, encoding);
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(ImagesTest, FetchedWithThePageFromTheSiteAndDataAddresses) {
  // 1 x 1 GIF as a data: address.
  const std::string gifData =
      "data:image/gif;base64,R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==";
  serve("a.test", {{"/", SiteResponse::page("<img id=png src=/p.png><img id=jpg src=p.jpg width=30>"
                                            "<img id=data src=\"" + gifData + "\"><img id=broken src=/x.png>"
                                            "<img id=missing src=/none.png><img id=nosrc>")},
                   {"/p.png", SiteResponse{200, {}, picture(12, 5, imaging::Encoding::Png), 50}},
                   {"/p.jpg", SiteResponse{200, {}, picture(6, 4, imaging::Encoding::Jpeg), 80}},
                   {"/x.png", SiteResponse{200, {}, "\x89PNG\r\n\x1a\nnot really", 10}}});
  browser_->navigate("http://a.test/");
  runTo(79);
  EXPECT_EQ(state(), 3);  // the JPEG is still on its way
  runTo(80);
  EXPECT_EQ(state(), 4);
  auto size = [&](const char* id) {
    ComObject image = document().callObject("getElementById", {ComObject::textArgument(id)});
    return image.getText("naturalWidth") + "x" + image.getText("naturalHeight") + " " + image.getText("width") + "x" +
           image.getText("height");
  };
  EXPECT_EQ(size("png"), "12x5 12x5");
  EXPECT_EQ(size("jpg"), "6x4 30x20");  // laid out at its width, in proportion
  EXPECT_EQ(size("data"), "1x1 1x1");
  EXPECT_EQ(size("broken"), "0x0 0x0");
  EXPECT_EQ(size("missing"), "0x0 0x0");
  EXPECT_EQ(size("nosrc"), "0x0 0x0");
}

}  // namespace
}  // namespace trenmoor::browser
