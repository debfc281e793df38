// The shapes every element family shares, on a family described here as a family file would
// describe it, and the rule that keyed operations find through the driver's table.
#include "driver/element_family.h"
#include "driver_page.h"

namespace trenmoor {
namespace {

using ElementFamilyTest = DriverPage;

// List items have no find operation of their own: keyed shapes use the finder directly.
constexpr std::string_view kItemInfo[] = {"innerText", "id", "className"};
constexpr ElementFamily kListItems{nullptr, &PageDriver::lookupListItem, "li",
                                   &markThrough<&PageDriver::markListItems>, &ansiLiteral<"项">, kItemInfo};

TEST_F(ElementFamilyTest, ShapesServeAFamilyWithoutAFindOperation) {
  load(R"(<ul><li id=a onclick="this.className='clicked'">one</li><li id=b class=k>two</li></ul>)");
  EXPECT_EQ(idOf(findElement(driver_, kListItems, "k", 0)), "b");
  EXPECT_EQ(elementIndex(driver_, kListItems, "two", 0), 2);
  EXPECT_EQ(elementIndex(driver_, kListItems, "three", 0), -1);

  EXPECT_TRUE(clickElement(driver_, kListItems, "one", 0));
  EXPECT_EQ(byId("a").getText("className"), "clicked");
  EXPECT_FALSE(clickElement(driver_, kListItems, "missing", 0));
  EXPECT_TRUE(showHideElement(driver_, kListItems, "2", 0, true));
  EXPECT_EQ(byId("b").getObject("style").getText("display"), "none");
  EXPECT_FALSE(showHideElement(driver_, kListItems, "missing", 0, true));

  // Outs are filled by index, a missing one skipped; a position with no element empties them.
  Text text, className = "sentinel";
  ComObject element;
  EXPECT_TRUE(elementInfo(driver_, kListItems, 2, {&text, nullptr, &className}, &element));
  EXPECT_EQ(text, "two");
  EXPECT_EQ(className, "k");
  EXPECT_EQ(idOf(element), "b");
  EXPECT_FALSE(elementInfo(driver_, kListItems, 3, {&text, nullptr, &className}, &element));
  EXPECT_EQ(text, "");
  EXPECT_EQ(className, "");
  EXPECT_TRUE(element.empty());

  EXPECT_EQ(countElements(driver_, kListItems, true), 2);
  EXPECT_EQ(byId("b").getText("innerText"), "ULli2two");
}

// A driver whose text-input lookup always answers with the first input.
class FirstTextInputDriver : public PageDriver {
 public:
  explicit FirstTextInputDriver(const PageDriver& attached) : PageDriver(attached) {}
  ComObject findTextInput(const Text&, std::int32_t) override { return PageDriver::findTextInput("1", 0); }
};

TEST_F(ElementFamilyTest, KeyedOperationsFindThroughTheTable) {
  load("<input type=text id=a value=first><input type=text id=b value=second>");
  FirstTextInputDriver driver(driver_);
  EXPECT_EQ(driver.getTextInputValue("b"), "first");
  EXPECT_TRUE(driver.setTextInputValue("b", "x"));
  EXPECT_EQ(byId("a").getText("value"), "x");
  Text id;
  EXPECT_TRUE(driver.textInputInfo(2, nullptr, nullptr, &id));
  EXPECT_EQ(id, "a");
  EXPECT_EQ(driver.textInputIndex("b"), 2);  // the position comes from the finder itself
}

}  // namespace
}  // namespace trenmoor
