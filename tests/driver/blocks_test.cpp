// The div, list-item and span families: their shared shape as one table, then each family's
// differences (attributes compared, labels inserted, by-position outs, which can hide).
#include <functional>

#include "driver_page.h"

namespace trenmoor {
namespace {

using BlocksTest = DriverPage;

// A family's operations as the table calls them. Each page holds elements a, b, c of the
// family with another element between them; a and c carry the key k.
struct Family {
  const char* name;
  const char* markup;
  const char* label;  // the label the marker inserts for the first element
  std::function<std::int32_t(PageDriver&, const Text&, std::int32_t)> index;
  std::function<bool(PageDriver&, const Text&)> click;
  std::function<Text(PageDriver&, const Text&, std::int32_t)> outerHtml;
  std::function<std::int32_t(PageDriver&, bool)> count;
  std::function<bool(PageDriver&, const Text&, bool)> showHide;  // null: the family cannot hide
  std::function<ComObject(PageDriver&, const Text&, std::int32_t)> find;  // null: none
};

const Family kFamilies[] = {
    {"divs", "<div id=a class=k onclick=\"this.title='hit'\">1</div><span name=k>s</span><div id=b>2</div>"
             "<div id=c title=k>3</div>",
     "<FONT color=\"red\">Div1</FONT>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.divIndex(k, s); },
     [](PageDriver& d, const Text& k) { return d.clickDiv(k); },
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.getDivOuterHtml(k, s); },
     [](PageDriver& d, bool m) { return d.countDivs(m); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideDiv(k, 0, h); },
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findDiv(k, s); }},
    {"list items", "<ul><li id=a class=k onclick=\"this.title='hit'\">1</li></ul><div class=k>d</div>"
                   "<ol><li id=b>2</li><li id=c>k</li></ol>",
     "<FONT color=\"red\">ULli1</FONT>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.listItemIndex(k, s); },
     [](PageDriver& d, const Text& k) { return d.clickListItem(k); },
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.getListItemHtml(k, s); },
     [](PageDriver& d, bool m) { return d.countListItems(m); }, nullptr, nullptr},
    {"spans", "<span id=a name=k onclick=\"this.title='hit'\">1</span><div class=k>d</div><span id=b>2</span>"
              "<span id=c class=k>3</span>",
     "<FONT color=\"red\">Span1</FONT>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.spanIndex(k, s); },
     [](PageDriver& d, const Text& k) { return d.clickSpan(k); },
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.getSpanOuterHtml(k, s); },
     [](PageDriver& d, bool m) { return d.countSpans(m); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideSpan(k, 0, h); },
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findSpan(k, s); }},
};

TEST_F(BlocksTest, SharedShape) {
  for (const Family& f : kFamilies) {
    SCOPED_TRACE(f.name);
    load(f.markup);
    EXPECT_EQ(f.index(driver_, "k", 0), 1);
    EXPECT_EQ(f.index(driver_, "k", 1), 3);
    EXPECT_EQ(f.index(driver_, "k", 2), -1);
    EXPECT_EQ(f.index(driver_, "2", 0), 2);
    EXPECT_EQ(f.index(driver_, "nothing", 0), -1);
    EXPECT_EQ(f.outerHtml(driver_, "k", 1), byId("c").getText("outerHTML"));
    EXPECT_EQ(f.outerHtml(driver_, "nothing", 0), "");
    if (f.find) {
      EXPECT_EQ(idOf(f.find(driver_, "k", 1)), "c");
      EXPECT_TRUE(f.find(driver_, "k", 2).empty());
    }
    EXPECT_FALSE(f.click(driver_, "nothing"));
    EXPECT_TRUE(f.click(driver_, "k"));
    EXPECT_EQ(byId("a").getText("title"), "hit");
    if (f.showHide) {
      EXPECT_TRUE(f.showHide(driver_, "2", true));
      EXPECT_EQ(byId("b").getObject("style").getText("display"), "none");
      EXPECT_TRUE(f.showHide(driver_, "2", false));
      EXPECT_EQ(byId("b").getObject("style").getText("display"), "");
      EXPECT_FALSE(f.showHide(driver_, "nothing", true));
    }
    const Text before = byId("a").getText("innerHTML");
    EXPECT_EQ(f.count(driver_, false), 3);
    EXPECT_EQ(byId("a").getText("innerHTML"), before);
    EXPECT_EQ(f.count(driver_, true), 3);
    EXPECT_EQ(byId("a").getText("innerHTML"), f.label + before);
    driver_.releaseDocument();
    EXPECT_EQ(f.count(driver_, true), 0);
    EXPECT_EQ(f.index(driver_, "1", 0), -1);
    EXPECT_FALSE(f.click(driver_, "1"));
  }
}

