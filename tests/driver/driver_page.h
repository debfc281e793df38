// A driver attached to a small inline page, served by a document window of its own.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "driver/page_driver.h"
#include "standin/html/document_host.h"
#include "tests/fixtures/document_window.h"

namespace trenmoor {

// A browser for a page: it records navigations and dialogs and loads frames from a table of
// pages by address.
class RecordingHost : public html::DocumentHost {
 public:
  void navigate(html::Document&, const html::NavigationRequest& request) override {
    navigations.push_back(wideToUtf8(request.url));
  }
  void loadFrame(html::Document&, html::Element& frame, std::u16string_view url) override {
    auto page = pages.find(wideToUtf8(url));
    if (page == pages.end()) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(page->second.data());
    frame.setContentDocument(html::Document::load({{bytes, page->second.size()}, page->first, "utf-8"}, this));
  }
  std::u16string cookies(std::u16string_view) override { return {}; }
  bool setCookie(std::u16string_view, std::u16string_view) override { return false; }
  html::DialogAnswer showDialog(html::Document&, const html::DialogRequest& request) override {
    dialogs.push_back(wideToUtf8(request.message));
    return {true, {}};
  }

  std::map<std::string, std::string> pages;
  std::vector<std::string> navigations;
  std::vector<std::string> dialogs;
};

class DriverPage : public ::testing::Test {
 protected:
  // Loads the UTF-8 markup (with the host, when given) and attaches the driver to it.
  void load(std::string_view markup, html::DocumentHost* host = nullptr) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
    page_ = html::Document::load(html::PageSource{{bytes, markup.size()}, "http://example.com/share/page.html", "utf-8"},
                                 host);
    attachTo(page_.dispatch());
  }
  // Attaches the driver to a document window that answers with this object.
  void attachTo(DispatchRef document) { ASSERT_TRUE(driver_.attach(documentWindow(desktop_, std::move(document)))); }
  ComObject document() { return driver_.getDocument(); }
  ComObject byId(std::string_view id) { return document().callObject("getElementById", {ComObject::textArgument(id)}); }
  Text idOf(const ComObject& element) { return element.getText("id"); }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual};
  PageDriver driver_;
  html::Ref<html::Document> page_;
};

}  // namespace trenmoor
