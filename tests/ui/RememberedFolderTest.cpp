// The folder the next run starts in: the remembered one while it is still a
// folder, else the one given.
#include "ui/core/RememberedFolder.h"

#include <gtest/gtest.h>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "tests/support/TempDir.h"

namespace brindle::ui {
namespace {

TEST(RememberedFolder, StartsInTheRememberedFolderWhileItIsOne) {
  testsupport::TempDir folder;
  const std::string file = folder.write("a.txt");
  platform::posix::PosixFileSystem fileSystem;
  struct Row {
    std::optional<std::string> remembered;
    std::string expected;
  };
  const Row rows[] = {
      {std::nullopt, "/given"}, {folder.path(), folder.path()}, {folder.path() + "/gone", "/given"},
      {file, "/given"},         {std::string(), "/given"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.remembered.value_or("(none)"));
    platform::testing::MemorySettings settings;
    if (row.remembered) rememberFolder(settings, *row.remembered);
    EXPECT_EQ(startFolder(settings, fileSystem, "/given"), row.expected);
  }
}

}  // namespace
}  // namespace brindle::ui
