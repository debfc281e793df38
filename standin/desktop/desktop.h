// The desktop stand-in: windows, the message queue, timers, the clock, the mouse and screen, and
// starting processes. One user-interface thread owns it; only `post` may be called from other
// threads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "standin/desktop/clipboard.h"

namespace trenmoor::desktop {

using Handle = std::uint32_t;
using Task = std::function<void()>;
using TimerId = std::uint64_t;

struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};
struct Point {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Answers a message sent to a window; nullopt when the window does not answer (hung).
using MessageHandler =
    std::function<std::optional<std::intptr_t>(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

// Thrown to leave every frame of a program that has ended, at once: the program's event loop
// catches it. Code in between that runs other code (a page's script engine) carries it across
// to the frame that called it instead of handling it.
struct ProcessEnded {};

enum class ClockKind { Real, Virtual };
enum class ProcessStarts { Real, Recorded };

struct StartedProcess {
  std::string path;  // code page 936 text, as the caller gave it
  std::string arguments;
  std::int64_t atMs = 0;
};

class Desktop {
 public:
  explicit Desktop(ClockKind clock = ClockKind::Real, ProcessStarts starts = ProcessStarts::Real);
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // The desktop the system calls of this process act on. A Desktop makes itself current while
  // it lives (the newest one wins); without any, a real-clock desktop is made on first use.
  static Desktop& current();

  // --- clock ----------------------------------------------------------------------------
  // Milliseconds since the desktop was made (real) or of virtual time.
  std::int64_t tickCount() const;
  // Blocks for `ms` milliseconds without dispatching anything; under the virtual clock the
  // clock moves on by that much at once.
  void sleep(std::int64_t ms);
  ClockKind clockKind() const { return clockKind_; }

  // --- windows ---------------------------------------------------------------------------
  // Handles are never reused within a desktop; 0 is no window.
  Handle createWindow(std::string className, Handle parent, Rect screenRect, bool visible);
  // Destroys the window and its descendants (children first); destroy hooks run for each.
  void destroyWindow(Handle window);
  bool isWindow(Handle window) const;
  std::string className(Handle window) const;  // empty for a bad handle
  Handle parent(Handle window) const;
  // FindWindowEx's walk: the first child after `after` (0: the first child); 0 at the end.
  Handle nextChild(Handle parent, Handle after) const;
  std::vector<Handle> children(Handle parent) const;
  std::vector<Handle> topLevelWindows() const;
  std::optional<Rect> rect(Handle window) const;
  void setRect(Handle window, Rect screenRect);  // children move with their parent
  bool isVisible(Handle window) const;
  void setVisible(Handle window, bool visible);
  void setMessageHandler(Handle window, MessageHandler handler);
  void onDestroy(Handle window, Task hook);
  // Sends a message and returns the answer; nullopt for a bad handle, a window without a
  // handler, or one that does not answer.
  std::optional<std::intptr_t> sendMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam);
  // The same number for the same name (any case), from 0xC000 up.
  std::uint32_t registerWindowMessage(const std::string& name);
  // The topmost visible window (deepest descendant) containing the point; 0 when none.
  Handle windowFromPoint(Point screenPoint) const;

  // --- mouse and screen -------------------------------------------------------------------
  Point cursorPosition() const { return cursor_; }
  void setCursorPosition(Point p) { cursor_ = p; }
  Rect screen() const { return screen_; }
  void setScreenSize(std::int32_t width, std::int32_t height) { screen_ = {0, 0, width, height}; }

  // --- event loop -------------------------------------------------------------------------
  // Queues a task for the user-interface thread. Safe from any thread.
  void post(Task task);
  // Runs `task` once the clock reaches now + delayMs (at once for 0 or less, after posted
  // tasks queued before it).
  TimerId setTimer(std::int64_t delayMs, Task task);
  void cancelTimer(TimerId id);
  // Runs the posted tasks and due timers that are ready now, each to its end (a task may wait
  // and so run later ones inside it); what they queue waits for the next call. True when
  // anything ran. Under the virtual clock a task takes no time, except that every 100th task run
  // at one instant moves the clock by 1 ms, so a program that keeps itself busy without waiting
  // still sees time pass.
  bool processPendingEvents();
  // Dispatches events until more than `ms` milliseconds have passed; at once for 0 or less.
  // Under the virtual clock, idle time jumps to the next timer or the deadline.
  void waitProcessingEvents(std::int32_t ms);
  // Dispatches events until `done()` holds, the process has ended, or (virtual clock) nothing
  // is left to happen. True when `done()` held.
  bool runUntil(const std::function<bool()>& done);
  // True when nothing is queued or scheduled (timers included).
  bool idle() const;
  // True when a posted task or a due timer is ready to run now; runs nothing.
  bool eventReady();
  // Sleeps, running nothing, until an event is posted, the next timer is due or the clock
  // reaches `deadlineMs`, whichever comes first (under the virtual clock time jumps there).
  void sleepUntilEvent(std::int64_t deadlineMs);
  // The due time of the earliest timer; nullopt when none.
  std::optional<std::int64_t> nextTimerDue() const;
  // Called after every task or timer the loop runs (empty: none). A watcher of the program's
  // state uses it to act as soon as a condition holds.
  void setEventObserver(Task observer) { observer_ = std::move(observer); }

  // --- process ----------------------------------------------------------------------------
  // Ends this (stand-in) process: shut-down hooks run once, then the desktop goes quiet:
  // waits return at once and no more events run. The real program then exits.
  void endProcess(int exitCode);
  bool processEnded() const { return ended_; }
  int exitCode() const { return exitCode_; }
  void onProcessEnd(Task hook);  // shut-down hooks, run in registration order

  // Starts a program without waiting for it (recorded instead under ProcessStarts::Recorded).
  bool startProcess(const std::string& path, const std::string& arguments);
  const std::vector<StartedProcess>& startedProcesses() const { return started_; }

  // --- clipboard --------------------------------------------------------------------------
  Clipboard& clipboard() { return clipboard_; }

 private:
  struct Window {
    std::string className;
    Handle parent = 0;
    std::vector<Handle> children;
    Rect rect;
    bool visible = false;
    MessageHandler handler;
    std::vector<Task> destroyHooks;
  };
  struct Timer {
    std::int64_t dueMs;
    Task task;
  };

  void takePostedTasks();
  std::optional<Task> takeReadyTask(TimerId before);
  void sleepUntil(std::int64_t deadlineMs);
  void moveChildren(Handle window, std::int32_t dx, std::int32_t dy);
  Handle windowFromPointIn(Handle window, Point p) const;

  ClockKind clockKind_;
  ProcessStarts processStarts_;
  std::int64_t realStartNs_ = 0;
  std::int64_t virtualNowMs_ = 0;
  std::int64_t tasksThisInstant_ = 0;  // virtual clock: tasks run since time last moved

  std::unordered_map<Handle, Window> windows_;
  std::vector<Handle> topLevel_;
  Handle nextHandle_ = 0x10010;
  std::map<std::string, std::uint32_t> registeredMessages_;

  mutable std::mutex postedMutex_;
  std::condition_variable postedSignal_;
  std::vector<Task> posted_;                 // guarded by postedMutex_
  std::map<std::pair<std::int64_t, TimerId>, Task> timers_;  // by due time, then creation
  std::unordered_map<TimerId, std::int64_t> timerDue_;
  TimerId nextTimer_ = 1;

  Point cursor_;
  Rect screen_{0, 0, 1280, 800};

  Task observer_;
  bool ended_ = false;
  int exitCode_ = 0;
  std::vector<Task> shutdownHooks_;
  std::vector<StartedProcess> started_;
  Desktop* previous_ = nullptr;
  Clipboard clipboard_;
};

}  // namespace trenmoor::desktop
