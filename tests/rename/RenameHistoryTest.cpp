// Renames in the history: the walk records the whole batch before the first
// rename, a walk stopped at any step recovers to the old or the new name of
// each file (never a temporary one), and undo takes the names back without
// replacing a file, also when undone twice.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "history/History.h"
#include "history/RecordedRename.h"
#include "history/Recovery.h"
#include "history/Undo.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "rename/core/BatchWalk.h"
#include "rename/core/RenameCommands.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using history::BatchState;
using platform::testing::FsOp;
using testing::FolderList;
using testing::namesIn;
using testsupport::TempDir;

/// A history that can stop taking the closing of batches, as one whose
/// program was killed before the walk ended.
class KilledHistory : public history::History {
 public:
  explicit KilledHistory(history::History& inner) : m_inner(inner) {}
  platform::Result<history::BatchId> beginBatch(const std::string& command,
                                                const std::vector<history::TagChange>& tags,
                                                const std::vector<history::RenameChange>& renames,
                                                std::optional<history::BatchId> undoes) override {
    return m_inner.beginBatch(command, tags, renames, undoes);
  }
  platform::Status closeBatch(history::BatchId id, BatchState state) override {
    if (killed) return {};
    return m_inner.closeBatch(id, state);
  }
  platform::Result<std::vector<history::BatchSummary>> batches() override {
    return m_inner.batches();
  }
  platform::Result<std::vector<history::TagChange>> tagChanges(history::BatchId id) override {
    return m_inner.tagChanges(id);
  }
  platform::Result<std::vector<history::RenameChange>> renameChanges(history::BatchId id) override {
    return m_inner.renameChanges(id);
  }
  bool killed = false;

 private:
  history::History& m_inner;
};

std::unique_ptr<history::History> memoryHistory() {
  auto opened = history::openHistory(":memory:");
  EXPECT_TRUE(opened.ok());
  return opened.ok() ? std::move(opened.value()) : nullptr;
}

/// Old name -> new name of the lower-case walk over the folder below; the
/// renames only change case, so they go through temporary names.
const std::map<std::string, std::string> kLowerCase = {
    {"Alpha.mp3", "alpha.mp3"},
    {"BETA.mp3", "beta.mp3"},
    {"Gamma Delta.MP3", "gamma delta.mp3"},
    {"epsilon.mp3", "epsilon.mp3"},
};

class RenameHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [oldName, newName] : kLowerCase)
      folder.write(oldName, "content of " + oldName);
  }
  std::vector<EntryResult> lowerCase(history::History* history,
                                     const std::atomic<bool>* stop = nullptr) {
    FolderList list(folder.path());
    list.selectAll();
    return runBatch(list, fileSystem, caseRule(CaseKind::Lower), Progress::Shown, {},
                    {history, "Convert All to Lowercase", stop});
  }
  /// Each file is under exactly its old or its new name, whole, and no
  /// other name is in the folder.
  void expectEachFileWhole() {
    std::set<std::string> expected;
    const std::set<std::string> present = namesIn(folder.path());
    for (const auto& [oldName, newName] : kLowerCase) {
      const bool atOld = present.contains(oldName);
      const bool atNew = present.contains(newName);
      EXPECT_TRUE(atOld != atNew || oldName == newName) << oldName;
      const std::string name = atOld ? oldName : newName;
      EXPECT_EQ(TempDir::read(folder / name), "content of " + oldName);
      expected.insert(name);
    }
    EXPECT_EQ(namesIn(folder.path()), expected);
  }

  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
};

