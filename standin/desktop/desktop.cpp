#include "standin/desktop/desktop.h"

#include "platform/text.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

extern char** environ;

namespace trenmoor::desktop {
namespace {

Desktop* currentDesktop = nullptr;
constexpr std::int64_t kBusyTasksPerMillisecond = 100;

std::int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}


}  // namespace

Desktop::Desktop(ClockKind clock, ProcessStarts starts)
    : clockKind_(clock), processStarts_(starts), realStartNs_(steadyNs()), previous_(currentDesktop) {
  currentDesktop = this;
}

Desktop::~Desktop() {
  if (currentDesktop == this) currentDesktop = previous_;
}

Desktop& Desktop::current() {
  if (!currentDesktop) {
    static Desktop fallback;  // makes itself current
  }
  return *currentDesktop;
}

std::int64_t Desktop::tickCount() const {
  if (clockKind_ == ClockKind::Virtual) return virtualNowMs_;
  return (steadyNs() - realStartNs_) / 1'000'000;
}

void Desktop::sleep(std::int64_t ms) {
  if (ms <= 0) return;
  if (clockKind_ == ClockKind::Virtual) {
    virtualNowMs_ += ms;
    tasksThisInstant_ = 0;
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// --- windows ------------------------------------------------------------------------------

Handle Desktop::createWindow(std::string className, Handle parent, Rect screenRect, bool visible) {
  if (parent != 0 && !isWindow(parent)) return 0;
  Handle handle = nextHandle_;
  nextHandle_ += 2;
  Window& w = windows_[handle];
  w.className = std::move(className);
  w.parent = parent;
  w.rect = screenRect;
  w.visible = visible;
  if (parent) {
    windows_[parent].children.push_back(handle);
  } else {
    topLevel_.push_back(handle);
  }
  return handle;
}

void Desktop::destroyWindow(Handle window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  for (Handle child : std::vector<Handle>(it->second.children)) destroyWindow(child);
  it = windows_.find(window);
  if (it == windows_.end()) return;  // a hook destroyed it already
  std::vector<Task> hooks = std::move(it->second.destroyHooks);
  Handle parentHandle = it->second.parent;
  auto& siblings = parentHandle ? windows_[parentHandle].children : topLevel_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  windows_.erase(it);
  for (auto& hook : hooks) hook();
}

bool Desktop::isWindow(Handle window) const { return window != 0 && windows_.count(window) != 0; }

std::string Desktop::className(Handle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? std::string() : it->second.className;
}

Handle Desktop::parent(Handle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.parent;
}

Handle Desktop::nextChild(Handle parentHandle, Handle after) const {
  const std::vector<Handle>* list = &topLevel_;
  if (parentHandle) {
    auto it = windows_.find(parentHandle);
    if (it == windows_.end()) return 0;
    list = &it->second.children;
  }
  if (after == 0) return list->empty() ? 0 : list->front();
  auto pos = std::find(list->begin(), list->end(), after);
  if (pos == list->end() || ++pos == list->end()) return 0;
  return *pos;
}

std::vector<Handle> Desktop::children(Handle parentHandle) const {
  auto it = windows_.find(parentHandle);
  return it == windows_.end() ? std::vector<Handle>{} : it->second.children;
}

std::vector<Handle> Desktop::topLevelWindows() const { return topLevel_; }

std::optional<Rect> Desktop::rect(Handle window) const {
  auto it = windows_.find(window);
  if (it == windows_.end()) return std::nullopt;
  return it->second.rect;
}

void Desktop::moveChildren(Handle window, std::int32_t dx, std::int32_t dy) {
  for (Handle child : windows_[window].children) {
    Rect& r = windows_[child].rect;
    r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    moveChildren(child, dx, dy);
  }
}

void Desktop::setRect(Handle window, Rect screenRect) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  std::int32_t dx = screenRect.left - it->second.rect.left;
  std::int32_t dy = screenRect.top - it->second.rect.top;
  it->second.rect = screenRect;
  if (dx || dy) moveChildren(window, dx, dy);
}

bool Desktop::isVisible(Handle window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.visible;
}

void Desktop::setVisible(Handle window, bool visible) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.visible = visible;
}

void Desktop::setMessageHandler(Handle window, MessageHandler handler) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.handler = std::move(handler);
}

void Desktop::onDestroy(Handle window, Task hook) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.destroyHooks.push_back(std::move(hook));
}

std::optional<std::intptr_t> Desktop::sendMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.handler) return std::nullopt;
  MessageHandler handler = it->second.handler;  // the handler may destroy the window
  return handler(message, wParam, lParam);
}

std::uint32_t Desktop::registerWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  auto [it, inserted] = registeredMessages_.try_emplace(asciiLower(name), 0);
  if (inserted) it->second = 0xC000 + static_cast<std::uint32_t>(registeredMessages_.size() - 1);
  return it->second;
}

Handle Desktop::windowFromPointIn(Handle window, Point p) const {
  const Window& w = windows_.at(window);
  // Later children lie above earlier ones.
  for (auto child = w.children.rbegin(); child != w.children.rend(); ++child) {
    const Window& c = windows_.at(*child);
    if (c.visible && p.x >= c.rect.left && p.x < c.rect.right && p.y >= c.rect.top && p.y < c.rect.bottom)
      return windowFromPointIn(*child, p);
  }
  return window;
}

