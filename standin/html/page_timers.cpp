#include "standin/html/page_timers.h"

#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>

#include "standin/desktop/desktop.h"
#include "standin/html/dom.h"
#include "standin/html/script_engine.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {
namespace {

constexpr std::int64_t kLeastIntervalMs = 10;

struct PageTimer {
  Variant handler;
  std::int64_t delayMs;
  TimerRepeat repeat;
  desktop::TimerId scheduled = 0;
};

struct PageTimers {
  std::int32_t lastId = 0;
  std::map<std::int32_t, PageTimer> running;
};

// The timers of each page that has any, by its context.
std::unordered_map<const DocumentContext*, PageTimers>& timersByPage() {
  static std::unordered_map<const DocumentContext*, PageTimers> all;
  return all;
}

void schedule(const std::shared_ptr<DocumentContext>& context, std::int32_t id, PageTimer& timer);

// Runs the timer's handler once, if the page and the timer are still there.
void fire(const std::weak_ptr<DocumentContext>& weak, std::int32_t id) {
  const std::shared_ptr<DocumentContext> context = weak.lock();
  if (!context || !context->document) return;
  auto page = timersByPage().find(context.get());
  if (page == timersByPage().end()) return;
  auto found = page->second.running.find(id);
  if (found == page->second.running.end()) return;
  // The handler is copied out: it may stop its own timer (or all of them) while it runs.
  const Variant handler = found->second.handler;
  if (found->second.repeat == TimerRepeat::Every) schedule(context, id, found->second);
  else page->second.running.erase(found);
  Document& document = *context->document;
  ScriptEngine* engine = document.scripts();
  if (!engine) return;
  if (const std::u16string* code = handler.string()) {
    engine->run(*code, u"timer");
  } else {
    Variant result;
    callFunction(handler, document.window().get(), {}, result, u"timer");
  }
}

void schedule(const std::shared_ptr<DocumentContext>& context, std::int32_t id, PageTimer& timer) {
  std::weak_ptr<DocumentContext> weak = context;
  timer.scheduled = desktop::Desktop::current().setTimer(timer.delayMs, [weak, id] { fire(weak, id); });
}

}  // namespace

std::int32_t startPageTimer(Document& page, Variant handler, double delayMs, TimerRepeat repeat) {
  PageTimers& timers = timersByPage()[page.context().get()];
  const std::int32_t id = ++timers.lastId;
  // NaN and negative delays count as 0; far-off ones stop at about 24 days, as 32-bit delays do.
  const double clamped = std::isnan(delayMs) ? 0.0 : std::fmin(std::fmax(delayMs, 0.0), 2147483647.0);
  std::int64_t ms = static_cast<std::int64_t>(clamped);
  if (repeat == TimerRepeat::Every && ms < kLeastIntervalMs) ms = kLeastIntervalMs;
  PageTimer& timer = timers.running[id] = PageTimer{std::move(handler), ms, repeat};
  schedule(page.context(), id, timer);
  return id;
}

void stopPageTimer(Document& page, std::int32_t id) {
  auto found = timersByPage().find(page.context().get());
  if (found == timersByPage().end()) return;
  auto timer = found->second.running.find(id);
  if (timer == found->second.running.end()) return;
  desktop::Desktop::current().cancelTimer(timer->second.scheduled);
  found->second.running.erase(timer);
}

void stopPageTimers(Document& page) {
  auto found = timersByPage().find(page.context().get());
  if (found == timersByPage().end()) return;
  for (auto& [id, timer] : found->second.running) desktop::Desktop::current().cancelTimer(timer.scheduled);
  timersByPage().erase(found);
}

}  // namespace trenmoor::html