TEST_F(RenameHistoryTest, TheWholeBatchIsRecordedBeforeTheFirstRename) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  lowerCase(history.get());
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  ASSERT_EQ(batches.value().size(), 1u);
  EXPECT_EQ(batches.value()[0].command, "Convert All to Lowercase");
  EXPECT_EQ(batches.value()[0].state, BatchState::Done);
  EXPECT_EQ(batches.value()[0].fileCount, 3);
  auto renames = history->renameChanges(batches.value()[0].id);
  ASSERT_TRUE(renames.ok());
  ASSERT_EQ(renames.value().size(), 3u);
  std::set<std::string> temporaries;
  for (const history::RenameChange& change : renames.value()) {
    EXPECT_EQ(change.directory, folder.path());
    EXPECT_EQ(kLowerCase.at(change.oldName), change.newName);
    // Every one differs only in case: through a temporary name.
    EXPECT_TRUE(change.temporaryName.starts_with(".brindle-")) << change.oldName;
    temporaries.insert(change.temporaryName);
  }
  // The temporary names the walk went through are the recorded ones.
  for (const auto& call : fileSystem.callsOf(FsOp::Rename)) {
    const std::string target = call.second.substr(folder.path().size() + 1);
    if (target.starts_with(".brindle-")) {
      EXPECT_TRUE(temporaries.contains(target)) << target;
    }
  }
  expectEachFileWhole();
}

TEST_F(RenameHistoryTest, ABatchThatCannotBeRecordedRenamesNothing) {
  class FullHistory : public KilledHistory {
   public:
    using KilledHistory::KilledHistory;
    platform::Result<history::BatchId> beginBatch(const std::string&,
                                                  const std::vector<history::TagChange>&,
                                                  const std::vector<history::RenameChange>&,
                                                  std::optional<history::BatchId>) override {
      return platform::Error{ENOSPC, "disk full"};
    }
  };
  auto inner = memoryHistory();
  FullHistory history(*inner);
  const std::vector<EntryResult> results = lowerCase(&history);
  EXPECT_EQ(countFailed(results), 3);
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
  EXPECT_EQ(results.front().reason, std::string(kNotRecorded) + ": disk full");
}

TEST_F(RenameHistoryTest, AStopFinishesTheEntryUnderWayAndClosesTheBatchAsStopped) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  std::atomic<bool> stop = false;
  FolderList list(folder.path());
  list.selectAll();
  const std::vector<EntryResult> results =
      runBatch(list, fileSystem, caseRule(CaseKind::Lower), Progress::Shown,
               [&](const EntryResult&) { stop = true; }, {history.get(), "Lower", &stop});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, EntryResult::Outcome::Renamed);
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  EXPECT_EQ(batches.value()[0].state, BatchState::Stopped);
  expectEachFileWhole();
}

// The walk killed after every step it takes: the next start brings each
// file to its old or its new name, whole.
TEST_F(RenameHistoryTest, AWalkKilledAtAnyStepRecoversEachFileWhole) {
  std::size_t steps = 0;
  {
    TempDir whole;
    for (const auto& [oldName, newName] : kLowerCase) whole.write(oldName, "x");
    platform::testing::RecordingFileSystem counting(real);
    FolderList list(whole.path());
    list.selectAll();
    auto history = memoryHistory();
    runBatch(list, counting, caseRule(CaseKind::Lower), Progress::Shown, {},
             {history.get(), "Lower", nullptr});
    steps = counting.calls().size();
  }
  ASSERT_GT(steps, 5u);
  for (std::size_t step = 0; step <= steps; ++step) {
    SCOPED_TRACE("killed after step " + std::to_string(step));
    for (const std::string& name : folder.names()) std::filesystem::remove(folder / name);
    for (const auto& [oldName, newName] : kLowerCase)
      folder.write(oldName, "content of " + oldName);
    auto store = memoryHistory();
    ASSERT_TRUE(store);
    KilledHistory history(*store);
    history.killed = true;
    fileSystem.clearFaults();
    fileSystem.crashAfter(step);
    lowerCase(&history);
    fileSystem.clearFaults();

    auto recovered = history::recoverOpenBatches(*store, real);
    ASSERT_TRUE(recovered.ok());
    ASSERT_EQ(recovered.value().size(), 1u);
    const history::RecoveredBatch& batch = recovered.value()[0];
    EXPECT_EQ(batch.toNew.size() + batch.toOld.size(), 3u);
    EXPECT_TRUE(batch.unreachable.empty());
    expectEachFileWhole();
    auto batches = store->batches();
    ASSERT_TRUE(batches.ok());
    EXPECT_EQ(batches.value()[0].state, BatchState::Recovered);
  }
}

