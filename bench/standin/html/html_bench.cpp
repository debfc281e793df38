// Speed of the HTML stand-in: parsing into our tree, a late-bound member read, and walking a
// large live collection as the driver does.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/com_object.h"
#include "standin/html/dom.h"

namespace trenmoor::html {
namespace {

Ref<Document> load(const std::string& markup, const char* charset = "utf-8") {
  auto bytes = reinterpret_cast<const std::uint8_t*>(markup.data());
  return Document::load(PageSource{{bytes, markup.size()}, "http://example.com/page.html", charset});
}

// About 1 MB of an ordinary page: nested blocks, links, inputs, a table and Chinese text.
std::string largePage(bool codePage936) {
  std::string row =
      "<div class=\"item\"><a href=\"/share/link?id=12345\" title=\"分享\">链接 文件名称.zip</a>"
      "<span class=\"size\">12.5 MB</span><input type=\"checkbox\" name=\"pick\" value=\"12345\">"
      "<table><tr><td>提取码</td><td><input type=\"text\" name=\"code\"></td></tr></table>"
      "<p>Some text of the page with <b>bold</b> and <i>italic</i> words.</p></div>\n";
  std::string page = "<html><head><title>网盘</title></head><body>";
  while (page.size() < (1u << 20)) page += row;
  page += "</body></html>";
  return codePage936 ? utf8ToAnsi(page) : page;
}

void parsePage(benchmark::State& state, bool codePage936) {
  std::string page = largePage(codePage936);
  for (auto _ : state) benchmark::DoNotOptimize(load(page, codePage936 ? "gbk" : "utf-8"));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
void BM_ParseUtf8Page(benchmark::State& state) { parsePage(state, false); }
void BM_ParseCodePage936Page(benchmark::State& state) { parsePage(state, true); }
BENCHMARK(BM_ParseUtf8Page)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseCodePage936Page)->Unit(benchmark::kMillisecond);

void BM_ReadTypeThroughComObject(benchmark::State& state) {
  auto document = load("<body><input id=x type=password name=accessCode></body>");
  ComObject input(DispatchRef(document->elementById(u"x")));
  for (auto _ : state) benchmark::DoNotOptimize(input.getText("type"));
}
BENCHMARK(BM_ReadTypeThroughComObject);

void BM_WalkTenThousandInputs(benchmark::State& state) {
  std::string page = "<body><form>";
  for (int i = 0; i < 10000; ++i)
    page += "<input type=" + std::string(i % 3 ? "text" : "hidden") + " name=n" + std::to_string(i) + ">";
  page += "</form></body>";
  auto document = load(page);
  ComObject doc(document.dispatch());
  for (auto _ : state) {
    ComObject inputs = doc.getObject("body").getObject("all").callObject("tags", {Variant(u"input")});
    std::int32_t n = inputs.getInteger("length");
    std::size_t total = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      ComObject input = inputs.callObject("item", {Variant(static_cast<double>(i))});
      total += input.getText("type").size() + input.getText("name").size();
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_WalkTenThousandInputs)->Unit(benchmark::kMillisecond);

// A page script reading a member through the shared tables, and a driver click that runs a
// handler: the cost of entering the engine.
void BM_ScriptReadsMembers(benchmark::State& state) {
  auto document = load("<body><input id=x type=password name=accessCode></body>");
  ComObject window = ComObject(document.dispatch()).getObject("parentWindow");
  window.call("execScript", {Variant(u"var input = document.getElementById('x'); function readType(n) {"
                                     u" var t; for (var i = 0; i < n; ++i) t = input.type; return t; }")});
  for (auto _ : state) window.call("execScript", {Variant(u"readType(1000)")});
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_ScriptReadsMembers)->Unit(benchmark::kMicrosecond);

void BM_ClickRunsHandler(benchmark::State& state) {
  auto document = load("<body><button id=b onclick='this.value = 1'>b</button></body>");
  ComObject button(DispatchRef(document->elementById(u"b")));
  for (auto _ : state) button.call("click");
}
BENCHMARK(BM_ClickRunsHandler);

}  // namespace
}  // namespace trenmoor::html

BENCHMARK_MAIN();
