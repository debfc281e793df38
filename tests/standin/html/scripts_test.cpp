// Page scripts: handlers, events and default actions, the driver's calls meeting scripts,
// dialogs, execScript, contained errors, document.write, style sheets and XMLHttpRequest.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "page_fixture.h"
#include "standin/desktop/desktop.h"
#include "standin/html/document_host.h"
#include "standin/html/script_clock.h"
#include "platform/text.h"
#include "standin/toolkit/scripted_user.h"

namespace trenmoor::html {
namespace {

// Records navigations; answers requests later through the desktop's queue.
class RecordingHost final : public DocumentHost {
 public:
  std::vector<NavigationRequest> navigations;
  std::vector<FetchRequest> requests;
  FetchResponse answer;

  void navigate(Document&, const NavigationRequest& request) override { navigations.push_back(request); }
  void loadFrame(Document&, Element&, std::u16string_view) override {}
  std::u16string cookies(std::u16string_view) override { return u"sid=42"; }
  bool setCookie(std::u16string_view, std::u16string_view) override { return true; }
  void fetch(Document&, const FetchRequest& request, std::function<void(FetchResponse)> done) override {
    requests.push_back(request);
    desktop::Desktop::current().post([done, answer = answer] { done(answer); });
  }
};

class ScriptsTest : public ::testing::Test {
 protected:
  ScriptsTest() { toolkit::Toolkit::current().reset(); }
  ~ScriptsTest() override { toolkit::Toolkit::current().reset(); }

  Ref<Document> page(std::string_view markup) { return loadPage(markup, "utf-8", kPageAddress, &host_); }
  toolkit::ScriptedUser& user(const std::string& scenario) {
    std::string error;
    auto parsed = toolkit::ScriptedUser::parse(scenario, "/data", error);
    EXPECT_TRUE(parsed) << error;
    user_ = std::make_unique<toolkit::ScriptedUser>(parsed.value_or(toolkit::ScriptedUser::Scenario{}));
    user_->start();
    return *user_;
  }
  std::size_t boxesShown() const {
    std::size_t n = 0;
    for (const auto& line : user_->transcript()) n += line.find("box open") != std::string::npos;
    return n;
  }

