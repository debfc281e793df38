// Page timers on the virtual clock: function and script-text handlers, intervals and their
// clearing, and timers stopping when the page's scripts are shut.
#include <gtest/gtest.h>

#include "page_fixture.h"
#include "standin/desktop/desktop.h"
#include "standin/html/dom.h"

namespace trenmoor::html {
namespace {

class PageTimersTest : public ::testing::Test {
 protected:
  Text titleAfter(std::int64_t ms) {
    desktop_.waitProcessingEvents(static_cast<std::int32_t>(ms));
    return ComObject(page_.dispatch()).getText("title");
  }
  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  Ref<Document> page_;
};

TEST_F(PageTimersTest, TimeoutsAndIntervalsRunOnTheClock) {
  page_ = loadPage(
      "<title>0</title><script>"
      "var n = 0;"
      "setTimeout(function () { document.title = 'once'; }, 100);"
      "setTimeout(\"document.title += '+text'\", 200);"
      "var every = window.setInterval(function () { n++; if (n == 3) clearInterval(every); }, 50);"
      "var never = setTimeout(function () { document.title = 'never'; }, 300);"
      "clearTimeout(never);"
      "</script>");
  EXPECT_EQ(titleAfter(90), "0");
  EXPECT_EQ(titleAfter(10), "once");
  EXPECT_EQ(titleAfter(200), "once+text");
  ComObject(page_.dispatch()).getObject("parentWindow").call("execScript", {Variant(u"document.title = n")});
  EXPECT_EQ(ComObject(page_.dispatch()).getText("title"), "3");
  EXPECT_TRUE(desktop_.idle());  // nothing left: the interval was cleared, the last timeout too
}

TEST_F(PageTimersTest, TimersStopWhenThePageIsLeftOrGoes) {
  page_ = loadPage("<script>setInterval(function () { document.title += 'x'; }, 10);</script>");
  EXPECT_EQ(titleAfter(35), "xxx");
  page_->shutScripts();
  EXPECT_TRUE(desktop_.idle());
  EXPECT_EQ(titleAfter(100), "xxx");
  page_ = loadPage("<script>setTimeout('document.title = 1', 10);</script>");
  page_ = Ref<Document>();  // the page goes with its timer pending
  EXPECT_TRUE(desktop_.idle());
}

TEST_F(PageTimersTest, OddArguments) {
  page_ = loadPage(
      "<script>var ids = [setTimeout(), setTimeout(null, 5), setTimeout('document.title=\"neg\"', -5),"
      " setInterval('document.title+=\"i\"', 0)];</script>");
  EXPECT_EQ(titleAfter(1), "neg");
  EXPECT_EQ(titleAfter(10), "negi");  // an interval of 0 waits at least 10 ms
}

}  // namespace
}  // namespace trenmoor::html