Handle Desktop::windowFromPoint(Point p) const {
  for (auto top = topLevel_.rbegin(); top != topLevel_.rend(); ++top) {
    const Window& w = windows_.at(*top);
    if (w.visible && p.x >= w.rect.left && p.x < w.rect.right && p.y >= w.rect.top && p.y < w.rect.bottom)
      return windowFromPointIn(*top, p);
  }
  return 0;
}

// --- event loop ---------------------------------------------------------------------------

void Desktop::post(Task task) {
  {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
  }
  postedSignal_.notify_one();
}

TimerId Desktop::setTimer(std::int64_t delayMs, Task task) {
  TimerId id = nextTimer_++;
  std::int64_t due = tickCount() + std::max<std::int64_t>(delayMs, 0);
  timers_.emplace(std::make_pair(due, id), std::move(task));
  timerDue_[id] = due;
  return id;
}

void Desktop::cancelTimer(TimerId id) {
  auto it = timerDue_.find(id);
  if (it == timerDue_.end()) return;
  timers_.erase({it->second, id});
  timerDue_.erase(it);
}

void Desktop::takePostedTasks() {
  std::vector<Task> arrived;
  {
    std::lock_guard lock(postedMutex_);
    arrived.swap(posted_);
  }
  for (auto& task : arrived) setTimer(0, std::move(task));
}

std::optional<Task> Desktop::takeReadyTask(TimerId before) {
  if (timers_.empty() || timers_.begin()->first.first > tickCount()) return std::nullopt;
  auto first = timers_.begin();
  if (first->first.second >= before) return std::nullopt;
  Task task = std::move(first->second);
  timerDue_.erase(first->first.second);
  timers_.erase(first);
  return task;
}

std::optional<std::int64_t> Desktop::nextTimerDue() const {
  if (timers_.empty()) return std::nullopt;
  return timers_.begin()->first.first;
}

bool Desktop::processPendingEvents() {
  bool ran = false;
  takePostedTasks();
  const TimerId before = nextTimer_;  // what is queued from now on waits for the next call
  while (!ended_) {
    auto task = takeReadyTask(before);
    if (!task) break;
    if (clockKind_ == ClockKind::Virtual && ++tasksThisInstant_ >= kBusyTasksPerMillisecond) {
      tasksThisInstant_ = 0;
      ++virtualNowMs_;
    }
    (*task)();
    ran = true;
    if (observer_ && !ended_) observer_();
  }
  return ran;
}

void Desktop::sleepUntil(std::int64_t deadlineMs) {
  if (clockKind_ == ClockKind::Virtual) {
    std::lock_guard lock(postedMutex_);
    if (posted_.empty() && deadlineMs > virtualNowMs_) {
      virtualNowMs_ = deadlineMs;
      tasksThisInstant_ = 0;
    }
    return;
  }
  std::unique_lock lock(postedMutex_);
  auto wait = std::chrono::milliseconds(std::max<std::int64_t>(deadlineMs - tickCount(), 0));
  postedSignal_.wait_for(lock, wait, [&] { return !posted_.empty(); });
}

void Desktop::waitProcessingEvents(std::int32_t ms) {
  if (ms <= 0 || ended_) return;
  const std::int64_t start = tickCount();
  const std::int64_t deadline = start + std::int64_t{ms} + 1;  // until more than ms have passed
  while (!ended_) {
    processPendingEvents();
    if (tickCount() >= deadline) break;
    std::int64_t until = deadline;
    if (auto due = nextTimerDue()) until = std::min(until, *due);
    sleepUntil(until);
  }
}

bool Desktop::runUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (ended_) return false;
    if (processPendingEvents()) continue;
    if (done()) return true;
    auto due = nextTimerDue();
    if (clockKind_ == ClockKind::Virtual) {
      if (!due && idle()) return false;
      sleepUntil(due.value_or(virtualNowMs_));
    } else {
      sleepUntil(due.value_or(tickCount() + 100));
    }
  }
  return true;
}

bool Desktop::eventReady() {
  takePostedTasks();
  return !timers_.empty() && timers_.begin()->first.first <= tickCount();
}

void Desktop::sleepUntilEvent(std::int64_t deadlineMs) {
  if (auto due = nextTimerDue()) deadlineMs = std::min(deadlineMs, *due);
  sleepUntil(deadlineMs);
}

bool Desktop::idle() const {
  std::lock_guard lock(postedMutex_);
  return posted_.empty() && timers_.empty();
}

// --- process ------------------------------------------------------------------------------

void Desktop::endProcess(int exitCode) {
  if (ended_) return;
  exitCode_ = exitCode;
  std::vector<Task> hooks = std::move(shutdownHooks_);
  for (auto& hook : hooks) hook();
  ended_ = true;
}

void Desktop::onProcessEnd(Task hook) { shutdownHooks_.push_back(std::move(hook)); }

bool Desktop::startProcess(const std::string& path, const std::string& arguments) {
  if (ended_) return false;
  if (processStarts_ == ProcessStarts::Recorded) {
    started_.push_back({path, arguments, tickCount()});
    return true;
  }
  std::vector<std::string> argv{ansiToUtf8(path)};
  if (!arguments.empty()) argv.push_back(ansiToUtf8(arguments));
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0].c_str(), nullptr, nullptr, args.data(), environ) != 0) return false;
  started_.push_back({path, arguments, tickCount()});
  return true;
}

}  // namespace trenmoor::desktop
