// Control ranges: holding elements, and copying an image to the desktop's clipboard as a bitmap
// at the size it is laid out at.
#include <gtest/gtest.h>

#include "platform/clipboard_calls.h"
#include "standin/desktop/bitmaps.h"
#include "standin/desktop/desktop.h"
#include "standin/html/control_range.h"
#include "tests/standin/html/page_fixture.h"

namespace trenmoor::html {
namespace {

class ControlRanges : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = loadPage("<body><img id=pic width=4><img id=unloaded><p id=text>x</p></body>");
    document_ = ComObject(page_.dispatch());
    // A 2 x 1 picture: red, then blue.
    auto* pic = dynamic_cast<Element*>(byId(document_, "pic").ref().get());
    ASSERT_TRUE(pic);
    pic->picture = std::make_shared<const desktop::Pixels>(desktop::Pixels{2, 1, {255, 0, 0, 0, 0, 255}});
  }
  ComObject rangeOf(std::initializer_list<const char*> ids) {
    ComObject range = document_.getObject("body").callObject("createControlRange");
    for (const char* id : ids) range.call("add", {Variant(byId(document_, id).ref())});
    return range;
  }
  bool copy(const ComObject& range) {
    return range.callLogical("execCommand", {Variant(u"copy"), Variant(false), Variant(0)});
  }
  std::optional<desktop::Pixels> clipboardPixels() {
    if (!win::OpenClipboard(0)) return std::nullopt;
    std::shared_ptr<const desktop::Pixels> pixels = desktop::bitmapPixels(win::GetClipboardData(win::CF_BITMAP));
    win::CloseClipboard();
    return pixels ? std::optional(*pixels) : std::nullopt;
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  Ref<Document> page_;
  ComObject document_;
};

TEST_F(ControlRanges, HoldElementsInOrder) {
  ComObject range = rangeOf({"text", "pic"});
  EXPECT_EQ(range.getInteger("length"), 2);
  EXPECT_EQ(range.callObject("item", {Variant(1)}).getText("id"), "pic");
  EXPECT_TRUE(range.callObject("item", {Variant(2)}).empty());
  EXPECT_TRUE(range.callObject("item", {Variant(-1)}).empty());
  EXPECT_FALSE(range.callLogical("add", {Variant(u"not an element")}));
  EXPECT_EQ(range.getInteger("length"), 2);
}

TEST_F(ControlRanges, CopyPutsTheImageScaledToItsLaidOutSize) {
  ComObject range = rangeOf({"pic"});
  ASSERT_TRUE(copy(range));
  std::optional<desktop::Pixels> copied = clipboardPixels();
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->width, 4);
  EXPECT_EQ(copied->height, 2);
  EXPECT_EQ(copied->rgb[0], 255);  // the left stays red
  EXPECT_EQ(copied->rgb[3 * 3 + 2], 255);  // the right stays blue
  EXPECT_FALSE(range.callLogical("execCommand", {Variant(u"paste"), Variant(false), Variant(0)}));
}

TEST_F(ControlRanges, NothingToCopyReportsFalseAndKeepsTheClipboard) {
  ASSERT_TRUE(copy(rangeOf({"pic"})));
  const std::size_t bitmaps = desktop::liveBitmapCount();
  for (auto ids : {std::initializer_list<const char*>{}, {"text"}, {"unloaded"}}) {
    EXPECT_FALSE(copy(rangeOf(ids)));
  }
  std::optional<desktop::Pixels> kept = clipboardPixels();
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->width, 4);
  // Held open by another: the copy fails and leaks nothing.
  ASSERT_TRUE(win::OpenClipboard(0x55));
  EXPECT_FALSE(copy(rangeOf({"pic"})));
  win::CloseClipboard();
  EXPECT_EQ(desktop::liveBitmapCount(), bitmaps);
}

}  // namespace
}  // namespace trenmoor::html
