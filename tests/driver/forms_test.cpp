// Forms (their own lookup with a running index) and hidden inputs (the lookup rule).
#include "driver_page.h"

namespace trenmoor {
namespace {

using FormsTest = DriverPage;

TEST_F(FormsTest, FormLookupTriesNameIdThenPosition) {
  struct Case {
    const char* page;
    const char* key;
    const char* foundId;  // "" when none
    std::int32_t index;
  };
  const char* abc = "<form id=f1 name=a></form><form id=f2 name=b></form><form id=f3 name=c></form>";
  const Case cases[] = {
      {abc, "2", "f2", 2},
      {abc, "c", "f3", 3},
      {abc, "f1", "f1", 1},
      {abc, "2.9", "f2", 2},
      {abc, "2abc", "f2", 2},
      {abc, "0", "", -1},
      {abc, "4", "", -1},
      {abc, "x", "", -1},
      {"<form id=f1 name=3></form><form id=f2></form><form id=f3></form>", "3", "f1", 1},
      {"<form id=f1 name=2></form><form id=2></form><form id=f3></form>", "2", "f1", 1},
      {"<form id=f1 name=a></form><form id=f2></form>", "", "f2", 2},  // empty name and id
      {"<form id=f1 name=a></form><form id=f2 name=0></form>", "0", "f2", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + " key " + c.key);
    load(c.page);
    EXPECT_EQ(idOf(driver_.findForm(c.key)), c.foundId);
    EXPECT_EQ(driver_.formIndex(c.key), c.index);
    EXPECT_EQ(driver_.getFormHtml(c.key), driver_.findForm(c.key).getText("outerHTML"));
  }
}

TEST_F(FormsTest, TheRunningIndexStartsFromTheCallersValue) {
  load("<form id=f1></form><form id=f2></form><form id=f3></form>");
  std::int32_t index = 1;  // forms are numbered 2, 3, 4
  EXPECT_EQ(idOf(driver_.findForm("3", &index)), "f2");
  EXPECT_EQ(index, 3);
  index = 0;
  EXPECT_EQ(idOf(driver_.findForm("3", &index)), "f3");
  EXPECT_EQ(index, 3);
  index = 7;
  EXPECT_TRUE(driver_.findForm("3", &index).empty());
  EXPECT_EQ(index, -1);
  index = INT32_MAX;  // wraps instead of overflowing
  EXPECT_TRUE(driver_.findForm("zzz", &index).empty());
  EXPECT_EQ(index, -1);
}

TEST_F(FormsTest, CountInfoAndNoDocument) {
  load("<form name=a method=POST action=go.php></form><form name=b></form>");
  EXPECT_EQ(driver_.countForms(), 2);
  Text method = "sentinel", action = "sentinel";
  EXPECT_TRUE(driver_.formInfo("a", &method, &action));
  EXPECT_EQ(method, "post");
  EXPECT_EQ(action, "http://example.com/share/go.php");
  EXPECT_TRUE(driver_.formInfo("b", &method));
  EXPECT_EQ(method, "get");
  EXPECT_TRUE(driver_.formInfo("b"));
  EXPECT_FALSE(driver_.formInfo("z", &method, &action));
  EXPECT_EQ(method, "");
  EXPECT_EQ(action, "");
  EXPECT_FALSE(driver_.submitForm("z"));
  driver_.releaseDocument();
  EXPECT_EQ(driver_.countForms(), 0);
  EXPECT_EQ(driver_.formIndex("1"), -1);
  EXPECT_FALSE(driver_.submitForm("1"));
}

// Hidden inputs among inputs of other types: b2 and h4 share the key k.
constexpr const char* kHiddenPage =
    "<input type=hidden id=h1 name=n1 value=v1 title=2>"
    "<input type=text id=t1 name=k value=text>"
    "<input type=hidden id=h2 name=k value=v2>"
    "<button id=b1 name=k></button>"
    "<input type=HIDDEN id=h3 value=v3>"
    "<input type=hidden id=h4 title=k value=v4>";

TEST_F(FormsTest, HiddenInputsGoThroughTheLookupRule) {
  load(kHiddenPage);
  EXPECT_EQ(driver_.countHiddenInputs(), 4);
  EXPECT_EQ(idOf(driver_.findHiddenInput("k")), "h2");
  EXPECT_EQ(idOf(driver_.findHiddenInput("k", 1)), "h4");
  EXPECT_EQ(driver_.getHiddenInputValue("k", 1), "v4");
  EXPECT_EQ(driver_.hiddenInputIndex("h3"), 3);
  EXPECT_EQ(driver_.hiddenInputIndex("k"), 2);
  EXPECT_EQ(driver_.hiddenInputIndex("t1"), -1);
  EXPECT_EQ(driver_.hiddenInputIndex("4"), 4);
  EXPECT_TRUE(driver_.setHiddenInputValue("k", "w", 1));
  EXPECT_EQ(byId("h4").getText("value"), "w");
  EXPECT_FALSE(driver_.setHiddenInputValue("k", "w", 2));
  EXPECT_EQ(byId("h2").getText("value"), "v2");
}

TEST_F(FormsTest, HiddenInputInfoByPosition) {
  load(kHiddenPage);
  Text value = "s", name = "s", id = "s", type = "s";
  ComObject element;
  // The first hidden input's title is 2: it comes before the second hidden input.
  EXPECT_TRUE(driver_.hiddenInputInfo(2, &value, &name, &id, &type, &element));
  EXPECT_EQ(value, "v1");
  EXPECT_EQ(name, "n1");
  EXPECT_EQ(id, "h1");
  EXPECT_EQ(type, "hidden");
  EXPECT_EQ(idOf(element), "h1");
  EXPECT_TRUE(driver_.hiddenInputInfo(3, nullptr, nullptr, &id));
  EXPECT_EQ(id, "h3");
  EXPECT_FALSE(driver_.hiddenInputInfo(5, &value, &name, &id, &type, &element));
  EXPECT_EQ(value + name + id + type, "");
  EXPECT_TRUE(element.empty());
  // Counting never labels: the values stay.
  EXPECT_EQ(byId("h1").getText("value"), "v1");
  EXPECT_EQ(byId("h2").getText("value"), "v2");
}

}  // namespace
}  // namespace trenmoor
