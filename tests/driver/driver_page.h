// A driver attached to a small inline page, served by a document window of its own.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "driver/page_driver.h"
#include "tests/fixtures/document_window.h"

namespace trenmoor {

class DriverPage : public ::testing::Test {
 protected:
  // Loads the UTF-8 markup and attaches the driver to it.
  void load(std::string_view markup) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
    page_ = html::Document::load(html::PageSource{{bytes, markup.size()}, "http://example.com/share/page.html", "utf-8"});
    ASSERT_TRUE(driver_.attach(documentWindow(desktop_, page_)));
  }
  ComObject document() { return driver_.getDocument(); }
  ComObject byId(std::string_view id) { return document().callObject("getElementById", {ComObject::textArgument(id)}); }
  Text idOf(const ComObject& element) { return element.getText("id"); }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  PageDriver driver_;
  html::Ref<html::Document> page_;
};

}  // namespace trenmoor
