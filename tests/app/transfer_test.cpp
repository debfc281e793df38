#include <pthread.h>

#include <map>

#include "app_fixture.h"

namespace trenmoor::app {
namespace {

// Share pages whose controls report each click to the site, with the code typed.
class ShareSite {
 public:
  std::vector<std::string> log;               // "<ms> <what>"
  std::map<std::string, std::int64_t> slow;   // share id -> latency of its first load
  std::vector<std::string> withoutCode;       // shares whose page has no access-code input
  std::vector<std::string> alerting;          // shares whose submit control opens an alert first
  std::int64_t plainOpens = 0;                // loads of /p/: a plain page that reports nothing

  browser::SiteResponse operator()(const browser::SiteRequest& request) {
    auto at = std::to_string(desktop::Desktop::current().tickCount());
    if (request.path.starts_with("/click")) {
      log.push_back(at + " " + request.body);
      return browser::SiteResponse::page("ok");
    }
    if (request.path.starts_with("/p/")) {
      ++plainOpens;
      return browser::SiteResponse::page(
          "<input id=accessCode><a id=submitBtn>s</a><a id=emphasizeButton>e</a>"
          "<a id=_disk_id_14>d</a>");
    }
    if (!request.path.starts_with("/s/")) return browser::SiteResponse::page("<p>home</p>");
    std::string id = request.path.substr(3);
    log.push_back(at + " open " + id);
    bool noCode = std::find(withoutCode.begin(), withoutCode.end(), id) != withoutCode.end();
    std::string page = std::string("<body>") + (noCode ? "" : "<input id=accessCode name=accessCode>");
    const bool alerts = std::find(alerting.begin(), alerting.end(), id) != alerting.end();
    for (std::string key : {"submitBtn", "emphasizeButton", "_disk_id_14"}) {
      const std::string first = alerts && key == "submitBtn" ? "alert('wait');" : "";
      page += "<a id=" + key + " href='javascript:;' onclick=\"" + first + "tell('" + key + "')\">" + key + "</a>";
    }
    page += "<script>function tell(k){var c=document.getElementById('accessCode');var x=new XMLHttpRequest();"
            "x.open('POST','/click',true);x.send('" + id + " '+k+(c?' '+c.value:''));}</script></body>";
    auto response = browser::SiteResponse::page(page);
    if (auto it = slow.find(id); it != slow.end()) {
      response.withLatency(it->second);
      slow.erase(it);  // only the first load is slow
    }
    return response;
  }
};

class TransferTest : public AppFixture {
 protected:
  TransferTest() {
    browsers_->network().addSite("pan.baidu.com", [this](const browser::SiteRequest& r) { return site_(r); });
  }
  // Imports the list and presses start at 1000 ms, with the given delay.
  void run(const std::string& list, const std::string& delay, const std::string& more = "") {
    file("links.txt", utf8ToAnsi(list));  // link files are code page 936
    play("at 10 click login\nat 20 type delay \"" + delay + "\"\nat 30 click addfile\nchoose links.txt\n"
         "answer OK title 导入成功\nanswer OK title 提示信息\nat 1000 click start\n" + more);
  }
  std::vector<std::string> nowValues() const {
    std::vector<std::string> values;
    for (const auto& line : user_->transcript()) {
      auto at = line.find("control now text \"");
      if (at != std::string::npos) values.push_back(line.substr(at + 18, line.size() - at - 19));
    }
    return values;
  }
  std::string list_;
  ShareSite site_;