  desktop::Desktop desktop_{desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded};
  RecordingHost host_;
  std::unique_ptr<toolkit::ScriptedUser> user_;
};

std::string title(Document& d) { return ComObject(DispatchRef(&d)).getText("title"); }

TEST_F(ScriptsTest, HandlersRunOnceEachInOrderAndBubbleToTheDocument) {
  auto d = page(
      "<title></title><body><div id=outer onclick=\"document.title += 'outer;'\">"
      "<a id=inner href=next.html onclick=\"document.title += 'inner:' + window.event.srcElement.id + ';'\">x</a>"
      "</div><script>document.onclick = function () { document.title += 'document;'; };</script></body>");
  ComObject doc(d.dispatch());
  byId(doc, "inner").call("click");
  EXPECT_EQ(title(*d), "inner:inner;outer;document;");
  ASSERT_EQ(host_.navigations.size(), 1u);
  EXPECT_EQ(host_.navigations[0].url, u"http://example.com/dir/next.html");
  EXPECT_TRUE(d->scriptErrors().empty());
  // The driver sees the handler a script assigned, as an object; writing empty clears it.
  EXPECT_FALSE(doc.getObject("onclick").empty());
  EXPECT_TRUE(doc.put("onclick", Variant()));
  EXPECT_TRUE(doc.getObject("onclick").empty());
  EXPECT_TRUE(byId(doc, "inner").putText("onclick", "document.title = 'from the driver'"));
  byId(doc, "inner").call("click");
  EXPECT_EQ(title(*d), "from the driverouter;");  // the outer handler still sees it bubble
}

TEST_F(ScriptsTest, CancelledClicksHaveNoDefaultAction) {
  struct Case {
    const char* handler;
    bool navigates;
  } cases[] = {
      {"", true},
      {"return false", false},
      {"window.event.returnValue = false", false},
      {"event.returnValue = false", false},
      {"return true", true},
      {"window.event.cancelBubble = true", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.handler);
    host_.navigations.clear();
    auto d = page(std::string("<a id=a href=x.html target=_blank onclick=\"") + c.handler + "\">x</a>");
    byId(ComObject(d.dispatch()), "a").call("click");
    ASSERT_EQ(host_.navigations.size(), c.navigates ? 1u : 0u);
    if (c.navigates) {
      EXPECT_EQ(host_.navigations[0].target, u"_blank");
    }
  }
  // A link without a target navigates its own window; a javascript: link runs instead.
  host_.navigations.clear();
  auto d = page("<title>t</title><a id=own href=y.html>y</a><a id=js href=\"javascript:document.title='ran%20it'\">j</a>");
  ComObject doc(d.dispatch());
  byId(doc, "own").call("click");
  byId(doc, "js").call("click");
  ASSERT_EQ(host_.navigations.size(), 1u);
  EXPECT_EQ(host_.navigations[0].target, u"");
  EXPECT_EQ(title(*d), "ran it");
  doc.getObject("parentWindow").call("navigate", {Variant(u"javascript:document.title='navigated'")});
  EXPECT_EQ(title(*d), "navigated");
  EXPECT_EQ(host_.navigations.size(), 1u);
}

TEST_F(ScriptsTest, FormsSubmitByGetAndPostWithOnsubmitFirst) {
  auto d = page(
      "<form id=g action=find method=get onsubmit=\"document.title += 'submit;'\">"
      "<input name=q value='a b'><input id=go type=submit name=go value=Go></form>"
      "<form id=p action=/post method=post onsubmit='return false'><input name=k value=\xE4\xB8\xAD>"
      "<button id=send>send</button></form>");
  ComObject doc(d.dispatch());
  byId(doc, "go").call("click");
  ASSERT_EQ(host_.navigations.size(), 1u);
  EXPECT_EQ(host_.navigations[0].url, u"http://example.com/dir/find?q=a+b&go=Go");
  EXPECT_EQ(host_.navigations[0].method, u"GET");
  EXPECT_EQ(title(*d), "submit;");

  byId(doc, "send").call("click");  // onsubmit cancels
  EXPECT_EQ(host_.navigations.size(), 1u);
  byId(doc, "p").call("submit");  // submit() does not ask onsubmit
  ASSERT_EQ(host_.navigations.size(), 2u);
  EXPECT_EQ(host_.navigations[1].method, u"POST");
  EXPECT_EQ(host_.navigations[1].url, u"http://example.com/post");
  EXPECT_EQ(host_.navigations[1].body, "k=%E4%B8%AD");
}

TEST_F(ScriptsTest, CheckBoxesToggleAndRadioButtonsChooseOneOfTheirGroup) {
  auto d = page(
      "<input id=c type=checkbox><input id=never type=checkbox onclick='return false'>"
      "<input id=r1 type=radio name=g checked><input id=r2 type=radio name=g>"
      "<select id=s onchange=\"document.title='changed'\"><option>a<option>b</select>");
  ComObject doc(d.dispatch());
  ComObject box = byId(doc, "c");
  box.call("click");
  EXPECT_EQ(box.getText("checked"), "-1");
  box.call("click");
  EXPECT_EQ(box.getText("checked"), "0");
  byId(doc, "never").call("click");
  EXPECT_FALSE(byId(doc, "never").getLogical("checked"));
  byId(doc, "r2").call("click");
  EXPECT_FALSE(byId(doc, "r1").getLogical("checked"));
  EXPECT_TRUE(byId(doc, "r2").getLogical("checked"));
  // Writing selectedIndex fires nothing; the driver fires onchange itself.
  EXPECT_TRUE(byId(doc, "s").put("selectedIndex", Variant(1.0)));
  EXPECT_EQ(title(*d), "");
  EXPECT_TRUE(byId(doc, "s").callLogical("fireEvent", {Variant(u"onchange")}));
  EXPECT_EQ(title(*d), "changed");
}

TEST_F(ScriptsTest, FileInputTakesThePathChosenInTheOpenFileDialog) {
  // The toolkit attaches its dialog to the common-dialog library on its first dialog.
  user("choose\nchoose /data/\xE6\x96\x87\xE4\xBB\xB6.txt\nchoose");
  EXPECT_TRUE(ui::openFileDialog({}).empty());
  auto d = page("<input id=f type=file onchange=\"document.title = this.value\">");
  ComObject file = byId(ComObject(d.dispatch()), "f");
  EXPECT_FALSE(file.putText("value", "/etc/passwd"));
  file.call("click");
  EXPECT_EQ(utf8ToWide(ansiToUtf8(file.getText("value"))), u"/data/文件.txt");
  EXPECT_EQ(title(*d), file.getText("value"));
  file.call("click");  // cancelled: the value stays
  EXPECT_EQ(utf8ToWide(ansiToUtf8(file.getText("value"))), u"/data/文件.txt");
}

TEST_F(ScriptsTest, AlertShowsABoxUntilAScriptReplacesIt) {
  auto d = page("<button id=b onclick=\"alert('hello')\">b</button>");
  ComObject doc(d.dispatch());
  user("answer OK\nanswer OK");
  byId(doc, "b").call("click");
  EXPECT_EQ(boxesShown(), 1u);
  ComObject window = doc.getObject("parentWindow");
  window.call("execScript", {Variant(u"function alert(){return;}"), Variant(u"JScript")});
  byId(doc, "b").call("click");
  EXPECT_EQ(boxesShown(), 1u);
  EXPECT_TRUE(d->scriptErrors().empty());

  // confirm and prompt report the answer; Cancel gives false and null.
  user("answer OK\nanswer Cancel\nanswer OK");
  window.call("execScript", {Variant(u"document.title = [confirm('sure?'), confirm('really?'), prompt('name', 'me')].join()")});
  EXPECT_EQ(title(*d), "true,false,me");
}

TEST_F(ScriptsTest, FireEventRunsTheHandlerAndReportsCancellation) {
  auto d = page(
      "<div id=plain></div><div id=counts onmousedown=\"document.title += 'down;'\"></div>"
      "<div id=cancels onmousedown='return false'></div>");
  ComObject doc(d.dispatch());
  EXPECT_TRUE(byId(doc, "plain").callLogical("fireEvent", {Variant(u"onmousedown")}));
  ComObject counts = byId(doc, "counts");
  // As the driver does: the handler read as a raw value, passed along.
  EXPECT_TRUE(counts.callLogical("FireEvent", {Variant(u"onmousedown"), counts.getValue("onmousedown")}));
  EXPECT_EQ(title(*d), "down;");
  EXPECT_FALSE(byId(doc, "cancels").callLogical("fireEvent", {Variant(u"onmousedown")}));
  EXPECT_FALSE(byId(doc, "plain").callLogical("fireEvent", {Variant(u"mousedown")}));  // not an event name
}

TEST_F(ScriptsTest, ExecScriptLanguagesAndErrorsAreContained) {
  auto d = page("<title>start</title>");
  ComObject window = ComObject(d.dispatch()).getObject("parentWindow");
  struct Case {
    const char16_t* language;
    bool runs;
  } cases[] = {{u"JavaScript", true}, {u"JScript", true}, {u"javascript", true}, {nullptr, true}, {u"VBScript", false}};
  for (const auto& c : cases) {
    std::size_t before = d->scriptErrors().size();
    ComObject(d.dispatch()).putText("title", "start");
    if (c.language) window.call("execScript", {Variant(u"document.title = 'ran'"), Variant(c.language)});
    else window.call("execScript", {Variant(u"document.title = 'ran'")});
    EXPECT_EQ(title(*d), c.runs ? "ran" : "start");
    EXPECT_EQ(d->scriptErrors().size() - before, c.runs ? 0u : 1u);
  }
  window.call("execScript", {Variant(u"this is not script"), Variant(u"JavaScript")});
  ASSERT_FALSE(d->scriptErrors().empty());
  EXPECT_NE(d->scriptErrors().back().message.find(u"SyntaxError"), std::u16string::npos);
  EXPECT_EQ(d->scriptErrors().back().source, u"execScript");
  // The driver's unlock scripts, character for character.
  window.call("execScript", {Variant(u"javascript:document.onselectstart = document.oncontextmenu = document.onmousedown = "
                                     u"document.onkeydown = function(){return true;};"),
                             Variant(u"JavaScript")});
  EXPECT_FALSE(ComObject(d.dispatch()).getObject("onkeydown").empty());
}

TEST_F(ScriptsTest, AHandlerThatThrowsDuringADriverClickIsRecorded) {
  auto d = page("<a id=a href=x.html onclick=\"document.title='before'; undefinedFunction();\">x</a>");
  byId(ComObject(d.dispatch()), "a").call("click");
  EXPECT_EQ(title(*d), "before");
  ASSERT_EQ(d->scriptErrors().size(), 1u);
  EXPECT_NE(d->scriptErrors()[0].message.find(u"ReferenceError"), std::u16string::npos);
  EXPECT_EQ(d->scriptErrors()[0].source, u"onclick of A#a");
  EXPECT_EQ(host_.navigations.size(), 1u);  // the error did not cancel the click
}

TEST_F(ScriptsTest, AScriptThatNeverEndsIsStopped) {
  setScriptTimeBudget(std::chrono::milliseconds(50));
  auto d = page("<title>t</title><script>try { while (true) {} } catch (e) { document.title = 'caught'; }</script>"
                "<script>document.title = 'next script ran'</script>");
  setScriptTimeBudget(std::chrono::milliseconds(1000));
  ASSERT_EQ(d->scriptErrors().size(), 1u);
  EXPECT_NE(d->scriptErrors()[0].message.find(u"timeout"), std::u16string::npos);
  EXPECT_EQ(title(*d), "next script ran");
}

TEST_F(ScriptsTest, ScriptsAndTheDriverShareOneObjectModel) {
  auto d = page(
      "<body><form name=login><input id=u name=user value=v></form>"
      "<script>var seen = document.getElementById('u');"
      "document.title = [seen === document.forms[0].user, seen === document.login.elements[0],"
      " document.all.length > 3, seen.form.tagName].join();</script></body>");
  ComObject doc(d.dispatch());
  EXPECT_EQ(title(*d), "true,true,true,FORM");
  for (const auto& e : d->scriptErrors()) ADD_FAILURE() << wideToUtf8(e.message);
  ComObject window = doc.getObject("parentWindow");
  byId(doc, "u").putText("value", "from driver");
  window.call("execScript", {Variant(u"seen.value += '+script'; seen.setAttribute('data-x', 'y');")});
  EXPECT_EQ(byId(doc, "u").getText("value"), "from driver+script");
  EXPECT_EQ(ComObject::variantText(byId(doc, "u").callValue("getAttribute", {Variant(u"data-x")})), "y");
  EXPECT_TRUE(d->scriptErrors().empty());
}

TEST_F(ScriptsTest, FocusMovesTheActiveElementWithBlurThenFocus) {
  auto d = page("<input id=a onfocus=\"document.title += 'focus a;'\" onblur=\"document.title += 'blur a;'\">"
                "<input id=b onfocus=\"document.title += 'focus b;'\">");
  ComObject doc(d.dispatch());
  byId(doc, "a").call("focus");
  byId(doc, "a").call("focus");  // already active: nothing fires
  byId(doc, "b").call("focus");
  EXPECT_EQ(title(*d), "focus a;blur a;focus b;");
  EXPECT_TRUE(doc.getObject("activeElement").sameObject(byId(doc, "b")));
}

TEST_F(ScriptsTest, DocumentWriteWhileLoadingAndOnloadOnCompletion) {
  auto d = page("<body><p id=first>1</p><script>document.write('<p id=written>2</p><scr' + 'ipt>document.write(\"<i id=nested></i>\")</scr' + 'ipt>');"
                "document.getElementById('written').className = 'seen';</script><p id=last>3</p></body>"
                "<script>window.onload = function () { document.title = 'loaded'; };</script>");
  ComObject doc(d.dispatch());
  EXPECT_EQ(doc.getObject("body").getText("innerText"), "1\r\n2\r\n3");
  EXPECT_EQ(byId(doc, "written").getText("className"), "seen");
  EXPECT_FALSE(byId(doc, "nested").empty());
  EXPECT_EQ(title(*d), "");
  d->setReadyState(LoadingState::Complete);
  EXPECT_EQ(title(*d), "loaded");
  // After loading, write replaces the document.
  doc.getObject("parentWindow").call("execScript", {Variant(u"document.write('<p>fresh</p>'); document.close();")});
  EXPECT_EQ(doc.getObject("body").getText("innerHTML"), "<P>fresh</P>");
}

TEST_F(ScriptsTest, CreatedStyleSheetsReachTheComputedStyle) {
  auto d = page("<html><head><style>.hidden { display: none }</style></head>"
                "<body><div id=d class=hidden>x</div><span id=s style='display: block'>y</span></body></html>");
  ComObject doc(d.dispatch());
  ComObject html = doc.getObject("documentElement");
  EXPECT_EQ(html.getObject("currentStyle").getText("overflow"), "visible");
  doc.getObject("parentWindow").call("execScript", {Variant(u"var jie = document.createStyleSheet();jie.addRule('html','overflow:hidden;');")});
  EXPECT_EQ(html.getObject("currentStyle").getText("overflow"), "hidden");
  EXPECT_EQ(byId(doc, "d").getObject("currentStyle").getText("display"), "none");
  EXPECT_EQ(byId(doc, "s").getObject("currentStyle").getText("display"), "block");
  byId(doc, "d").getObject("style").putText("display", "inline");
  EXPECT_EQ(byId(doc, "d").getObject("currentStyle").getText("display"), "inline");
  EXPECT_TRUE(d->scriptErrors().empty());
}

TEST_F(ScriptsTest, RequestsGoThroughTheHostAndAnswerLater) {
  host_.answer = FetchResponse{200, "OK", {{"Content-Type", "text/plain; charset=utf-8"}}, "pong", {}};
  auto d = page("<script>var log = [typeof new ActiveXObject('Microsoft.XMLHTTP').send];"
                "var x = new XMLHttpRequest();"
                "x.onreadystatechange = function () { log.push(x.readyState + ':' + (x.readyState == 4 ? x.status + x.responseText : '')); };"
                "x.onload = function () { document.title = log.join(); };"
                "x.open('POST', 'api?a=1', true); x.setRequestHeader('X-Test', 'yes'); x.send('ping');"
                "log.push('sent');</script>");
  EXPECT_EQ(title(*d), "");  // nothing ran inside send
  desktop_.runUntil([&] { return !title(*d).empty(); });
  EXPECT_EQ(title(*d), "function,1:,sent,4:200pong");
  ASSERT_EQ(host_.requests.size(), 1u);
  EXPECT_EQ(host_.requests[0].method, u"POST");
  EXPECT_EQ(host_.requests[0].url, u"http://example.com/dir/api?a=1");
  EXPECT_EQ(host_.requests[0].body, "ping");
  auto header = [&](const std::string& name) {
    for (const auto& [n, v] : host_.requests[0].headers)
      if (n == name) return v;
    return std::string();
  };
  EXPECT_EQ(header("X-Test"), "yes");
  EXPECT_EQ(header("Cookie"), "sid=42");

  // A page without a host gets a network error, after the current event.
  auto lonely = loadPage("<script>var r = new XMLHttpRequest(); r.open('GET', 'x');"
                         "r.onerror = function () { document.title = 'error ' + r.status; }; r.send();</script>");
  EXPECT_EQ(title(*lonely), "");
  desktop_.runUntil([&] { return !title(*lonely).empty(); });
  EXPECT_EQ(title(*lonely), "error 0");
}

}  // namespace
}  // namespace trenmoor::html
