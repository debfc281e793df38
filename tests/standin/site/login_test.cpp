// The home page: the login form, the session cookie, the disk with its folders and what was
// saved into them, and logging out.
#include <gtest/gtest.h>

#include "site_fixture.h"

namespace trenmoor::site {
namespace {

using LoginTest = SiteFixture;

std::string sessionCookie(browser::Network& network) {
  return browser::cookieFromHeader(network.cookies().header("https://pan.baidu.com/", browser::CookieAccess::Http),
                                   kSessionCookie);
}

TEST_F(LoginTest, WrongPasswordShowsTheFormAgainWithoutASession) {
  for (auto [account, password] : {std::pair{"demo", "wrong"}, {"nobody", "secret"}, {"demo", ""}}) {
    logIn(account, password);
    EXPECT_EQ(sessionCookie(*network_), "");
    EXPECT_NE(bodyText().find("账号或密码错误"), std::string::npos);
    EXPECT_FALSE(findInput(document(), "account").empty());
    EXPECT_TRUE(findLink(document(), "_disk_id_14").empty());
  }
}

TEST_F(LoginTest, LoginSetsTheSessionAndTheDiskListsItsFolders) {
  open("https://pan.baidu.com/");
  EXPECT_FALSE(findInput(document(), "account").empty());
  EXPECT_FALSE(findInput(document(), "password").empty());
  logIn("demo", "secret");
  const std::string session = sessionCookie(*network_);
  EXPECT_FALSE(session.empty());
  EXPECT_EQ(document().getText("cookie"), "");  // HttpOnly: the pages do not see it
  EXPECT_EQ(browser_->address(), "https://pan.baidu.com/");
  EXPECT_NE(bodyText().find("demo"), std::string::npos);
  EXPECT_TRUE(findInput(document(), "account").empty());
  EXPECT_EQ(utf8Of(findLink(document(), "_disk_id_12"), "innerText"), "我的文档");
  EXPECT_EQ(utf8Of(findLink(document(), "_disk_id_14"), "innerText"), "我的资源");

  EXPECT_TRUE(takeShare("1Good", "x7k2").folder);
  open("https://pan.baidu.com/");
  EXPECT_NE(bodyText().find("我的资源\r\n电影.mkv\r\n文档.pdf"), std::string::npos) << bodyText();

  // Logging out ends the session on the site, not only in the browser.
  open("https://pan.baidu.com/logout");
  EXPECT_EQ(sessionCookie(*network_), "");
  EXPECT_FALSE(findInput(document(), "account").empty());
  network_->cookies().store("https://pan.baidu.com/", std::string(kSessionCookie) + "=" + session,
                            browser::CookieAccess::Http);
  open("https://pan.baidu.com/");
  EXPECT_FALSE(findInput(document(), "account").empty()) << "the session ended on the site too";
}

}  // namespace
}  // namespace trenmoor::site
