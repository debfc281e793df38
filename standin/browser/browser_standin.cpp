#include "standin/browser/browser_standin.h"

#include <algorithm>

#include "platform/text.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::browser {
namespace {

// The toolkit's view of one box's browser.
class BoxEngine final : public toolkit::BrowserEngine {
 public:
  BoxEngine(std::shared_ptr<Network> network, win::HWND box, const std::shared_ptr<BrowserStandIn::BoxList>& boxes)
      : browser_(std::move(network), box), boxes_(boxes) {
    boxes->emplace_back(box, &browser_);
  }
  ~BoxEngine() override {
    if (auto boxes = boxes_.lock())
      std::erase_if(*boxes, [this](const auto& entry) { return entry.second == &browser_; });
  }

  void navigate(const Text& address) override { browser_.navigate(ansiToUtf8(address)); }
  Text address() const override { return utf8ToAnsi(browser_.address()); }
  std::int32_t readyState() const override { return static_cast<std::int32_t>(browser_.readyState()); }
  ComObject document() const override {
    html::Document* page = browser_.document();
    return page ? ComObject(DispatchRef(page)) : ComObject();
  }

 private:
  Browser browser_;
  std::weak_ptr<BrowserStandIn::BoxList> boxes_;
};

void collectPopups(const Browser& browser, std::vector<Browser*>& out) {
  for (const auto& popup : browser.popups()) {
    out.push_back(popup.get());
    collectPopups(*popup, out);
  }
}

}  // namespace

BrowserStandIn::BrowserStandIn(std::shared_ptr<Network> network)
    : network_(std::move(network)), boxes_(std::make_shared<BoxList>()) {
  toolkit::Toolkit::current().setBrowserEngineFactory(
      [network = network_, boxes = boxes_](win::HWND box) -> std::unique_ptr<toolkit::BrowserEngine> {
        return std::make_unique<BoxEngine>(network, box, boxes);
      });
}

BrowserStandIn::~BrowserStandIn() { toolkit::Toolkit::current().setBrowserEngineFactory({}); }

Browser* BrowserStandIn::browserFor(win::HWND boxWindow) const {
  for (const auto& [box, browser] : *boxes_)
    if (box == boxWindow) return browser;
  return nullptr;
}

std::vector<Browser*> BrowserStandIn::browsers() const {
  std::vector<Browser*> out;
  for (const auto& entry : *boxes_) out.push_back(entry.second);
  return out;
}

std::vector<Browser*> BrowserStandIn::popups() const {
  std::vector<Browser*> out;
  for (const auto& entry : *boxes_) collectPopups(*entry.second, out);
  return out;
}

}  // namespace trenmoor::browser
