// Member reads and writes of elements and the document, with the failure cases.
#include <gtest/gtest.h>

#include <cmath>

#include "page_fixture.h"

namespace trenmoor::html {
namespace {

constexpr std::string_view kForm =
    "<html><head><title> My  page </title></head><body>"
    "<form id=f name=login method=POST action=/go>"
    "<input id=plain name=user value=初始>"
    "<input id=odd type=FANCY><input id=pw type=PASSWORD>"
    "<input id=file type=file>"
    "<input id=c1 type=checkbox checked><input id=r1 type=radio name=g checked>"
    "<input id=r2 type=radio name=g>"
    "<textarea id=ta>line one</textarea>"
    "<select id=s><option value=a>A</option><option>B b </option><option value=c selected>C</option></select>"
    "<button id=b>Go</button>"
    "</form>"
    "<a id=rel href='../up.html?q=1#h' target=_blank>up</a><a id=js href='javascript:void(0)'>js</a>"
    "<img id=img src=pic.png width=40 height='30px'>"
    "<div id=d style='color: red; DISPLAY:block'>text</div>"
    "</body></html>";

TEST(Members, NamesMatchWithoutCaseAndMissingMembersReadEmpty) {
  ComObject doc = pageObject(kForm);
  ComObject input = byId(doc, "plain");
  for (const char* name : {"tagName", "TAGNAME", "tagname"}) EXPECT_EQ(input.getText(name), "INPUT");
  EXPECT_EQ(input.getText("ID"), "plain");
  EXPECT_EQ(input.getText("Name"), "user");
  EXPECT_EQ(doc.getObject("Body").getText("tagName"), "BODY");

  EXPECT_TRUE(input.getValue("noSuchMember").isEmpty());
  EXPECT_TRUE(input.getObject("noSuchMember").empty());
  EXPECT_FALSE(input.putText("noSuchMember", "x"));
  EXPECT_FALSE(input.putText("tagName", "DIV"));  // read-only
  EXPECT_TRUE(input.callValue("noSuchMethod").isEmpty());
  EXPECT_TRUE(byId(doc, "absent").empty());
  EXPECT_EQ(byId(doc, "absent").getText("value"), "");
}

TEST(Members, InputTypeValueCheckedAndTheirFailures) {
  ComObject doc = pageObject(kForm);
  ComObject input = byId(doc, "plain");
  EXPECT_EQ(input.getText("type"), "text");
  EXPECT_EQ(byId(doc, "odd").getText("type"), "text");
  EXPECT_EQ(byId(doc, "pw").getText("type"), "password");
  EXPECT_EQ(input.getText("value"), ansiLiteral<"初始">());

  // The value property parts from the attribute once written.
  EXPECT_TRUE(input.putText("value", ansiLiteral<"文本框1">()));
  EXPECT_EQ(input.getText("value"), ansiLiteral<"文本框1">());
  EXPECT_EQ(ComObject::variantText(input.callValue("getAttribute", {Variant(u"value")})), ansiLiteral<"初始">());
  EXPECT_FALSE(byId(doc, "file").putText("value", "c:\\x.txt"));
  EXPECT_EQ(byId(doc, "file").getText("value"), "");

  ComObject box = byId(doc, "c1");
  EXPECT_EQ(box.getText("checked"), "-1");
  EXPECT_EQ(box.getText("value"), "on");
  struct Write {
    Variant value;
    bool accepted;
    const char* reads;
  } writes[] = {{Variant(u""), true, "0"},        {Variant(u"checked"), true, "-1"},
                {Variant(false), true, "0"},      {Variant(true), true, "-1"},
                {Variant(u"bogus"), false, "-1"}, {Variant(std::int32_t{0}), true, "0"}};
  for (const auto& w : writes) {
    EXPECT_EQ(box.put("checked", w.value), w.accepted);
    EXPECT_EQ(box.getText("checked"), w.reads);
  }

  // Choosing a radio button clears the rest of its group.
  ComObject r1 = byId(doc, "r1"), r2 = byId(doc, "r2");
  EXPECT_TRUE(r1.getLogical("checked"));
  EXPECT_TRUE(r2.putText("checked", "checked"));
  EXPECT_FALSE(r1.getLogical("checked"));
  EXPECT_TRUE(r2.getLogical("checked"));
  // Outside a form the group is the document's; a form's radio buttons are a group apart.
  ComObject loose = pageObject(
      "<input id=a type=radio name=g checked><form><input id=f type=radio name=g checked></form>"
      "<input id=b type=radio name=g>");
  EXPECT_TRUE(byId(loose, "b").put("checked", true));
  EXPECT_FALSE(byId(loose, "a").getLogical("checked"));
  EXPECT_TRUE(byId(loose, "f").getLogical("checked"));

  EXPECT_TRUE(input.put("disabled", true));
  EXPECT_EQ(input.getText("disabled"), "-1");
  EXPECT_EQ(input.getText("readOnly"), "0");
}

TEST(Members, TextAreaAndSelect) {
  ComObject doc = pageObject(kForm);
  ComObject area = byId(doc, "ta");
  EXPECT_EQ(area.getText("value"), "line one");
  EXPECT_EQ(area.getText("type"), "textarea");
  EXPECT_TRUE(area.putText("value", "a <b>"));
  EXPECT_EQ(area.getText("innerText"), "a <b>");
  EXPECT_EQ(area.getText("innerHTML"), "a <b>");

  ComObject select = byId(doc, "s");
  EXPECT_EQ(select.getInteger("selectedIndex"), 2);
  EXPECT_EQ(select.getText("value"), "c");
  EXPECT_EQ(select.getText("type"), "select-one");
  ComObject options = select.getObject("options");
  EXPECT_EQ(options.getInteger("length"), 3);
  EXPECT_EQ(options.callObject("item", {Variant(1.0)}).getText("value"), "B b");
  EXPECT_EQ(options.callObject("item", {Variant(1.0)}).getText("text"), "B b");

  EXPECT_TRUE(select.put("selectedIndex", Variant(0.0)));
  EXPECT_EQ(select.getText("value"), "a");
  EXPECT_TRUE(options.callObject("item", {Variant(0.0)}).getLogical("selected"));
  EXPECT_FALSE(options.callObject("item", {Variant(2.0)}).getLogical("selected"));
  EXPECT_TRUE(options.callObject("item", {Variant(0.0)}).putText("text", ansiLiteral<"组合框1">()));
  EXPECT_EQ(options.callObject("item", {Variant(0.0)}).getText("text"), ansiLiteral<"组合框1">());
  EXPECT_TRUE(select.putText("value", "c"));
  EXPECT_EQ(select.getInteger("selectedIndex"), 2);
  EXPECT_TRUE(select.put("selectedIndex", Variant(std::int32_t{7})));
  EXPECT_EQ(select.getInteger("selectedIndex"), -1);
  EXPECT_EQ(select.getText("value"), "");
  // Any index outside the options, however far, leaves none selected.
  for (double index : {1e300, -1e300, std::nan(""), -2.0}) {
    EXPECT_TRUE(select.put("selectedIndex", Variant(1.0)));
    EXPECT_TRUE(select.put("selectedIndex", Variant(index)));
    EXPECT_EQ(select.getInteger("selectedIndex"), -1);
  }
}

TEST(Members, AddressesResolveAgainstThePage) {
  ComObject doc = pageObject(kForm);
  EXPECT_EQ(byId(doc, "rel").getText("href"), "http://example.com/up.html?q=1#h");
  EXPECT_EQ(byId(doc, "rel").getText("target"), "_blank");
  EXPECT_TRUE(byId(doc, "rel").putText("target", ""));
  EXPECT_EQ(byId(doc, "rel").getText("target"), "");
  EXPECT_EQ(byId(doc, "js").getText("href"), "javascript:void(0)");
  EXPECT_EQ(byId(doc, "img").getText("src"), "http://example.com/dir/pic.png");
  EXPECT_EQ(byId(doc, "img").getInteger("width"), 40);
  EXPECT_EQ(byId(doc, "img").getInteger("height"), 30);
  EXPECT_EQ(pageObject("<base href='http://other.org/x/'><a id=a href=y.html>").callObject(
                "getElementById", {Variant(u"a")}).getText("href"),
            "http://other.org/x/y.html");
  ComObject form = byId(doc, "f");
  EXPECT_EQ(form.getText("method"), "post");
  EXPECT_EQ(form.getText("action"), "http://example.com/go");  // resolved against the page
}

TEST(Members, ContentWritesAndTheirRefusals) {
  const std::string_view page =
      "<body><div id=d>old</div><span id=s>x</span><table id=t><tbody id=tb><tr id=tr><td id=td>1</td></tr></tbody></table>"
      "<select id=sel><option>o</option></select><input id=in><img id=im><p id=p>para</p></body>";
  struct Case {
    const char* id;
    const char* member;
    bool accepted;
  } cases[] = {
      {"d", "innerHTML", true},     {"d", "innerText", true},     {"td", "innerHTML", true},
      {"t", "innerHTML", false},    {"tb", "innerHTML", false},   {"tr", "innerHTML", false},
      {"sel", "innerHTML", false},  {"in", "innerHTML", false},   {"im", "innerText", false},
      {"s", "outerHTML", true},     {"p", "outerText", true},     {"tr", "outerHTML", false},
      {"td", "outerHTML", false},   {"t", "outerHTML", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.id) + "." + c.member);
    ComObject doc = pageObject(page);
    ComObject body = doc.getObject("body");
    Text before = body.getText("innerHTML");
    EXPECT_EQ(byId(doc, c.id).putText(c.member, "<b>new</b>"), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(body.getText("innerHTML"), before);
    }
  }
  ComObject doc = pageObject(page);
  EXPECT_FALSE(doc.getObject("body").putText("outerHTML", "<p>x</p>"));
  EXPECT_FALSE(doc.getObject("documentElement").putText("outerHTML", "<p>x</p>"));

