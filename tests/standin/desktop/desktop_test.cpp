#include "standin/desktop/desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/window_calls.h"

namespace trenmoor::desktop {
namespace {

TEST(VirtualClock, WaitsJumpTimeAndRunTimersInOrder) {
  Desktop d(ClockKind::Virtual);
  std::vector<std::string> seen;
  d.setTimer(300, [&] { seen.push_back("300@" + std::to_string(d.tickCount())); });
  d.setTimer(100, [&] { seen.push_back("100@" + std::to_string(d.tickCount())); });
  d.post([&] { seen.push_back("posted@" + std::to_string(d.tickCount())); });
  d.waitProcessingEvents(5000);
  EXPECT_EQ(seen, (std::vector<std::string>{"posted@0", "100@100", "300@300"}));
  EXPECT_EQ(d.tickCount(), 5001);  // until more than 5000 ms have passed
  d.waitProcessingEvents(0);
  d.waitProcessingEvents(-7);
  EXPECT_EQ(d.tickCount(), 5001);
}

TEST(VirtualClock, SleepMovesTimeAndRunsNothing) {
  Desktop d(ClockKind::Virtual);
  bool ran = false;
  d.setTimer(5, [&] { ran = true; });
  d.post([&] { ran = true; });
  win::Sleep(10);
  EXPECT_EQ(d.tickCount(), 10);
  EXPECT_FALSE(ran);
  d.processPendingEvents();
  EXPECT_TRUE(ran);
}

TEST(EventLoop, HandlerWaitingInsideAHandlerRunsLaterEvents) {
  Desktop d(ClockKind::Virtual);
  std::vector<std::string> seen;
  d.setTimer(10, [&] {
    seen.push_back("outer start");
    d.waitProcessingEvents(1000);  // the inner event runs inside this wait
    seen.push_back("outer end@" + std::to_string(d.tickCount()));
  });
  d.setTimer(500, [&] { seen.push_back("inner@" + std::to_string(d.tickCount())); });
  EXPECT_FALSE(d.runUntil([] { return false; }));  // runs until nothing is left
  EXPECT_EQ(seen, (std::vector<std::string>{"outer start", "inner@500", "outer end@1011"}));
}

TEST(EventLoop, PostFromAnotherThreadWakesARealWait) {
  Desktop d(ClockKind::Real);
  bool arrived = false;
  std::thread worker([&] { d.post([&] { arrived = true; }); });
  EXPECT_TRUE(d.runUntil([&] { return arrived; }));
  worker.join();
}

TEST(EventLoop, EndedProcessGoesQuiet) {
  Desktop d(ClockKind::Virtual, ProcessStarts::Recorded);
  int shutdowns = 0;
  d.onProcessEnd([&] { ++shutdowns; });
  bool ran = false;
  d.setTimer(1, [&] { ran = true; });
  d.endProcess(0);
  d.endProcess(3);
  EXPECT_EQ(shutdowns, 1);
  EXPECT_EQ(d.exitCode(), 0);
  d.waitProcessingEvents(100);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(d.startProcess("x", ""));
}

TEST(Windows, TreeWalkClassesAndHandlesNeverReused) {
  Desktop d(ClockKind::Virtual);
  Handle top = d.createWindow("Main", 0, {0, 0, 100, 100}, true);
  Handle a = d.createWindow("A", top, {0, 0, 10, 10}, true);
  Handle b = d.createWindow("B", top, {0, 0, 10, 10}, true);
  Handle a1 = d.createWindow("Internet Explorer_Server", a, {0, 0, 10, 10}, true);
  EXPECT_EQ(win::FindWindowExA(top, 0, nullptr, nullptr), a);
  EXPECT_EQ(win::FindWindowExA(top, a, nullptr, nullptr), b);
  EXPECT_EQ(win::FindWindowExA(top, b, nullptr, nullptr), 0u);
  EXPECT_EQ(win::FindWindowExA(a, 0, "Internet Explorer_Server", nullptr), a1);
  char name[8] = "xxxxxxx";
  EXPECT_EQ(win::GetClassNameA(a1, name, 5), 4);
  EXPECT_STREQ(name, "Inte");
  EXPECT_EQ(win::GetClassNameA(0xdead, name, 8), 0);
  EXPECT_STREQ(name, "Inte");  // untouched
  d.destroyWindow(a);
  EXPECT_FALSE(win::IsWindow(a1));
  Handle c = d.createWindow("C", top, {}, true);
  EXPECT_NE(c, a);
  EXPECT_NE(c, a1);
}

TEST(Windows, MessagesAndHungWindowTimeOut) {
  Desktop d(ClockKind::Virtual);
  Handle w = d.createWindow("W", 0, {}, true);
  win::UINT msg = win::RegisterWindowMessageA("WM_HTML_GETOBJECT");
  EXPECT_EQ(msg, win::RegisterWindowMessageA("wm_html_getobject"));
  EXPECT_GE(msg, 0xC000u);
  d.setMessageHandler(w, [&](std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
    if (m == msg) return 42;
    return std::nullopt;  // does not answer
  });
  std::uintptr_t result = 0;
  EXPECT_NE(win::SendMessageTimeoutA(w, msg, 0, 0, win::SMTO_ABORTIFHUNG, 1000, &result), 0);
  EXPECT_EQ(result, 42u);
  result = 0;
  std::int64_t before = d.tickCount();
  EXPECT_EQ(win::SendMessageTimeoutA(w, msg + 1, 0, 0, win::SMTO_ABORTIFHUNG, 1000, &result), 0);
  EXPECT_EQ(result, 0u);
  EXPECT_GE(d.tickCount() - before, 1000);
}

TEST(Windows, PointAndRectangles) {
  Desktop d(ClockKind::Virtual);
  Handle top = d.createWindow("Main", 0, {50, 50, 690, 570}, true);
  Handle box = d.createWindow("Box", top, {56, 178, 676, 536}, true);
  EXPECT_EQ(win::WindowFromPoint({60, 200}), box);
  EXPECT_EQ(win::WindowFromPoint({51, 51}), top);
  EXPECT_EQ(win::WindowFromPoint({5, 5}), 0u);
  d.setRect(top, {100, 100, 740, 620});
  win::RECT r{};
  ASSERT_TRUE(win::GetWindowRect(box, &r));
  EXPECT_EQ(r.left, 106);
  EXPECT_EQ(r.top, 228);
}

}  // namespace
}  // namespace trenmoor::desktop

namespace trenmoor::desktop {
namespace {

TEST(VirtualClock, AProgramThatKeepsItselfBusyStillSeesTimePass) {
  Desktop d(ClockKind::Virtual);
  std::function<void()> spin = [&] { d.post(spin); };  // re-posts itself for ever
  d.post(spin);
  bool userActed = false;
  d.setTimer(5, [&] { userActed = true; });  // 5 ms of busy time is 500 tasks
  EXPECT_TRUE(d.runUntil([&] { return userActed; }));
  EXPECT_EQ(d.tickCount(), 5);
}

}  // namespace
}  // namespace trenmoor::desktop
