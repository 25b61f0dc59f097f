// The path bar's completions and the selection note of the status line.
#include "ui/core/PathBar.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/TempDir.h"

namespace brindle::ui {
namespace {

using Paths = std::vector<std::string>;

TEST(PathBar, CompletesTheLastPartToTheSubfoldersItBegins) {
  testsupport::TempDir folder;
  for (const char* name : {"Music", "music old", "Mixes", "Photos"}) {
    std::filesystem::create_directory(folder.file(name));
  }
  folder.write("Music notes.txt");
  platform::posix::PosixFileSystem fileSystem;
  const std::string root = folder.path();
  struct Row {
    std::string typed;
    Paths expected;
  };
  const Row rows[] = {
      {root + "/Mu", {root + "/Music"}},
      {root + "/M", {root + "/Mixes", root + "/Music"}},
      {root + "/", {root + "/Mixes", root + "/Music", root + "/music old", root + "/Photos"}},
      {root + "/x", {}},
      {root + "/gone/M", {}},
      {"Music", {}},
      {"", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    EXPECT_EQ(folderCompletions(fileSystem, row.typed), row.expected);
  }
}

TEST(PathBar, SelectionSummary) {
  EXPECT_EQ(selectionSummary(3, 29), "3 of 29 files selected");
  EXPECT_EQ(selectionSummary(0, 0), "0 of 0 files selected");
  EXPECT_EQ(selectionSummary(1, 1), "1 of 1 file selected");
}

}  // namespace
}  // namespace brindle::ui
