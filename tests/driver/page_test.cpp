#include "driver_page.h"

namespace trenmoor {
namespace {

class PageTest : public DriverPage {
 protected:
  ~PageTest() override {
    // The page goes before its browser.
    driver_.releaseDocument();
    page_ = {};
  }
  RecordingHost host_;
};

TEST_F(PageTest, UrlsGainTheHttpPrefixUnlessTheyStartWithHttpInAnyCase) {
  load("<p>page</p>", &host_);
  const struct {
    const char* url;
    const char* navigated;
  } cases[] = {
      {"example.org/a", "http://example.org/a"},
      {"HTTPS://example.org/", "https://example.org/"},
      {"Http://example.org/b", "http://example.org/b"},
      {"about:blank", "http://about:blank"},
      {"", "http://"},
      {"  http://example.org/", "http://  http://example.org/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    host_.navigations.clear();
    driver_.navigateTo(c.url);
    driver_.setLocation(c.url);
    EXPECT_EQ(host_.navigations, (std::vector<std::string>{c.navigated, c.navigated}));
  }
}

TEST_F(PageTest, ZoomIsWrittenAsARatioAndReportedAsAPercentage) {
  load("<p>page</p>");
  ComObject style = document().getObject("body").getObject("style");
  for (auto [percentage, ratio] : {std::pair{150, 1.5}, {50, 0.5}, {0, 0.0}, {29, 0.29}}) {
    EXPECT_EQ(driver_.setZoom(percentage), percentage);
    EXPECT_DOUBLE_EQ(style.getNumber("zoom"), ratio);
  }
  PageDriver unattached;
  EXPECT_EQ(unattached.setZoom(150), 150);
}

TEST_F(PageTest, FrameDocumentsAreCountedFourLevelsDeep) {
  host_.pages = {{"http://example.com/share/a.html", "<iframe src=inner.html></iframe>"},
                 {"http://example.com/share/b.html", "<iframe src=inner.html></iframe>"},
                 {"http://example.com/share/inner.html", "<p>inner</p>"},
                 {"http://other.org/outer.html", "<iframe src=http://other.org/inner.html></iframe>"},
                 {"http://other.org/inner.html", "<p>refused</p>"}};
  load("<p>no frames</p>", &host_);
  EXPECT_EQ(driver_.countFrameDocuments(), 1);
  load("<iframe src=a.html></iframe><iframe src=b.html></iframe>", &host_);
  EXPECT_EQ(driver_.countFrameDocuments(), 5);
  // A frame of another domain counts one: its document, and so its frames, are refused.
  load("<iframe src=a.html></iframe><iframe src=http://other.org/outer.html></iframe>", &host_);
  EXPECT_EQ(driver_.countFrameDocuments(), 4);
  EXPECT_EQ(PageDriver().countFrameDocuments(), 0);
}

TEST_F(PageTest, PageTextAndMarkupComeInCodePage936AndEndAtANul) {
  load("<html><head><title>标题</title></head><body><p>中文 text</p></body></html>");
  EXPECT_EQ(driver_.getPageText(), utf8ToAnsi("中文 text"));
  EXPECT_EQ(driver_.getPageHtml(), utf8ToAnsi("<HTML><HEAD><TITLE>标题</TITLE></HEAD><BODY><P>中文 text</P></BODY></HTML>"));
  EXPECT_EQ(driver_.getTitle(), utf8ToAnsi("标题"));
  document().getObject("body").put("innerText", Variant(std::u16string(u"前\0后", 3)));
  EXPECT_EQ(driver_.getPageText(), utf8ToAnsi("前"));
  EXPECT_EQ(PageDriver().getPageText(), "");
}

TEST(WideToAnsi, ConvertsThroughTheCodePageWithItsCompositeCheck) {
  EXPECT_EQ(PageDriver::wideToAnsi(u""), "");
  EXPECT_EQ(PageDriver::wideToAnsi(u"中文"), utf8ToAnsi("中文"));
  EXPECT_EQ(PageDriver::wideToAnsi(u"lu\u0308 \u00fc"), utf8ToAnsi("lü ü"));  // joined with its mark
  EXPECT_EQ(PageDriver::wideToAnsi(u"\uD55C!"), "?!");  // not in the code page
  EXPECT_EQ(PageDriver::wideToAnsi(std::u16string(u"a\0b", 3)), "a");
}

TEST_F(PageTest, ScriptsRunInThePageInTheirLanguage) {
  load("<p>page</p>");
  driver_.runScript("document.title = 'js'", PageDriver::kJavaScript);
  EXPECT_EQ(driver_.getTitle(), "js");
  driver_.runScript("document.title = 'other'", 2);
  EXPECT_EQ(driver_.getTitle(), "js");
  driver_.runScript("document.title = \"vb\"", PageDriver::kVBScript);
  EXPECT_EQ(driver_.getTitle(), "js");
  ASSERT_FALSE(page_->scriptErrors().empty());  // VBScript is recorded as the page's error
}

TEST_F(PageTest, UnlockPageReplacesTheHandlersThatRefuseTheUser) {
  load("<p id=p>text</p><script>document.onselectstart = document.oncontextmenu = function () { return false; };</script>");
  ComObject paragraph = byId("p");
  EXPECT_FALSE(paragraph.callLogical("fireEvent", {ComObject::textArgument("onselectstart")}));
  driver_.unlockPage();
  EXPECT_TRUE(paragraph.callLogical("fireEvent", {ComObject::textArgument("onselectstart")}));
  EXPECT_TRUE(paragraph.callLogical("fireEvent", {ComObject::textArgument("oncontextmenu")}));
  EXPECT_TRUE(page_->scriptErrors().empty());
}

TEST_F(PageTest, DocumentPropertiesAreReadAndWrittenByName) {
  load("<html><head><title>old</title></head><body><p>x</p></body></html>");
  EXPECT_EQ(driver_.getDomain(), "example.com");
  EXPECT_EQ(driver_.getLocation(), "http://example.com/share/page.html");
  EXPECT_EQ(driver_.getCharset(), "utf-8");
  EXPECT_EQ(driver_.getFileSize(), "65");  // bytes of the page
  EXPECT_TRUE(driver_.setDocumentProperty("Title", "new"));
  EXPECT_EQ(driver_.getDocumentProperty("title"), "new");
  EXPECT_FALSE(driver_.setDocumentProperty("noSuchProperty", "x"));
  EXPECT_TRUE(driver_.setBodyHtml("<b>bold</b>"));
  EXPECT_EQ(document().getObject("body").getText("innerHTML"), "<B>bold</B>");

  PageDriver unattached;
  EXPECT_FALSE(unattached.setBodyHtml("<b>x</b>"));
  EXPECT_EQ(unattached.getDocumentProperty("title"), "");
}

TEST_F(PageTest, ReloadAsksTheBrowserForThePageAgain) {
  load("<p>page</p>", &host_);
  driver_.reloadPage();
  EXPECT_EQ(host_.navigations, std::vector<std::string>{"http://example.com/share/page.html"});
}

TEST_F(PageTest, FireElementEventRunsTheElementsHandler) {
  load(R"(<input type=checkbox id=c onmousedown="document.title='down:'+event.type">)");
  EXPECT_TRUE(driver_.fireElementEvent(byId("c"), "onmousedown"));
  EXPECT_EQ(document().getText("title"), "down:mousedown");
  EXPECT_FALSE(driver_.fireElementEvent(ComObject(), "onmousedown"));
}

}  // namespace
}  // namespace trenmoor
