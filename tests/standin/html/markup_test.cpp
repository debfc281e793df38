// Parsing, character sets, serialisation and rendered text.
#include <gtest/gtest.h>

#include "page_fixture.h"

namespace trenmoor::html {
namespace {

TEST(Markup, SerialisesWithCapitalTagsAndRoundTrips) {
  ComObject doc = pageObject(
      "<!DOCTYPE html><html><head><title>T</title></head><body>"
      "<div id=a class='x y'>A &amp; B&nbsp;<br>C &lt;d&gt;</div><!--note-->"
      "<input value='say \"hi\"'><script>if (a < b) x();</script></body></html>");
  Text expected =
      "<HTML><HEAD><TITLE>T</TITLE></HEAD><BODY><DIV id=\"a\" class=\"x y\">A &amp; B&nbsp;<BR>C "
      "&lt;d&gt;</DIV><!--note--><INPUT value=\"say &quot;hi&quot;\"><SCRIPT>if (a < b) x();</SCRIPT>"
      "</BODY></HTML>";
  ComObject root = doc.getObject("documentElement");
  EXPECT_EQ(root.getText("outerHTML"), expected);
  EXPECT_EQ(pageObject(expected).getObject("documentElement").getText("outerHTML"), expected);
  EXPECT_EQ(byId(doc, "a").getText("innerHTML"), "A &amp; B&nbsp;<BR>C &lt;d&gt;");
}

TEST(Markup, CharacterSetsFromHeaderMetaOrDefault) {
  const std::string chinese = "<html><head><title>确认信息</title></head><body>转存完成</body></html>";
  const std::string gbk = utf8ToAnsi(chinese);
  const std::string metaUtf8 = "<meta charset=\"UTF-8\">" + chinese;
  const std::string metaGbk = utf8ToAnsi("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">") + gbk;
  struct Case {
    std::string bytes;
    std::string header;
    const char* charset;
  } cases[] = {
      {gbk, "", "gb2312"},           // no declaration: code page 936
      {gbk, "GBK", "gb2312"},        // from the header
      {chinese, "utf-8", "utf-8"},   // from the header
      {metaUtf8, "", "utf-8"},       // from <meta charset>
      {metaGbk, "", "gb2312"},       // from <meta http-equiv>
      {"\xEF\xBB\xBF" + chinese, "gbk", "utf-8"},  // a byte-order mark wins
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 40) + " / " + c.header);
    auto document = loadPage(c.bytes, c.header);
    ComObject doc(document.dispatch());
    EXPECT_EQ(doc.getText("charset"), c.charset);
    EXPECT_EQ(doc.getText("title"), ansiLiteral<"确认信息">());
    EXPECT_EQ(doc.getObject("body").getText("innerText"), ansiLiteral<"转存完成">());
    EXPECT_EQ(doc.getText("fileSize"), integerToText(static_cast<std::int64_t>(c.bytes.size())));
  }
}

TEST(Markup, Utf8PageKeepsCharactersOutsideCodePage936) {
  auto document = loadPage("<body><p id=p>\xF0\x9F\x98\x80 \xC3\xA9</p></body>", "utf-8");
  Variant text;
  ASSERT_TRUE(document->elementById(u"p")->getMember(u"innerHTML", text));
  EXPECT_EQ(*text.string(), u"\U0001F600 \u00E9");
}

TEST(Markup, MalformedInputStillGivesATree) {
  for (std::string_view bytes : {std::string_view(""), std::string_view("<div><p>x</span></table>"),
                                 std::string_view("\xFF\xFE\xFD<b", 5), std::string_view("<a href='\x81")}) {
    auto document = loadPage(bytes, "gbk");
    EXPECT_NE(document->body(), nullptr);
  }
}

TEST(Markup, InnerTextBreaksBetweenBlocksAndCollapsesSpace) {
  ComObject doc = pageObject(
      "<div id=t>a<div>b   <span>c</span>\n</div><p>d</p>e<br>f"
      "<table><tr><td>1</td><td> 2 </td></tr><tr><td>3</td></tr></table>"
      "<pre>x\n  y</pre><script>hidden()</script><style>p{}</style></div>");
  EXPECT_EQ(byId(doc, "t").getText("innerText"), "a\r\nb c\r\nd\r\ne\r\nf\r\n1\t2\r\n3\r\nx\r\n  y");
  EXPECT_EQ(byId(doc, "t").getText("outerText"), byId(doc, "t").getText("innerText"));
}

TEST(Markup, DeepNestingIsHandled) {
  std::string deep;
  for (int i = 0; i < 3000; ++i) deep += "<div>";
  deep += "x";
  auto document = loadPage(deep);
  ComObject doc(document.dispatch());
  EXPECT_EQ(doc.getObject("body").getText("innerText"), "x");
  EXPECT_FALSE(doc.getObject("documentElement").getText("outerHTML").empty());
}

}  // namespace
}  // namespace trenmoor::html
