// Waitable timers and the message-aware wait on the virtual clock: due times move the clock,
// events end the wait first, automatic reset, periods, and bad handles.
#include <gtest/gtest.h>

#include "platform/timer_calls.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::win {
namespace {

using desktop::ClockKind;
using desktop::Desktop;

std::int64_t relativeMs(std::int64_t ms) { return -ms * 10'000; }

TEST(WaitableTimer, AWaitMovesTheClockToTheDueTimeAndResets) {
  Desktop d(ClockKind::Virtual);
  const HANDLE timer = CreateWaitableTimerA(nullptr, 0, nullptr);
  ASSERT_NE(timer, 0u);
  const std::int64_t due = relativeMs(300);
  ASSERT_TRUE(SetWaitableTimer(timer, &due, 0, nullptr, nullptr, 0));
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, INFINITE, QS_ALLEVENTS), WAIT_OBJECT_0);
  EXPECT_EQ(d.tickCount(), 300);
  // Reset by the completed wait: a bounded wait now times out.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, 50, QS_ALLEVENTS), WAIT_TIMEOUT);
  EXPECT_EQ(d.tickCount(), 350);
  // Nothing can end an unbounded wait on an idle virtual clock: it fails instead of hanging.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  EXPECT_TRUE(CloseHandle(timer));
  EXPECT_FALSE(CloseHandle(timer));
}

TEST(WaitableTimer, AnEventEndsTheWaitFirstUnlessTheMaskIsEmpty) {
  Desktop d(ClockKind::Virtual);
  const HANDLE timer = CreateWaitableTimerA(nullptr, 0, nullptr);
  const std::int64_t due = relativeMs(300);
  SetWaitableTimer(timer, &due, 0, nullptr, nullptr, 0);
  bool ran = false;
  d.setTimer(100, [&] { ran = true; });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, INFINITE, QS_ALLEVENTS), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(d.tickCount(), 100);
  EXPECT_FALSE(ran);  // the wait runs nothing
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, INFINITE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(d.tickCount(), 300);
  CloseHandle(timer);
}

TEST(WaitableTimer, ManualResetPeriodsAndAbsoluteTimes) {
  Desktop d(ClockKind::Virtual);
  const HANDLE manual = CreateWaitableTimerA(nullptr, 1, nullptr);
  const HANDLE periodic = CreateWaitableTimerA(nullptr, 0, nullptr);
  const std::int64_t absolute = 50 * 10'000;
  const std::int64_t first = relativeMs(20);
  SetWaitableTimer(manual, &absolute, 0, nullptr, nullptr, 0);
  SetWaitableTimer(periodic, &first, 30, nullptr, nullptr, 0);
  const HANDLE both[] = {manual, periodic};
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, INFINITE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(d.tickCount(), 20);
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, INFINITE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(d.tickCount(), 50);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &manual, 0, 0, 0), WAIT_OBJECT_0);  // stays signalled
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 1, INFINITE, 0), WAIT_OBJECT_0);  // both at 50
  EXPECT_EQ(d.tickCount(), 50);
  CloseHandle(manual);
  CloseHandle(periodic);
}

TEST(WaitableTimer, BadHandlesAndArguments) {
  Desktop d(ClockKind::Virtual);
  const std::int64_t due = relativeMs(10);
  EXPECT_FALSE(SetWaitableTimer(0, &due, 0, nullptr, nullptr, 0));
  EXPECT_FALSE(SetWaitableTimer(12345, &due, 0, nullptr, nullptr, 0));
  const HANDLE timer = CreateWaitableTimerA(nullptr, 0, nullptr);
  EXPECT_FALSE(SetWaitableTimer(timer, nullptr, 0, nullptr, nullptr, 0));
  const HANDLE bad = 12345;
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &bad, 0, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, 0, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  EXPECT_EQ(MsgWaitForMultipleObjects(65, &timer, 0, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  EXPECT_EQ(d.tickCount(), 0);
  // A timer of another desktop is not a handle of this one.
  {
    Desktop other(ClockKind::Virtual);
    EXPECT_FALSE(SetWaitableTimer(timer, &due, 0, nullptr, nullptr, 0));
  }
  d.endProcess(0);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, 0, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  CloseHandle(timer);
}

}  // namespace
}  // namespace trenmoor::win
