// captureImage of a 640 x 480 image: as the clipboard's BMP bytes (format 0) and as PNG
// (format 5).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "attached_page.h"
#include "standin/desktop/bitmaps.h"

namespace {

using namespace trenmoor;

// A page holding one loaded 640 x 480 image, its pixels a gradient.
struct ImagePage : AttachedPage {
  ImagePage() : AttachedPage("<body><img id=photo src=photo.png></body>") {
    desktop::Pixels pixels{640, 480, {}};
    pixels.rgb.reserve(640 * 480 * 3);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        pixels.rgb.insert(pixels.rgb.end(), {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    ComObject image = ComObject(page.dispatch()).callObject("getElementById", {Variant(u"photo")});
    if (auto* element = dynamic_cast<html::Element*>(image.ref().get()))
      element->picture = std::make_shared<const desktop::Pixels>(std::move(pixels));
  }
};

void captureImage(benchmark::State& state) {
  ImagePage page;
  const auto format = static_cast<std::int32_t>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) bytes = page.driver.captureImage("photo", format).size();
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(captureImage)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
