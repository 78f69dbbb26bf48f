// Opening a ROM against the floor set by copying the same bytes in memory. LoadRom allocates a
// fresh block and reads the whole file from the page cache; memcpy into a buffer that is
// already mapped is the least any load could cost. Each iteration times one of each, back to
// back, so drift in the machine's load affects both sides alike.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/rom_document.h"

namespace {

using Clock = std::chrono::steady_clock;

// One temporary folder for the whole run; each size is written the first time it is asked
// for and everything is removed when the program exits.
class LoadFiles {
 public:
  static LoadFiles& Get() {
    static LoadFiles files;
    return files;
  }

  const std::string& PathFor(size_t size) {
    auto found = paths_.find(size);
    if (found != paths_.end()) return found->second;
    std::vector<uint8_t> bytes(size);
    uint32_t state = 0x9E3779B9u ^ static_cast<uint32_t>(size);
    for (auto& byte : bytes) {
      state = state * 1664525u + 1013904223u;
      byte = static_cast<uint8_t>(state >> 24);
    }
    const std::string path = folder_ + "/load-" + std::to_string(size) + ".bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    return paths_.emplace(size, path).first->second;
  }

  ~LoadFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  LoadFiles() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "varnock-load-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) folder_ = pattern;
  }

  std::string folder_;
  std::map<size_t, std::string> paths_;
};

void LoadRomAgainstMemcpy(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const std::string& path = LoadFiles::Get().PathFor(size);

  // The anchor's source holds the file's bytes; its destination is touched once up front.
  varnock::RomDocument first;
  if (first.LoadRom(path) != varnock::kLoadLoaded) {
    state.SkipWithError("could not load the benchmark file");
    return;
  }
  const uint8_t* source = first.RomData;
  std::unique_ptr<uint8_t[]> target(new uint8_t[size]);
  std::memset(target.get(), 0, size);
  // One untimed copy first: on some machines the first pass over fresh pages costs far more
  // than the copy itself, and the anchor should be the copy alone.
  std::memcpy(target.get(), source, size);
  benchmark::ClobberMemory();

  double loadSeconds = 0;
  double copySeconds = 0;
  for (auto _ : state) {
    double loadTime = 0;
    {
      varnock::RomDocument doc;
      const auto start = Clock::now();
      const varnock::LoadResult result = doc.LoadRom(path);
      loadTime = std::chrono::duration<double>(Clock::now() - start).count();
      benchmark::DoNotOptimize(doc.RomData);
      if (result != varnock::kLoadLoaded) {
        state.SkipWithError("load failed");
        break;
      }
    }  // freeing the block is not part of opening

    const auto start = Clock::now();
    std::memcpy(target.get(), source, size);
    benchmark::ClobberMemory();
    const double copyTime = std::chrono::duration<double>(Clock::now() - start).count();

    state.SetIterationTime(loadTime);
    loadSeconds += loadTime;
    copySeconds += copyTime;
  }
  benchmark::DoNotOptimize(target[size - 1]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.counters["load_over_memcpy"] = copySeconds > 0 ? loadSeconds / copySeconds : 0;
  state.counters["memcpy_ms"] =
      benchmark::Counter(copySeconds * 1000, benchmark::Counter::kAvgIterations);
}

BENCHMARK(LoadRomAgainstMemcpy)
    ->Arg(8 << 20)
    ->Arg(256 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