TEST_F(RenameHistoryTest, AFileLeftUnderItsTemporaryNameGoesBackWhenItsNewNameIsTaken) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  // Recorded, then one step done by hand: Alpha.mp3 is under its temporary
  // name, and a file appeared under its new name since.
  auto id = history->beginBatch("Lower", {},
                                {{folder.path(), "Alpha.mp3", ".brindle-00000001", "alpha.mp3"},
                                 {folder.path(), "BETA.mp3", ".brindle-00000002", "beta.mp3"}});
  ASSERT_TRUE(id.ok());
  std::filesystem::rename(folder / "Alpha.mp3", folder / ".brindle-00000001");
  std::filesystem::rename(folder / "BETA.mp3", folder / ".brindle-00000002");
  folder.write("alpha.mp3", "another file");
  auto recovered = history::recoverOpenBatches(*history, real);
  ASSERT_TRUE(recovered.ok());
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(recovered.value()[0].toOld, std::vector<std::string>{folder / "Alpha.mp3"});
  EXPECT_EQ(recovered.value()[0].toNew, std::vector<std::string>{folder / "beta.mp3"});
  EXPECT_EQ(TempDir::read(folder / "Alpha.mp3"), "content of Alpha.mp3");
  EXPECT_EQ(TempDir::read(folder / "beta.mp3"), "content of BETA.mp3");
  EXPECT_EQ(TempDir::read(folder / "alpha.mp3"), "another file");
  EXPECT_FALSE(history::describeRecovery(recovered.value()).empty());
  // Nothing is open any more: a second start finds nothing to do.
  auto again = history::recoverOpenBatches(*history, real);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again.value().empty());
}

TEST_F(RenameHistoryTest, UndoTakesTheNamesBackAndUndoingTheUndoRedoes) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  const std::set<std::string> before = namesIn(folder.path());
  lowerCase(history.get());
  const std::set<std::string> after = namesIn(folder.path());
  ASSERT_NE(before, after);

  auto last = history::lastUndoableBatch(*history);
  ASSERT_TRUE(last.ok() && last.value());
  auto undone = history::undoBatch(*history, real, last.value()->id);
  ASSERT_TRUE(undone.ok()) << undone.error().message;
  EXPECT_EQ(undone.value().restored.size(), 3u);
  EXPECT_TRUE(undone.value().leftAlone.empty());
  EXPECT_EQ(namesIn(folder.path()), before);
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  ASSERT_EQ(batches.value().size(), 2u);
  EXPECT_EQ(batches.value()[0].undoes, last.value()->id);
  EXPECT_EQ(batches.value()[0].command, "Undo Convert All to Lowercase");
  EXPECT_EQ(batches.value()[1].state, BatchState::Undone);
  // An undone batch is not undone twice.
  EXPECT_FALSE(history::undoBatch(*history, real, last.value()->id).ok());

  auto redo = history::lastUndoableBatch(*history);
  ASSERT_TRUE(redo.ok() && redo.value());
  EXPECT_EQ(redo.value()->id, batches.value()[0].id);
  auto redone = history::undoBatch(*history, real, redo.value()->id);
  ASSERT_TRUE(redone.ok());
  EXPECT_EQ(namesIn(folder.path()), after);
  for (const auto& [oldName, newName] : kLowerCase) {
    EXPECT_EQ(TempDir::read(folder / newName), "content of " + oldName);
  }
}

