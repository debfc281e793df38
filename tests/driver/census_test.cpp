#include "driver_page.h"

namespace trenmoor {
namespace {

using CensusTest = DriverPage;

// The columns of one census, kept between calls so that old entries can be counted.
struct Columns {
  std::vector<Text> innerTexts, values, names, ids, typeNames, hrefs, srcs, sizesA, sizesB, checkedStates,
      outerHtmls, titles, titledHrefs;
  std::vector<ComObject> elements;

  std::int32_t take(PageDriver& driver, std::int32_t kind, const Text& tags, const Text& types, bool mark = false) {
    return driver.takeElementCensus(kind, tags, types, innerTexts, values, names, ids, typeNames, hrefs, srcs, sizesA,
                                    sizesB, checkedStates, outerHtmls, mark, titles, titledHrefs, elements);
  }
};

using Entries = std::vector<Text>;

constexpr std::string_view kPage =
    "<input type=radio name=g id=r1 value=a><input type=radio name=g id=r2 value=b checked>"
    "<input type=radio name=h id=r3 value=c>"
    "<input type=text id=t value=tv><input type=password id=p><input type=file id=f>"
    "<a id=l1 href=one.html title=First>one</a><a id=l2 href=two.html type=kept>two</a>"
    "<img id=i src=pic.png width=40 height=30 title=Pic>"
    "<ul><li id=li1>first</li><li>second</li></ul>"
    "<span id=s1 title=tip>one</span><span>two</span>";

TEST_F(CensusTest, KindsKeepTheirElementsAndFillTheirColumns) {
  load(kPage);
  // Labels go in before the columns are read, numbered in page order.
  Columns radios;
  EXPECT_EQ(radios.take(driver_, 0, "input", "radio", true), 3);
  EXPECT_EQ(radios.names, (Entries{utf8ToAnsi("单选框1"), utf8ToAnsi("单选框2"), utf8ToAnsi("单选框3")}));
  EXPECT_EQ(byId("r2").getText("name"), utf8ToAnsi("单选框2"));
  EXPECT_EQ(radios.checkedStates, (Entries{utf8ToAnsi("假"), utf8ToAnsi("真"), utf8ToAnsi("假")}));
  EXPECT_EQ(radios.typeNames, (Entries{"radio", "radio", "radio"}));
  EXPECT_EQ(radios.values, (Entries{"a", "b", "c"}));
  ASSERT_EQ(radios.elements.size(), 3u);
  EXPECT_TRUE(radios.elements[1].sameObject(byId("r2")));
  EXPECT_TRUE(radios.hrefs.empty());

  // Whole entries compare: text and password are kept, file is not; capitals keep nothing.
  Columns boxes;
  EXPECT_EQ(boxes.take(driver_, 2, "input", "text|password"), 2);
  EXPECT_EQ(boxes.ids, (Entries{"t", "p"}));
  EXPECT_EQ(boxes.take(driver_, 2, "input", "TEXT|Password"), 2);
  EXPECT_EQ(boxes.take(driver_, 2, "input", ""), 2);

  // The capital A reads the kind word from type, not from the tag name.
  Columns links;
  EXPECT_EQ(links.take(driver_, 7, "A", "a"), 0);
  EXPECT_EQ(links.take(driver_, 7, "A", "kept"), 1);
  EXPECT_EQ(links.take(driver_, 7, "a", "a"), 3);
  EXPECT_EQ(links.innerTexts, (Entries{"two", "one", "two"}));
  EXPECT_EQ(links.titles, (Entries{"", "First", ""}));
  EXPECT_EQ(links.hrefs[1], "http://example.com/share/one.html");

  // Images: height before width in the columns B then A.
  Columns images;
  EXPECT_EQ(images.take(driver_, 8, "img", "img"), 1);
  EXPECT_EQ(images.sizesB, Entries{"30"});
  EXPECT_EQ(images.sizesA, Entries{"40"});
  EXPECT_EQ(images.typeNames, Entries{"IMG"});

  // Titled elements, whatever the type list holds as long as it holds something.
  Columns titled;
  EXPECT_EQ(titled.take(driver_, 9, "a|img", "x"), 2);
  EXPECT_EQ(titled.titles, (Entries{"First", "Pic"}));
  EXPECT_EQ(titled.titledHrefs, (Entries{"http://example.com/share/one.html", ""}));

  // List items: text, id and markup without CR LF pairs; no elements.
  byId("li1").getObject("firstChild").put("data", Variant(u"first\r\nitem"));
  Columns items;
  EXPECT_EQ(items.take(driver_, 12, "li", "x"), 2);
  EXPECT_EQ(items.ids, (Entries{"li1", ""}));
  EXPECT_EQ(items.outerHtmls[0], "<LI id=\"li1\">firstitem</LI>");
  EXPECT_TRUE(items.elements.empty());
  EXPECT_TRUE(items.typeNames.empty());

  // Spans: walked once for every tag entry; old entries are counted.
  Columns spans;
  EXPECT_EQ(spans.take(driver_, 13, "x|y", "x"), 4);
  EXPECT_EQ(spans.values, (Entries{"tip", "", "tip", ""}));
  EXPECT_EQ(spans.take(driver_, 13, "", "x"), 4);
  EXPECT_EQ(spans.elements.size(), 4u);
}

TEST_F(CensusTest, NoDocumentAppendsNothing) {
  Columns columns;
  columns.typeNames = {"old"};
  PageDriver unattached;
  EXPECT_EQ(columns.take(unattached, 0, "input", "radio"), 1);
  EXPECT_EQ(columns.take(unattached, 14, "input", "radio"), 1);
}

}  // namespace
}  // namespace trenmoor
