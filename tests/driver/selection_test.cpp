#include "driver_page.h"

namespace trenmoor {
namespace {

class SelectionTest : public DriverPage {
 protected:
  ~SelectionTest() override {
    driver_.releaseDocument();
    page_ = {};
  }
  // Selects the text of the element, as a person would.
  void select(std::string_view id) {
    ComObject range = document().getObject("body").callObject("createTextRange");
    range.call("moveToElementText", {Variant(byId(id).ref())});
    range.call("select");
  }
  Text body() { return document().getObject("body").getText("innerHTML"); }
  RecordingHost host_;
};

TEST_F(SelectionTest, SelectionReadsAsTextOrMarkupAndIsReplacedByPastedMarkup) {
  load("<p>plain <b id=b>bold</b> end</p>");
  EXPECT_EQ(driver_.getSelectionText(), "");
  driver_.pasteHtmlAtSelection("<i>nowhere</i>");  // nothing selected: nothing changes
  EXPECT_EQ(body(), "<P>plain <B id=\"b\">bold</B> end</P>");

  select("b");
  EXPECT_EQ(driver_.getSelectionText(0), "bold");
  EXPECT_EQ(driver_.getSelectionText(1), "<B id=\"b\">bold</B>");
  driver_.pasteHtmlAtSelection("<i>new</i>");
  EXPECT_EQ(body(), "<P>plain <B id=\"b\"><I>new</I></B> end</P>");
  EXPECT_EQ(PageDriver().getSelectionText(1), "");
}

TEST_F(SelectionTest, HighlightingWrapsEveryOccurrenceAndStoresTheDefaultColours) {
  load("<p>Key one key</p><p>two <b>KEY</b> a&lt;b</p>");
  Text foreground, background;
  driver_.highlightKeyword("key", &foreground, &background);
  EXPECT_EQ(foreground, "ff0000");
  EXPECT_EQ(background, "D6F20D");
  const Text open = "<FONT style=\"COLOR: #ff0000; BACKGROUND-COLOR: #D6F20D\">";
  EXPECT_EQ(body(), "<P>" + open + "Key</FONT> one " + open + "key</FONT></P><P>two <B>" + open +
                        "KEY</FONT></B> a&lt;b</P>");

  // Bold wrapping with the caller's colours; page text that reads as markup stays text.
  Text red = "aa0000";
  driver_.highlightKeyword("a<b", &red, nullptr, true);
  EXPECT_EQ(red, "aa0000");
  EXPECT_NE(body().find("<B style=\"COLOR: #aa0000; BACKGROUND-COLOR: #D6F20D\">a&lt;b</B>"), Text::npos);

  // An empty keyword changes nothing; with no document the defaults are still stored.
  const Text before = body();
  driver_.highlightKeyword("");
  EXPECT_EQ(body(), before);
  Text empty;
  PageDriver().highlightKeyword("key", &empty);
  EXPECT_EQ(empty, "ff0000");
}

// A text range that keeps finding the same place, as an engine that searched the markup just
// pasted would.
class StuckRange : public Dispatch {
 public:
  bool getMember(std::u16string_view name, Variant& result) override {
    if (name == u"body") result = DispatchRef(this);
    else if (name == u"Text") result = Variant(u"key");
    else return false;
    return true;
  }
  bool putMember(std::u16string_view, const Variant&) override { return false; }
  bool invoke(std::u16string_view name, std::span<const Variant>, Variant& result) override {
    if (name == u"createTextRange" || name == u"duplicate") result = DispatchRef(this);
    else if (name == u"FindText") result = ++searches < 100;  // bounded, so a fault fails instead of hanging
    else if (name == u"compareEndPoints") result = 0;
    else if (name == u"pasteHTML") ++pastes;
    return true;
  }
  int searches = 0;
  int pastes = 0;
};

TEST_F(SelectionTest, HighlightingStopsWhenASearchFindsTheSamePlaceAgain) {
  auto* stuck = new StuckRange;
  DispatchRef hold(stuck);
  attachTo(hold);
  driver_.highlightKeyword("key");
  EXPECT_EQ(stuck->pastes, 1);
}

TEST_F(SelectionTest, SuppressedDialogsShowNothingForThePagesHandlers) {
  load("<button id=go onclick=\"alert('hi'); document.title = confirm('sure?')\">go</button>", &host_);
  byId("go").call("click");
  EXPECT_EQ(host_.dialogs, (std::vector<std::string>{"hi", "sure?"}));
  driver_.suppressDialogs();
  byId("go").call("click");
  EXPECT_EQ(host_.dialogs.size(), 2u);
  EXPECT_TRUE(page_->scriptErrors().empty());
}

TEST_F(SelectionTest, WritingGoesIntoTheOpenStreamWithoutOpeningOrClosingIt) {
  load("<p>loaded</p>");
  driver_.documentWrite("<p>one</p>");
  driver_.documentWrite("<p>two</p>");  // a close in between would have started a new page
  EXPECT_EQ(body(), "<P>one</P><P>two</P>");
}

TEST_F(SelectionTest, HidingScrollBarsAddsTheStyleRule) {
  load("<p>page</p>");
  driver_.hideScrollBars();
  ASSERT_EQ(page_->styleSheets.size(), 1u);
  EXPECT_EQ(document().getObject("documentElement").getObject("currentStyle").getText("overflow"), "hidden");
  EXPECT_TRUE(page_->scriptErrors().empty());
}

}  // namespace
}  // namespace trenmoor
