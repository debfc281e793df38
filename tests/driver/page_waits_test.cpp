// The page waits and form submission on pages shown in a browser box, on the virtual clock.
#include <gtest/gtest.h>

#include "driver/page_driver.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor {
namespace {

class PageWaitsTest : public ::testing::Test {
 protected:
  PageWaitsTest() {
    toolkit::Toolkit::current().reset();
    browsers_ = std::make_unique<browser::BrowserStandIn>();
    browsers_->network().setOutsideAccess(browser::OutsideAccess::Refused);
    browsers_->network().addSite("example.com", [this](const browser::SiteRequest& request) {
      requests_.push_back(request);
      return browser::SiteResponse::page(page_, contentType_);
    });
    window_ = ui::createMainWindow("w", 50, 50, 640, 520);
    box_ = &window_->addBrowserBox("browser", {6, 128, 620, 358}, "about:blank");
    window_->show();
  }
  ~PageWaitsTest() override {
    window_.reset();
    browsers_.reset();
    toolkit::Toolkit::current().reset();
  }
  void show(std::string markup) {
    page_ = std::move(markup);
    box_->setAddress("http://example.com/page.html");
    ASSERT_TRUE(desktop_.runUntil([&] { return box_->readyState() == ui::kReadyStateComplete; }));
    ASSERT_TRUE(driver_.attach(window_->windowHandle()));
  }
  win::HWND window() { return window_->windowHandle(); }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  std::unique_ptr<browser::BrowserStandIn> browsers_;
  std::unique_ptr<ui::ApplicationWindow> window_;
  ui::BrowserBox* box_ = nullptr;
  std::string page_;
  std::string contentType_ = "text/html; charset=utf-8";
  std::vector<browser::SiteRequest> requests_;
  PageDriver driver_;
};

TEST_F(PageWaitsTest, TextFoundAtTheFirstLookOrTimeOut) {
  show("<body>hello <form action=x></form></body>");
  struct Case {
    const char* text;
    bool markup;
    std::int32_t timeout;
    bool found;
    std::int64_t elapsed;  // on the virtual clock
  };
  const Case cases[] = {
      {"hello", false, 5000, true, 300},
      {"", false, 5000, true, 300},
      {"<FORM", false, 1000, false, 1200},  // four looks: 300, 600, 900, 1200 > 1000
      {"<FORM", true, 1000, true, 300},
      {"absent", false, 0, false, 300},     // looked at once even with no time
      {"absent", true, -5, false, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::int64_t start = desktop_.tickCount();
    const bool found = c.markup ? driver_.waitForPageHtml(window(), c.text, c.timeout)
                                : driver_.waitForPageText(window(), c.text, c.timeout);
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(desktop_.tickCount() - start, c.elapsed);
  }
}

TEST_F(PageWaitsTest, ABadHandleFailsAtOnceWithoutSleeping) {
  show("<body>hello</body>");
  const std::int64_t start = desktop_.tickCount();
  EXPECT_FALSE(driver_.waitForPageText(0, "hello"));
  EXPECT_FALSE(driver_.waitForPageHtml(0x7FFFFFF0, "hello"));
  EXPECT_EQ(desktop_.tickCount(), start);
}

TEST_F(PageWaitsTest, ThePageGainsTheTextThroughItsOwnTimerWhileEventsAreHandled) {
  show("<body><p id=p>wait</p><script>setTimeout(function () {"
       " document.getElementById('p').innerText = 'ready'; }, 1000);</script></body>");
  std::vector<std::int64_t> handled;
  desktop_.setTimer(450, [&] { handled.push_back(desktop_.tickCount()); });
  const std::int64_t start = desktop_.tickCount();
  EXPECT_TRUE(driver_.waitForPageText(window(), "ready"));
  EXPECT_EQ(desktop_.tickCount() - start, 1200);
  EXPECT_EQ(handled, std::vector<std::int64_t>{start + 450});  // handled during the wait, on time
}

TEST_F(PageWaitsTest, AGivenDocumentIsReadAndTheDriversIsLeftAlone) {
  show("<body>first</body>");
  ComObject first = driver_.getDocument();
  page_ = "<body>second</body>";
  box_->setAddress("http://example.com/two.html");
  ASSERT_TRUE(desktop_.runUntil([&] { return box_->readyState() == ui::kReadyStateComplete; }));
  EXPECT_TRUE(driver_.waitForPageText(window(), "first", 1000, first));
  EXPECT_TRUE(driver_.getDocument().sameObject(first));
  EXPECT_TRUE(driver_.waitForPageText(window(), "second", 1000));  // re-attaches
  EXPECT_FALSE(driver_.getDocument().sameObject(first));
}

TEST_F(PageWaitsTest, SubmitFormSendsTheFieldsToTheSite) {
  show("<form name=a action=get.php><input name=q value=one></form>");
  ASSERT_TRUE(driver_.submitForm("a"));
  ASSERT_TRUE(desktop_.runUntil([&] { return requests_.size() == 2; }));
  EXPECT_EQ(requests_[1].method, "GET");
  EXPECT_EQ(requests_[1].path, "/get.php?q=one");
  contentType_ = "text/html; charset=gbk";
  show(utf8ToAnsi("<form name=b method=post action=post.php onsubmit=\"document.title='handler ran'\">"
                  "<input name=user value='张 三'><input type=hidden name=h value=1&amp;2>"
                  "<input type=submit name=s value=go></form>"));
  ASSERT_TRUE(driver_.submitForm("b"));
  EXPECT_EQ(driver_.getTitle(), "");  // submit() does not fire onsubmit
  ASSERT_TRUE(desktop_.runUntil([&] { return requests_.size() == 4; }));
  EXPECT_EQ(requests_[3].method, "POST");
  EXPECT_EQ(requests_[3].path, "/post.php");
  EXPECT_EQ(requests_[3].body, "user=%D5%C5+%C8%FD&h=1%262");  // the page's code page, no submit button
  EXPECT_FALSE(driver_.submitForm("c"));
}

}  // namespace
}  // namespace trenmoor