TEST_F(RenameHistoryTest, UndoLeavesAFileWhoseOldNameIsTakenAndUndoesTheRest) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  lowerCase(history.get());
  folder.write("Gamma Delta.MP3", "a new file under the old name");
  auto last = history::lastUndoableBatch(*history);
  ASSERT_TRUE(last.ok() && last.value());
  auto undone = history::undoBatch(*history, real, last.value()->id);
  ASSERT_TRUE(undone.ok());
  ASSERT_EQ(undone.value().leftAlone.size(), 1u);
  EXPECT_NE(undone.value().leftAlone[0].find("gamma delta.mp3"), std::string::npos);
  EXPECT_EQ(undone.value().restored.size(), 2u);
  EXPECT_EQ(namesIn(folder.path()),
            (std::set<std::string>{"Alpha.mp3", "BETA.mp3", "Gamma Delta.MP3", "gamma delta.mp3",
                                   "epsilon.mp3"}));
  EXPECT_EQ(TempDir::read(folder / "Gamma Delta.MP3"), "a new file under the old name");
  EXPECT_EQ(TempDir::read(folder / "gamma delta.mp3"), "content of Gamma Delta.MP3");
}

// A chain a -> b after b -> c: undone in reverse order, each name is free
// when its turn comes.
TEST_F(RenameHistoryTest, UndoRunsInReverseOrder) {
  auto history = memoryHistory();
  ASSERT_TRUE(history);
  TempDir chain;
  chain.write("b", "file b");
  chain.write("a", "file a");
  ASSERT_TRUE(history::recordedRename(nullptr, real, "", chain / "b", chain / "c").ok());
  auto id = history->beginBatch("Chain", {},
                                {{chain.path(), "b", "", "c"}, {chain.path(), "a", "", "b"}});
  ASSERT_TRUE(id.ok());
  std::filesystem::rename(chain / "a", chain / "b");
  ASSERT_TRUE(history->closeBatch(id.value(), BatchState::Done).ok());
  auto undone = history::undoBatch(*history, real, id.value());
  ASSERT_TRUE(undone.ok());
  EXPECT_TRUE(undone.value().leftAlone.empty());
  EXPECT_EQ(TempDir::read(chain / "a"), "file a");
  EXPECT_EQ(TempDir::read(chain / "b"), "file b");
  EXPECT_FALSE(std::filesystem::exists(chain / "c"));
}

}  // namespace
}  // namespace brindle::rename

