// Installs the browser stand-in behind the toolkit's browser boxes: while a BrowserStandIn
// lives, every browser box created gets a Browser on the stand-in's Network.
//
//   browser::BrowserStandIn browsers;                       // installs the engine factory
//   browsers.network().addSite("pan.baidu.com", handler);   // in-process site (tests)
//   browsers.network().addRoute("pan.baidu.com", "http://127.0.0.1:8080");  // loopback server (demo)
//   ... the program creates its browser box and writes its address ...
//   browsers.browserFor(boxWindow)->setHung(true);          // a box's browser, for inspection
//   browsers.popups();                                      // windows opened by pages
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/window_calls.h"
#include "standin/browser/browser.h"
#include "standin/browser/network.h"

namespace trenmoor::browser {

class BrowserStandIn {
 public:
  explicit BrowserStandIn(std::shared_ptr<Network> network = std::make_shared<Network>());
  // Removes the factory. Browsers already made keep working on the shared network.
  ~BrowserStandIn();
  BrowserStandIn(const BrowserStandIn&) = delete;
  BrowserStandIn& operator=(const BrowserStandIn&) = delete;

  Network& network() const { return *network_; }
  const std::shared_ptr<Network>& sharedNetwork() const { return network_; }

  // The browser of the box whose window is `boxWindow`; null when there is none.
  Browser* browserFor(win::HWND boxWindow) const;
  // The browsers of all live boxes, in creation order.
  std::vector<Browser*> browsers() const;
  // Every popup opened from those browsers (and from popups), depth first in opening order.
  std::vector<Browser*> popups() const;

  // Which box browser holds which window (shared with the engines, which may outlive this).
  using BoxList = std::vector<std::pair<win::HWND, Browser*>>;

 private:
  std::shared_ptr<Network> network_;
  std::shared_ptr<BoxList> boxes_;
};

}  // namespace trenmoor::browser
