// Importing and counting a list of 1,000,000 lines (about 60 MB) through the add-file handler.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/link_import.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace {

using namespace trenmoor;

std::string makeList(std::size_t lines) {
  std::filesystem::path path = std::filesystem::temp_directory_path() / "trenmoor-bench-links.txt";
  std::ofstream out(path, std::ios::binary);
  char line[128];
  for (std::size_t i = 0; i < lines; ++i) {
    int n = std::snprintf(line, sizeof line, "https://pan.baidu.com/s/1%09zuAbCdEfGhIjKlMnOp %04zu\r\n", i, i % 10000);
    out.write(line, n);
  }
  return path.string();
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void importMillionLines(benchmark::State& state) {
  const std::string path = makeList(1'000'000);
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  desktop::Desktop desktop(desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded);
  toolkit::Toolkit::current().reset();
  long before = peakKilobytes();
  for (auto _ : state) {
    state.PauseTiming();
    app::TransferState transfer;
    app::MainWindow window(transfer);
    std::string error;
    toolkit::ScriptedUser user(*toolkit::ScriptedUser::parse("choose " + path + "\nanswer OK", "", error));
    user.start();
    state.ResumeTiming();
    app::importLinkFiles(transfer, window);
    benchmark::DoNotOptimize(transfer.linkCount);
    if (transfer.linkCount != 1'000'001) state.SkipWithError("wrong count");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = bytes / 1e6;
  state.counters["peak_growth_MB"] = static_cast<double>(peakKilobytes() - before) / 1024.0;
  state.counters["peak_growth_per_file_size"] = static_cast<double>(peakKilobytes() - before) * 1024.0 / bytes;
  std::filesystem::remove(path);
}
BENCHMARK(importMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
