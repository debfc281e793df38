// Table reads through late binding: the last cell of a 100 x 100 table, and the row count of a
// table on a page of 1,000 tables.
#include <benchmark/benchmark.h>

#include <string>

#include "attached_page.h"

namespace {

using namespace trenmoor;

void getCellTextLastOf100By100(benchmark::State& state) {
  std::string markup = "<body><table>";
  for (int r = 0; r < 100; ++r) {
    markup += "<tr>";
    for (int c = 0; c < 100; ++c) markup += "<td>" + std::to_string(r) + ":" + std::to_string(c) + "</td>";
    markup += "</tr>";
  }
  AttachedPage page(markup + "</table></body>");
  for (auto _ : state) benchmark::DoNotOptimize(page.driver.getCellText(1, 100, 100));
}
BENCHMARK(getCellTextLastOf100By100)->Unit(benchmark::kMicrosecond);

void getRowCountOn1000Tables(benchmark::State& state) {
  std::string markup = "<body>";
  for (int t = 0; t < 1000; ++t) markup += "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>";
  AttachedPage page(markup + "</body>");
  for (auto _ : state) benchmark::DoNotOptimize(page.driver.getRowCount(1000));
}
BENCHMARK(getRowCountOn1000Tables)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
