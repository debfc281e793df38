// The real-time budget of page scripts. Each entry into a script engine gets the budget (no more
// than what the entry it runs inside has left); when it is spent, the engine's timeout check
// stops the running script. Modal waits pause the clock.
#pragma once

#include <chrono>

namespace trenmoor::html {

// Real time a script may run per entry (1 s unless set).
void setScriptTimeBudget(std::chrono::milliseconds budget);

// Another reason for the engine's timeout check to stop the scripts of the heap whose user data
// it is given (the engine sets it once).
void setScriptStopCheck(bool (*check)(void* heapUserData));

// True while an entry into a page's scripts is running (paused or not).
bool pageScriptRunning();

// Holds the budget of one entry while it lives.
class ScriptBudget {
 public:
  ScriptBudget();
  ~ScriptBudget();
  ScriptBudget(const ScriptBudget&) = delete;
  ScriptBudget& operator=(const ScriptBudget&) = delete;

 private:
  std::chrono::steady_clock::time_point outer_;
};

// Stops the running scripts' clock while it lives (a dialog waiting for the user).
class ScriptClockPause {
 public:
  ScriptClockPause();
  ~ScriptClockPause();
  ScriptClockPause(const ScriptClockPause&) = delete;
  ScriptClockPause& operator=(const ScriptClockPause&) = delete;

 private:
  std::chrono::steady_clock::duration left_{};
  bool running_ = false;
};

}  // namespace trenmoor::html
