// A page over real HTTP from a loopback server, reached under the name of the real site.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "platform/com_object.h"
#include "standin/browser/browser.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::browser {
namespace {

constexpr std::int64_t kDeadlineMs = 10000;

// A loopback port on which nobody listens.
int closedPort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return ntohs(address.sin_port);
}

TEST(Loopback, PageOverHttpUnderTheRoutedHostName) {
  httplib::Server server;
  std::mutex mutex;
  std::vector<std::string> hosts, cookies;
  server.Get("/login", [&](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard lock(mutex);
    hosts.push_back(request.get_header_value("Host"));
    response.status = 302;
    response.set_header("Location", "/home?from=login");
    response.set_header("Set-Cookie", "sid=7; Path=/");
  });
  server.Get("/home", [&](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard lock(mutex);
    cookies.push_back(request.get_header_value("Cookie"));
    response.set_content("<title>home</title><p>\xc4\xfa\xba\xc3</p>", "text/html; charset=gbk");  // 您好
  });
  int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread serving([&] { server.listen_after_bind(); });

  desktop::Desktop desktop(desktop::ClockKind::Real, desktop::ProcessStarts::Recorded);
  {
    auto network = std::make_shared<Network>();
    network->setOutsideAccess(OutsideAccess::Refused);
    network->addRoute("pan.baidu.com", "http://127.0.0.1:" + std::to_string(port) + "/");
    network->addRoute("down.test", "http://127.0.0.1:" + std::to_string(closedPort()));
    win::HWND box = desktop.createWindow("TrenmoorBrowserBox", 0, {0, 0, 300, 200}, true);
    Browser browser(network, box);
    auto complete = [&] {
      return browser.readyState() == ReadyState::Complete || desktop.tickCount() > kDeadlineMs;
    };

    browser.navigate("https://pan.baidu.com/login");
    desktop.runUntil(complete);
    ASSERT_EQ(browser.readyState(), ReadyState::Complete);
    EXPECT_EQ(browser.address(), "https://pan.baidu.com/home?from=login");
    ComObject document{DispatchRef(browser.document())};
    EXPECT_EQ(document.getText("title"), "home");
    EXPECT_EQ(document.getObject("body").getText("innerText"), ansiLiteral<"您好">());
    EXPECT_EQ(document.getText("cookie"), "sid=7");
    {
      std::lock_guard lock(mutex);
      EXPECT_EQ(hosts, std::vector<std::string>{"pan.baidu.com"});
      EXPECT_EQ(cookies, std::vector<std::string>{"sid=7"});
    }

    browser.navigate("http://down.test/");
    desktop.runUntil(complete);
    ASSERT_EQ(browser.readyState(), ReadyState::Complete);
    ComObject failed{DispatchRef(browser.document())};
    EXPECT_NE(failed.callObject("getElementById", {Variant(u"reason")}).getText("innerText").find("connection refused"),
              std::string::npos);
  }
  server.stop();
  serving.join();
}

}  // namespace
}  // namespace trenmoor::browser
