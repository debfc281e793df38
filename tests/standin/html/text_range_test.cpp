// Text ranges over the body and the document's selection, through the late-bound interface
// the driver uses and through page scripts.
#include <gtest/gtest.h>

#include "page_fixture.h"

namespace trenmoor::html {
namespace {

Variant text(const char16_t* t) { return Variant(t); }

ComObject bodyRange(const ComObject& doc) { return doc.getObject("body").callObject("createTextRange"); }

Text bodyMarkup(const ComObject& doc) { return doc.getObject("body").getText("innerHTML"); }

TEST(TextRange, FindsCaseInsensitivelyForwardAndPastesMarkupInPlace) {
  ComObject doc = pageObject("<p>Alpha beta <b>Gamma</b> alpha</p><script>var alpha;</script>");
  ComObject range = bodyRange(doc);
  EXPECT_EQ(range.getText("text"), "Alpha beta Gamma alpha");

  ASSERT_TRUE(range.callLogical("findText", {text(u"ALPHA")}));
  EXPECT_EQ(range.getText("Text"), "Alpha");
  range.call("pasteHTML", {text(u"<i>X</i>")});
  EXPECT_EQ(range.getText("text"), "");  // collapsed after what was pasted
  EXPECT_EQ(bodyMarkup(doc), "<P><I>X</I> beta <B>Gamma</B> alpha</P><SCRIPT>var alpha;</SCRIPT>");

  // The search goes on from the range's start; script text is not page text.
  ASSERT_TRUE(range.callLogical("findText", {text(u"alpha")}));
  range.call("pasteHTML", {text(u"<u>alpha</u>")});
  ComObject stuck = range.callObject("duplicate");
  EXPECT_FALSE(range.callLogical("findText", {text(u"alpha")}));
  EXPECT_EQ(range.callValue("compareEndPoints", {text(u"StartToStart"), Variant(stuck.ref())}).toNumber(), 0);
  EXPECT_EQ(bodyMarkup(doc), "<P><I>X</I> beta <B>Gamma</B> <U>alpha</U></P><SCRIPT>var alpha;</SCRIPT>");

  // Case is matched only when asked (flag 4); an empty search finds nothing.
  ComObject fresh = bodyRange(doc);
  EXPECT_FALSE(fresh.callLogical("findText", {text(u"GAMMA"), Variant(0), Variant(4)}));
  EXPECT_TRUE(fresh.callLogical("findText", {text(u"Gamma"), Variant(0), Variant(4)}));
  EXPECT_FALSE(bodyRange(doc).callLogical("findText", {text(u"")}));
}

TEST(TextRange, MatchesAcrossElementsReadAsTextAndClippedMarkup) {
  ComObject doc = pageObject("<p>one <b>bold</b> two</p><p>three &amp; four</p>");
  ComObject range = bodyRange(doc);
  ASSERT_TRUE(range.callLogical("findText", {text(u"e bo")}));
  EXPECT_EQ(range.getText("text"), "e bo");
  EXPECT_EQ(range.getText("htmlText"), "e <B>bo</B>");
  EXPECT_EQ(range.callObject("parentElement").getText("tagName"), "P");

  // A range over a whole element's text reads with the element's tags.
  ComObject whole = bodyRange(doc);
  ASSERT_TRUE(whole.callLogical("findText", {text(u"bold")}));
  EXPECT_EQ(whole.getText("htmlText"), "<B>bold</B>");
  EXPECT_EQ(whole.callObject("parentElement").getText("tagName"), "B");

  // Across blocks: the text holds the line break, the markup both pieces.
  ComObject across = bodyRange(doc);
  ASSERT_TRUE(across.callLogical("findText", {text(u"two\r\nthree &")}));
  EXPECT_EQ(across.getText("htmlText"), "<P>two</P><P>three &amp;</P>");

  // Pasting over it takes the covered nodes out and keeps the text outside.
  across.call("pasteHTML", {text(u"<hr>")});
  EXPECT_EQ(bodyMarkup(doc), "<P>one <B>bold</B> <HR></P><P> four</P>");
}

TEST(TextRange, MovesByCharactersAndWordsAndTheEndsNeverCross) {
  ComObject doc = pageObject("<p>one two  three</p><p>four</p>");
  ComObject range = bodyRange(doc);
  range.call("collapse");
  struct Move {
    const char16_t* which;
    const char16_t* unit;
    std::int32_t count;
    std::int32_t moved;
    const char* text;
  } moves[] = {
      {u"moveEnd", u"character", 5, 5, "one t"},
      {u"moveStart", u"character", 2, 2, "e t"},
      {u"moveEnd", u"word", 1, 1, "e two "},
      {u"moveEnd", u"word", 1, 1, "e two three"},
      {u"moveStart", u"word", -1, -1, "one two three"},
      {u"moveEnd", u"character", 100, 4, "one two three\r\nfour"},
      {u"moveStart", u"character", 50, 17, ""},  // passes the end: the end follows
      {u"moveEnd", u"character", -4, -4, ""},    // before the start: the start follows
      {u"moveEnd", u"word", 1, 1, "four"},
      {u"moveStart", u"paragraph", 1, 0, "four"},  // an unknown unit moves nothing
  };
  for (const Move& m : moves) {
    SCOPED_TRACE(wideToUtf8(m.which) + " " + wideToUtf8(m.unit) + " " + std::to_string(m.count));
    EXPECT_EQ(range.callValue(wideToUtf8(m.which), {Variant(m.unit), Variant(m.count)}).toNumber(), m.moved);
    EXPECT_EQ(range.getText("text"), m.text);
  }
}

TEST(TextRange, SelectionIsWhatARangeSelectedAndReadsNoneOtherwise) {
  ComObject doc = pageObject("<p>plain <b id=x>bold</b></p>");
  ComObject selection = doc.getObject("selection");
  EXPECT_EQ(selection.getText("type"), "None");
  EXPECT_TRUE(selection.callObject("createRange").empty());

  ComObject range = bodyRange(doc);
  ASSERT_TRUE(range.callLogical("moveToElementText", {Variant(byId(doc, "x").ref())}));
  range.call("select");
  EXPECT_EQ(selection.getText("type"), "Text");
  ComObject selected = selection.callObject("createRange");
  EXPECT_EQ(selected.getText("text"), "bold");
  EXPECT_EQ(selected.getText("htmlText"), "<B id=\"x\">bold</B>");

  selected.call("collapse");
  EXPECT_EQ(selection.callObject("createRange").getText("text"), "bold");  // a copy was handed out
  selection.call("empty");
  EXPECT_EQ(selection.getText("type"), "None");

  // A selection whose tree is replaced is gone.
  range.call("select");
  doc.call("write", {text(u"<p>new</p>")});
  doc.call("close");
  EXPECT_EQ(selection.getText("type"), "None");
  EXPECT_EQ(range.getText("text"), "");
  EXPECT_FALSE(range.callLogical("findText", {text(u"new")}));
  range.call("pasteHTML", {text(u"<i>lost</i>")});
  EXPECT_EQ(bodyMarkup(doc), "<P>new</P>");
}

TEST(TextRange, PageScriptsReachRangesAndTheSelection) {
  Ref<Document> page = loadPage(
      "<p id=p>find me here</p><script>"
      "var r = document.body.createTextRange();"
      "var found = r.findText('ME');"
      "r.select();"
      "var s = document.selection;"
      "document.title = [found, s.type, s.createRange().text, r.duplicate().htmlText].join('|');"
      "r.text = '<you>';"
      "</script>");
  ComObject doc(page.dispatch());
  EXPECT_TRUE(page->scriptErrors().empty());
  EXPECT_EQ(doc.getText("title"), "true|Text|me|me");
  EXPECT_EQ(byId(doc, "p").getText("innerHTML"), "find &lt;you&gt; here");
}

}  // namespace
}  // namespace trenmoor::html
