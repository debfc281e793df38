// What pages' scripts get from the browser: the load event once the frames are in, their HTTP
// requests through the network and jar, javascript: addresses, and the end of a page left.
#include <gtest/gtest.h>

#include "browser_fixture.h"

namespace trenmoor::browser {
namespace {

using ScriptsTest = BrowserFixture;

TEST_F(ScriptsTest, LoadEventFiresWhenTheFramesAreIn) {
  serve("a.test", {{"/", SiteResponse::page("<script>window.onload = function () { document.title = 'loaded'; };"
                                            "</script><iframe src=/f></iframe>")
                             .withLatency(100)},
                   {"/f", SiteResponse::page("<p>f</p>").withLatency(50)}});
  browser_->navigate("http://a.test/");
  runTo(100);
  EXPECT_EQ(state(), 3);
  EXPECT_EQ(document().getText("title"), "");
  runTo(150);
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(document().getText("title"), "loaded");

  browser_->navigate("javascript:document.title='typed'");
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(document().getText("title"), "typed");
}

TEST_F(ScriptsTest, RequestsOfScriptsGoThroughTheNetworkWithTheJarsCookies) {
  serve("pan.baidu.com",
        {{"/", SiteResponse::page("<p>page</p>").withHeader("Set-Cookie", "BDUSS=secret; Path=/; HttpOnly")},
         {"/api/verify?t=1", SiteResponse::page("{\"errno\":0}", "application/json")
                                 .withHeader("Set-Cookie", "BDCLND=ok; Path=/")
                                 .withLatency(40)}});
  browser_->navigate("https://pan.baidu.com/");
  settle();
  document().getObject("parentWindow").call(
      "execScript", {Variant(u"var x = new XMLHttpRequest(); x.open('POST', '/api/verify?t=1', true);"
                             "x.setRequestHeader('Content-Type', 'text/plain');"
                             "x.onload = function () { document.title = x.status + ' ' + x.responseText; };"
                             "x.send('pwd=abcd');")});
  runTo(desktop_.tickCount() + 39);
  EXPECT_EQ(document().getText("title"), "");
  settle();
  EXPECT_EQ(document().getText("title"), "200 {\"errno\":0}");
  const SiteRequest& request = requests_.back();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.body, "pwd=abcd");
  EXPECT_EQ(request.header("Content-Type"), "text/plain");
  EXPECT_EQ(request.header("Cookie"), "BDUSS=secret");  // HttpOnly cookies go with requests too
  EXPECT_EQ(network_->cookies().header("https://pan.baidu.com/", CookieAccess::Http), "BDUSS=secret; BDCLND=ok");
}

TEST_F(ScriptsTest, LeavingAPageDropsItsRequestsInFlight) {
  serve("a.test", {{"/", SiteResponse::page("<p>a</p>")},
                   {"/slow", SiteResponse::page("late").withLatency(500)},
                   {"/next", SiteResponse::page("<p>next</p>")}});
  browser_->navigate("http://a.test/");
  settle();
  ComObject old = document();
  old.getObject("parentWindow").call(
      "execScript", {Variant(u"var x = new XMLHttpRequest(); x.open('GET', '/slow', true);"
                             "x.onload = function () { document.title = 'answered'; }; x.send();")});
  browser_->navigate("http://a.test/next");
  settle();
  EXPECT_EQ(bodyText(), "next");
  EXPECT_EQ(old.getText("title"), "");
  EXPECT_EQ(network_->pendingLoads(), 0u);
}

}  // namespace
}  // namespace trenmoor::browser
