// The per-link cost of a run under the virtual clock with instant pages: page load and parse,
// attach, the code typed, three clicks and the scripts of the page, for every link of a list.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "app/link_import.h"
#include "app/transfer.h"
#include "standin/browser/browser_standin.h"
#include "standin/desktop/desktop.h"
#include "standin/toolkit/scripted_user.h"

namespace {

using namespace trenmoor;

// A share page whose controls run small scripts, as a real share page's do.
browser::SiteResponse sharePage(const browser::SiteRequest& request) {
  if (request.path.starts_with("/verify")) return browser::SiteResponse::page("ok");
  return browser::SiteResponse::page(
      "<html><head><title>share</title></head><body><div class=files><span>a.zip</span></div>"
      "<input type=text id=accessCode name=accessCode>"
      "<a id=submitBtn href='javascript:;' onclick=\"document.getElementById('files').style.display='';\">go</a>"
      "<div id=files style='display:none'><a id=emphasizeButton href='javascript:;' "
      "onclick=\"this.innerText='saving';\">save</a><a id=_disk_id_14 href='javascript:;' "
      "onclick=\"this.title='saved';\">folder</a></div></body></html>");
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void runLinks(benchmark::State& state) {
  const auto links = state.range(0);
  const auto folder = std::filesystem::temp_directory_path() / "trenmoor-bench-transfer";
  std::filesystem::create_directories(folder);
  {
    std::ofstream list(folder / "links.txt", std::ios::binary);
    for (std::int64_t i = 0; i < links; ++i) list << "https://pan.baidu.com/s/" << i << " code\r\n";
  }
  long before = peakKilobytes();
  for (auto _ : state) {
    desktop::Desktop desktop(desktop::ClockKind::Virtual, desktop::ProcessStarts::Recorded);
    toolkit::Toolkit::current().reset();
    browser::BrowserStandIn browsers;
    browsers.network().setOutsideAccess(browser::OutsideAccess::Refused);
    browsers.network().addSite("pan.baidu.com", sharePage);
    app::TransferState transfer;
    transfer.pageDriver = std::make_unique<PageDriver>();
    app::MainWindow window(transfer);
    window.addfile().onClicked([&] { app::importLinkFiles(transfer, window); });
    app::Transfer run(transfer, window);
    std::string error;
    toolkit::ScriptedUser user(*toolkit::ScriptedUser::parse(
        "at 1 click login\nat 2 type delay 1\nat 3 click addfile\nchoose " + (folder / "links.txt").string() +
            "\nanswer OK\nanswer OK\nat 4 click start",
        "", error));
    user.start();
    window.show();
    desktop.runUntil([&] { return window.window().destroyed(); });
    if (desktop.startedProcesses().size() != 1) state.SkipWithError("the run did not end with its restart");
    toolkit::Toolkit::current().reset();
  }
  state.counters["us_per_link"] =
      benchmark::Counter(static_cast<double>(links) * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak_growth_MB"] = static_cast<double>(peakKilobytes() - before) / 1024.0;
  std::filesystem::remove_all(folder);
}
BENCHMARK(runLinks)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
