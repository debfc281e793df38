// Page waits: look at a browser window's page every 300 ms until it holds a text, sleeping on a
// waitable timer while window events are handled.
#include "driver/page_driver.h"
#include "platform/timer_calls.h"

namespace trenmoor {
namespace {

constexpr std::int32_t kLookEveryMs = 300;

enum class PageContent { Text, Markup };

bool waitForPageContent(PageDriver& driver, win::HWND window, const Text& text, std::int32_t timeoutMs,
                        const ComObject& document, PageContent content) {
  // 1-2. The start on the uptime counter.
  const win::DWORD start = win::GetTickCount();
  // 3. Look until the text is there, the time is up or the window is gone.
  for (;;) {
    if (!win::IsWindow(window)) return false;
    PageDriver::pumpingSleep(kLookEveryMs);
    Text page;
    if (document.empty()) {
      driver.attach(window);
      page = content == PageContent::Text ? driver.getPageText() : driver.getPageHtml();
    } else {
      const Variant value =
          document.getObject("documentElement").getValue(content == PageContent::Text ? "innerText" : "outerHTML");
      page = PageDriver::wideToAnsi(value.toString());
    }
    if (containsText(page, text)) return true;
    // Elapsed time as the unsigned difference of two readings: right across the counter's wrap.
    const win::DWORD elapsed = win::GetTickCount() - start;
    if (static_cast<std::int64_t>(elapsed) > timeoutMs) return false;
  }
}

}  // namespace

bool PageDriver::pumpingSleep(std::int32_t milliseconds) {
  // 1-2. A one-shot timer due after the time, in 100 ns units (negative: relative).
  const win::HANDLE timer = win::CreateWaitableTimerA(nullptr, 0, nullptr);
  const std::int64_t due = -static_cast<std::int64_t>(milliseconds) * 10'000;
  win::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, 0);
  // 3. Handle the window events that arrive until it fires (a failed wait ends the sleep too).
  while (win::MsgWaitForMultipleObjects(1, &timer, 0, win::INFINITE, win::QS_ALLEVENTS) == win::WAIT_OBJECT_0 + 1)
    processPendingEvents();
  // 4. Close it.
  win::CloseHandle(timer);
  return true;
}

bool PageDriver::waitForPageText(win::HWND window, const Text& text, std::int32_t timeoutMs, const ComObject& document) {
  return waitForPageContent(*this, window, text, timeoutMs, document, PageContent::Text);
}

bool PageDriver::waitForPageHtml(win::HWND window, const Text& text, std::int32_t timeoutMs, const ComObject& document) {
  return waitForPageContent(*this, window, text, timeoutMs, document, PageContent::Markup);
}

}  // namespace trenmoor
