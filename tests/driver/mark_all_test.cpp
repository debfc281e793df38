// Labelling every form control at once, and doing it twice.
#include "driver_page.h"

namespace trenmoor {
namespace {

using MarkAllTest = DriverPage;

TEST_F(MarkAllTest, EveryKindIsLabelledAndASecondRunRenumbersFromOne) {
  load(R"(<form><input id=t1><input id=t2 type=password><textarea id=ta>x</textarea>
          <input type=radio id=r><input type=checkbox id=c><input type=submit id=b>
          <select id=s><option>one</option><option>two</option></select>
          <cite id=cite>go</cite><input type=image id=i></form>)");
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    driver_.markAllFormControls();
    EXPECT_EQ(ansiToUtf8(byId("t1").getText("value")), "文本框1");
    EXPECT_EQ(ansiToUtf8(byId("t2").getText("value")), "文本框2");
    EXPECT_EQ(ansiToUtf8(byId("b").getText("value")), "按钮1");
    EXPECT_EQ(ansiToUtf8(byId("i").getText("value")), "图形按钮1");
    EXPECT_EQ(ansiToUtf8(driver_.getOptionText(1, 1)), "组合框1");
    EXPECT_EQ(driver_.getOptionText(1, 2), "two");
  }
  // Inserted labels are added again, each run's before the last; bracketed ones follow.
  EXPECT_EQ(ansiToUtf8(byId("ta").getText("innerText")), "<font color=red>多行文本框1</font><font color=red>多行文本框1</font>x");
  EXPECT_EQ(ansiToUtf8(byId("cite").getText("innerText")), "高级按钮1高级按钮1go");
  EXPECT_EQ(ansiToUtf8(byId("r").getObject("nextSibling").getText("innerText")), "[单1]");
  EXPECT_EQ(ansiToUtf8(byId("r").getObject("nextSibling").getObject("nextSibling").getText("innerText")), "[单1]");
  EXPECT_EQ(ansiToUtf8(byId("c").getObject("nextSibling").getText("innerText")), "[复1]");
}

TEST_F(MarkAllTest, WithoutADocumentNothingHappens) {
  PageDriver detached;
  detached.markAllFormControls();
  EXPECT_EQ(detached.countSelects(true), 0);
}

}  // namespace
}  // namespace trenmoor
