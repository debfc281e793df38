// Any bytes as a page: the first byte picks the character set (UTF-8 when odd, code page 936
// when even), the rest is parsed; then the driver attaches and runs a fixed sequence of
// lookups, markers, highlighting, a census and edits over it, so the driver's changes to the
// document are fuzzed as well as the parse.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "driver/page_driver.h"
#include "standin/desktop/desktop.h"
#include "standin/html/dom.h"
#include "standin/html/script_clock.h"
#include "tests/fixtures/document_window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trenmoor;
  if (size == 0) return 0;
  static desktop::Desktop desktop(desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded);
  static bool budgetSet = (html::setScriptTimeBudget(std::chrono::milliseconds(50)), true);
  (void)budgetSet;
  const char* charset = (data[0] & 1) ? "utf-8" : "gbk";
  auto page = html::Document::load(html::PageSource{{data + 1, size - 1}, "http://example.com/s/page.html", charset});
  win::HWND window = documentWindow(desktop, page.dispatch());
  {
    PageDriver driver;
    driver.attach(window);
    std::int32_t counter = 0;
    (void)driver.lookupInput("text|password", "user", 0, counter);
    (void)driver.markInputsAfter("", "in", true);
    std::vector<Text> t[16];
    (void)driver.markLinks("a", "link", true, true, t[13], t[14], t[15], t[12]);
    std::vector<ComObject> elements;
    (void)driver.takeElementCensus(0, "input|textarea|select", "text|password|checkbox|radio", t[0], t[1], t[2], t[3],
                                   t[4], t[5], t[6], t[7], t[8], t[9], t[10], true, t[11], t[12], elements);
    (void)driver.takeElementCensus(12, "li", "", t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10],
                                   false, t[11], t[12], elements);
    driver.markAllFormControls();
    (void)driver.getTextInputValue("code");
    (void)driver.setTextInputValue("code", "1234");
    (void)driver.clickLink("submit", 0, true);
    (void)driver.countTextAreas(true);
    (void)driver.selectOptionByIndex(1, 2);
    Text foreground, background;
    driver.highlightKeyword("a", &foreground, &background, true);
    driver.highlightKeyword("\xb7\xd6", &foreground, &background, false);
    (void)driver.getPageText();
    (void)driver.getPageHtml();
    for (const ComObject& element : elements) (void)driver.setOuterText(element, "x");
  }
  desktop.destroyWindow(window);
  return 0;
}
