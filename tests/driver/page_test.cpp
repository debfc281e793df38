#include "driver_page.h"

namespace trenmoor {
namespace {

using PageTest = DriverPage;

TEST_F(PageTest, FireElementEventRunsTheElementsHandler) {
  load(R"(<input type=checkbox id=c onmousedown="document.title='down:'+event.type">)");
  EXPECT_TRUE(driver_.fireElementEvent(byId("c"), "onmousedown"));
  EXPECT_EQ(document().getText("title"), "down:mousedown");
  EXPECT_FALSE(driver_.fireElementEvent(ComObject(), "onmousedown"));
}

}  // namespace
}  // namespace trenmoor
