// The popup tip: its default and given styling, its window on the screen, hiding, and closing
// when the page is left.
#include "driver_page.h"
#include "standin/html/popup_object.h"

namespace trenmoor {
namespace {

using PopupTipTest = DriverPage;

win::HWND popupWindow(desktop::Desktop& desktop) {
  for (win::HWND w : desktop.topLevelWindows())
    if (desktop.className(w) == html::kPopupTipWindowClass) return w;
  return 0;
}

TEST_F(PopupTipTest, ColorsAsPageStyleText) {
  struct Case {
    std::int32_t color;
    const char* hex;
  };
  for (const Case c : {Case{0x0000FF, "FF0000"}, Case{0xFF0000, "0000FF"}, Case{0xC0C0C0, "C0C0C0"},
                       Case{0x123456, "563412"}, Case{-1, "FFFFFF"}, Case{0, "000000"}}) {
    EXPECT_EQ(PageDriver::colorToHex(c.color), c.hex);
  }
}

TEST_F(PopupTipTest, ShowsAStyledPopupAndHidesIt) {
  load("<p>page</p>");
  ComObject popup = driver_.showPopupTip(10, 20, 200, 50, "<b>tip</b>");
  ASSERT_FALSE(popup.empty());
  const ComObject body = popup.getObject("document").getObject("body");
  EXPECT_EQ(body.getText("innerHTML"), "<B>tip</B>");
  EXPECT_EQ(body.getObject("style").getText("backgroundColor"), "FFFFFF");
  EXPECT_EQ(body.getObject("style").getText("border"), "solid C0C0C0 1px");
  EXPECT_TRUE(popup.getLogical("isOpen"));
  const win::HWND window = popupWindow(desktop_);
  ASSERT_NE(window, 0u);
  win::RECT rect{};
  ASSERT_TRUE(win::GetWindowRect(window, &rect));
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 210);
  EXPECT_EQ(rect.bottom, 70);
  driver_.hidePopupTip(popup);
  EXPECT_FALSE(popup.getLogical("isOpen"));
  EXPECT_FALSE(desktop_.isVisible(window));
  driver_.hidePopupTip(ComObject());  // nothing to hide: no effect

  ComObject blue = driver_.showPopupTip(0, 0, 10, 10, "x", 0xFF0000, 3, 0x0000FF);
  const ComObject style = blue.getObject("document").getObject("body").getObject("style");
  EXPECT_EQ(style.getText("border"), "solid FF0000 3px");
  EXPECT_EQ(style.getText("backgroundColor"), "0000FF");
}

TEST_F(PopupTipTest, NoDocumentOrALeftPage) {
  load("<p>page</p>");
  ComObject popup = driver_.showPopupTip(10, 20, 200, 50, "tip");
  ASSERT_NE(popupWindow(desktop_), 0u);
  page_->shutScripts();  // the page was left: its popup closes
  EXPECT_EQ(popupWindow(desktop_), 0u);
  EXPECT_FALSE(popup.getLogical("isOpen"));
  EXPECT_FALSE(popup.callLogical("show", {Variant(0), Variant(0), Variant(5), Variant(5)}));
  driver_.releaseDocument();
  EXPECT_TRUE(driver_.showPopupTip(10, 20, 200, 50, "tip").empty());
}

}  // namespace
}  // namespace trenmoor
