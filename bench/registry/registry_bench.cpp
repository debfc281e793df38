// Writing, reading back and listing 10,000 values under one key through RegistryAccess, on a
// hive in memory and on a hive in a file (where every write is a durable commit).
#include "registry/registry_access.h"
#include "standin/registry/registry_store.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace trenmoor {
namespace {

constexpr int kValueCount = 10000;
const RegistryPath kKey = "HKEY_CURRENT_USER\\Software\\Trenmoor\\Bench";

enum Hive { kMemory, kFile };

// A temporary folder for the file hive, removed when the program ends.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "trenmoor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  std::string hivePath() const { return path_ + "/registry.sqlite"; }

 private:
  std::string path_;
};

// Opens an empty hive of the kind asked for; false when it cannot.
bool openFreshHive(benchmark::State& state) {
  static BenchFolder folder;
  if (state.range(0) == kMemory) return standin::openMemoryRegistryStore();
  standin::openMemoryRegistryStore();  // let go of the file before removing it
  std::error_code error;
  for (const char* suffix : {"", "-wal", "-shm"})
    std::filesystem::remove(folder.hivePath() + suffix, error);
  return standin::openRegistryStore(folder.hivePath());
}

Text valueName(int i) { return "value" + std::to_string(i); }

void writeAll(RegistryAccess& registry, benchmark::State& state) {
  for (int i = 0; i < kValueCount; ++i)
    if (!registry.writeDword(kKey, valueName(i), i)) state.SkipWithError("write failed");
}

void setUp(RegistryAccess& registry, benchmark::State& state) {
  if (!openFreshHive(state)) state.SkipWithError("no hive");
  writeAll(registry, state);
}

void BM_WriteValues(benchmark::State& state) {
  RegistryAccess registry;
  for (auto _ : state) {
    state.PauseTiming();
    if (!openFreshHive(state)) state.SkipWithError("no hive");
    state.ResumeTiming();
    writeAll(registry, state);
  }
  state.counters["values/s"] =
      benchmark::Counter(kValueCount, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReadValues(benchmark::State& state) {
  RegistryAccess registry;
  setUp(registry, state);
  for (auto _ : state) {
    for (int i = 0; i < kValueCount; ++i)
      if (registry.readDword(kKey, valueName(i)) != i) state.SkipWithError("read back wrong");
  }
  state.counters["values/s"] =
      benchmark::Counter(kValueCount, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ListValues(benchmark::State& state) {
  RegistryAccess registry;
  setUp(registry, state);
  std::vector<Text> names;
  std::vector<Bytes> data;
  std::vector<std::int32_t> types;
  for (auto _ : state) {
    if (registry.listValues(kKey, names, data, types) != kValueCount)
      state.SkipWithError("listing incomplete");
  }
  state.counters["values/s"] =
      benchmark::Counter(kValueCount, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_WriteValues)->Arg(kMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteValues)->Arg(kFile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadValues)->Arg(kMemory)->Arg(kFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListValues)->Arg(kMemory)->Arg(kFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trenmoor

BENCHMARK_MAIN();
