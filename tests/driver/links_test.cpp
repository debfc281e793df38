#include "driver_page.h"

namespace trenmoor {
namespace {

using LinksTest = DriverPage;

TEST_F(LinksTest, FindsLinksElementByElementWithSkipAndPosition) {
  load(R"(<a id=t href="/a">submitBtn</a><a id=submitBtn href="/b">x</a><a id=h1 href="/same">1</a>
          <a id=h2 href="/same">2</a><a id=c class=emphasizeButton>3</a>)");
  EXPECT_EQ(idOf(driver_.findLink("submitBtn")), "t");  // its text comes before the later id
  EXPECT_EQ(idOf(driver_.findLink("http://example.com/same", 1)), "h2");
  EXPECT_EQ(idOf(driver_.findLink("emphasizeButton")), "c");
  EXPECT_EQ(idOf(driver_.findLink("3")), "h1");  // no attribute equals 3 first: the third link
  EXPECT_EQ(driver_.linkIndex("emphasizeButton"), 5);
  EXPECT_EQ(driver_.linkIndex("nothing"), -1);
  Text text, href, name = "sentinel", id;
  EXPECT_TRUE(driver_.linkInfo(2, &text, &href, &name, &id));
  EXPECT_EQ(id, "submitBtn");
  EXPECT_EQ(href, "http://example.com/b");
  EXPECT_EQ(name, "");
  EXPECT_FALSE(driver_.linkInfo(9, &text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(driver_.getLinkText("c"), "3");
  EXPECT_EQ(driver_.getLinkHtml("missing"), "");
  EXPECT_TRUE(driver_.focusLink("c"));
  EXPECT_FALSE(driver_.focusLink("missing"));
}

TEST_F(LinksTest, ShowHideCountAndList) {
  load(R"(<a id=a1 href="/x" style="display:none">one</a><a id=a2 name=n2>two</a>)");
  EXPECT_TRUE(driver_.showHideLink("a1"));
  EXPECT_EQ(byId("a1").getObject("style").getText("display"), "");
  EXPECT_TRUE(driver_.showHideLink("a1", 0, true));
  EXPECT_EQ(byId("a1").getObject("style").getText("display"), "none");
  EXPECT_FALSE(driver_.showHideLink("missing"));

  std::vector<Text> texts, hrefs, names{"kept"}, ids;
  EXPECT_EQ(driver_.listLinks(texts, hrefs, names, ids), 2);
  EXPECT_EQ(driver_.listLinks(texts, hrefs, names, ids), 2);
  EXPECT_EQ(texts, (std::vector<Text>{"one", "two", "one", "two"}));
  EXPECT_EQ(hrefs[0], "http://example.com/x");
  EXPECT_EQ(names, (std::vector<Text>{"kept", "", "n2", "", "n2"}));
  EXPECT_EQ(ids[3], "a2");

  // Collecting writes no labels even with the mark flag; counting with it does.
  std::vector<Text> h, t, n, i;
  EXPECT_EQ(driver_.markLinks("a", "L", true, true, h, t, n, i), 2);
  EXPECT_EQ(byId("a2").getText("innerText"), "two");
  EXPECT_EQ(driver_.countLinks(true), 2);
  EXPECT_EQ(ansiToUtf8(byId("a2").getText("innerText")), "two链2");
  EXPECT_NE(byId("a2").getText("innerHTML").find("<FONT"), Text::npos);
}

}  // namespace
}  // namespace trenmoor
