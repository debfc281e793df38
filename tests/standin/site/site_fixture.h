// The stand-in site served in-process to a browser on a virtual-clock desktop, and the page
// steps the transfer performs on a share page, in its order and with its waits.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "platform/com_object.h"
#include "platform/text.h"
#include "standin/browser/browser.h"
#include "standin/desktop/desktop.h"
#include "standin/site/site.h"

namespace trenmoor::site {

inline constexpr const char* kTestDescription =
    "# accounts, the disk, shares\n"
    "latency 50\n"
    "account demo secret\n"
    "folder _disk_id_12 我的文档\n"
    "folder _disk_id_14 我的资源\n"
    "share 1Good x7k2 files=电影.mkv,文档.pdf\n"
    "share 1Free - files=free.txt\n"
    "share 1Slow s1w0 slow=2500x1 files=big.iso\n"
    "gone 1Gone\n";

// A UTF-8 property of an element (the object model hands out code page 936 text).
inline std::string utf8Of(const ComObject& element, std::string_view property) {
  return ansiToUtf8(element.getText(property));
}

// The first element of `tag` in the body whose type is among `types` (any type when empty) and
// one of whose `attributes` equals `key` exactly: the program's lookup rule for keys that are
// not numbers.
inline ComObject lookupElement(const ComObject& document, const char16_t* tag, std::string_view types,
                               std::initializer_list<std::string_view> attributes, std::string_view key) {
  ComObject all = document.getObject("body").getObject("all").callObject("tags", {Variant(tag)});
  const std::int32_t n = all.getInteger("length");
  for (std::int32_t i = 0; i < n; ++i) {
    ComObject element = all.callObject("item", {Variant(static_cast<double>(i))});
    if (!types.empty() && !containsText(types, element.getText("type"))) continue;
    for (std::string_view attribute : attributes)
      if (element.getText(attribute) == key) return element;
  }
  return {};
}

// The code box: an input of type text, password or file whose name, id or title is the key.
inline ComObject findInput(const ComObject& document, std::string_view key) {
  return lookupElement(document, u"input", "text|password|file", {"name", "id", "title"}, key);
}
// A link whose href, id, title, innerText or className is the key.
inline ComObject findLink(const ComObject& document, std::string_view key) {
  return lookupElement(document, u"a", "", {"href", "id", "title", "innerText", "className"}, key);
}

class SiteFixture : public ::testing::Test {
 protected:
  static constexpr std::int32_t kDelayMs = 1000;

  SiteFixture() {
    auto parsed = parseSiteDescription(kTestDescription);
    EXPECT_TRUE(parsed.ok()) << (parsed.error ? parsed.error->text() : "");
    site_ = std::make_unique<Site>(parsed.description);
    network_->setOutsideAccess(browser::OutsideAccess::Refused);
    network_->addSite(kSiteHost, site_->handler());
    box_ = desktop_.createWindow("TrenmoorBrowserBox", 0, {0, 0, 800, 600}, true);
    browser_ = std::make_unique<browser::Browser>(network_, box_);
  }

  ComObject document() const { return ComObject(DispatchRef(browser_->document())); }
  std::string bodyText() const { return utf8Of(document().getObject("body"), "innerText"); }
  std::int32_t readyState() const { return static_cast<std::int32_t>(browser_->readyState()); }
  void wait(std::int32_t ms) { desktop_.waitProcessingEvents(ms); }

  // Opens an address and waits until the page and every request it caused are in.
  void open(std::string_view address) {
    browser_->navigate(address);
    desktop_.runUntil([] { return false; });
  }

  void logIn(std::string_view account, std::string_view password) {
    open("https://pan.baidu.com/");
    ComObject page = document();
    page.callObject("getElementById", {Variant(u"account")}).putText("value", account);
    page.callObject("getElementById", {Variant(u"password")}).putText("value", password);
    page.callObject("getElementById", {Variant(u"loginButton")}).call("click");
    desktop_.runUntil([] { return false; });
  }

  // What the page offered at each step of the transfer.
  struct Steps {
    std::int32_t readyState = 0;  // after the first wait
    bool codeBox = false;         // "accessCode" found and typed into
    bool submit = false;          // "submitBtn" found and clicked
    bool saveButton = false;      // "emphasizeButton" found and clicked
    bool folder = false;          // "_disk_id_14" found and clicked
  };

  // The transfer's steps on one share page: navigate, wait, (ready) type the code, wait 200 ms,
  // click submitBtn, wait, click emphasizeButton, wait, click _disk_id_14, wait.
  Steps takeShare(std::string_view shareId, std::string_view code) {
    Steps steps;
    browser_->navigate("https://pan.baidu.com/s/" + std::string(shareId));
    wait(kDelayMs);
    steps.readyState = readyState();
    if (steps.readyState != 4) return steps;
    const ComObject page = document();  // the program keeps the document it attached to
    auto click = [&](std::string_view key) {
      ComObject link = findLink(page, key);
      link.call("click");
      return !link.empty();
    };
    steps.codeBox = findInput(page, "accessCode").putText("value", code);
    wait(200);
    steps.submit = click("submitBtn");
    wait(kDelayMs);
    steps.saveButton = click("emphasizeButton");
    wait(kDelayMs);
    steps.folder = click("_disk_id_14");
    wait(kDelayMs);
    return steps;
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  std::shared_ptr<browser::Network> network_ = std::make_shared<browser::Network>();
  std::unique_ptr<Site> site_;
  win::HWND box_ = 0;
  std::unique_ptr<browser::Browser> browser_;
};

}  // namespace trenmoor::site
