// A driver attached to inline markup through a document window of its own, for the driver's
// benchmarks. The desktop's clock is virtual, so the driver's own pauses cost no real time.
#pragma once

#include <string>

#include "driver/page_driver.h"
#include "platform/object_results.h"
#include "standin/desktop/desktop.h"
#include "standin/html/dom.h"

namespace trenmoor {

struct AttachedPage {
  explicit AttachedPage(const std::string& markup) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
    page = html::Document::load(html::PageSource{{bytes, markup.size()}, "http://example.com/s/1abc", "utf-8"});
    desktop::Handle window = desktop.createWindow("Internet Explorer_Server", 0, {}, true);
    DispatchRef document = page.dispatch();
    auto message = desktop.registerWindowMessage("WM_HTML_GETOBJECT");
    desktop.setMessageHandler(window, [=](std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
      return m == message ? win::LresultFromObject(win::IID_IHTMLDocument, 0, document) : 0;
    });
    driver.attach(window);
  }
  desktop::Desktop desktop{desktop::ClockKind::Virtual};
  html::Ref<html::Document> page;
  PageDriver driver;
};

}  // namespace trenmoor