  ComObject div = byId(doc, "d");
  EXPECT_TRUE(div.putText("innerHTML", "<b>bold</b> <i>it</i>"));
  EXPECT_EQ(div.getText("innerHTML"), "<B>bold</B> <I>it</I>");
  EXPECT_TRUE(div.putText("innerText", "<b>literal</b>"));
  EXPECT_EQ(div.getText("innerHTML"), "&lt;b&gt;literal&lt;/b&gt;");

  // An element replaced by outerHTML leaves the tree but stays usable.
  ComObject span = byId(doc, "s");
  EXPECT_TRUE(span.putText("outerHTML", span.getText("outerHTML") + "<font color=red>[1]</font>"));
  EXPECT_EQ(byId(doc, "s").getText("outerHTML"), "<SPAN id=\"s\">x</SPAN>");
  EXPECT_FALSE(byId(doc, "s").sameObject(span));
  EXPECT_TRUE(span.getObject("parentElement").empty());
  EXPECT_EQ(span.getText("innerText"), "x");
  EXPECT_TRUE(byId(doc, "p").putText("outerText", "plain"));
  EXPECT_TRUE(byId(doc, "p").empty());
}

TEST(Members, InsertAdjacentHtmlAtEachPlace) {
  ComObject doc = pageObject("<body><p id=p>x</p></body>");
  ComObject p = byId(doc, "p");
  for (const char16_t* where : {u"beforeBegin", u"AFTERBEGIN", u"beforeEnd", u"afterEnd"})
    EXPECT_TRUE(p.callLogical("insertAdjacentHTML", {Variant(where), Variant(std::u16string(u"<i>") + where + u"</i>")}));
  EXPECT_EQ(doc.getObject("body").getText("innerHTML"),
            "<I>beforeBegin</I><P id=\"p\"><I>AFTERBEGIN</I>x<I>beforeEnd</I></P><I>afterEnd</I>");
  EXPECT_FALSE(p.callLogical("insertAdjacentHTML", {Variant(u"middle"), Variant(u"<i>")}));
  EXPECT_FALSE(doc.getObject("body").callLogical("insertAdjacentHTML", {Variant(u"afterEnd"), Variant(u"x")}));
  EXPECT_FALSE(pageObject("<input id=i>").callObject("getElementById", {Variant(u"i")})
                   .callLogical("insertAdjacentHTML", {Variant(u"afterBegin"), Variant(u"x")}));
}

TEST(Members, StyleObjectReadsAndWritesTheStyleAttribute) {
  ComObject doc = pageObject(kForm);
  ComObject div = byId(doc, "d");
  ComObject style = div.getObject("Style");
  EXPECT_TRUE(style.sameObject(div.getObject("style")));
  EXPECT_EQ(style.getText("display"), "block");
  EXPECT_EQ(style.getText("color"), "red");
  EXPECT_TRUE(style.putText("display", "none"));
  EXPECT_TRUE(style.put("Zoom", Variant(1.5)));
  EXPECT_TRUE(style.putText("backgroundColor", "#ff0"));
  EXPECT_EQ(style.getText("cssText"), "color: red; display: none; zoom: 1.5; background-color: #ff0");
  EXPECT_EQ(ComObject::variantText(div.callValue("getAttribute", {Variant(u"style")})), style.getText("cssText"));
  EXPECT_TRUE(style.putText("display", ""));
  EXPECT_EQ(style.getText("display"), "");
  EXPECT_TRUE(style.putText("cssText", ""));
  EXPECT_EQ(div.getText("outerHTML"), "<DIV id=\"d\">text</DIV>");
  EXPECT_EQ(style.getText("border"), "");
}

TEST(Members, ElementIdentityAndTreeMembers) {
  ComObject doc = pageObject("<body><div id=a>t<b id=b>x</b><!--c--></div><i id=i></i></body>");
  ComObject a = byId(doc, "a");
  EXPECT_TRUE(a.sameObject(byId(doc, "a")));
  EXPECT_TRUE(a.sameObject(doc.getObject("all").callObject("item", {Variant(u"a")})));
  EXPECT_TRUE(a.sameObject(byId(doc, "b").getObject("parentElement")));
  EXPECT_TRUE(byId(doc, "i").sameObject(a.getObject("nextSibling")));
  EXPECT_EQ(a.getObject("firstChild").getInteger("nodeType"), 3);
  EXPECT_EQ(a.getObject("firstChild").getText("nodeValue"), "t");
  EXPECT_EQ(a.getObject("childNodes").getInteger("length"), 3);
  EXPECT_EQ(a.getObject("children").getInteger("length"), 1);
  EXPECT_EQ(a.getText("nodeName"), "DIV");
  EXPECT_EQ(a.getInteger("nodeType"), 1);
  EXPECT_EQ(doc.getInteger("nodeType"), 9);
  // html, head, body, div: the div is the fourth element of the document.
  EXPECT_EQ(a.getInteger("sourceIndex"), 3);
  EXPECT_EQ(byId(doc, "i").getInteger("sourceIndex"), 5);
  a.call("setAttribute", {Variant(u"data-x"), Variant(u"1")});
  EXPECT_EQ(ComObject::variantText(a.callValue("getAttribute", {Variant(u"DATA-X")})), "1");
  EXPECT_TRUE(a.callLogical("removeAttribute", {Variant(u"data-x")}));
  EXPECT_FALSE(a.callLogical("removeAttribute", {Variant(u"data-x")}));
}

TEST(Members, DocumentMembers) {
  auto document = loadPage(kForm);
  ComObject doc(document.dispatch());
  EXPECT_EQ(doc.getText("title"), "My page");
  EXPECT_TRUE(doc.putText("title", ansiLiteral<"新标题">()));
  EXPECT_EQ(doc.getText("title"), ansiLiteral<"新标题">());
  EXPECT_EQ(doc.getText("URL"), kPageAddress);
  EXPECT_EQ(doc.getText("url"), kPageAddress);
  EXPECT_EQ(doc.getText("location"), kPageAddress);
  EXPECT_EQ(doc.getText("domain"), "example.com");
  EXPECT_EQ(doc.getText("readyState"), "complete");
  document->setReadyState(LoadingState::Interactive);
  EXPECT_EQ(doc.getText("readyState"), "interactive");
  EXPECT_EQ(doc.getText("cookie"), "");             // no host
  EXPECT_FALSE(doc.putText("cookie", "a=1"));
  EXPECT_FALSE(doc.putText("location", "http://x/"));
  EXPECT_TRUE(doc.getObject("parentWindow").sameObject(doc.getObject("parentWindow")));
  EXPECT_TRUE(doc.getObject("parentWindow").getObject("document").sameObject(doc));
  EXPECT_EQ(doc.getObject("parentWindow").getObject("location").getText("pathname"), "/dir/page.html");
  EXPECT_EQ(doc.callObject("getElementsByName", {Variant(u"g")}).getInteger("length"), 2);
  EXPECT_EQ(doc.callObject("createElement", {Variant(u"div")}).getText("tagName"), "DIV");
  byId(doc, "plain").call("focus");
  EXPECT_TRUE(doc.getObject("activeElement").sameObject(byId(doc, "plain")));
}

TEST(Members, DocumentWriteReplacesTheLoadedPage) {
  ComObject doc = pageObject("<body><a href=x>old</a></body>");
  doc.call("write", {Variant(u"<body><a href=1>one</a>")});
  EXPECT_EQ(doc.getObject("body").getText("innerText"), "one");
  doc.call("write", {Variant(u"<a href=2>two</a></body>")});
  EXPECT_EQ(doc.callObject("getElementsByTagName", {Variant(u"a")}).getInteger("length"), 2);
  doc.call("Close");
  doc.call("open");
  doc.call("write", {Variant(u"<p>fresh</p>")});
  doc.call("close");
  EXPECT_EQ(doc.getObject("body").getText("innerHTML"), "<P>fresh</P>");
}

}  // namespace
}  // namespace trenmoor::html
