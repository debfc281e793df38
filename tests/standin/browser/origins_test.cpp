// What a page may reach: each probe runs in a page and writes what it got into the title. From
// a page of the network, local files, other sites and other origins' documents are refused;
// the same probes within one origin, or from a local page, succeed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "browser_fixture.h"
#include "platform/text.h"
#include "standin/browser/web_address.h"

namespace trenmoor::browser {
namespace {

class OriginsTest : public BrowserFixture {
 protected:
  OriginsTest() {
    folder_ = std::filesystem::temp_directory_path() / ("trenmoor_origins_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "secret.html") << "<p>SECRET</p>";
    fileUrl_ = "file://" + (folder_ / "secret.html").string();
    network_->cookies().store("http://other.test/", "sid=other", CookieAccess::Http);
    network_->cookies().store("http://open.test/", "sid=open", CookieAccess::Http);
    network_->cookies().store("http://share.test/", "sid=share", CookieAccess::Http);
    serve("other.test", {{"/data", SiteResponse::page("OTHER")},
                         {"/page", SiteResponse::page("<title>other</title><p>other page</p>")}});
    serve("open.test", {{"/data", SiteResponse::page("OPEN").withHeader("Access-Control-Allow-Origin",
                                                                        "http://share.test")},
                        {"/any", SiteResponse::page("ANY").withHeader("Access-Control-Allow-Origin", "*")},
                        {"/else", SiteResponse::page("ELSE").withHeader("Access-Control-Allow-Origin",
                                                                        "http://else.test")}});
    serve("b.share.test", {{"/inner", SiteResponse::page("<script>document.domain = 'share.test'</script>inner")},
                           {"/plain", SiteResponse::page("plain")}});
  }
  ~OriginsTest() override { std::filesystem::remove_all(folder_); }

  // Shows `markup` as the page at `url` (http: from an in-process site, file: from a file).
  void show(const std::string& url, const std::string& markup) {
    if (url.starts_with("file:")) {
      std::ofstream(folder_ / "page.html") << markup;
      browser_->navigate("file://" + (folder_ / "page.html").string());
    } else {
      auto address = parseWebAddress(url);
      serve(address->host, {{address->path, SiteResponse::page(markup)},
                            {"/data", SiteResponse::page("DATA")},
                            {"/redirect", SiteResponse::redirect(fileUrl_)},
                            {"/blank", SiteResponse::page("<p>blank</p>")}});
      browser_->navigate(url);
    }
    settle();
  }

  std::string withFile(std::string text) const {
    for (std::size_t at; (at = text.find("FILE")) != std::string::npos;) text.replace(at, 4, fileUrl_);
    return text;
  }

  std::filesystem::path folder_;
  std::string fileUrl_;
};

// A script's request: "status:text", or "error" from its error event.
std::string request(const std::string& url, bool async) {
  std::string open = "x.open('GET', '" + url + "', " + (async ? "true" : "false") + ");";
  if (!async) return "var x = new XMLHttpRequest();" + open + "x.send(); document.title = x.status + ':' + x.responseText;";
  return "var x = new XMLHttpRequest();" + open +
         "x.onload = function () { document.title = x.status + ':' + x.responseText; };"
         "x.onerror = function () { document.title = 'error:' + x.status + x.responseText + x.getAllResponseHeaders(); };"
         "x.send();";
}

const char kReadFrame[] =
    "<body onload=\"try { document.title = frames[0].document.body.innerText } catch (e) { document.title = 'denied' }\">";

struct Probe {
  const char* name;
  const char* page;    // where the probing page is
  std::string markup;  // FILE stands for the local file's address
  const char* title;   // what the page got
};

TEST_F(OriginsTest, ProbesReachOnlyWhatThePagesOriginAllows) {
  const Probe probes[] = {
      {"frame of a local file from the network", "http://share.test/", std::string(kReadFrame) + "<iframe src='FILE'></iframe>", "denied"},
      {"frame of a local file from a local page", "file:", std::string(kReadFrame) + "<iframe src='FILE'></iframe>", "SECRET"},
      {"frame of another site", "http://share.test/", std::string(kReadFrame) + "<iframe src='http://other.test/page'></iframe>", "denied"},
      {"frame of the same site", "http://share.test/", std::string(kReadFrame) + "<iframe src='/blank'></iframe>", "blank"},
      {"about:blank frame written by its creator", "http://share.test/",
       "<body onload=\"var d = frames[0].document; d.write('<p>mine</p>'); d.close();"
       " document.title = frames[0].document.body.innerText\"><iframe></iframe>", "mine"},
      {"data: frame", "http://share.test/", std::string(kReadFrame) + "<iframe src='data:text/html,<p>data</p>'></iframe>", "denied"},
      {"frame reaching its parent across origins", "http://share.test/",
       "<title>top</title><iframe src='http://b.share.test/plain'></iframe>"
       "<script>try { frames[0].parent.document.title = 'reached' } catch (e) {}</script>", "top"},
      {"document.domain set by both subdomains", "http://a.share.test/",
       std::string(kReadFrame) + "<script>document.domain = 'share.test'</script><iframe src='http://b.share.test/inner'></iframe>", "inner"},
      {"document.domain set by one side only", "http://a.share.test/",
       std::string(kReadFrame) + "<script>document.domain = 'share.test'</script><iframe src='http://b.share.test/plain'></iframe>", "denied"},
      {"document.domain beyond the host's own suffixes", "http://a.share.test/",
       "<script>document.domain = 'test'; document.domain = 'other.test'; document.title = document.domain</script>", "a.share.test"},
      {"synchronous request for a local file", "http://share.test/", "<script>" + request("FILE", false) + "</script>", "0:"},
      {"asynchronous request for a local file", "http://share.test/", "<script>" + request("FILE", true) + "</script>", "error:0"},
      {"request redirected to a local file", "http://share.test/", "<script>" + request("/redirect", true) + "</script>", "error:0"},
      {"request from a local page for a local file", "file:", "<script>" + request("FILE", false) + "</script>", "200:<p>SECRET</p>"},
      {"request to another site", "http://share.test/", "<script>" + request("http://other.test/data", true) + "</script>", "error:0"},
      {"request to another site naming another origin", "http://share.test/", "<script>" + request("http://open.test/else", false) + "</script>", "0:"},
      {"request to the same site", "http://share.test/", "<script>" + request("/data", true) + "</script>", "200:DATA"},
      {"request allowed for this origin", "http://share.test/", "<script>" + request("http://open.test/data", true) + "</script>", "200:OPEN"},
      {"request allowed for any origin", "http://share.test/", "<script>" + request("http://open.test/any", false) + "</script>", "200:ANY"},
  };
  for (const Probe& probe : probes) {
    SCOPED_TRACE(probe.name);
    show(probe.page, withFile(probe.markup));
    EXPECT_EQ(document().getText("title"), probe.title);
  }
  // Scripts' requests to other sites carried none of the user's cookies; the page's own did.
  for (const SiteRequest& r : requests_) {
    SCOPED_TRACE(r.url);
    if (r.path == "/data" || r.path == "/any" || r.path == "/else") {
      EXPECT_EQ(r.header("Cookie").empty(), !r.url.starts_with("http://share.test/"));
    }
  }
}

// Whether the browser, one of its frames or a popup shows `url`.
bool shows(const Browser& browser, const std::string& url) {
  bool found = browser.address() == url;
  if (browser.document())
    browser.document()->forEachElement([&](html::Element& e) {
      found = found || (e.contentDocument() && e.contentDocument()->address() == utf8ToWide(url));
    });
  for (const auto& popup : browser.popups()) found = found || shows(*popup, url);
  return found;
}

TEST_F(OriginsTest, NetworkPagesCannotSendAWindowToALocalFileButTheProgramCan) {
  const char* clickOnLoad = "<body onload=\"document.getElementById('go').click()\">";
  const std::pair<const char*, std::string> probes[] = {
      {"link", std::string(clickOnLoad) + "<a id=go href='TARGET'>go</a>"},
      {"link into a frame", std::string(clickOnLoad) + "<iframe name=f src='/blank'></iframe><a id=go href='TARGET' target=f>go</a>"},
      {"link to a popup", std::string(clickOnLoad) + "<a id=go href='TARGET' target=_blank>go</a>"},
      {"form to a named window", "<form id=f method=post action='TARGET' target=pop></form><script>document.getElementById('f').submit()</script>"},
      {"location", "<script>location.href = 'TARGET'</script>"},
      {"navigate", "<script>window.navigate('TARGET')</script>"},
      {"frame's location", "<iframe src='/blank'></iframe><body onload=\"frames[0].location = 'TARGET'\">"},
  };
  const std::string sameSite = "http://share.test/data";
  for (const auto& [name, markup] : probes) {
    SCOPED_TRACE(name);
    for (const std::string& target : {fileUrl_, sameSite}) {
      std::string page = markup;
      page.replace(page.find("TARGET"), 6, target);
      browser_ = std::make_unique<Browser>(network_, box_);
      show("http://share.test/", page);
      EXPECT_EQ(shows(*browser_, target), target == sameSite);
      EXPECT_TRUE(browser_->document()->scriptErrors().empty());
    }
  }
  show("http://share.test/", "<script>location.href = '/redirect'</script>");
  EXPECT_EQ(bodyText().find("SECRET"), std::string::npos);

  // The program's own navigation, and the object model used by the program, reach the file.
  browser_->navigate(fileUrl_);
  settle();
  EXPECT_NE(bodyText().find("SECRET"), std::string::npos);
  show("http://share.test/", "<p>share</p>");
  document().getObject("parentWindow").call("navigate", {Variant(utf8ToWide(fileUrl_))});
  settle();
  EXPECT_NE(bodyText().find("SECRET"), std::string::npos);
}

TEST_F(OriginsTest, TheProgramSeesAForeignFrameAsAnEmptyDocumentAndScriptAddressesStayHome) {
  show("http://share.test/",
       "<iframe name=o src='http://other.test/page'></iframe><a id=go href=\"javascript:document.title='ran'\" target=o>go</a>"
       "<body onload=\"frames[0].location = 'javascript:document.title=\\'hacked\\''; document.getElementById('go').click()\">");
  EXPECT_TRUE(document().getObject("frames").callObject("item", {Variant(0.0)}).getObject("document").empty());
  for (const auto& e : browser_->document()->scriptErrors()) ADD_FAILURE() << wideToUtf8(e.message);
  EXPECT_EQ(document().getText("title"), "ran");  // in the page that asked, not in the frame
  browser_->document()->forEachElement([](html::Element& e) {
    if (e.contentDocument()) {
      EXPECT_EQ(ComObject(e.contentDocument().dispatch()).getText("title"), "other");
    }
  });
}

}  // namespace
}  // namespace trenmoor::browser
