// The cookie jar's rules, and cookies kept between navigations, sent to sites and seen by pages.
#include <gtest/gtest.h>

#include "browser_fixture.h"
#include "standin/browser/cookie_jar.h"

namespace trenmoor::browser {
namespace {

constexpr auto kHttp = CookieAccess::Http;
constexpr auto kPage = CookieAccess::Page;

TEST(CookieJar, MatchesByHostDomainAndPathAndHonoursItsAttributes) {
  CookieJar jar;
  EXPECT_TRUE(jar.store("http://a.com/dir/page", "sid=1", kHttp));  // path defaults to /dir
  EXPECT_TRUE(jar.store("http://a.com/", "top=2; Path=/", kHttp));
  EXPECT_EQ(jar.header("http://a.com/dir/x", kHttp), "sid=1; top=2");  // longer path first
  EXPECT_EQ(jar.header("http://a.com/directory", kHttp), "top=2");
  EXPECT_EQ(jar.header("http://www.a.com/dir/x", kHttp), "");  // host-only cookies

  EXPECT_TRUE(jar.store("http://www.a.com/", "d=3; Domain=.A.com; Path=/sub", kHttp));
  EXPECT_EQ(jar.header("http://x.a.com/sub/page", kHttp), "d=3");
  EXPECT_EQ(jar.header("http://a.com/sub", kHttp), "d=3; top=2");
  EXPECT_EQ(jar.header("http://xa.com/sub", kHttp), "");
  EXPECT_FALSE(jar.store("http://a.com/", "e=1; Domain=b.com", kHttp));
  EXPECT_FALSE(jar.store("http://a.com/", "=nameless", kHttp));
  EXPECT_FALSE(jar.store("file:///tmp/x.html", "f=1", kHttp));

  EXPECT_FALSE(jar.store("http://a.com/", "s=1; Secure", kHttp));
  EXPECT_TRUE(jar.store("https://a.com/", "s=1; Secure; Path=/", kHttp));
  EXPECT_EQ(jar.header("http://a.com/", kHttp), "top=2");
  EXPECT_EQ(jar.header("https://a.com/", kHttp), "top=2; s=1");

  EXPECT_TRUE(jar.store("http://a.com/", "h=1; HttpOnly; Path=/", kHttp));
  EXPECT_FALSE(jar.store("http://a.com/", "h=2; Path=/", kPage));
  EXPECT_EQ(jar.header("http://a.com/", kPage), "top=2");
  EXPECT_EQ(jar.header("http://a.com/", kHttp), "top=2; h=1");

  EXPECT_TRUE(jar.store("http://a.com/", "top=5; Path=/", kPage));  // replaced in place
  EXPECT_EQ(jar.header("http://a.com/", kHttp), "top=5; h=1");
  EXPECT_TRUE(jar.store("http://a.com/", "top=; Max-Age=0; Path=/", kHttp));
  EXPECT_TRUE(jar.store("http://a.com/", "h=; Expires=Thu, 01 Jan 1970 00:00:00 GMT; Path=/", kHttp));
  EXPECT_EQ(jar.header("http://a.com/", kHttp), "");
  EXPECT_TRUE(jar.store("http://a.com/", "later=1; Path=/; Expires=Fri, 01 Jan 2100 00:00:00 GMT; Max-Age=60", kHttp));
  EXPECT_EQ(jar.header("http://a.com/", kHttp), "later=1");

  EXPECT_EQ(cookieFromHeader("a=1; b=2", "b"), "2");
  EXPECT_EQ(cookieFromHeader("a=1; b=2", "c"), "");
}

using BrowserCookies = BrowserFixture;

TEST_F(BrowserCookies, CookiesAreKeptBetweenNavigationsAndSharedWithThePage) {
  serve("pan.baidu.com", {{"/login", SiteResponse::redirect("/home")
                                         .withHeader("Set-Cookie", "sid=42; Path=/")
                                         .withHeader("Set-Cookie", "token=t; Path=/; HttpOnly")},
                          {"/home", SiteResponse::page("<p>home</p>")}});
  browser_->navigate("https://pan.baidu.com/login");
  settle();
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].header("Cookie"), "");
  EXPECT_EQ(requests_[1].header("Cookie"), "sid=42; token=t");  // set on the redirect, sent on the next hop
  EXPECT_EQ(requests_[1].cookie("sid"), "42");

  EXPECT_EQ(document().getText("cookie"), "sid=42");  // the HttpOnly cookie stays hidden
  EXPECT_TRUE(document().putText("cookie", "lang=zh; path=/"));
  browser_->navigate("https://pan.baidu.com/home");
  settle();
  EXPECT_EQ(requests_.back().header("Cookie"), "sid=42; token=t; lang=zh");
}

}  // namespace
}  // namespace trenmoor::browser
