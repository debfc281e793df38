// Finder walks through late binding: a full walk of 10,000 inputs, and clickLink on a share page.
#include <benchmark/benchmark.h>

#include <string>

#include "attached_page.h"

namespace {

using namespace trenmoor;

void findTextInputFullWalk(benchmark::State& state) {
  std::string markup = "<body><form>";
  for (int i = 0; i < 10000; ++i)
    markup += "<input type=" + std::string(i % 3 ? "text" : "hidden") + " name=n" + std::to_string(i) + " id=i" +
              std::to_string(i) + ">";
  AttachedPage page(markup + "</form></body>");
  for (auto _ : state) benchmark::DoNotOptimize(page.driver.findTextInput("no such key"));
}
BENCHMARK(findTextInputFullWalk)->Unit(benchmark::kMillisecond);

void clickLinkOnSharePage(benchmark::State& state) {
  std::string markup = "<body><div class=header><a href=/>home</a><a href=/disk>disk</a></div><div class=share>";
  for (int i = 0; i < 60; ++i)
    markup += "<div class=row><span class=name>file" + std::to_string(i) + ".zip</span><span>12 MB</span>"
              "<a class=dl href=/d/" + std::to_string(i) + ">download</a></div>";
  markup += "<input id=accessCode name=accessCode><a id=submitBtn href=#>submit</a>"
            "<a class=g-button id=emphasizeButton href=#>save</a><ul><li><a id=_disk_id_14 href=#>folder</a></li></ul>"
            "</div></body>";
  AttachedPage page(markup);
  for (auto _ : state) benchmark::DoNotOptimize(page.driver.clickLink("_disk_id_14"));
}
BENCHMARK(clickLinkOnSharePage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
