// The site over real HTTP on a loopback port, reached under its own host name, on the real
// clock: a login and one share saved, and a server that stops while an answer waits.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>

#include "site_fixture.h"
#include "standin/site/loopback_server.h"

namespace trenmoor::site {
namespace {

constexpr std::int64_t kDeadlineMs = 10000;

TEST(LoopbackSite, LogInAndSaveAShareOverHttp) {
  desktop::Desktop desktop(desktop::ClockKind::Real, desktop::ProcessStarts::Recorded);
  auto parsed = parseSiteDescription("account demo secret\nfolder _disk_id_14 我的资源\nshare 1Good x7k2 files=a.txt\n");
  ASSERT_TRUE(parsed.ok());
  Site site(parsed.description);
  LoopbackServer server(site.handler());
  ASSERT_TRUE(server.start());
  ASSERT_GT(server.port(), 0);
  EXPECT_EQ(server.origin(), "http://127.0.0.1:" + std::to_string(server.port()));
  {
    auto network = std::make_shared<browser::Network>();
    network->setOutsideAccess(browser::OutsideAccess::Refused);
    network->addRoute(kSiteHost, server.origin());
    browser::Browser browser(network, desktop.createWindow("TrenmoorBrowserBox", 0, {0, 0, 800, 600}, true));
    const std::int64_t deadline = desktop.tickCount() + kDeadlineMs;
    auto page = [&] { return ComObject(DispatchRef(browser.document())); };
    auto until = [&](const std::function<bool()>& done) {
      return desktop.runUntil([&] { return done() || desktop.tickCount() > deadline; }) && done();
    };
    auto loaded = [&] { return browser.readyState() == browser::ReadyState::Complete; };
    auto byId = [&](const char16_t* id) { return page().callObject("getElementById", {Variant(id)}); };

    browser.navigate("https://pan.baidu.com/");
    ASSERT_TRUE(until(loaded));
    ASSERT_TRUE(byId(u"account").putText("value", "demo"));
    byId(u"password").putText("value", "secret");
    byId(u"loginButton").call("click");
    ASSERT_TRUE(until([&] { return loaded() && !findLink(page(), "_disk_id_14").empty(); }));

    browser.navigate("https://pan.baidu.com/s/1Good");
    ASSERT_TRUE(until([&] { return loaded() && !findInput(page(), "accessCode").empty(); }));
    const ComObject share = page();
    findInput(share, "accessCode").putText("value", "x7k2");
    findLink(share, "submitBtn").call("click");
    ASSERT_TRUE(until([&] { return !findLink(share, "emphasizeButton").empty(); }));
    findLink(share, "emphasizeButton").call("click");
    ComObject folder = findLink(share, "_disk_id_14");
    ASSERT_FALSE(folder.empty());
    folder.call("click");
    ASSERT_TRUE(until([&] { return !site.records().empty(); }));
    ASSERT_TRUE(until([&] { return utf8Of(byId(u"saveResult"), "innerText").find("我的资源") != std::string::npos; }));
  }
  server.stop();
  EXPECT_EQ(server.port(), 0);
  auto records = site.records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].outcome, Outcome::Saved);
  EXPECT_EQ(records[0].account, "demo");
  EXPECT_EQ(records[0].files, std::vector<std::string>{"a.txt"});
}

TEST(LoopbackSite, StopCutsShortAnAnswerThatWaitsOutItsLatency) {
  std::promise<void> asked;
  LoopbackServer server([&asked](const browser::SiteRequest&) {
    asked.set_value();
    return browser::SiteResponse::page("late").withLatency(60000);
  });
  ASSERT_TRUE(server.start());
  EXPECT_FALSE(server.start()) << "already running";
  httplib::Client client("127.0.0.1", server.port());
  client.set_read_timeout(30, 0);
  auto answer = std::async(std::launch::async, [&] { return client.Get("/s/1Slow"); });
  ASSERT_EQ(asked.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const auto before = std::chrono::steady_clock::now();
  server.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  auto result = answer.get();
  EXPECT_TRUE(!result || result->status == 503);
  server.stop();  // twice is harmless
}

}  // namespace
}  // namespace trenmoor::site
