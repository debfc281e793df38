// Element accessors on a held element, and replacing the whole document.
#include "driver_page.h"

namespace trenmoor {
namespace {

using ElementAccessorsTest = DriverPage;

TEST_F(ElementAccessorsTest, ReadAndWriteMarkupAndText) {
  load("<div id=d><b>bold</b> text</div><p id=p>para</p>");
  ComObject div = byId("d");
  EXPECT_EQ(driver_.getInnerHtml(div), "<B>bold</B> text");
  EXPECT_EQ(driver_.getInnerText(div), "bold text");
  EXPECT_EQ(driver_.getOuterText(div), "bold text");
  EXPECT_EQ(driver_.getOuterHtml(div), "<DIV id=\"d\"><B>bold</B> text</DIV>");

  // Text shows markup characters literally; markup is interpreted.
  EXPECT_TRUE(driver_.setInnerText(div, "<i>x</i>"));
  EXPECT_EQ(driver_.getInnerText(div), "<i>x</i>");
  EXPECT_EQ(div.getObject("firstChild").getInteger("nodeType"), 3);
  EXPECT_TRUE(driver_.setInnerHtml(div, "<i>x</i>"));
  EXPECT_EQ(driver_.getInnerText(div), "x");
  EXPECT_EQ(div.getObject("firstChild").getText("tagName"), "I");

  EXPECT_TRUE(driver_.setOuterHtml(byId("p"), "<span id=s>new</span>"));
  EXPECT_TRUE(byId("p").empty());
  EXPECT_EQ(byId("s").getText("innerText"), "new");
  EXPECT_TRUE(driver_.setOuterText(byId("s"), "plain"));
  EXPECT_TRUE(byId("s").empty());
  EXPECT_NE(document().getObject("body").getText("innerText").find("plain"), Text::npos);
}

TEST_F(ElementAccessorsTest, AnEmptyElementReadsEmptyAndRefusesWrites) {
  load("<div id=d>kept</div>");
  const ComObject none;
  EXPECT_EQ(driver_.getInnerHtml(none), "");
  EXPECT_EQ(driver_.getInnerText(none), "");
  EXPECT_EQ(driver_.getOuterHtml(none), "");
  EXPECT_EQ(driver_.getOuterText(none), "");
  EXPECT_FALSE(driver_.setInnerHtml(none, "x"));
  EXPECT_FALSE(driver_.setInnerText(none, "x"));
  EXPECT_FALSE(driver_.setOuterHtml(none, "x"));
  EXPECT_FALSE(driver_.setOuterText(none, "x"));
  EXPECT_EQ(byId("d").getText("innerText"), "kept");
}

TEST_F(ElementAccessorsTest, ReplacedDocumentShowsOnlyTheNewMarkup) {
  load("<a id=old href=/old>old</a><div>gone</div>");
  driver_.replaceDocument("<p>new</p><a href=/1>one</a><a href=/2>two</a>");
  EXPECT_TRUE(byId("old").empty());
  EXPECT_EQ(document().getObject("body").getText("innerText"), "new\r\nonetwo");
  ComObject links = driver_.getElementsByTag("a");
  EXPECT_EQ(links.getInteger("length"), 2);
  EXPECT_EQ(links.callObject("item", {Variant(1.0)}).getText("innerText"), "two");
  EXPECT_EQ(driver_.getElementsByTag("div").getInteger("length"), 0);

  PageDriver detached;
  EXPECT_TRUE(detached.getElementsByTag("a").empty());
  detached.replaceDocument("<p>x</p>");  // no document: nothing happens
}

}  // namespace
}  // namespace trenmoor
