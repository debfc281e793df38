// Page-wide operations over large pages: keyword highlighting over 200 KB of text with 1,000
// occurrences, and the census of 10,000 text inputs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "attached_page.h"

namespace {

using namespace trenmoor;

void highlightKeywordOnALargePage(benchmark::State& state) {
  // 1,000 paragraphs of about 200 characters, each holding the keyword once.
  std::string markup = "<body>";
  const std::string filler(90, 'x');
  for (int i = 0; i < 1000; ++i)
    markup += "<p>" + filler + " paragraph " + std::to_string(i) + " keyword " + filler + "</p>";
  markup += "</body>";
  for (auto _ : state) {
    state.PauseTiming();
    auto page = std::make_unique<AttachedPage>(markup);
    state.ResumeTiming();
    page->driver.highlightKeyword("keyword");
    state.PauseTiming();
    page.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(highlightKeywordOnALargePage)->Unit(benchmark::kMillisecond);

void censusOfTextInputs(benchmark::State& state) {
  std::string markup = "<body><form>";
  for (int i = 0; i < 10000; ++i)
    markup += "<input type=text name=n" + std::to_string(i) + " id=i" + std::to_string(i) + " value=v>";
  AttachedPage page(markup + "</form></body>");
  for (auto _ : state) {
    std::vector<Text> innerTexts, values, names, ids, typeNames, hrefs, srcs, sizesA, sizesB, checkedStates,
        outerHtmls, titles, titledHrefs;
    std::vector<ComObject> elements;
    benchmark::DoNotOptimize(page.driver.takeElementCensus(2, "input", "text", innerTexts, values, names, ids,
                                                           typeNames, hrefs, srcs, sizesA, sizesB, checkedStates,
                                                           outerHtmls, false, titles, titledHrefs, elements));
  }
}
BENCHMARK(censusOfTextInputs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
