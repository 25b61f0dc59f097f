// The main window's file list on a folder of 100,000 files: re-reading the
// directory into the list (sorted and shown), and walking the selection by
// index as the batch commands do.
#include <QApplication>
#include <QItemSelection>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/PosixFileSystem.h"
#include "ui/FileListBox.h"

namespace {

constexpr int kFileCount = 100000;

/// A folder of kFileCount empty files with names of mixed case and length,
/// made once for the whole run and removed at exit.
class BigFolder {
 public:
  BigFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brindle-bench-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
    for (int i = 0; i < kFileCount; ++i) {
      std::string name = m_path + "/" + (i % 3 == 0 ? "Track " : "song_") +
                         std::to_string((i * 7919) % kFileCount) + (i % 2 ? ".MP3" : ".mp3");
      int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
      if (fd >= 0) ::close(fd);
    }
  }
  ~BigFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

BigFolder& folder() {
  static BigFolder big;
  return big;
}

void BM_RereadDirectoryIntoList(benchmark::State& state) {
  brindle::platform::posix::PosixFileSystem fileSystem;
  brindle::ui::FileListBox list(fileSystem);
  list.resize(400, 600);
  list.show();
  list.setPath(folder().path());
  for (auto _ : state) {
    if (!list.refresh()) state.SkipWithError("cannot read the folder");
    // Lets the view lay out and paint the new rows, as on screen.
    QApplication::processEvents();
    benchmark::DoNotOptimize(list.listCount());
  }
  state.counters["files"] = list.listCount();
}
BENCHMARK(BM_RereadDirectoryIntoList)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Walks every index, asks the selected flag and, for a selected entry, its
/// name: `every` = 1 selects all entries, 2 every other one (the worst case
/// for a selection kept as ranges).
void BM_WalkSelection(benchmark::State& state) {
  const int every = static_cast<int>(state.range(0));
  brindle::platform::posix::PosixFileSystem fileSystem;
  brindle::ui::FileListBox list(fileSystem);
  list.setPath(folder().path());
  (void)list.refresh();
  if (every == 1) {
    list.selectAllEntries();
  } else {
    // Built as one selection: selecting entry by entry would take minutes.
    QItemSelection scattered;
    for (int i = 0; i < list.listCount(); i += every) {
      const QModelIndex index = list.model()->index(i, 0);
      scattered.select(index, index);
    }
    list.selectionModel()->select(scattered, QItemSelectionModel::Select);
  }
  for (auto _ : state) {
    std::size_t selectedBytes = 0;
    const std::vector<bool> flags = list.selectionFlags();
    for (int i = 0; i < list.listCount(); ++i) {
      if (flags[static_cast<std::size_t>(i)]) selectedBytes += list.entryName(i).size();
    }
    benchmark::DoNotOptimize(selectedBytes);
  }
}
BENCHMARK(BM_WalkSelection)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  folder();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
