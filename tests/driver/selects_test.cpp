// Drop-down selects: selectCommand's codes, the listing, and the shortcuts over them.
#include <vector>

#include "driver_page.h"

namespace trenmoor {
namespace {

using SelectsTest = DriverPage;

constexpr std::string_view kSelects =
    R"(<select id=s1 name=first><option value=a>A</option><option value=b>B</option></select>
       <select id=s2 onchange="document.title += 'c'"><option value=x>X</option><option value=y>Same</option>
       <option value=z>Same</option></select>
       <select id=s3 multiple></select>)";

TEST_F(SelectsTest, CommandCodesReadAndWriteOrMissAsAWalk) {
  struct Case {
    const char* name;
    std::int32_t select, op, option;
    const char* newText;
    const char* textToSelect;
    bool result;
    // Outs after the call; -7 and "unset" mean not written.
    std::int32_t optionCount, selectCount, selectedIndex;
    const char* optionText;
    const char* optionValue;
    const char* element;
  } cases[] = {
      {"0: option count", 2, 0, 0, "", "", true, 3, -7, -7, "unset", "unset", "s2"},
      {"1: option text", 2, 1, 3, "", "", true, -7, -7, -7, "Same", "unset", "s2"},
      {"1: option beyond the select", 2, 1, 9, "", "", true, -7, -7, -7, "", "unset", "s2"},
      {"3: option value", 2, 3, 1, "", "", true, -7, -7, -7, "unset", "x", "s2"},
      {"3: option 0", 1, 3, 0, "", "", true, -7, -7, -7, "unset", "", "s1"},
      {"5: selected index, 0-based", 2, 5, 0, "", "", true, -7, -7, 0, "unset", "unset", "s2"},
      {"2: writing a missing option", 2, 2, 9, "new", "", false, -7, -7, -7, "unset", "unset", "s2"},
      {"4: writing option 0", 2, 4, 0, "", "", false, -7, -7, -7, "unset", "unset", "s2"},
      {"7: no option has the text", 2, 7, 0, "", "None", false, 3, 3, -7, "unset", "unset", "s3"},
      {"a select beyond the page", 5, 0, 0, "", "", false, -7, 3, -7, "unset", "unset", "s3"},
      {"select position 0", 0, 5, 0, "", "", false, -7, 3, -7, "unset", "unset", "s3"},
      {"an unknown code", 1, 8, 1, "", "", false, -7, 3, -7, "unset", "unset", "s3"},
      {"10: count without labels", 0, 10, 0, "", "", false, -7, 3, -7, "unset", "unset", "s3"},
  };
  load(kSelects);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t optionCount = -7, selectCount = -7, selectedIndex = -7;
    Text optionText = "unset", optionValue = "unset";
    ComObject element;
    EXPECT_EQ(driver_.selectCommand(c.select, c.op, c.option, &optionCount, &optionText, c.newText, &optionValue, "",
                                    &selectCount, false, &selectedIndex, c.textToSelect, &element),
              c.result);
    EXPECT_EQ(optionCount, c.optionCount);
    EXPECT_EQ(selectCount, c.selectCount);
    EXPECT_EQ(selectedIndex, c.selectedIndex);
    EXPECT_EQ(optionText, c.optionText);
    EXPECT_EQ(optionValue, c.optionValue);
    EXPECT_EQ(idOf(element), c.element);
  }
  // Nothing above changed the page.
  EXPECT_EQ(driver_.getOptionText(1, 1), "A");
  EXPECT_EQ(driver_.getSelectedIndex(2), 0);
  EXPECT_EQ(document().getText("title"), "");

  // Without selects the element variable stays as it was.
  load("<p>none</p>");
  ComObject kept = document().getObject("body");
  std::int32_t selectCount = -7;
  EXPECT_FALSE(driver_.selectCommand(1, 0, 0, nullptr, nullptr, "", nullptr, "", &selectCount, false, nullptr, "", &kept));
  EXPECT_EQ(selectCount, 0);
  EXPECT_EQ(kept.getText("tagName"), "BODY");
}

