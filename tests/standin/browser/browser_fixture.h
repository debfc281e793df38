// A browser inside a box window on a virtual-clock desktop, with in-process sites and no
// network beyond them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/com_object.h"
#include "standin/browser/browser.h"
#include "standin/desktop/desktop.h"

namespace trenmoor::browser {

class BrowserFixture : public ::testing::Test {
 protected:
  BrowserFixture() {
    network_->setOutsideAccess(OutsideAccess::Refused);
    box_ = desktop_.createWindow("TrenmoorBrowserBox", 0, {10, 20, 410, 320}, true);
    browser_ = std::make_unique<Browser>(network_, box_);
  }

  // Serves `pages` (by path and query) at `host`; other paths get an empty 404. Every request
  // is recorded in requests_.
  void serve(const std::string& host, std::map<std::string, SiteResponse> pages) {
    network_->addSite(host, [this, pages = std::move(pages)](const SiteRequest& request) {
      requests_.push_back(request);
      auto page = pages.find(request.path);
      return page != pages.end() ? page->second : SiteResponse{404, {}, {}, 0};
    });
  }

  // Runs the event loop until the virtual clock reads `ms` (events due then included).
  void runTo(std::int64_t ms) {
    desktop_.setTimer(ms - desktop_.tickCount(), [] {});
    desktop_.runUntil([&] { return desktop_.tickCount() >= ms; });
    desktop_.processPendingEvents();
  }
  // Runs until nothing is left to happen.
  void settle() { desktop_.runUntil([] { return false; }); }

  std::int32_t state() const { return static_cast<std::int32_t>(browser_->readyState()); }
  ComObject document() const { return ComObject(DispatchRef(browser_->document())); }
  Text bodyText() const { return document().getObject("body").getText("innerText"); }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  std::shared_ptr<Network> network_ = std::make_shared<Network>();
  win::HWND box_ = 0;
  std::vector<SiteRequest> requests_;
  std::unique_ptr<Browser> browser_;
};

}  // namespace trenmoor::browser
