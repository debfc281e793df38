// The seam's waitable timers and message-aware wait over the current desktop's clock and
// event queue.
#include "platform/timer_calls.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

#include "standin/desktop/desktop.h"

namespace trenmoor::win {
namespace {

using desktop::Desktop;

constexpr DWORD kMostHandles = 64;
constexpr std::int64_t kUnitsPerMs = 10'000;  // 100 ns units in a millisecond

struct WaitableTimer {
  Desktop* owner;
  bool manualReset;
  std::optional<std::int64_t> dueMs;  // signalled once the clock reaches it
  std::int64_t periodMs = 0;
};

std::unordered_map<HANDLE, WaitableTimer>& timers() {
  static std::unordered_map<HANDLE, WaitableTimer> all;
  return all;
}

// A timer of the current desktop; null for any other handle.
WaitableTimer* timerOf(HANDLE handle) {
  auto it = timers().find(handle);
  return it != timers().end() && it->second.owner == &Desktop::current() ? &it->second : nullptr;
}

bool signalled(const WaitableTimer& timer, std::int64_t now) { return timer.dueMs && now >= *timer.dueMs; }

// A completed wait: an automatic-reset timer stops being signalled (a periodic one is due again
// one period on).
void consume(WaitableTimer& timer) {
  if (timer.manualReset) return;
  if (timer.periodMs > 0) *timer.dueMs += timer.periodMs;
  else timer.dueMs.reset();
}

}  // namespace

HANDLE CreateWaitableTimerA(const void*, BOOL manualReset, const char*) {
  static HANDLE next = 0x7F000001;
  const HANDLE handle = next++;
  timers().emplace(handle, WaitableTimer{&Desktop::current(), manualReset != 0, std::nullopt});
  return handle;
}

BOOL SetWaitableTimer(HANDLE handle, const std::int64_t* dueTime, std::int32_t periodMs, const void* completion,
                      const void*, BOOL) {
  WaitableTimer* timer = timerOf(handle);
  if (!timer || !dueTime || completion) return 0;
  const std::int64_t now = timer->owner->tickCount();
  // Relative times are negative; the division rounds toward zero, so a due time under 1 ms
  // fires at once. Far-off times saturate instead of overflowing.
  const std::int64_t ms = *dueTime / kUnitsPerMs;
  const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 2;
  timer->dueMs = *dueTime < 0 ? now + std::min(-ms, limit) : std::min(ms, limit);
  timer->periodMs = std::max(periodMs, 0);
  return 1;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask) {
  Desktop& d = Desktop::current();
  if (count > kMostHandles || (count > 0 && !handles) || d.processEnded()) return WAIT_FAILED;
  WaitableTimer* waited[kMostHandles];
  for (DWORD i = 0; i < count; ++i)
    if (!(waited[i] = timerOf(handles[i]))) return WAIT_FAILED;
  const std::int64_t never = std::numeric_limits<std::int64_t>::max();
  const std::int64_t deadline = milliseconds == INFINITE ? never : d.tickCount() + milliseconds;
  while (!d.processEnded()) {
    // 1. A signalled handle (all of them with waitAll) ends the wait and is consumed.
    const std::int64_t now = d.tickCount();
    const auto isSignalled = [&](WaitableTimer* t) { return signalled(*t, now); };
    if (count > 0 && waitAll && std::all_of(waited, waited + count, isSignalled)) {
      std::for_each(waited, waited + count, [](WaitableTimer* t) { consume(*t); });
      return WAIT_OBJECT_0;
    }
    if (!waitAll)
      for (DWORD i = 0; i < count; ++i)
        if (isSignalled(waited[i])) {
          consume(*waited[i]);
          return WAIT_OBJECT_0 + i;
        }
    // 2. Then a window event ready to run, when the mask asks for them.
    if (wakeMask != 0 && d.eventReady()) return WAIT_OBJECT_0 + count;
    if (now >= deadline) return WAIT_TIMEOUT;
    // 3. Sleep until the next due time of a handle, an event or the time limit.
    std::int64_t until = deadline;
    for (DWORD i = 0; i < count; ++i)
      if (waited[i]->dueMs) until = std::min(until, *waited[i]->dueMs);
    if (until == never && d.clockKind() == desktop::ClockKind::Virtual &&
        (wakeMask == 0 || !d.nextTimerDue()))
      return WAIT_FAILED;  // nothing can ever end this wait on a virtual clock
    if (until == never) until = now + 100;
    if (wakeMask != 0) d.sleepUntilEvent(until);
    else d.sleep(until - now);  // events do not end this wait
  }
  return WAIT_FAILED;
}

BOOL CloseHandle(HANDLE handle) {
  if (!timerOf(handle)) return 0;
  timers().erase(handle);
  return 1;
}

}  // namespace trenmoor::win
