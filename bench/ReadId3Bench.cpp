// ReadID3 over a corpus of real tagged MP3 files (scripts/make_bench_corpus.py),
// warm cache, against the floor of the same run: per file one open, a 4 KB
// read at the start, a 10-byte read, a 128-byte read at the end, a close.
// BM_ReadID3AgainstFloor alternates the two and reports the ratio.
//
//   BRINDLE_MP3_CORPUS=build/bench-mp3s build/release/bin/read_id3_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "inspect/ID3.h"
#include "platform/console/ConsolePlatform.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

const std::vector<std::string>& corpus() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> found;
    const char* folder = std::getenv("BRINDLE_MP3_CORPUS");
    const std::string path = folder ? folder : "build/bench-mp3s";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
      if (entry.path().extension() == ".mp3") found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }();
  return files;
}

/// One component reading file after file, as a listing does.
class Reader {
 public:
  /// ReadID3 of every file of the corpus.
  void pass() {
    for (const std::string& file : corpus()) {
      m_component.ReadID3(file);
      benchmark::DoNotOptimize(m_component.TAGv2Title.size());
    }
  }

 private:
  brindle::platform::posix::PosixFileSystem m_fileSystem;
  brindle::platform::console::LocalClock m_clock;
  std::ostringstream m_ignored;
  brindle::platform::console::ConsoleDialogs m_dialogs{m_ignored};
  brindle::inspect::ID3 m_component{m_fileSystem, m_clock, m_dialogs};
};

void BM_ReadID3(benchmark::State& state) {
  if (corpus().empty()) {
    state.SkipWithError("no corpus: run scripts/make_bench_corpus.py first");
    return;
  }
  Reader reader;
  for (auto _ : state) reader.pass();
  state.counters["files_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations() * corpus().size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadID3)->Unit(benchmark::kMillisecond)->UseRealTime();

/// One pass of the floor over the corpus: per file one open, a 4 KB read at
/// the start, a 10-byte read, a 128-byte read at the end, a close.
void floorPass() {
  char start[4096];
  char header[10];
  char tail[128];
  for (const std::string& file : corpus()) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(::pread(fd, start, sizeof start, 0));
    benchmark::DoNotOptimize(::pread(fd, header, sizeof header, 0));
    const off_t end = ::lseek(fd, 0, SEEK_END);
    benchmark::DoNotOptimize(::pread(fd, tail, sizeof tail, end - 128));
    ::close(fd);
  }
}

void BM_Floor(benchmark::State& state) {
  if (corpus().empty()) {
    state.SkipWithError("no corpus: run scripts/make_bench_corpus.py first");
    return;
  }
  for (auto _ : state) floorPass();
  state.counters["files_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations() * corpus().size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->UseRealTime();

/// ReadID3 and the floor pass after pass, alternately, so that whatever else
/// the machine does weighs on both alike: `of_floor` is ReadID3's rate as a
/// fraction of the floor's, from the median pass of each.
void BM_ReadID3AgainstFloor(benchmark::State& state) {
  if (corpus().empty()) {
    state.SkipWithError("no corpus: run scripts/make_bench_corpus.py first");
    return;
  }
  Reader reader;
  using Clock = std::chrono::steady_clock;
  std::vector<double> readSeconds;
  std::vector<double> floorSeconds;
  for (auto _ : state) {
    const Clock::time_point begin = Clock::now();
    reader.pass();
    const Clock::time_point middle = Clock::now();
    floorPass();
    const Clock::time_point end = Clock::now();
    readSeconds.push_back(std::chrono::duration<double>(middle - begin).count());
    floorSeconds.push_back(std::chrono::duration<double>(end - middle).count());
  }
  auto median = [](std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  state.counters["of_floor"] = median(floorSeconds) / median(readSeconds);
}
BENCHMARK(BM_ReadID3AgainstFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
