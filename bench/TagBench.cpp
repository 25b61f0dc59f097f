// The tag engine's speed and memory: writetag on files of 5 MB and 200 MB
// against a plain copy of the same file (both flushed to disk), the peak heap
// use of writetag, and readtag of a tag with 50 frames.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsTv2.h"
#include "platform/posix/PosixFileSystem.h"

// Heap accounting: every allocation of the process passes here, so the peak
// of live heap bytes during a call can be read.
namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void* counted(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (!block) throw std::bad_alloc();
  const long long live = g_live += static_cast<long long>(malloc_usable_size(block));
  long long peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return block;
}

void uncounted(void* block) {
  if (!block) return;
  g_live -= static_cast<long long>(malloc_usable_size(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
  return counted(size);
}
void* operator new[](std::size_t size) {
  return counted(size);
}
void operator delete(void* block) noexcept {
  uncounted(block);
}
void operator delete[](void* block) noexcept {
  uncounted(block);
}
void operator delete(void* block, std::size_t) noexcept {
  uncounted(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  uncounted(block);
}

namespace {

class FixedClock : public brindle::platform::Clock {
 public:
  brindle::platform::TimeOfDay localTimeOfDay() override { return {12, 0, 0}; }
};

/// A folder beside the build for the benchmark's files, removed at exit.
const std::string& workFolder() {
  static const std::string path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brindle-tagbench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] { std::filesystem::remove_all(workFolder()); });
    return pattern;
  }();
  return path;
}

/// An MP3-sized file of `megabytes` with a small tag in front.
std::string makeSong(int megabytes) {
  const std::string path = workFolder() + "/song-" + std::to_string(megabytes) + ".mp3";
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path, std::ios::binary);
  std::string block(1 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);
  for (int i = 0; i < megabytes; ++i)
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  brindle::platform::posix::PosixFileSystem fileSystem;
  FixedClock clock;
  brindle::id3v2::clsTv2 tag(fileSystem, clock);
  tag.setframevalue(brindle::id3v2::TIT2, "Benchmark");
  tag.writetag(path);
  return path;
}

void BM_WriteTag(benchmark::State& state) {
  const std::string path = makeSong(static_cast<int>(state.range(0)));
  brindle::platform::posix::PosixFileSystem fileSystem;
  FixedClock clock;
  long long peakDuringWrite = 0;
  for (auto _ : state) {
    brindle::id3v2::clsTv2 tag(fileSystem, clock);
    tag.readtag(path);
    tag.setframevalue(brindle::id3v2::TALB, "Album " + std::to_string(state.iterations()));
    const long long before = g_live.load();
    g_peak = before;
    tag.writetag(path);
    peakDuringWrite = std::max(peakDuringWrite, g_peak.load() - before);
    if (tag.lasterror() != 0) state.SkipWithError("writetag failed");
  }
  state.counters["peak_heap_bytes"] = static_cast<double>(peakDuringWrite);
  state.SetBytesProcessed(state.iterations() * state.range(0) * (1 << 20));
}
BENCHMARK(BM_WriteTag)->Arg(5)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The floor: the same bytes copied into a new file with read and write in
/// 1 MiB pieces, flushed, and moved over a second name.
void BM_PlainCopy(benchmark::State& state) {
  const std::string path = makeSong(static_cast<int>(state.range(0)));
  const std::string copy = path + ".copy";
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    int in = ::open(path.c_str(), O_RDONLY);
    int out = ::open((copy + ".tmp").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t got = 0;
    while ((got = ::read(in, buffer.data(), buffer.size())) > 0) {
      if (::write(out, buffer.data(), static_cast<std::size_t>(got)) != got) break;
    }
    ::fsync(out);
    ::close(out);
    ::close(in);
    ::rename((copy + ".tmp").c_str(), copy.c_str());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0) * (1 << 20));
}
BENCHMARK(BM_PlainCopy)->Arg(5)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTag50Frames(benchmark::State& state) {
  const std::string path = workFolder() + "/fifty.mp3";
  brindle::platform::posix::PosixFileSystem fileSystem;
  FixedClock clock;
  {
    std::ofstream(path, std::ios::binary) << std::string(4096, '\xFF');
    brindle::id3v2::clsTv2 tag(fileSystem, clock);
    for (std::int32_t id = 1; id <= 12; ++id) tag.setframevalue(id, "Value " + std::to_string(id));
    for (int i = 12; i < 50; ++i) {
      auto extra = std::make_shared<brindle::id3v2::clsTF>();
      extra->frameid("TXXX");
      extra->data("extra frame " + std::to_string(i));
      tag.frames().add(extra);
    }
    tag.writetag(path);
  }
  for (auto _ : state) {
    brindle::id3v2::clsTv2 tag(fileSystem, clock);
    tag.readtag(path);
    benchmark::DoNotOptimize(tag.getframevalue(brindle::id3v2::TIT2));
    if (tag.frames().count() != 50) state.SkipWithError("not 50 frames");
  }
}
BENCHMARK(BM_ReadTag50Frames)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
