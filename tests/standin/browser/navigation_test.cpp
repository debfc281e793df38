// Navigation on the virtual clock: ready states and timing, replacement of a navigation in
// flight, redirects, failures shown as the error page, and pages that need no server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser_fixture.h"
#include "standin/browser/web_address.h"

namespace trenmoor::browser {
namespace {

using NavigationTest = BrowserFixture;

const Text& errorTitle() { return ansiLiteral<"无法显示此页">(); }

TEST_F(NavigationTest, ReadyStateIsLoadingUntilTheSiteAnswersThenComplete) {
  serve("pan.baidu.com", {{"/s/1ab?pwd=x", SiteResponse::page("<title>share</title><p>files</p>").withLatency(300)}});
  EXPECT_EQ(state(), 0);
  EXPECT_EQ(browser_->document(), nullptr);

  browser_->navigate("pan.baidu.com/s/1ab?pwd=x#top");
  EXPECT_EQ(state(), 1);
  EXPECT_EQ(browser_->address(), "http://pan.baidu.com/s/1ab?pwd=x#top");
  EXPECT_TRUE(requests_.empty());  // the site sees the request only once the write has returned

  runTo(299);
  EXPECT_EQ(state(), 1);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].method, "GET");
  EXPECT_EQ(requests_[0].url, "http://pan.baidu.com/s/1ab?pwd=x");
  EXPECT_EQ(requests_[0].header("host"), "pan.baidu.com");
  EXPECT_TRUE(document().empty());

  runTo(300);
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(document().getText("title"), "share");
  EXPECT_EQ(document().getText("readyState"), "complete");
  EXPECT_EQ(document().getText("domain"), "pan.baidu.com");
}

TEST_F(NavigationTest, SlowPageIsStillLoadingAfterTheCallersWait) {
  serve("pan.baidu.com", {{"/", SiteResponse::page("<p>late</p>").withLatency(5000)}});
  browser_->navigate("https://pan.baidu.com/");
  desktop_.waitProcessingEvents(3000);
  EXPECT_EQ(state(), 1);
  desktop_.waitProcessingEvents(3000);
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(bodyText(), "late");
}

TEST_F(NavigationTest, NewerNavigationReplacesTheOneInFlight) {
  serve("a.test", {{"/slow", SiteResponse::page("<p>slow</p>").withLatency(500)},
                   {"/fast", SiteResponse::page("<p>fast</p>").withLatency(100)}});
  browser_->navigate("http://a.test/slow");
  runTo(50);
  browser_->navigate("http://a.test/fast");
  EXPECT_EQ(state(), 1);
  runTo(149);
  EXPECT_EQ(state(), 1);
  runTo(150);
  EXPECT_EQ(state(), 4);
  settle();
  EXPECT_EQ(bodyText(), "fast");
  EXPECT_EQ(browser_->address(), "http://a.test/fast");
  EXPECT_EQ(network_->pendingLoads(), 0u);
  EXPECT_EQ(requests_.size(), 2u);
}

TEST_F(NavigationTest, RedirectsAreFollowedHopByHopWithTheirLatencies) {
  serve("a.test", {{"/old", SiteResponse::redirect("http://b.test/moved").withLatency(10)},
                   {"/login", SiteResponse::redirect("/home", 303).withLatency(10)},
                   {"/home", SiteResponse::page("<p>home</p>").withLatency(10)}});
  serve("b.test", {{"/moved", SiteResponse::redirect("final?x=1", 301).withLatency(10)},
                   {"/final?x=1", SiteResponse::page("<p>final</p>").withLatency(10)}});
  browser_->navigate("http://a.test/old");
  EXPECT_EQ(browser_->address(), "http://a.test/old");
  runTo(29);
  EXPECT_EQ(state(), 1);
  runTo(30);
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(browser_->address(), "http://b.test/final?x=1");
  EXPECT_EQ(document().getText("URL"), "http://b.test/final?x=1");

  // A form post answered with 303 continues as a GET without body.
  requests_.clear();
  browser_->navigate(PageRequest{"POST", "http://a.test/login", "user=me", "application/x-www-form-urlencoded", {}});
  settle();
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].method, "POST");
  EXPECT_EQ(requests_[0].body, "user=me");
  EXPECT_EQ(requests_[0].header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests_[1].method, "GET");
  EXPECT_EQ(requests_[1].body, "");
  EXPECT_EQ(bodyText(), "home");
}

TEST_F(NavigationTest, FailedNavigationShowsTheErrorPageAndCompletes) {
  serve("a.test", {{"/loop", SiteResponse::redirect("/loop")},
                   {"/broken", SiteResponse{500, {{"Content-Type", "text/html"}}, "<p>server says no</p>", 0}}});
  struct Case {
    const char* address;
    const char* reason;
  };
  const Case cases[] = {
      {"http://nowhere.test/", "unknown host"},
      {"http://a.test/missing", "HTTP 404"},
      {"http://a.test/loop", "too many redirects"},
      {"file:///no/such/folder/page.html", "not found"},
      {"ftp://a.test/file", "unsupported address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    browser_->navigate(c.address);
    settle();
    EXPECT_EQ(state(), 4);
    EXPECT_EQ(document().getText("title"), errorTitle());
    ComObject byId = document().callObject("getElementById", {Variant(u"reason")});
    EXPECT_NE(byId.getText("innerText").find(c.reason), std::string::npos) << byId.getText("innerText");
    EXPECT_EQ(document().callObject("getElementById", {Variant(u"address")}).getText("innerText"), c.address);
  }
  // An error status with a page of its own shows that page.
  browser_->navigate("http://a.test/broken");
  settle();
  EXPECT_EQ(bodyText(), "server says no");
}

TEST_F(NavigationTest, LocalPagesCompleteInTheFirstDispatchAfterTheWrite) {
  auto file = std::filesystem::temp_directory_path() /
              ("trenmoor-browser-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".html");
  std::ofstream(file, std::ios::binary) << "<p>from a file</p>";
  struct Case {
    std::string address;
    Text body;
  };
  const Case cases[] = {
      {"about:blank", ""},
      {"data:text/html,<p>hi%20there</p>", "hi there"},
      {"data:text/html;charset=gbk;base64,1tDOxA==", ansiLiteral<"中文">()},
      {"data:,<b>plain</b>", "<b>plain</b>"},
      {"file://" + file.string(), "from a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    browser_->navigate(c.address);
    EXPECT_EQ(state(), 1);
    desktop_.processPendingEvents();
    EXPECT_EQ(state(), 4);
    EXPECT_EQ(desktop_.tickCount(), 0);
    EXPECT_EQ(bodyText(), c.body);
  }
  std::filesystem::remove(file);
}

TEST(AddressFromUserText, CompletesWhatAUserTypes) {
  const std::pair<const char*, const char*> cases[] = {
      {"pan.baidu.com/s/1x", "http://pan.baidu.com/s/1x"},
      {"  https://pan.baidu.com  ", "https://pan.baidu.com/"},
      {"localhost:8080/a", "http://localhost:8080/a"},
      {"/tmp/page.html", "file:///tmp/page.html"},
      {"", "about:blank"},
      {"data:,x", "data:,x"},
  };
  for (const auto& [typed, address] : cases) EXPECT_EQ(addressFromUserText(typed), address) << typed;
}

}  // namespace
}  // namespace trenmoor::browser
