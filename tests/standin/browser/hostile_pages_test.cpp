// Pages that try to freeze the program or exhaust its memory: each is stopped within the
// scripts' real-time budget (1 s) or its caps, and the next page loads normally. These tests
// take real time on purpose: the budget is real time.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "browser_fixture.h"
#include "standin/html/script_engine.h"

namespace trenmoor::browser {
namespace {

using HostilePagesTest = BrowserFixture;

std::string nestedDivs(int depth) {
  std::string markup;
  for (int i = 0; i < depth; ++i) markup += "<div>";
  markup += "deepest";
  for (int i = 0; i < depth; ++i) markup += "</div>";
  return markup + "<p>after</p>";
}

TEST_F(HostilePagesTest, EachIsStoppedInTimeAndUnderItsCapsAndTheNextPageLoads) {
  const std::pair<const char*, std::string> pages[] = {
      {"doubling string", "<script>var s = 'x'; while (true) { s += s; }</script><p>after</p>"},
      {"joins kept forever", "<script>var a = []; while (true) { a.push(new Array(100000).join('y')); }</script><p>after</p>"},
      {"endless loop", "<script>for (;;) {}</script><p>after</p>"},
      {"endless onload", "<body onload='while (1) {}'><p>after</p>"},
      {"a million appendChild calls",
       "<script>for (var i = 0; i < 1000000; i++) document.body.appendChild(document.createElement('div'));</script>"
       "<p>after</p>"},
      {"nodes made and dropped", "<script>for (;;) document.createElement('div');</script><p>after</p>"},
      {"backtracking pattern", "<script>/(a+)+b/.test(new Array(64).join('a'));</script><p>after</p>"},
      {"100,000 nested elements", nestedDivs(100000)},
  };
  serve("next.test", {{"/", SiteResponse::page("<title>t</title><script>document.title = 'next'</script>")}});
  for (const auto& [name, markup] : pages) {
    SCOPED_TRACE(name);
    serve("hostile.test", {{"/", SiteResponse::page(markup)}});
    const auto start = std::chrono::steady_clock::now();
    browser_->navigate("http://hostile.test/");
    settle();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(state(), 4);
    EXPECT_NE(bodyText().find("after"), std::string::npos);
    html::Document* page = browser_->document();
    EXPECT_LE(page->context()->nodes, html::DocumentContext::kMaxNodes + 1);
    if (markup.find("script") != std::string::npos || markup.find("onload") != std::string::npos) {
      ASSERT_NE(page->scripts(), nullptr);
      EXPECT_LE(page->scripts()->heapBytes(), html::ScriptEngine::kHeapCap);
      EXPECT_FALSE(page->scriptErrors().empty());
    }
    std::weak_ptr<html::DocumentContext> left = page->context();

    browser_->navigate("http://next.test/");
    settle();
    EXPECT_EQ(document().getText("title"), "next");
    auto context = left.lock();
    EXPECT_TRUE(!context || !context->document);  // the stopped page and its heap went
  }
}

}  // namespace
}  // namespace trenmoor::browser
