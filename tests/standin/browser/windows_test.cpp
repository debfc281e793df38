// The control's window tree, the document request by window message, a hung window, popup
// windows, and the engine behind the toolkit's browser boxes.
#include <gtest/gtest.h>

#include "browser_fixture.h"
#include "platform/object_results.h"
#include "platform/toolkit.h"
#include "standin/browser/browser_standin.h"
#include "standin/toolkit/toolkit_standin.h"

namespace trenmoor::browser {
namespace {

using WindowsTest = BrowserFixture;

// The document of a document window, as the driver asks for it.
win::HRESULT requestDocument(win::HWND window, std::uintptr_t& result, DispatchRef& document) {
  win::SendMessageTimeoutA(window, win::RegisterWindowMessageA("WM_HTML_GETOBJECT"), 0, 0, win::SMTO_ABORTIFHUNG,
                           1000, &result);
  return win::ObjectFromLresult(static_cast<win::LRESULT>(result), win::IID_IHTMLDocument, 0, &document);
}

// The chain of single children below `window`, by class.
std::vector<std::string> classChain(const desktop::Desktop& desktop, win::HWND window) {
  std::vector<std::string> classes;
  for (auto children = desktop.children(window); children.size() == 1; children = desktop.children(children[0]))
    classes.push_back(desktop.className(children[0]));
  return classes;
}

const std::vector<std::string> kTree{"Shell Embedding", "Shell DocObject View", "Internet Explorer_Server"};

TEST_F(WindowsTest, DocumentWindowAnswersTheDocumentRequestUnlessHung) {
  EXPECT_EQ(classChain(desktop_, box_), kTree);
  EXPECT_EQ(desktop_.rect(browser_->documentWindow()), desktop_.rect(box_));

  std::uintptr_t result = 0;
  DispatchRef document;
  EXPECT_EQ(requestDocument(browser_->documentWindow(), result, document), win::E_INVALIDARG);  // no page yet
  EXPECT_EQ(result, 0u);

  serve("a.test", {{"/", SiteResponse::page("<p>x</p>")}});
  browser_->navigate("http://a.test/");
  settle();
  ASSERT_EQ(requestDocument(browser_->documentWindow(), result, document), win::S_OK);
  EXPECT_TRUE(ComObject(document).sameObject(this->document()));

  browser_->setHung(true);
  const std::int64_t before = desktop_.tickCount();
  result = 0;
  DispatchRef none;
  EXPECT_EQ(win::SendMessageTimeoutA(browser_->documentWindow(), win::RegisterWindowMessageA("WM_HTML_GETOBJECT"), 0,
                                     0, win::SMTO_ABORTIFHUNG, 1000, &result),
            0);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(win::ObjectFromLresult(0, win::IID_IHTMLDocument, 0, &none), win::E_INVALIDARG);
  EXPECT_GE(desktop_.tickCount() - before, 1000);

  win::HWND embedding = browser_->embeddingWindow();
  browser_.reset();
  EXPECT_FALSE(desktop_.isWindow(embedding));
  EXPECT_TRUE(desktop_.children(box_).empty());
}

TEST_F(WindowsTest, BlankAndUnknownTargetsOpenPopupWindows) {
  serve("a.test", {{"/", SiteResponse::page("<a id=blank href=/next target=_blank>n</a>"
                                            "<a id=named href=/side target=side>s</a>"
                                            "<a id=again href=/next target=side>s</a>")},
                   {"/next", SiteResponse::page("<p>next</p>").withLatency(10)},
                   {"/side", SiteResponse::page("<p>side</p>")}});
  browser_->navigate("http://a.test/");
  settle();
  ComObject top = document();
  auto click = [&](const char16_t* id) { top.callObject("getElementById", {Variant(id)}).call("click"); };
  click(u"blank");
  click(u"named");
  ASSERT_EQ(browser_->popups().size(), 2u);
  Browser& blank = *browser_->popups()[0];
  Browser& side = *browser_->popups()[1];
  EXPECT_EQ(blank.readyState(), ReadyState::Loading);
  settle();
  EXPECT_EQ(blank.readyState(), ReadyState::Complete);
  EXPECT_EQ(blank.address(), "http://a.test/next");
  EXPECT_EQ(ComObject(DispatchRef(blank.document())).getObject("body").getText("innerText"), "next");
  EXPECT_EQ(side.name(), "side");
  EXPECT_EQ(ComObject(DispatchRef(side.document())).getObject("parentWindow").getText("name"), "side");

  // Each popup is a top-level window holding the same tree; the opener stayed where it was.
  EXPECT_EQ(desktop_.className(blank.topLevelWindow()), kPopupWindowClass);
  EXPECT_EQ(desktop_.parent(blank.topLevelWindow()), 0u);
  EXPECT_EQ(classChain(desktop_, blank.topLevelWindow()), kTree);
  EXPECT_EQ(browser_->address(), "http://a.test/");
  EXPECT_TRUE(document().sameObject(top));

  click(u"again");  // a window of that name exists: it navigates, no third popup
  settle();
  EXPECT_EQ(browser_->popups().size(), 2u);
  EXPECT_EQ(side.address(), "http://a.test/next");
}

TEST(BrowserStandIn, EveryBrowserBoxGetsABrowserOnTheSharedNetwork) {
  desktop::Desktop desktop(desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded);
  toolkit::Toolkit::current().reset();
  std::vector<std::string> seen;
  {
    BrowserStandIn browsers;
    browsers.network().setOutsideAccess(OutsideAccess::Refused);
    browsers.network().addSite("pan.baidu.com", [&](const SiteRequest& request) {
      seen.push_back(request.url);
      return SiteResponse::page("<a id=pop href=/pop target=_blank>p</a>").withLatency(200);
    });
    auto window = ui::createMainWindow("main", 0, 0, 800, 600);
    ui::BrowserBox& box = window->addBrowserBox("browser", {10, 10, 600, 400}, "about:blank");
    Browser* browser = browsers.browserFor(box.windowHandle());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browsers.browsers(), std::vector<Browser*>{browser});

    box.setAddress("https://pan.baidu.com/");
    EXPECT_EQ(box.readyState(), 1);
    EXPECT_EQ(box.address(), "https://pan.baidu.com/");
    desktop.waitProcessingEvents(198);  // until more than 198 ms have passed: 199
    EXPECT_EQ(box.readyState(), 1);
    desktop.waitProcessingEvents(1);
    EXPECT_EQ(box.readyState(), 4);
    EXPECT_EQ(seen, std::vector<std::string>{"https://pan.baidu.com/"});

    ComObject(DispatchRef(browser->document())).callObject("getElementById", {Variant(u"pop")}).call("click");
    ASSERT_EQ(browsers.popups().size(), 1u);
    EXPECT_EQ(browsers.popups()[0]->address(), "https://pan.baidu.com/pop");

    // The page window lies below the main window, where the driver searches depth first.
    std::vector<win::HWND> pending{window->windowHandle()};
    int pageWindows = 0;
    while (!pending.empty()) {
      win::HWND w = pending.back();
      pending.pop_back();
      if (desktop.className(w) == "Internet Explorer_Server") ++pageWindows;
      for (win::HWND child : desktop.children(w)) pending.push_back(child);
    }
    EXPECT_EQ(pageWindows, 1);
  }
  EXPECT_FALSE(toolkit::Toolkit::current().browserEngineFactory());
  toolkit::Toolkit::current().reset();
}

}  // namespace
}  // namespace trenmoor::browser