TEST_F(BlocksTest, WhichAttributesEachFamilyCompares) {
  struct Case {
    const char* markup;
    std::function<std::int32_t(PageDriver&)> index;
    std::int32_t expected;
  };
  const Case cases[] = {
      // A list item cannot be found by name; divs and spans can.
      {"<li>x</li><li name=k>y</li>", [](PageDriver& d) { return d.listItemIndex("k"); }, -1},
      {"<div>x</div><div name=k>y</div>", [](PageDriver& d) { return d.divIndex("k"); }, 2},
      {"<span>x</span><span name=k>y</span>", [](PageDriver& d) { return d.spanIndex("k"); }, 2},
      // The whole innerText is compared; an outer div holding only the inner one comes first.
      {"<div>k and more</div><div id=o><div>k</div></div>", [](PageDriver& d) { return d.divIndex("k"); }, 2},
      // Positional keys: a first div with class name 2 wins over the second div.
      {"<div class=2>x</div><div>y</div>", [](PageDriver& d) { return d.divIndex("2"); }, 1},
      {"<div>x</div><div>y</div>", [](PageDriver& d) { return d.divIndex("2"); }, 2},
      {"<span title=z>x</span><span class=z>y</span>", [](PageDriver& d) { return d.spanIndex("z", 1); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    load(c.markup);
    EXPECT_EQ(c.index(driver_), c.expected);
  }
}

TEST_F(BlocksTest, ByPositionOutsAndMarkup) {
  load("<div id=d1 class=c1 title=t1>one</div><div id=d2><div id=d3>nested</div></div>"
       "<span id=s1 class=c title=t>text</span><span id=s2>x</span>");
  Text className = "s", title = "s", id = "s", innerText = "s";
  ComObject element;
  EXPECT_TRUE(driver_.divInfo(1, &className, &title, &id, &element));
  EXPECT_EQ(className + "|" + title + "|" + id + "|" + idOf(element), "c1|t1|d1|d1");
  EXPECT_TRUE(driver_.spanInfo(1, &title, &className, &innerText, &id));
  EXPECT_EQ(title + "|" + className + "|" + innerText + "|" + id, "t|c|text|s1");
  title = className = "untouched";
  EXPECT_TRUE(driver_.spanInfo(1, nullptr, nullptr, nullptr, nullptr, &element));
  EXPECT_EQ(idOf(element), "s1");
  EXPECT_EQ(title + className, "untoucheduntouched");
  EXPECT_FALSE(driver_.divInfo(4, &className, &title, &id, &element));
  EXPECT_EQ(className + title + id, "");
  EXPECT_TRUE(element.empty());
  // A nested div is counted and labelled too.
  EXPECT_EQ(driver_.countDivs(true), 3);
  EXPECT_EQ(byId("d3").getText("innerHTML"), "<FONT color=\"red\">Div3</FONT>nested");

  EXPECT_TRUE(driver_.setSpanInnerHtml("s2", "<b>bold</b>"));
  EXPECT_EQ(driver_.getSpanInnerHtml("s2"), "<B>bold</B>");
  EXPECT_EQ(driver_.getSpanOuterHtml("s2"), "<SPAN id=\"s2\"><B>bold</B></SPAN>");
  EXPECT_FALSE(driver_.setSpanInnerHtml("nothing", "<b>x</b>"));
  EXPECT_TRUE(driver_.setDivInnerHtml("d1", "new"));
  EXPECT_EQ(driver_.getDivInnerHtml("d1"), "new");
  EXPECT_EQ(driver_.getDivOuterHtml("d1"), byId("d1").getText("outerHTML"));
  EXPECT_FALSE(driver_.setDivInnerHtml("nothing", "x"));
  EXPECT_EQ(driver_.getDivInnerHtml("nothing"), "");
}

}  // namespace
}  // namespace trenmoor
