// A driver attached to inline markup through a document window of its own, for the driver's
// benchmarks. The desktop's clock is virtual, so the driver's own pauses cost no real time.
#pragma once

#include <string>

#include "driver/page_driver.h"
#include "tests/fixtures/document_window.h"

namespace trenmoor {

struct AttachedPage {
  explicit AttachedPage(const std::string& markup) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
    page = html::Document::load(html::PageSource{{bytes, markup.size()}, "http://example.com/s/1abc", "utf-8"});
    driver.attach(documentWindow(desktop, page));
  }
  desktop::Desktop desktop{desktop::ClockKind::Virtual};
  html::Ref<html::Document> page;
  PageDriver driver;
};

}  // namespace trenmoor
