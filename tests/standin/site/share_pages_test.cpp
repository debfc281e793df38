// Share pages driven as the transfer drives them: the code checked in place, the save button
// and the folder entries appearing only at their step, the failures a real site shows, and the
// record of what was saved where.
#include <gtest/gtest.h>

#include "site_fixture.h"

namespace trenmoor::site {
namespace {

using SharePagesTest = SiteFixture;

TEST_F(SharePagesTest, GoodShareIsSavedInPlaceIntoTheChosenFolder) {
  logIn("demo", "secret");
  browser_->navigate("https://pan.baidu.com/s/1Good");
  wait(kDelayMs);
  ASSERT_EQ(readyState(), 4);
  const ComObject page = document();
  // Before the code: the box and submitBtn, nothing to save with yet.
  EXPECT_TRUE(findLink(page, "emphasizeButton").empty());
  EXPECT_TRUE(findLink(page, "_disk_id_14").empty());
  ASSERT_TRUE(findInput(page, "accessCode").putText("value", "x7k2"));
  wait(200);
  findLink(page, "submitBtn").call("click");
  EXPECT_TRUE(findLink(page, "emphasizeButton").empty());  // the answer takes the site's latency
  wait(kDelayMs);
  EXPECT_EQ(browser_->document(), page.ref().get());  // checked in place: no navigation
  EXPECT_NE(bodyText().find("电影.mkv"), std::string::npos);
  EXPECT_TRUE(findInput(page, "accessCode").empty());
  EXPECT_TRUE(findLink(page, "_disk_id_14").empty());
  findLink(page, "emphasizeButton").call("click");
  wait(kDelayMs);
  ComObject folder = findLink(page, "_disk_id_14");
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(utf8Of(folder, "innerText"), "我的资源");
  EXPECT_TRUE(site_->records().empty());
  const std::int64_t clickedAt = desktop_.tickCount();
  folder.call("click");
  wait(kDelayMs);
  EXPECT_EQ(browser_->document(), page.ref().get());
  EXPECT_EQ(utf8Of(page.callObject("getElementById", {Variant(u"saveResult")}), "innerText"),
            "已为您成功保存文件到：/我的资源");
  EXPECT_TRUE(findLink(page, "_disk_id_14").empty());  // the chooser closed

  auto records = site_->records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].outcome, Outcome::Saved);
  EXPECT_EQ(records[0].shareId, "1Good");
  EXPECT_EQ(records[0].folderKey, "_disk_id_14");
  EXPECT_EQ(records[0].atMs, clickedAt);
  EXPECT_EQ(site_->recordsText(),
            std::to_string(clickedAt) + " saved 1Good to 我的资源 (_disk_id_14) by demo: 电影.mkv, 文档.pdf\n");
}

TEST_F(SharePagesTest, EachKindOfShareOffersWhatARealSiteDoes) {
  struct Case {
    const char* name;
    bool loggedIn;
    const char* share;
    const char* code;
    Steps expected;
    const char* pageSays;  // UTF-8, somewhere in the body at the end
    const char* recordsText;  // without the time at the start of each line
  };
  const Case cases[] = {
      {"good", true, "1Good", "x7k2", {4, true, true, true, true}, "成功保存文件到：/我的资源",
       " saved 1Good to 我的资源 (_disk_id_14) by demo: 电影.mkv, 文档.pdf\n"},
      {"code in capitals", true, "1Good", "X7K2", {4, true, true, true, true}, "成功保存", " saved 1Good"},
      {"wrong code", true, "1Good", "abcd", {4, true, true, false, false}, "提取码错误",
       " refused 1Good wrong-code by demo\n"},
      {"no code needed", true, "1Free", "x7k2", {4, false, false, true, true}, "成功保存",
       " saved 1Free to 我的资源 (_disk_id_14) by demo: free.txt\n"},
      {"not logged in", false, "1Good", "x7k2", {4, true, true, true, true}, "请先登录百度网盘",
       " refused 1Good not-logged-in folder _disk_id_14\n"},
      {"gone", true, "1Gone", "x7k2", {4, false, false, false, false}, "已过期或被删除", ""},
      {"never shared", true, "1Nobody", "x7k2", {4, false, false, false, false}, "页面不存在", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    network_->cookies().clear();
    site_ = std::make_unique<Site>(parseSiteDescription(kTestDescription).description);
    network_->addSite(kSiteHost, site_->handler());
    if (c.loggedIn) logIn("demo", "secret");
    Steps steps = takeShare(c.share, c.code);
    EXPECT_EQ(steps.readyState, c.expected.readyState);
    EXPECT_EQ(steps.codeBox, c.expected.codeBox);
    EXPECT_EQ(steps.submit, c.expected.submit);
    EXPECT_EQ(steps.saveButton, c.expected.saveButton);
    EXPECT_EQ(steps.folder, c.expected.folder);
    EXPECT_NE(bodyText().find(c.pageSays), std::string::npos) << bodyText();
    std::string text = site_->recordsText();
    if (*c.recordsText == '\0') {
      EXPECT_EQ(text, "");
    } else {
      EXPECT_NE(text.find(c.recordsText), std::string::npos) << text;
      EXPECT_EQ(text.find('\n'), text.size() - 1) << "one record";
    }
  }
}

TEST_F(SharePagesTest, SlowShareIsSlowOnlyForItsFirstLoadSoTheReloadSucceeds) {
  logIn("demo", "secret");
  browser_->navigate("https://pan.baidu.com/s/1Slow");
  wait(kDelayMs);
  EXPECT_NE(readyState(), 4);
  Steps steps = takeShare("1Slow", "s1w0");  // the program's reload of the same link
  EXPECT_EQ(steps.readyState, 4);
  EXPECT_TRUE(steps.folder);
  wait(3000);  // the first answer, dropped, never replaces the page
  EXPECT_NE(bodyText().find("成功保存文件到：/我的资源"), std::string::npos);
  auto records = site_->records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].outcome, Outcome::Saved);
  EXPECT_EQ(records[0].files, std::vector<std::string>{"big.iso"});
}

TEST_F(SharePagesTest, SavesNeedTheProofThatTheCodeWasGiven) {
  logIn("demo", "secret");
  open("https://pan.baidu.com/s/1Good");
  // A page script that skips the code: straight to the save request with a made-up proof.
  document().getObject("parentWindow").call("execScript", {Variant(u"sekey = 'guess'; saveTo('_disk_id_14');")});
  desktop_.runUntil([] { return false; });
  EXPECT_NE(bodyText().find("请输入提取码"), std::string::npos);
  EXPECT_NE(site_->recordsText().find(" refused 1Good not-verified folder _disk_id_14 by demo"), std::string::npos);
  // A folder the disk does not have.
  open("https://pan.baidu.com/s/1Free");
  document().getObject("parentWindow").call("execScript", {Variant(u"saveTo('_disk_id_99');")});
  desktop_.runUntil([] { return false; });
  EXPECT_NE(bodyText().find("目标文件夹不存在"), std::string::npos);
  EXPECT_NE(site_->recordsText().find(" refused 1Free no-such-folder folder _disk_id_99 by demo"), std::string::npos);
  for (const auto& record : site_->records()) EXPECT_EQ(record.outcome, Outcome::Refused);
}

}  // namespace
}  // namespace trenmoor::site
