#include "driver_page.h"

namespace trenmoor {
namespace {

using LookupTest = DriverPage;

const char* const kInputs = R"(<body>
  <input type=hidden name=h id=h0>
  <input type=text name=user id=u1>
  <input type=password id=pw>
  <input type=checkbox name=c id=c0>
  <input title=2 name=t3 id=t3>
  <input type=text name=user id=u2>
  <input type=file name=f id=f5>
</body>)";

TEST_F(LookupTest, TextInputsFollowTheRuleElementByElement) {
  load(kInputs);
  struct Case {
    const char* key;
    std::int32_t skip;
    const char* id;  // "" = nothing found
    std::int32_t counter;
  };
  const Case cases[] = {
      {"user", 0, "u1", 1}, {"user", 1, "u2", 4}, {"user", 2, "", -1},
      {"pw", 0, "pw", 2},                  // a password input is found
      {"c", 0, "", -1}, {"h", 0, "", -1},  // check boxes and hidden inputs are not counted
      {"2", 0, "pw", 2},                   // the second counted input comes before the title 2
      {"3", 0, "t3", 3}, {"2abc", 0, "pw", 2}, {"\xEF\xBC\x95", 0, "f5", 5},  // full-width 5
      {"1", 9, "u1", 1},                   // skip never passes over a position
      {"", 0, "u1", 1},                    // an empty key equals the first empty attribute
      {"6", 0, "", -1},
  };
  for (const auto& c : cases) {
    std::int32_t counter = 0;
    ComObject found = driver_.lookupInput("text|password|file", utf8ToAnsi(c.key), c.skip, counter);
    EXPECT_EQ(idOf(found), c.id) << c.key << " skip " << c.skip;
    EXPECT_EQ(counter, c.counter) << c.key << " skip " << c.skip;
  }
  EXPECT_EQ(driver_.textInputIndex("user"), 1);
  EXPECT_EQ(driver_.textInputIndex("f"), 5);
  EXPECT_EQ(driver_.textInputIndex("nothing"), -1);
}

TEST_F(LookupTest, TextInputOperations) {
  load(R"(<input title=2 id=first value=a><input type=hidden><input name=two id=second value=b>
          <input type=password name=three id=third>)");
  Text value, name, id, type;
  ComObject element;
  EXPECT_TRUE(driver_.textInputInfo(2, &value, &name, &id, &type, &element));
  EXPECT_EQ(id, "first");  // position 2 is looked up as a key: the title 2 comes first
  EXPECT_EQ(type, "text");
  EXPECT_TRUE(element.sameObject(byId("first")));
  Text untouched = "sentinel";
  EXPECT_FALSE(driver_.textInputInfo(9, &untouched));
  EXPECT_EQ(untouched, "");

  EXPECT_TRUE(driver_.setTextInputValue("three", utf8ToAnsi("密码")));
  EXPECT_EQ(ansiToUtf8(driver_.getTextInputValue("three")), "密码");
  EXPECT_FALSE(driver_.setTextInputValue("missing", "x"));
  EXPECT_EQ(driver_.getTextInputValue("missing"), "");
  EXPECT_TRUE(driver_.focusTextInput("two"));
  EXPECT_FALSE(driver_.focusTextInput("missing"));

  EXPECT_EQ(driver_.countTextInputs(), 3);
  EXPECT_EQ(byId("second").getText("value"), "b");
  EXPECT_EQ(driver_.countTextInputs(true), 3);
  for (const char* each : {"first", "second", "third"}) EXPECT_EQ(ansiToUtf8(byId(each).getText("value")).substr(0, 9), "文本框");
  EXPECT_EQ(ansiToUtf8(byId("third").getText("value")), "文本框3");
}

TEST_F(LookupTest, ButtonsAreWalkedAfterInputsWithTheSameCounter) {
  load(R"(<button id=b1 type=button>x</button><input type=submit id=s1><input type=text id=t>
          <input type=reset id=s2>)");
  std::int32_t counter = 0;
  EXPECT_EQ(idOf(driver_.lookupInput("button|submit|reset", "3", 0, counter)), "b1");
  EXPECT_EQ(counter, 3);
  EXPECT_EQ(driver_.markInputValues("button|submit|reset", utf8ToAnsi("按钮"), true), 3);
  EXPECT_EQ(ansiToUtf8(byId("s1").getText("value")), "按钮1");
  EXPECT_EQ(ansiToUtf8(byId("s2").getText("value")), "按钮2");
  EXPECT_EQ(ansiToUtf8(byId("b1").getText("innerText")), "按钮3");
  EXPECT_EQ(driver_.markInputValues("submit", "x", false), 1);  // no button walk without "button"
}

TEST_F(LookupTest, ImagesMatchByPartOfTheirAddress) {
  load(R"(<input type=image id=i1 src="/img/go.png"><img id=a src="/img/cat.gif" title=t><img id=b src="/img/dog.gif">)");
  std::int32_t counter = 0;
  EXPECT_EQ(idOf(driver_.lookupImage("image", "dog", 0, counter)), "b");
  EXPECT_EQ(counter, 3);
  counter = 0;
  EXPECT_EQ(idOf(driver_.lookupImage("image", "img/", 1, counter)), "a");
  counter = 0;
  EXPECT_EQ(idOf(driver_.lookupImage("image", "", 0, counter)), "i1");
  std::vector<Text> src, width, height, name, id, title{"kept"};
  EXPECT_EQ(driver_.markImages("image", utf8ToAnsi("图片"), true, true, src, width, height, name, id, title), 3);
  ASSERT_EQ(title.size(), 4u);
  EXPECT_EQ(ansiToUtf8(title[3]), "图片3");  // collected after labelling
  EXPECT_EQ(src[1], "http://example.com/img/cat.gif");
}

// Every finder is the one rule over its own elements and attributes: the same page shape gives
// the same answers whichever family it is built from.
struct FamilyCase {
  const char* name;
  const char* markup;  // three elements; the third has an attribute equal to "2", two have "k"
  ComObject (PageDriver::*finder)(const Text&, const Text&, std::int32_t, std::int32_t&);
  const char* filter;
};

class FinderFamilies : public DriverPage, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(FinderFamilies, ShareTheLookupRule) {
  load(GetParam().markup);
  auto lookup = [&](const char* key, std::int32_t skip, std::int32_t& counter) {
    return (driver_.*GetParam().finder)(GetParam().filter, key, skip, counter);
  };
  std::int32_t counter = 0;
  EXPECT_EQ(idOf(lookup("2", 0, counter)), "e2");  // position before a later attribute
  EXPECT_EQ(counter, 2);
  counter = 0;
  EXPECT_EQ(idOf(lookup("k", 0, counter)), "e1");
  counter = 0;
  EXPECT_EQ(idOf(lookup("k", 1, counter)), "e3");
  EXPECT_EQ(counter, 3);
  counter = 0;
  EXPECT_TRUE(lookup("k", 2, counter).empty());
  EXPECT_EQ(counter, -1);
  counter = 0;
  EXPECT_TRUE(lookup("absent", 0, counter).empty());
  EXPECT_EQ(counter, -1);
}

INSTANTIATE_TEST_SUITE_P(
    AllFinders, FinderFamilies,
    ::testing::Values(
        FamilyCase{"input", "<input id=e1 name=k><input id=e2><input id=e3 name=k title=2>", &PageDriver::lookupInput, "text"},
        FamilyCase{"image", "<img id=e1 src=/k.png><img id=e2 src=/x.png><img id=e3 src=/k.gif title=2>", &PageDriver::lookupImage, "image"},
        FamilyCase{"div", "<div id=e1 class=k></div><div id=e2></div><div id=e3 class=k title=2></div>", &PageDriver::lookupDiv, ""},
        FamilyCase{"span", "<span id=e1 class=k></span><span id=e2></span><span id=e3 class=k title=2></span>", &PageDriver::lookupSpan, ""},
        FamilyCase{"li", "<ul><li id=e1>k</li><li id=e2>x</li><li id=e3 title=2>k</li></ul>", &PageDriver::lookupListItem, ""},
        FamilyCase{"textarea", "<textarea id=e1>k</textarea><textarea id=e2></textarea><textarea id=e3 name=2>k</textarea>", &PageDriver::lookupTextArea, ""},
        FamilyCase{"a", "<a id=e1 title=k>x</a><a id=e2>y</a><a id=e3 title=2>k</a>", &PageDriver::lookupLink, ""},
        FamilyCase{"cite", "<cite id=e1 class=k></cite><cite id=e2></cite><cite id=e3 class=k title=2></cite>", &PageDriver::lookupCite, ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(LookupTest, MarkersLabelInPageOrderOnlyWhenAsked) {
  load(R"(<div id=d1>a</div><div id=d2>b</div><div id=d3>c</div><span id=s1>s</span><ul><li id=l1>i</li></ul>
          <input type=checkbox id=c1><input type=radio id=r1><input type=checkbox id=c2>)");
  const Text before = document().getObject("body").getText("innerHTML");
  EXPECT_EQ(driver_.markDivs("div", "", false), 3);
  EXPECT_EQ(driver_.markInputsAfter("checkbox", "", false), 2);
  EXPECT_EQ(document().getObject("body").getText("innerHTML"), before);

  EXPECT_EQ(driver_.markDivs("ignored", "", true), 3);
  EXPECT_EQ(byId("d3").getText("innerText"), "Div3c");
  EXPECT_EQ(driver_.markSpans("", "", true), 1);
  EXPECT_EQ(byId("s1").getText("innerText"), "Span1s");
  EXPECT_EQ(driver_.markListItems("", "", true), 1);
  EXPECT_EQ(byId("l1").getText("innerText"), "ULli1i");
  EXPECT_EQ(driver_.markInputsAfter("checkbox", "", true), 2);
  EXPECT_EQ(driver_.markInputsAfter("radio", "", true), 1);
  const std::string body = ansiToUtf8(document().getObject("body").getText("innerText"));
  EXPECT_NE(body.find("[复1]"), std::string::npos);
  EXPECT_NE(body.find("[复2]"), std::string::npos);
  EXPECT_NE(body.find("[单1]"), std::string::npos);
}

TEST_F(LookupTest, ADriverWithoutADocumentFindsNothing) {
  PageDriver fresh;
  std::int32_t counter = 0;
  EXPECT_TRUE(fresh.lookupInput("text", "1", 0, counter).empty());
  EXPECT_EQ(counter, -1);
  EXPECT_EQ(fresh.countTextInputs(true), 0);
  EXPECT_EQ(fresh.countLinks(), 0);
  EXPECT_FALSE(fresh.clickLink("1"));
  EXPECT_FALSE(fresh.setTextInputValue("1", "x"));
  EXPECT_EQ(fresh.textInputIndex(""), -1);
}

}  // namespace
}  // namespace trenmoor
