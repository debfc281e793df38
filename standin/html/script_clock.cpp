#include "standin/html/script_clock.h"

namespace trenmoor::html {
namespace {

using Clock = std::chrono::steady_clock;
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

std::chrono::milliseconds budget{1000};
// One user-interface thread runs every page's scripts.
Clock::time_point deadline = kNoDeadline;
int entries = 0;
bool (*stopCheck)(void*) = nullptr;

}  // namespace

void setScriptTimeBudget(std::chrono::milliseconds value) { budget = value; }

void setScriptStopCheck(bool (*check)(void*)) { stopCheck = check; }

bool pageScriptRunning() { return entries > 0; }

ScriptBudget::ScriptBudget() : outer_(deadline) {
  ++entries;
  Clock::time_point own = Clock::now() + budget;
  if (own < deadline) deadline = own;
}

ScriptBudget::~ScriptBudget() {
  deadline = outer_;
  --entries;
}

ScriptClockPause::ScriptClockPause() : running_(deadline != kNoDeadline) {
  if (!running_) return;
  Clock::time_point now = Clock::now();
  left_ = deadline > now ? deadline - now : Clock::duration::zero();
  deadline = kNoDeadline;
}

ScriptClockPause::~ScriptClockPause() {
  if (running_) deadline = Clock::now() + left_;
}

}  // namespace trenmoor::html

// The engine's timeout check (its configuration names this function).
extern "C" int trenmoorScriptTimedOut(void* heapUserData) {
  using namespace trenmoor::html;
  if (stopCheck && heapUserData && stopCheck(heapUserData)) return 1;
  return deadline != kNoDeadline && Clock::now() > deadline;
}