namespace brindle::rename {
namespace {

// Every rename command of the main window and the numbered rename dialog
// records its renames as one batch named after the command.
TEST(RenameCommandHistory, EachCommandRecordsItsBatchUnderItsName) {
  struct Case {
    const char* command;
    std::vector<std::string> typed;
    std::function<void(RenameServices, FolderList&)> run;
    std::string renamedTo;
  };
  CharacterEditNumbers numbers;
  const Case cases[] = {
      {"Convert All to Lowercase",
       {},
       [](RenameServices s, FolderList& l) { convertCase(s, l, CaseKind::Lower); },
       "song.mp3"},
      {"Convert All to Uppercase",
       {},
       [](RenameServices s, FolderList& l) { convertCase(s, l, CaseKind::Upper); },
       "SONG.MP3"},
      {"Convert to Title Case",
       {},
       [](RenameServices s, FolderList& l) { convertCase(s, l, CaseKind::Title); },
       "Song.mp3"},
      {"Remove Characters From Filenames",
       {"O", "0"},
       [](RenameServices s, FolderList& l) { removeCharacters(s, l); },
       "s0NG.mp3"},
      {"Remove Left Most",
       {"1"},
       [&](RenameServices s, FolderList& l) { removeLeftMostCharacters(s, l, numbers); },
       "ONG.mp3"},
      {"Remove Right Most",
       {"1"},
       [&](RenameServices s, FolderList& l) { removeRightMostCharacters(s, l, numbers); },
       "sON.mp3"},
      {"Remove Middle Most",
       {"2", "1"},
       [&](RenameServices s, FolderList& l) { removeMiddleMostCharacters(s, l, numbers); },
       "sNG.mp3"},
      {"Rename All Extension(s)",
       {"ogg"},
       [](RenameServices s, FolderList& l) { changeExtensions(s, l); },
       "sONG.ogg"},
      {"Rename All Files",
       {},
       [](RenameServices s, FolderList& l) {
         NumberingOptions options;
         options.commonName = "Track";
         renameNumbered(s, l, options, "1");
       },
       ""},
      {"Save Edited",
       {},
       [](RenameServices s, FolderList& l) {
         l.setCurrent("sONG.mp3");
         renameFromNameBox(s, l, "Tune.mp3");
       },
       "Tune.mp3"},
      {"Rename Single File",
       {"Other.mp3"},
       [](RenameServices s, FolderList& l) {
         l.setCurrent("sONG.mp3");
         renameSingleFile(s, l);
       },
       "Other.mp3"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.command);
    TempDir folder;
    folder.write("sONG.mp3", "song");
    FolderList list(folder.path());
    list.selectAll();
    platform::testing::ScriptedDialogs dialogs;
    // The boxes in the order they come: the single rename asks before its
    // input, the others after theirs; the character edits confirm with OK.
    const std::string command = test.command;
    const platform::Answer confirm =
        command.starts_with("Remove") ? platform::Answer::Ok : platform::Answer::Yes;
    if (command == "Rename Single File") dialogs.answer(confirm);
    for (const std::string& text : test.typed) dialogs.type(text);
    if (command != "Rename Single File") dialogs.answer(confirm);
    platform::posix::PosixFileSystem fileSystem;
    auto history = memoryHistory();
    ASSERT_TRUE(history);
    test.run({dialogs, fileSystem, history.get()}, list);

    auto batches = history->batches();
    ASSERT_TRUE(batches.ok());
    ASSERT_EQ(batches.value().size(), 1u);
    EXPECT_EQ(batches.value()[0].command, test.command);
    EXPECT_EQ(batches.value()[0].state, BatchState::Done);
    auto renames = history->renameChanges(batches.value()[0].id);
    ASSERT_TRUE(renames.ok());
    ASSERT_EQ(renames.value().size(), 1u);
    EXPECT_EQ(renames.value()[0].oldName, "sONG.mp3");
    if (!test.renamedTo.empty()) {
      EXPECT_EQ(renames.value()[0].newName, test.renamedTo);
    }
    EXPECT_EQ(TempDir::read(folder / renames.value()[0].newName), "song");
  }
}

// A history that cannot record: the command renames nothing and says why.
TEST(RenameCommandHistory, ACommandTheHistoryCannotRecordRenamesNothingAndSaysWhy) {
  class FullHistory : public KilledHistory {
   public:
    using KilledHistory::KilledHistory;
    platform::Result<history::BatchId> beginBatch(const std::string&,
                                                  const std::vector<history::TagChange>&,
                                                  const std::vector<history::RenameChange>&,
                                                  std::optional<history::BatchId>) override {
      return platform::Error{ENOSPC, "disk full"};
    }
  };
  TempDir folder;
  folder.write("SONG.mp3", "song");
  FolderList list(folder.path());
  list.selectAll();
  platform::testing::ScriptedDialogs dialogs;
  dialogs.answer(platform::Answer::Yes);
  platform::posix::PosixFileSystem fileSystem;
  auto inner = memoryHistory();
  FullHistory history(*inner);
  convertCase({dialogs, fileSystem, &history}, list, CaseKind::Lower);
  EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"SONG.mp3"});
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[1].text,
            "No file was renamed: " + std::string(kNotRecorded) + ": disk full");
  EXPECT_EQ(dialogs.messages()[1].icon, platform::Icon::Critical);
}

}  // namespace
}  // namespace brindle::rename
