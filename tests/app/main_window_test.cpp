#include "app_fixture.h"
#include "platform/com_init.h"

namespace trenmoor::app {
namespace {

using MainWindowTest = AppFixture;

TEST_F(MainWindowTest, StatesFromFreshThroughBrowsingToImported) {
  play("");
  EXPECT_TRUE(control("login")->enabled);
  EXPECT_TRUE(control("delay")->enabled);
  EXPECT_FALSE(control("addfile")->enabled);
  EXPECT_FALSE(control("start")->enabled);
  EXPECT_FALSE(control("stop")->enabled);
  EXPECT_TRUE(control("image")->visible);
  EXPECT_EQ(control("image")->picture, "welcome.gif");
  EXPECT_FALSE(control("url")->visible);
  EXPECT_EQ(control("url")->text, "http://");

  file("a.txt", "l1 c1\r\nl2 c2\r\n");
  play("at 10 click login\nat 20 click addfile\nchoose a.txt\nanswer OK");
  EXPECT_FALSE(control("image")->visible);
  EXPECT_TRUE(control("addfile")->enabled);
  EXPECT_EQ(control("browser")->text, "https://pan.baidu.com/");
  EXPECT_EQ(control("files")->text, "3");
  EXPECT_TRUE(control("start")->enabled);
  EXPECT_TRUE(control("stop")->enabled);
  EXPECT_EQ(state_.linkCount, 3);
}

TEST_F(MainWindowTest, LoginTwiceKeepsTheListAndNavigatesHomeAgain) {
  file("a.txt", "l1 c1");
  play("at 10 click login\nat 20 click addfile\nchoose a.txt\nanswer OK\nat 30 click login");
  EXPECT_EQ(state_.linkListText, "l1 c1\r\n");
  EXPECT_EQ(state_.linkCount, 1);
  int navigations = 0;
  for (const auto& line : user_->transcript()) navigations += line.find("navigate https://pan.baidu.com/") != std::string::npos;
  EXPECT_EQ(navigations, 2);
}

struct StopCase {
  const char* name;
  const char* delay;
  std::int64_t restartAfterMs;
};

class StopBeforeStart : public AppFixture, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopBeforeStart, FreezesThenRestartsAfterTheDelay) {
  file("a.txt", "l1 c1\r\n");
  play(std::string("at 10 click login\nat 20 click addfile\nchoose a.txt\nanswer OK\n") + "at 30 type delay \"" +
       GetParam().delay + "\"\nat 100 click stop\nanswer OK");
  // Frozen, list forgotten, counts back to 0 although the files handler ran.
  for (const char* name : {"login", "addfile", "start", "stop", "delay"}) EXPECT_FALSE(control(name)->enabled) << name;
  EXPECT_EQ(control("delay")->background, ui::rgb(236, 236, 236));
  EXPECT_EQ(control("files")->text, "0");
  EXPECT_EQ(control("now")->text, "0");
  EXPECT_TRUE(control("image")->visible);
  EXPECT_EQ(control("image")->picture, "stopping.gif");
  EXPECT_TRUE(state_.linkListText.empty());
  EXPECT_TRUE(state_.stopRequested);
  // Then the restart: the window goes and a new instance starts.
  ASSERT_EQ(desktop_.startedProcesses().size(), 1u);
  EXPECT_EQ(desktop_.startedProcesses()[0].atMs, 100 + GetParam().restartAfterMs);
  EXPECT_TRUE(window_->window().destroyed());
}

INSTANTIATE_TEST_SUITE_P(Delays, StopBeforeStart,
                         ::testing::Values(StopCase{"TwoSeconds", "2", 2001}, StopCase{"Zero", "0", 0},
                                           StopCase{"NotANumber", "abc", 0}, StopCase{"Negative", "-5", 0},
                                           StopCase{"FullWidthOne", "１", 1001},
                                           StopCase{"Saturated", "99999999", 0x7fffffffLL + 1}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(MainWindowTest, StopAnsweredCancelChangesNothing) {
  file("a.txt", "l1 c1\r\n");
  play("at 10 click login\nat 20 click addfile\nchoose a.txt\nanswer OK\nat 30 click stop\nanswer Cancel");
  EXPECT_TRUE(control("start")->enabled);
  EXPECT_EQ(state_.linkCount, 2);
  EXPECT_FALSE(state_.stopRequested);
  EXPECT_TRUE(desktop_.startedProcesses().empty());
}

TEST_F(MainWindowTest, CloseBeforeStartEndsWithoutAQuestion) {
  play("at 10 close");
  EXPECT_FALSE(transcriptHas("box open"));
  EXPECT_TRUE(desktop_.processEnded());
  EXPECT_EQ(desktop_.exitCode(), 0);
  EXPECT_EQ(shutdowns_, 1);
}

TEST_F(MainWindowTest, CloseDuringATransferAsksFirst) {
  play("");  // the created event clears the run flags
  state_.transferStarted = true;
  play("at 10 close\nanswer Cancel title 确认信息");
  EXPECT_TRUE(transcriptHas("text=\"当前转存工作为结束\\r\\n强行结束吗？\" buttons=OK,Cancel icon=none"));
  EXPECT_FALSE(window_->window().destroyed());
  EXPECT_FALSE(desktop_.processEnded());

  play("at 20 close\nanswer OK title 确认信息");
  EXPECT_TRUE(desktop_.processEnded());
  EXPECT_EQ(shutdowns_, 1);
}

TEST_F(MainWindowTest, TrayHidesAndALeftReleaseRestoresCentred) {
  play("at 10 minimise");
  EXPECT_TRUE(toolkit::Toolkit::current().trayIconShown());
  EXPECT_EQ(toolkit::Toolkit::current().trayTip(), "Kavrel - 批量转存");
  EXPECT_FALSE(desktop_.isVisible(window_->window().windowHandle()));

  play("at 20 tray right-up");
  EXPECT_TRUE(toolkit::Toolkit::current().trayIconShown());
  EXPECT_FALSE(desktop_.isVisible(window_->window().windowHandle()));

  play("at 30 tray left-up");
  EXPECT_FALSE(toolkit::Toolkit::current().trayIconShown());
  auto handle = window_->window().windowHandle();
  EXPECT_TRUE(desktop_.isVisible(handle));
  auto rect = *desktop_.rect(handle);
  EXPECT_EQ(rect.left, (desktop_.screen().width() - 640) / 2);
  EXPECT_EQ(rect.top, (desktop_.screen().height() - 520) / 2);
  EXPECT_EQ(window_->window().positionState(), ui::PositionState::Normal);
}

TEST(PageDriverLifeCycle, DriverAndCopyLeaveTheComCountAsItWas) {
  int before = win::comInitializationCount();
  {
    PageDriver driver;
    EXPECT_EQ(win::comInitializationCount(), before + 1);
    PageDriver copy(driver);
    PageDriver assigned;
    assigned = copy;
    EXPECT_EQ(win::comInitializationCount(), before + 3);
  }
  EXPECT_EQ(win::comInitializationCount(), before);
}

}  // namespace
}  // namespace trenmoor::app
