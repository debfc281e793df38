// Frames, the host interface (navigation, cookies) and refusal of documents across domains.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "page_fixture.h"
#include "standin/html/document_host.h"
#include "platform/text.h"

namespace trenmoor::html {
namespace {

// Serves frames from a table of pages, at once; records navigations; keeps one cookie line.
class FakeHost final : public DocumentHost {
 public:
  std::map<std::u16string, std::string> pages;
  std::vector<NavigationRequest> navigations;
  std::vector<std::u16string> frameRequests;
  std::u16string cookieLine;

  void navigate(Document&, const NavigationRequest& request) override { navigations.push_back(request); }
  void loadFrame(Document&, Element& frame, std::u16string_view url) override {
    frameRequests.emplace_back(url);
    auto page = pages.find(std::u16string(url));
    if (page != pages.end()) frame.setContentDocument(loadPage(page->second, "utf-8", wideToUtf8(url), this));
  }
  std::u16string cookies(std::u16string_view) override { return cookieLine; }
  bool setCookie(std::u16string_view, std::u16string_view line) override {
    cookieLine = std::u16string(line.substr(0, line.find(u';')));
    return true;
  }
};

TEST(Frames, SameDomainFramesAreReachableOthersAreRefused) {
  FakeHost host;
  host.pages[u"http://a.com/left.html"] = "<frameset><frame src=deep.html></frameset>";
  host.pages[u"http://a.com/deep.html"] = "<body>deep</body>";
  host.pages[u"http://b.com/ad.html"] = "<body>elsewhere<iframe src=x.html></iframe></body>";
  auto top = loadPage("<frameset><frame name=left src=left.html><frame src=http://b.com/ad.html>"
                      "<frame src=missing.html></frameset>",
                      "utf-8", "http://a.com/index.html", &host);
  ComObject doc(top.dispatch());
  ComObject frames = doc.getObject("frames");
  ASSERT_EQ(frames.getInteger("length"), 3);

  ComObject left = frames.callObject("item", {Variant(0.0)});
  EXPECT_EQ(left.getText("name"), "left");
  ComObject leftDoc = left.getObject("document");
  ASSERT_FALSE(leftDoc.empty());
  ComObject deep = leftDoc.getObject("frames").callObject("item", {Variant(0.0)});
  EXPECT_EQ(deep.getObject("document").getObject("body").getText("innerText"), "deep");
  EXPECT_TRUE(deep.getObject("parent").getObject("document").sameObject(leftDoc));
  EXPECT_TRUE(deep.getObject("top").sameObject(doc.getObject("parentWindow")));
  EXPECT_TRUE(doc.getObject("parentWindow").getObject("parent").sameObject(doc.getObject("parentWindow")));

  ComObject foreign = frames.callObject("item", {Variant(1.0)});
  EXPECT_FALSE(foreign.empty());
  EXPECT_TRUE(foreign.getObject("document").empty());
  EXPECT_TRUE(foreign.getObject("frames").empty());
  EXPECT_TRUE(frames.callObject("item", {Variant(2.0)}).getObject("document").empty());  // never loaded

  // Frame addresses reach the host resolved; the foreign page's own iframe was announced too.
  EXPECT_EQ(host.frameRequests,
            (std::vector<std::u16string>{u"http://a.com/left.html", u"http://a.com/deep.html", u"http://b.com/ad.html",
                                         u"http://b.com/x.html", u"http://a.com/missing.html"}));
}

TEST(Frames, FramesInsertedOrRetargetedLaterAreAnnounced) {
  FakeHost host;
  host.pages[u"http://a.com/f.html"] = "<body>f</body>";
  auto top = loadPage("<body><div id=d></div></body>", "utf-8", "http://a.com/", &host);
  ComObject doc(top.dispatch());
  EXPECT_TRUE(byId(doc, "d").putText("innerHTML", "<iframe id=f src=nothing.html></iframe>"));
  EXPECT_TRUE(byId(doc, "f").putText("src", "f.html"));
  EXPECT_EQ(host.frameRequests.back(), u"http://a.com/f.html");
  ComObject window = byId(doc, "f").getObject("contentWindow");
  EXPECT_EQ(window.getObject("document").getObject("body").getText("innerText"), "f");
}

TEST(Frames, NavigationAndCookiesGoThroughTheHost) {
  FakeHost host;
  auto top = loadPage(
      "<body><a id=a href='next.html' target=_blank>n</a>"
      "<form id=f action=find method=get><input name=q value='a b'><input type=checkbox name=c>"
      "<input type=submit id=go name=go value=Go></form></body>",
      "gbk", "http://a.com/dir/", &host);
  ComObject doc(top.dispatch());
  EXPECT_TRUE(doc.putText("location", "/other"));
  doc.getObject("parentWindow").call("navigate", {Variant(u"http://z.org/")});
  byId(doc, "a").call("click");
  byId(doc, "f").getObject("elements").callObject("item", {Variant(0.0)}).putText("value", ansiLiteral<"中">());
  byId(doc, "go").call("click");
  ASSERT_EQ(host.navigations.size(), 4u);
  EXPECT_EQ(host.navigations[0].url, u"http://a.com/other");
  EXPECT_EQ(host.navigations[1].url, u"http://z.org/");
  EXPECT_EQ(host.navigations[2].url, u"http://a.com/dir/next.html");
  EXPECT_EQ(host.navigations[2].target, u"_blank");
  EXPECT_EQ(host.navigations[3].url, u"http://a.com/dir/find?q=%D6%D0&go=Go");  // code page 936 bytes

  EXPECT_TRUE(doc.putText("cookie", "sid=42; path=/"));
  EXPECT_EQ(doc.getText("cookie"), "sid=42");
  EXPECT_EQ(host.cookieLine, u"sid=42");
}

}  // namespace
}  // namespace trenmoor::html
