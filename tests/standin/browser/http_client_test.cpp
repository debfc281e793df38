// Transfers over loopback HTTP abandoned while the server is still answering: completions are
// run and dropped on the user-interface thread only, whatever the worker is doing.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/com_object.h"
#include "standin/browser/browser.h"
#include "standin/browser/http_client.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::browser {
namespace {

constexpr std::int64_t kDeadlineMs = 20000;

// A loopback server whose /slow answers only once released (or after a few seconds).
class SlowServer {
 public:
  SlowServer() {
    server_.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
      std::unique_lock lock(mutex_);
      released_.wait_for(lock, std::chrono::seconds(5), [this] { return open_; });
      response.set_content("<title>slow</title>", "text/html");
    });
    server_.Get("/fast", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content("<title>fast " + request.get_param_value("n") + "</title>", "text/html");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    serving_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~SlowServer() {
    release();
    server_.stop();
    serving_.join();
  }
  void release() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    released_.notify_all();
  }
  std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  std::mutex mutex_;
  std::condition_variable released_;
  bool open_ = false;
  int port_ = 0;
  std::thread serving_;
};

// Kept by a completion; notes the thread it is destroyed on.
struct Probe {
  std::thread::id ui;
  std::atomic<int>* offThread;
  ~Probe() {
    if (std::this_thread::get_id() != ui) ++*offThread;
  }
};

TEST(HttpClient, CancelledCompletionsNeverRunAndNothingOfThemLeavesTheInterfaceThread) {
  SlowServer server;
  desktop::Desktop desktop(desktop::ClockKind::Real, desktop::ProcessStarts::Recorded);
  std::atomic<int> offThread = 0;
  int ran = 0;
  {
    HttpClient client;
    std::vector<HttpClient::TransferId> slow;
    for (int i = 0; i < 100; ++i) {
      auto probe = std::make_shared<Probe>(Probe{std::this_thread::get_id(), &offThread});
      slow.push_back(client.start({"GET", server.origin() + "/slow", {}, {}}, desktop,
                                  [probe, &ran](HttpReply) { ++ran; }));
    }
    auto probe = std::make_shared<Probe>(Probe{std::this_thread::get_id(), &offThread});
    HttpReply fast;
    client.start({"GET", server.origin() + "/fast?n=1", {}, {}}, desktop, [probe, &fast](HttpReply reply) { fast = reply; });
    for (auto id : slow) client.cancel(id);
    server.release();
    desktop.runUntil([&] { return client.pending() == 0 || desktop.tickCount() > kDeadlineMs; });
    EXPECT_EQ(client.pending(), 0u);
    EXPECT_EQ(fast.status, 200);
    EXPECT_NE(fast.body.find("fast 1"), std::string::npos);
    // Transfers still under way when the client goes are dropped with it.
    for (int i = 0; i < 20; ++i) {
      auto p = std::make_shared<Probe>(Probe{std::this_thread::get_id(), &offThread});
      client.start({"GET", server.origin() + "/slow", {}, {}}, desktop, [p, &ran](HttpReply) { ++ran; });
    }
  }
  desktop.runUntil([&] { return desktop.idle(); });
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(offThread.load(), 0);
}

// A person who moves on before a slow page arrives, a hundred times.
TEST(HttpClient, NavigatingAwayDuringSlowAnswersLeavesTheLastPage) {
  SlowServer server;
  desktop::Desktop desktop(desktop::ClockKind::Real, desktop::ProcessStarts::Recorded);
  {
    auto network = std::make_shared<Network>();
    network->setOutsideAccess(OutsideAccess::Refused);
    network->addRoute("site.test", server.origin());
    win::HWND box = desktop.createWindow("TrenmoorBrowserBox", 0, {0, 0, 300, 200}, true);
    Browser browser(network, box);
    for (int i = 0; i < 100; ++i) {
      browser.navigate("http://site.test/slow");
      desktop.processPendingEvents();
      browser.navigate("http://site.test/fast?n=" + std::to_string(i));
    }
    desktop.runUntil([&] { return browser.readyState() == ReadyState::Complete || desktop.tickCount() > kDeadlineMs; });
    server.release();
    ASSERT_EQ(browser.readyState(), ReadyState::Complete);
    EXPECT_EQ(ComObject(DispatchRef(browser.document())).getText("title"), "fast 99");
  }
}

}  // namespace
}  // namespace trenmoor::browser
