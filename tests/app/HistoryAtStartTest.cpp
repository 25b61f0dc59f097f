// The program's start: open history batches are recovered and told in one
// message; a history that cannot be opened is said, and the program goes on.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/program/HistoryAtStart.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

namespace brindle::app {
namespace {

using testsupport::TempDir;

history::Environment historyAt(const std::string& location) {
  return [location](const std::string& name) -> std::optional<std::string> {
    if (name == "BRINDLE_HISTORY") return location;
    return std::nullopt;
  };
}

TEST(HistoryAtStart, RecoversOpenBatchesAndSaysWhatItDid) {
  TempDir folder;
  folder.write("Song.mp3", "song");
  const std::string location = folder / "history.sqlite";
  {
    auto history = history::openHistory(location);
    ASSERT_TRUE(history.ok());
    ASSERT_TRUE(history.value()
                    ->beginBatch("Convert All to Lowercase", {},
                                 {{folder.path(), "Song.mp3", ".brindle-12345678", "song.mp3"}})
                    .ok());
  }
  std::filesystem::rename(folder / "Song.mp3", folder / ".brindle-12345678");
  platform::posix::PosixFileSystem fileSystem;
  platform::testing::ScriptedDialogs dialogs;

  auto history = openHistoryAtStart(historyAt(location), fileSystem, dialogs);
  ASSERT_TRUE(history);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_NE(dialogs.messages()[0].text.find("Convert All to Lowercase"), std::string::npos);
  EXPECT_NE(dialogs.messages()[0].text.find(folder / "song.mp3"), std::string::npos);
  EXPECT_EQ(TempDir::read(folder / "song.mp3"), "song");
  EXPECT_FALSE(std::filesystem::exists(folder / ".brindle-12345678"));

  // The next start finds nothing open and says nothing.
  history.reset();
  platform::testing::ScriptedDialogs quiet;
  EXPECT_TRUE(openHistoryAtStart(historyAt(location), fileSystem, quiet));
  EXPECT_TRUE(quiet.messages().empty());
}

// Off: no history, nothing said; unopenable: no history, and it is said.
TEST(HistoryAtStart, OffOrUnopenableMeansNoHistory) {
  TempDir folder;
  folder.write("not-a-folder");
  platform::posix::PosixFileSystem fileSystem;
  for (const std::string& location : {std::string("off"), folder / "not-a-folder/history.sqlite"}) {
    platform::testing::ScriptedDialogs dialogs;
    EXPECT_FALSE(openHistoryAtStart(historyAt(location), fileSystem, dialogs));
    EXPECT_EQ(dialogs.messages().size(), location == "off" ? 0u : 1u);
    for (const auto& box : dialogs.messages()) {
      EXPECT_NE(box.text.find("not recorded"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace brindle::app
