// Lower-casing 10,000 selected files of a 10,000-file folder: the main
// window's "Convert All to Lowercase" (two renames per file through the
// temporary name, then the re-read of the list), the same walk without
// the window, and the floor measured in the same run: two renameat2 calls per
// file plus one directory listing.
#include <QApplication>

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "app/frmmainbrindle.h"
#include "app/program/InstallRenameCommands.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/ScriptedDialogs.h"
#include "rename/core/BatchWalk.h"
#include "tests/support/TempDir.h"
#include "ui/FileListBox.h"
#include "ui/core/ContextHelp.h"
#include "ui/core/FileListing.h"

namespace {

constexpr int kFileCount = 10000;

/// kFileCount empty files with mixed-case names in a fresh temporary folder.
class Folder {
 public:
  Folder() {
    for (int i = 0; i < kFileCount; ++i) {
      m_names.push_back("Track " + std::to_string(100000 + i) + " Of The Album.MP3");
      m_directory.write(m_names.back());
    }
  }
  const std::string& path() const { return m_directory.path(); }
  const std::vector<std::string>& names() const { return m_names; }

 private:
  brindle::testsupport::TempDir m_directory;
  std::vector<std::string> m_names;
};

/// The floor: each file renamed to a temporary name and back with the
/// kernel's no-replace rename, by full path, then one listing of the folder.
void BM_Floor(benchmark::State& state) {
  Folder folder;
  std::vector<std::string> paths;
  for (const std::string& name : folder.names()) paths.push_back(folder.path() + "/" + name);
  for (auto _ : state) {
    for (const std::string& path : paths) {
      const std::string step = path + "1";
      if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, step.c_str(), RENAME_NOREPLACE) != 0 ||
          ::renameat2(AT_FDCWD, step.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
        state.SkipWithError("renameat2 failed");
        return;
      }
    }
    int entries = 0;
    if (DIR* directory = ::opendir(folder.path().c_str())) {
      while (::readdir(directory)) ++entries;
      ::closedir(directory);
    }
    benchmark::DoNotOptimize(entries);
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The main window's command, chosen from the menu with every entry selected
/// and the question answered Yes.
void BM_WindowLowerCase(benchmark::State& state) {
  Folder folder;
  brindle::platform::posix::PosixFileSystem fileSystem;
  brindle::platform::testing::ScriptedDialogs dialogs;
  brindle::platform::testing::RecordingPrinter printer;
  brindle::platform::testing::RecordingShell shell;
  brindle::platform::testing::FakeInstanceGuard guard;
  brindle::platform::testing::FixedClock clock;
  brindle::platform::testing::FixedProgramFolder programFolder;
  brindle::platform::testing::MemorySettings settings;
  brindle::platform::Platform platform{dialogs, fileSystem, printer,       shell,
                                       guard,   clock,      programFolder, settings};
  brindle::ui::ContextHelp help(platform);
  brindle::app::frmmainbrindle window(platform, help, folder.path());
  brindle::rename::installRenameCommands(window);
  if (!window.startUp()) state.SkipWithError("start-up failed");
  window.show();
  QApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    window.fileList().selectAllEntries();
    dialogs.clear();
    dialogs.answer(brindle::platform::Answer::Yes);
    state.ResumeTiming();
    window.menuItem("convertlow")->trigger();
    // Lets the list lay out and paint the re-read entries, as on screen.
    QApplication::processEvents();
  }
  if (window.fileList().listCount() != kFileCount ||
      window.fileList().entryName(0) != "track 100000 of the album.mp3") {
    state.SkipWithError("the files were not renamed");
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_WindowLowerCase)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The same walk on the folder's sorted names without any widget, as
/// brindle-cli runs it.
class SortedFolder : public brindle::ui::FileListHost {
 public:
  SortedFolder(brindle::platform::FileSystem& fileSystem, std::string path)
      : m_fileSystem(fileSystem), m_path(std::move(path)) {
    rereadFileList();
  }
  std::string currentDirectory() const override { return m_path; }
  std::string pathBoxText() const override { return m_path; }
  int entryCount() const override { return static_cast<int>(m_names.size()); }
  std::string entryName(int index) const override {
    return m_names[static_cast<std::size_t>(index)];
  }
  std::vector<bool> selectionFlags() const override {
    return std::vector<bool>(m_names.size(), true);
  }
  std::string currentName() const override { return {}; }
  void setProgressMaximum(int) override {}
  void setProgressValue(int) override {}
  void rereadFileList() override {
    auto names = brindle::ui::readFileList(m_fileSystem, m_path);
    if (names) m_names = std::move(names.value());
  }

 private:
  brindle::platform::FileSystem& m_fileSystem;
  std::string m_path;
  std::vector<std::string> m_names;
};

void BM_WalkLowerCase(benchmark::State& state) {
  Folder folder;
  brindle::platform::posix::PosixFileSystem fileSystem;
  SortedFolder list(fileSystem, folder.path());
  const brindle::rename::NameRule rule =
      brindle::rename::caseRule(brindle::rename::CaseKind::Lower);
  for (auto _ : state) {
    const auto results = brindle::rename::runBatch(list, fileSystem, rule);
    if (brindle::rename::countFailed(results) != 0) state.SkipWithError("renames failed");
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_WalkLowerCase)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
