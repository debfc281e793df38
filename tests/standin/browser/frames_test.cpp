// Frames: loaded through the browser with their own latencies, holding the ready state at 3
// until the last one arrives; readable within a domain and refused across domains.
#include <gtest/gtest.h>

#include "browser_fixture.h"

namespace trenmoor::browser {
namespace {

using FramesTest = BrowserFixture;

ComObject frameWindow(const ComObject& document, double index) {
  return document.getObject("frames").callObject("item", {Variant(index)});
}

TEST_F(FramesTest, FramesLoadInParallelAndTheStateCompletesWithTheLast) {
  serve("a.test", {{"/", SiteResponse::page("<iframe name=main src=/inner.html></iframe>"
                                            "<iframe src=http://b.test/ad.html></iframe><iframe></iframe>")
                             .withLatency(100)},
                   {"/inner.html", SiteResponse::page("<p>inner</p><iframe src=deep.html></iframe>").withLatency(50)},
                   {"/deep.html", SiteResponse::page("<p>deep</p>").withLatency(30)},
                   {"/other.html", SiteResponse::page("<p>other</p>").withLatency(40)}});
  serve("b.test", {{"/ad.html", SiteResponse::page("<p>ad</p>").withLatency(20)}});
  browser_->navigate("http://a.test/");
  runTo(99);
  EXPECT_EQ(state(), 1);
  runTo(100);
  EXPECT_EQ(state(), 3);
  EXPECT_EQ(document().getText("readyState"), "interactive");
  runTo(179);  // inner arrived at 150 and found deep, due at 180
  EXPECT_EQ(state(), 3);
  runTo(180);
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(document().getText("readyState"), "complete");

  ComObject inner = frameWindow(document(), 0).getObject("document");
  EXPECT_EQ(inner.getObject("body").getText("innerText"), "inner");
  EXPECT_EQ(frameWindow(inner, 0).getObject("document").getObject("body").getText("innerText"), "deep");
  EXPECT_TRUE(frameWindow(document(), 1).getObject("document").empty());  // b.test: refused
  EXPECT_EQ(frameWindow(document(), 2).getObject("document").getText("URL"), "about:blank");

  // A link aimed at the frame by name loads into that frame; the page stays and stays complete.
  ComObject top = document();
  inner.getObject("body").call("insertAdjacentHTML", {Variant(u"beforeEnd"), Variant(u"<a id=go href=other.html target=main>o</a>")});
  inner.callObject("getElementById", {Variant(u"go")}).call("click");
  runTo(220);
  EXPECT_EQ(state(), 4);
  EXPECT_TRUE(document().sameObject(top));
  EXPECT_EQ(frameWindow(document(), 0).getObject("document").getObject("body").getText("innerText"), "other");
}

TEST_F(FramesTest, FailingAndSelfNestingFramesStillComplete) {
  serve("a.test", {{"/", SiteResponse::page("<iframe src=/gone></iframe><iframe src=/self></iframe>")},
                   {"/self", SiteResponse::page("<iframe src=/self></iframe>")}});
  browser_->navigate("http://a.test/");
  settle();
  EXPECT_EQ(state(), 4);
  EXPECT_EQ(frameWindow(document(), 0).getObject("document").getText("title"), ansiLiteral<"无法显示此页">());
  EXPECT_LE(requests_.size(), static_cast<std::size_t>(Browser::kMaxFrameDepth + 2));
}

}  // namespace
}  // namespace trenmoor::browser
