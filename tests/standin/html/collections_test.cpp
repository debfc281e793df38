// Live collections: all/tags, forms, rows, cells, options, elements, item by index and name.
#include <gtest/gtest.h>

#include "page_fixture.h"

namespace trenmoor::html {
namespace {

TEST(Collections, TagsItemAndLengthSeeLaterChanges) {
  ComObject doc = pageObject("<body><input name=a><p><input id=b></p><textarea></textarea></body>");
  ComObject inputs = doc.getObject("body").getObject("all").callObject("tags", {Variant(u"INPUT")});
  EXPECT_EQ(inputs.getInteger("length"), 2);
  EXPECT_EQ(inputs.callObject("item", {Variant(1.0)}).getText("id"), "b");
  EXPECT_TRUE(inputs.callObject("item", {Variant(2.0)}).empty());
  EXPECT_TRUE(inputs.callObject("item", {Variant(-1.0)}).empty());
  EXPECT_EQ(inputs.callObject("item", {Variant(u"a")}).getText("name"), "a");  // by name
  EXPECT_EQ(inputs.callObject("item", {Variant(u"b")}).getText("id"), "b");    // by id

  // The same collection object sees inputs added and removed afterwards.
  EXPECT_TRUE(doc.getObject("body").callLogical("insertAdjacentHTML",
                                                 {Variant(u"afterBegin"), Variant(u"<input id=first>")}));
  EXPECT_EQ(inputs.getInteger("length"), 3);
  EXPECT_EQ(inputs.callObject("item", {Variant(0.0)}).getText("id"), "first");
  EXPECT_TRUE(byId(doc, "b").getObject("parentElement").putText("innerHTML", ""));
  EXPECT_EQ(inputs.getInteger("length"), 2);
  EXPECT_EQ(doc.callObject("getElementsByTagName", {Variant(u"*")}).getInteger("length"), 7);
}

TEST(Collections, TableRowsAndCellsIgnoreNestedTables) {
  ComObject doc = pageObject(
      "<table id=t><thead><tr><th>h</th></tr></thead><tr id=r><td>1</td><td id=c>2"
      "<table><tr><td>in</td></tr></table></td></tr><tfoot><tr><td>f</td></tr></tfoot></table>");
  ComObject table = byId(doc, "t");
  EXPECT_EQ(table.getObject("rows").getInteger("length"), 3);
  EXPECT_EQ(table.getObject("cells").getInteger("length"), 4);
  ComObject row = table.getObject("rows").callObject("item", {Variant(1.0)});
  EXPECT_TRUE(row.sameObject(byId(doc, "r")));
  EXPECT_EQ(row.getInteger("rowIndex"), 1);
  EXPECT_EQ(row.getObject("cells").getInteger("length"), 2);
  EXPECT_EQ(row.getObject("cells").callObject("item", {Variant(0.0)}).getText("outerText"), "1");
  EXPECT_EQ(byId(doc, "c").getInteger("cellIndex"), 1);
  EXPECT_EQ(doc.getObject("all").callObject("tags", {Variant(u"table")}).getInteger("length"), 2);
}

TEST(Collections, FormsElementsOptionsImagesLinks) {
  ComObject doc = pageObject(
      "<form name=one><input name=u><select name=s><optgroup><option>a</option></optgroup>"
      "<option>b</option></select><button>b</button><p><textarea name=t></textarea></p></form>"
      "<form id=two></form><img src=a.png><a href=x>x</a><a name=anchor>y</a><area href=m>");
  ComObject forms = doc.getObject("forms");
  EXPECT_EQ(forms.getInteger("length"), 2);
  ComObject form = forms.callObject("item", {Variant(u"one")});
  EXPECT_EQ(form.getObject("elements").getInteger("length"), 4);
  EXPECT_EQ(form.getInteger("length"), 4);
  EXPECT_EQ(form.getObject("elements").callObject("item", {Variant(u"t")}).getText("tagName"), "TEXTAREA");
  EXPECT_TRUE(forms.callObject("item", {Variant(u"two")}).sameObject(forms.callObject("item", {Variant(1.0)})));
  ComObject select = form.getObject("elements").callObject("item", {Variant(1.0)});
  EXPECT_EQ(select.getObject("options").getInteger("length"), 2);
  EXPECT_EQ(select.getInteger("length"), 2);
  EXPECT_EQ(doc.getObject("images").getInteger("length"), 1);
  EXPECT_EQ(doc.getObject("links").getInteger("length"), 2);
}

}  // namespace
}  // namespace trenmoor::html
