// Form controls: labelling a form-heavy page of 2,000 controls, and choosing an option by its
// text in a select of 10,000 options.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "attached_page.h"

namespace {

using namespace trenmoor;

// 2,000 controls of every kind the labelling visits, mixed in turn.
std::string formHeavyPage() {
  static const char* const kControls[] = {
      "<input type=text name=t>",       "<input type=password>", "<textarea>x</textarea>",
      "<input type=radio name=g>",      "<input type=checkbox>", "<input type=submit value=go>",
      "<button>b</button>",             "<select><option>a</option><option>b</option></select>",
      "<cite>c</cite>",                 "<input type=image src=i.png>"};
  std::string markup = "<body><form>";
  for (int i = 0; i < 2000; ++i) markup += kControls[i % 10];
  return markup + "</form></body>";
}

void markAllFormControlsOnAFormHeavyPage(benchmark::State& state) {
  const std::string markup = formHeavyPage();
  for (auto _ : state) {
    state.PauseTiming();
    auto page = std::make_unique<AttachedPage>(markup);  // labels are inserted: a fresh page each time
    state.ResumeTiming();
    page->driver.markAllFormControls();
    state.PauseTiming();
    page.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(markAllFormControlsOnAFormHeavyPage)->Unit(benchmark::kMillisecond);

void selectOptionByTextAmong10000(benchmark::State& state) {
  std::string markup = "<body><select>";
  for (int i = 0; i < 10000; ++i) markup += "<option value=" + std::to_string(i) + ">option " + std::to_string(i) + "</option>";
  AttachedPage page(markup + "</select></body>");
  for (auto _ : state) benchmark::DoNotOptimize(page.driver.selectOptionByText(1, "option 9999"));
}
BENCHMARK(selectOptionByTextAmong10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