 public:
  // For the small-stack thread: runs the list kept in list_.
  void runKeptList(const std::string& delay) { run(list_, delay); }
};

TEST_F(TransferTest, TwoLinesAreVisitedInOrderThenTheProgramRestarts) {
  run("https://pan.baidu.com/s/one code1\r\nhttps://pan.baidu.com/s/two code2", "1");
  // Start at 1000; 1000 ms later the first link; after the delay the code, 200 ms later the
  // first click, then a delay before each further click and before the next link.
  EXPECT_EQ(site_.log, (std::vector<std::string>{
                           "2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1",
                           "5205 one _disk_id_14 code1", "6206 open two", "7408 two submitBtn code2",
                           "8409 two emphasizeButton code2", "9410 two _disk_id_14 code2"}));
  EXPECT_EQ(nowValues(), (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(transcriptHas("box open title=\"提示信息\" text=\"转存完成！\" buttons=OK icon=information"));
  ASSERT_EQ(desktop_.startedProcesses().size(), 1u);
  EXPECT_TRUE(window_->window().destroyed());
}

TEST_F(TransferTest, PrefixedLinesAndASlowPageReloadedOnTheSameLine) {
  site_.slow["one"] = 1500;  // longer than the one-second delay: loaded again
  run("链接:https://pan.baidu.com/s/one 密码:code1\r\n", "1");
  ASSERT_GE(site_.log.size(), 3u);
  EXPECT_EQ(site_.log.front(), "2001 open one");
  EXPECT_EQ(site_.log[1], "3002 open one");  // the reload, same line
  EXPECT_EQ(site_.log[2], "4204 one submitBtn code1");
  EXPECT_EQ(nowValues(), (std::vector<std::string>{"1"}));
  EXPECT_EQ(desktop_.startedProcesses().size(), 1u);
}

// With no delay the ready test follows the navigation at once, so a page that is not ready
// at that instant is loaded again and again; the window still takes the stop.
TEST_F(TransferTest, ADelayOfZeroReloadsWithoutPauseAndStaysResponsive) {
  run("https://pan.baidu.com/s/one code1\r\n", "0", "at 2500 click stop\nanswer OK title 确认信息");
  ASSERT_GT(site_.log.size(), 10u);
  for (const auto& entry : site_.log) EXPECT_NE(entry.find(" open one"), std::string::npos) << entry;
  EXPECT_EQ(site_.log.front(), "2001 open one");
  ASSERT_EQ(desktop_.startedProcesses().size(), 1u);
  EXPECT_EQ(desktop_.startedProcesses()[0].atMs, 2500);
}

TEST_F(TransferTest, APageWithoutTheCodeInputIsStillClickedInOrder) {
  site_.withoutCode.push_back("free");
  run("https://pan.baidu.com/s/free none\r\n", "1");
  EXPECT_EQ(site_.log, (std::vector<std::string>{"2001 open free", "3203 free submitBtn", "4204 free emphasizeButton",
                                                 "5205 free _disk_id_14"}));
}

TEST_F(TransferTest, UnusableLinesAndSchemesAreSkipped) {
  run("\r\nnospace\r\njavascript:alert(1) x\r\nfile:///etc/passwd x\r\nhttps://pan.baidu.com/s/one code1\r\n"
      "data:text/html,hi x\r\n",
      "1");
  std::vector<std::string> opened;
  for (const auto& entry : site_.log)
    if (entry.find(" open ") != std::string::npos) opened.push_back(entry.substr(entry.find("open")));
  EXPECT_EQ(opened, (std::vector<std::string>{"open one"}));
  EXPECT_EQ(nowValues(), (std::vector<std::string>{"5"}));
  EXPECT_TRUE(transcriptHas("转存完成！"));
  EXPECT_FALSE(transcriptHas("navigate javascript:"));
  EXPECT_FALSE(transcriptHas("navigate file:"));
}

struct StopCase {
  const char* name;
  std::int64_t stopAtMs;
  std::vector<std::string> logBeforeRestart;
};

class StopDuringARun : public TransferTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopDuringARun, RestartsAtTheNextTestWithoutFurtherPageActions) {
  site_.slow["one"] = 0;
  run("https://pan.baidu.com/s/one code1\r\nhttps://pan.baidu.com/s/two code2\r\n", "1",
      "at " + std::to_string(GetParam().stopAtMs) + " click stop\nanswer OK title 确认信息");
  EXPECT_EQ(site_.log, GetParam().logBeforeRestart);
  ASSERT_EQ(desktop_.startedProcesses().size(), 1u);
  EXPECT_FALSE(transcriptHas("转存完成！"));
}

INSTANTIATE_TEST_SUITE_P(
    Waits, StopDuringARun,
    ::testing::Values(
        StopCase{"FirstPageLoad", 2500, {"2001 open one"}},
        StopCase{"BeforeSubmit", 3100, {"2001 open one"}},  // inside the 200 ms wait after typing
        StopCase{"AfterSubmit", 3500, {"2001 open one", "3203 one submitBtn code1"}},
        StopCase{"AfterSave", 4500, {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1"}},
        // Confirmed in the wait before the next link: acted on after that link's navigation has
        // started (the stop's own wait of the delay runs first, inside the transfer's wait).
        StopCase{"BeforeNextLink", 5500,
                 {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1",
                  "5205 one _disk_id_14 code1", "6501 open two"}}),
    [](const auto& test) { return std::string(test.param.name); });

// Each link's step is queued, not nested in the previous one: a long list runs on a small stack.
TEST_F(TransferTest, AHundredThousandLinesRunInConstantStack) {
  const int kLines = 100'000;
  std::string list;
  for (int i = 0; i < kLines; ++i) list += "https://pan.baidu.com/p/" + std::to_string(i) + " c\r\n";
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  auto body = [](void* self) -> void* {
    static_cast<TransferTest*>(self)->runKeptList("1");
    return nullptr;
  };
  list_ = std::move(list);
  ASSERT_EQ(pthread_create(&thread, &attributes, body, this), 0);
  pthread_join(thread, nullptr);
  EXPECT_EQ(site_.plainOpens, kLines);
  EXPECT_TRUE(transcriptHas("转存完成！"));
  EXPECT_EQ(nowValues().back(), std::to_string(kLines));
}

TEST_F(TransferTest, CloseDuringARunAsksAndCancelLetsItFinish) {
  run("https://pan.baidu.com/s/one code1\r\n", "1", "at 2500 close\nanswer Cancel title 确认信息");
  EXPECT_EQ(site_.log.size(), 4u);
  EXPECT_TRUE(transcriptHas("转存完成！"));
}

struct CloseCase {
  const char* name;
  std::int64_t closeAtMs;
  std::vector<std::string> logBeforeEnd;
};

class CloseDuringARun : public TransferTest, public ::testing::WithParamInterface<CloseCase> {};

// The program ends inside the wait through its real shut-down routine (which destroys the page
// driver): nothing of the link step runs afterwards.
TEST_P(CloseDuringARun, AnsweredOkEndsAtOnceWhateverWaitItLandsIn) {
  run("https://pan.baidu.com/s/one code1\r\nhttps://pan.baidu.com/s/two code2\r\n", "1",
      "at " + std::to_string(GetParam().closeAtMs) + " close\nanswer OK title 确认信息");
  EXPECT_TRUE(desktop_.processEnded());
  EXPECT_EQ(desktop_.exitCode(), 0);
  EXPECT_EQ(shutdowns_, 1);
  EXPECT_EQ(state_.pageDriver, nullptr);
  EXPECT_EQ(site_.log, GetParam().logBeforeEnd);
  EXPECT_TRUE(desktop_.startedProcesses().empty());
  ASSERT_FALSE(user_->transcript().empty());
  EXPECT_NE(user_->transcript().back().find("end exit code 0"), std::string::npos) << transcript();
}

// The page's own dialog is open inside the driver's click, inside the page's script: the end
// leaves the script, the driver and the transfer alike.
TEST_F(TransferTest, CloseWhileThePageShowsADialogEndsAtOnce) {
  site_.alerting.push_back("one");
  run("https://pan.baidu.com/s/one code1\r\nhttps://pan.baidu.com/s/two code2\r\n", "1",
      "when box \"Message from webpage\" close\nanswer OK title 确认信息");
  EXPECT_TRUE(desktop_.processEnded());
  EXPECT_EQ(desktop_.exitCode(), 0);
  EXPECT_EQ(shutdowns_, 1);
  EXPECT_EQ(state_.pageDriver, nullptr);
  EXPECT_EQ(site_.log, (std::vector<std::string>{"2001 open one"}));
  EXPECT_NE(user_->transcript().back().find("end exit code 0"), std::string::npos) << transcript();
}

INSTANTIATE_TEST_SUITE_P(
    Waits, CloseDuringARun,
    ::testing::Values(
        CloseCase{"BeforeTheFirstLink", 1500, {}},
        CloseCase{"FirstPageLoad", 2500, {"2001 open one"}},
        CloseCase{"AfterTyping", 3100, {"2001 open one"}},
        CloseCase{"AfterSubmit", 3500, {"2001 open one", "3203 one submitBtn code1"}},
        CloseCase{"AfterSave", 4500, {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1"}},
        CloseCase{"BeforeNextLink", 5500,
                  {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1",
                   "5205 one _disk_id_14 code1"}},
        CloseCase{"SecondPageLoad", 6500,
                  {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1",
                   "5205 one _disk_id_14 code1", "6206 open two"}},
        CloseCase{"BeforeTheCompletionMessage", 10000,
                  {"2001 open one", "3203 one submitBtn code1", "4204 one emphasizeButton code1",
                   "5205 one _disk_id_14 code1", "6206 open two", "7408 two submitBtn code2",
                   "8409 two emphasizeButton code2", "9410 two _disk_id_14 code2"}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trenmoor::app