TEST_F(SelectsTest, SelectingFiresOneChangeAndWritesTexts) {
  load(kSelects);
  EXPECT_TRUE(driver_.selectOptionByIndex(2, 2));
  EXPECT_EQ(document().getText("title"), "c");
  EXPECT_EQ(driver_.getSelectedIndex(2), 1);

  // Two options share the text: the first is chosen.
  EXPECT_TRUE(driver_.selectOptionByIndex(2, 1));
  EXPECT_TRUE(driver_.selectOptionByText(2, "Same"));
  EXPECT_EQ(driver_.getSelectedIndex(2), 1);
  EXPECT_EQ(document().getText("title"), "ccc");
  EXPECT_FALSE(driver_.selectOptionByText(2, "same"));  // exact, with case
  EXPECT_EQ(driver_.getSelectedIndex(2), 1);
  EXPECT_EQ(document().getText("title"), "ccc");

  // An option beyond the select still writes the index (nothing selected) and fires.
  EXPECT_TRUE(driver_.selectOptionByIndex(2, 9));
  EXPECT_EQ(driver_.getSelectedIndex(2), -1);
  EXPECT_EQ(document().getText("title"), "cccc");
  EXPECT_TRUE(driver_.selectOptionByIndex(2, INT32_MIN));
  EXPECT_EQ(driver_.getSelectedIndex(2), -1);
  EXPECT_FALSE(driver_.selectOptionByIndex(4, 1));

  EXPECT_TRUE(driver_.setOptionText(1, 2, "Bee"));
  EXPECT_TRUE(driver_.setOptionValue(1, 2, "bee"));
  EXPECT_EQ(driver_.getOptionText(1, 2), "Bee");
  EXPECT_EQ(driver_.getOptionValue(1, 2), "bee");
  EXPECT_FALSE(driver_.setOptionText(1, 3, "x"));
  EXPECT_EQ(driver_.getOptionText(2, 9), "");
  EXPECT_EQ(driver_.getOptionCount(2), 3);
  EXPECT_EQ(driver_.getOptionCount(9), 0);
}

TEST_F(SelectsTest, LabellingAndListingEverySelect) {
  load(kSelects);
  EXPECT_TRUE(driver_.selectOptionByIndex(2, 3));
  EXPECT_EQ(driver_.countSelects(false), 3);
  EXPECT_EQ(driver_.getOptionText(1, 1), "A");

  EXPECT_EQ(driver_.countSelects(true), 3);
  EXPECT_EQ(ansiToUtf8(driver_.getOptionText(1, 1)), "组合框1");
  EXPECT_EQ(ansiToUtf8(driver_.getOptionText(2, 1)), "组合框2");
  EXPECT_EQ(driver_.getOptionValue(2, 1), "x");  // values untouched
  EXPECT_EQ(driver_.getSelectedIndex(2), 0);
  EXPECT_EQ(driver_.getOptionCount(3), 0);  // an empty select takes no label

  std::vector<std::int32_t> counts{99};
  std::vector<Text> types, names, ids, markup;
  EXPECT_EQ(driver_.listSelects(counts, types, names, ids, markup), 3);
  EXPECT_EQ(driver_.listSelects(counts, types, names, ids, markup), 3);
  EXPECT_EQ(counts, (std::vector<std::int32_t>{99, 2, 3, 0, 2, 3, 0}));
  EXPECT_EQ(types, (std::vector<Text>{"select-one", "select-one", "select-multiple", "select-one", "select-one",
                                      "select-multiple"}));
  EXPECT_EQ(names[0], "first");
  EXPECT_EQ(ids[2], "s3");
  EXPECT_EQ(markup[2], byId("s3").getText("outerHTML"));

  load("<p>none</p>");
  EXPECT_EQ(driver_.listSelects(counts, types, names, ids, markup, true), 0);
  EXPECT_EQ(counts.size(), 7u);
}

TEST_F(SelectsTest, FocusAndHideOnlyASelectThatStandsThere) {
  load(kSelects);
  ComObject before = document().getObject("activeElement");
  EXPECT_FALSE(driver_.focusSelect(5));
  EXPECT_TRUE(document().getObject("activeElement").sameObject(before));
  EXPECT_FALSE(driver_.showHideSelect(5, true));
  EXPECT_EQ(byId("s3").getObject("style").getText("display"), "");

  EXPECT_TRUE(driver_.focusSelect(2));
  EXPECT_TRUE(document().getObject("activeElement").sameObject(byId("s2")));
  EXPECT_TRUE(driver_.showHideSelect(1, true));
  EXPECT_EQ(byId("s1").getObject("style").getText("display"), "none");
  EXPECT_TRUE(driver_.showHideSelect(1, false));
  EXPECT_EQ(byId("s1").getObject("style").getText("display"), "");
}

}  // namespace
}  // namespace trenmoor
