// The rename commands with scripted dialogs on a real temporary folder:
// every prompt, question and message with its text, buttons, icon and
// title, cancelled prompts, the kept count and start, and the single,
// name-box and numbered renames.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/text/FileNameText.h"
#include "rename/core/RenameCommands.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using testing::FolderList;
using testing::namesIn;
using testsupport::TempDir;
using Names = std::set<std::string>;

class RenameCommandsTest : public ::testing::Test {
 protected:
  RenameServices services() { return {dialogs, fileSystem}; }
  FolderList& listOf(std::initializer_list<const char*> names) {
    for (const char* name : names) folder.write(name, name);
    list = std::make_unique<FolderList>(folder.path());
    return *list;
  }
  Names names() { return namesIn(folder.path()); }
  const DialogCall& call(std::size_t index) { return dialogs.calls().at(index); }
  void expectMessage(std::size_t index, const std::string& text, Buttons buttons, Icon icon,
                     const std::string& title) {
    SCOPED_TRACE("box " + std::to_string(index) + ": " + text);
    ASSERT_LT(index, dialogs.calls().size());
    EXPECT_EQ(call(index).kind, DialogCall::Kind::Message);
    EXPECT_EQ(call(index).message.text, text);
    EXPECT_EQ(call(index).message.buttons, buttons);
    EXPECT_EQ(call(index).message.icon, icon);
    EXPECT_EQ(call(index).message.title, title);
  }
  void expectPrompt(std::size_t index, const std::string& prompt) {
    SCOPED_TRACE("box " + std::to_string(index) + ": " + prompt);
    ASSERT_LT(index, dialogs.calls().size());
    EXPECT_EQ(call(index).kind, DialogCall::Kind::Input);
    EXPECT_EQ(call(index).input.prompt, prompt);
    EXPECT_EQ(call(index).input.title, "Brindle");
    EXPECT_EQ(call(index).input.defaultText, "");
  }

  TempDir folder;
  platform::testing::ScriptedDialogs dialogs;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  CharacterEditNumbers numbers;
  std::unique_ptr<FolderList> list;
};

// Case commands --------------------------------------------------------------

// Every batch rename asks its own question with the list of renames below
// it; a clash is marked, and No renames nothing.
TEST_F(RenameCommandsTest, BatchQuestionsShowTheRenamesAndNoRenamesNothing) {
  for (Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(platform::testing::answerName(answer));
    TempDir each;
    for (const char* name : {"a.mp3", "B.mp3", "b.MP3"}) each.write(name, name);
    FolderList files(each.path());
    files.selectAll();
    dialogs.clear();
    dialogs.answer(answer);
    convertCase(services(), files, CaseKind::Upper);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    const platform::MessageRequest& question = dialogs.calls()[0].message;
    EXPECT_EQ(question.text, "RENAME ALL SELECTED FILES TO UPPER CASE?");
    EXPECT_EQ(question.details,
              "2 files to rename, 1 not renamed (marked):\n"
              "a.mp3 -> A.MP3\n"
              "B.mp3 -> B.MP3\n"
              "b.MP3 -> B.MP3  [not renamed: an earlier file of the batch gets this name]\n");
    const Names expected =
        answer == Answer::Yes ? Names{"A.MP3", "B.MP3", "b.MP3"} : Names{"a.mp3", "B.mp3", "b.MP3"};
    EXPECT_EQ(namesIn(each.path()), expected);
    EXPECT_EQ(TempDir::read(each.file("b.MP3")), "b.MP3");
  }
}

TEST_F(RenameCommandsTest, CaseCommandsAskTheirQuestion) {
  struct Case {
    CaseKind kind;
    const char* question;
    const char* title;
    const char* result;
  };
  const Case cases[] = {
      {CaseKind::Lower, "Rename all Selected Files To Lower Case?", "Rename All Files",
       "my song.mp3"},
      {CaseKind::Upper, "RENAME ALL SELECTED FILES TO UPPER CASE?", "Rename All Selected Files",
       "MY SONG.MP3"},
      {CaseKind::Title, "Rename All Selected To Title Case?", "Convert All Selected Files",
       "My Song.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    TempDir fresh;
    fresh.write("my SONG.Mp3");
    FolderList files(fresh.path());
    files.selectAll();
    dialogs.clear();
    dialogs.answer(Answer::Yes);
    convertCase(services(), files, c.kind);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    expectMessage(0, c.question, Buttons::YesNo, Icon::None, c.title);
    EXPECT_EQ(namesIn(fresh.path()), Names{c.result});
  }
}

TEST_F(RenameCommandsTest, CaseCommandAnsweredNoChangesNothing) {
  FolderList& files = listOf({"Song.MP3"});
  files.selectAll();
  dialogs.answer(Answer::No);
  convertCase(services(), files, CaseKind::Lower);
  EXPECT_EQ(names(), Names{"Song.MP3"});
  EXPECT_EQ(files.rereads, 0);
  EXPECT_TRUE(files.progressMaximums.empty());
}

TEST_F(RenameCommandsTest, CaseQuestionIsAskedWithNothingSelected) {
  FolderList& files = listOf({"Song.MP3"});
  dialogs.answer(Answer::Yes);
  convertCase(services(), files, CaseKind::Upper);
  EXPECT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(files.rereads, 1);
  EXPECT_EQ(names(), Names{"Song.MP3"});
}

// Character edits ------------------------------------------------------------

TEST_F(RenameCommandsTest, RemoveCharactersPromptsThenConfirms) {
  FolderList& files = listOf({"my_song_01.mp3", "other_file.txt"});
  files.select({"my_song_01.mp3"});
  dialogs.type("_").type(" ").answer(Answer::Ok);
  removeCharacters(services(), files);
  expectPrompt(0, "Enter Character to Replace");
  expectPrompt(1, "enter New Character");
  expectMessage(2, "Rename Files Now?", Buttons::OkCancel, Icon::Critical, "Brindle");
  EXPECT_EQ(names(), (Names{"my song 01.mp3", "other_file.txt"}));
  EXPECT_EQ(files.progressMaximums, (std::vector<int>{2}));
  EXPECT_EQ(files.progressValues, (std::vector<int>{0, 0}));
}

TEST_F(RenameCommandsTest, RemoveCharactersCancelledAtConfirmation) {
  FolderList& files = listOf({"Banana.txt"});
  files.selectAll();
  dialogs.type("a").type("").answer(Answer::Cancel);
  removeCharacters(services(), files);
  EXPECT_EQ(dialogs.calls().size(), 3u);
  EXPECT_EQ(names(), Names{"Banana.txt"});
}

TEST_F(RenameCommandsTest, CancelAtAPromptDoesNotEndTheCommand) {
  FolderList& files = listOf({"Banana.txt"});
  files.selectAll();
  // Both prompts cancelled: the confirmation is still asked.
  dialogs.answer(Answer::Ok);
  removeCharacters(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 3u);
  EXPECT_EQ(call(2).message.text, "Rename Files Now?");
  EXPECT_EQ(names(), Names{"Banana.txt"});

  files.selectAll();
  dialogs.type("a").answer(Answer::Ok);  // empty replacement removes the text
  removeCharacters(services(), files);
  EXPECT_EQ(names(), Names{"Bnn.txt"});
}

TEST_F(RenameCommandsTest, RemoveLeftMostWithThreeCharacters) {
  FolderList& files = listOf({"01 Song.mp3"});
  files.selectAll();
  dialogs.type("3").answer(Answer::Ok);
  removeLeftMostCharacters(services(), files, numbers);
  expectPrompt(0, "Enter Number of Characters to Remove");
  expectMessage(1, "Rename Files Now?", Buttons::OkCancel, Icon::Critical, "Brindle");
  EXPECT_EQ(names(), Names{"Song.mp3"});
  EXPECT_EQ(numbers.count, 3);
}

TEST_F(RenameCommandsTest, CountIsKeptBetweenCommands) {
  FolderList& files = listOf({"Song01.mp3", "xxOne.mp3"});
  files.select({"Song01.mp3"});
  dialogs.type("2").answer(Answer::Ok);
  removeRightMostCharacters(services(), files, numbers);
  EXPECT_EQ(names(), (Names{"Song.mp3", "xxOne.mp3"}));

  // Cancel at the prompt: the count of the last command, 2, is used.
  files.select({"xxOne.mp3"});
  dialogs.type("").answer(Answer::Ok);
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(names(), (Names{"Song.mp3", "One.mp3"}));
  EXPECT_EQ(numbers.count, 2);
}

TEST_F(RenameCommandsTest, FirstCountCancelledAfterStartUpIsZero) {
  FolderList& files = listOf({"01 Song.mp3"});
  files.selectAll();
  dialogs.type("").answer(Answer::Ok);
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(names(), Names{"01 Song.mp3"});
  EXPECT_EQ(numbers.count, 0);
}

TEST_F(RenameCommandsTest, UnusableCountKeepsTheStoredValue) {
  FolderList& files = listOf({"abcdef.txt"});
  numbers.count = 2;
  files.selectAll();
  dialogs.type("lots").answer(Answer::Ok);
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(numbers.count, 2);
  EXPECT_EQ(names(), Names{"cdef.txt"});
  files.selectAll();
  dialogs.type("40000").answer(Answer::Ok);  // outside 16 bits
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(names(), Names{"ef.txt"});
}

TEST_F(RenameCommandsTest, CountHalvesGoToEven) {
  FolderList& files = listOf({"abcdef.txt"});
  files.selectAll();
  dialogs.type(" 2.5 ").answer(Answer::Ok);
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(numbers.count, 2);
  EXPECT_EQ(names(), Names{"cdef.txt"});
}

TEST_F(RenameCommandsTest, RemoveMiddleMostPromptsForStartThenCount) {
  FolderList& files = listOf({"abXYcdXY.txt"});
  files.selectAll();
  dialogs.type("3").type("2").answer(Answer::Ok);
  removeMiddleMostCharacters(services(), files, numbers);
  expectPrompt(0, "Enter Starting Place From Left to Right");
  expectPrompt(1, "Enter Number of Characters to Remove");
  expectMessage(2, "Rename Files Now?", Buttons::OkCancel, Icon::Critical, "Brindle");
  EXPECT_EQ(names(), Names{"abcd.txt"});
  EXPECT_EQ(numbers.start, 3);
  EXPECT_EQ(numbers.count, 2);
}

TEST_F(RenameCommandsTest, RemoveMiddleMostResetsStartAndCount) {
  FolderList& files = listOf({"abXYcdXY.txt"});
  numbers = {5, 3};
  files.selectAll();
  dialogs.type("").type("").answer(Answer::Ok);
  removeMiddleMostCharacters(services(), files, numbers);
  EXPECT_EQ(numbers.count, 0);
  EXPECT_EQ(numbers.start, 0);
  EXPECT_EQ(names(), Names{"abXYcdXY.txt"});
}

TEST_F(RenameCommandsTest, CharacterEditCancelledRenamesNothing) {
  FolderList& files = listOf({"01 Song.mp3"});
  files.selectAll();
  dialogs.type("3").answer(Answer::Cancel);
  removeLeftMostCharacters(services(), files, numbers);
  EXPECT_EQ(names(), Names{"01 Song.mp3"});
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
}

// Extension change -----------------------------------------------------------

constexpr const char* kExtensionPrompt =
    "Enter Extension to Rename all Selected Files To.  Don't Use the (.)period.";

TEST_F(RenameCommandsTest, ExtensionChangeAsksThenRenamesWithoutProgress) {
  FolderList& files = listOf({"song.mp3", "my.song.mp3", "README", "keep.mp3"});
  files.select({"song.mp3", "my.song.mp3", "README"});
  dialogs.type("wav").answer(Answer::Yes);
  changeExtensions(services(), files);
  expectPrompt(0, kExtensionPrompt);
  expectMessage(1, "RENAME ALL FILES?", Buttons::YesNo, Icon::None,
                "Rename All Selected File Extensions");
  EXPECT_EQ(names(), (Names{"song.wav", "my.wav", "wav", "keep.mp3"}));
  EXPECT_EQ(files.rereads, 1);
  EXPECT_TRUE(files.progressMaximums.empty());
  EXPECT_TRUE(files.progressValues.empty());
}

TEST_F(RenameCommandsTest, ExtensionWithALeadingPeriodIsRefused) {
  FolderList& files = listOf({"song.wav"});
  files.selectAll();
  dialogs.type(".mp3");
  changeExtensions(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 2u);
  expectMessage(1, "No period needed!", Buttons::Ok, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"song.wav"});
}

TEST_F(RenameCommandsTest, ExtensionOfAnotherLengthOrEmptyEndsSilently) {
  FolderList& files = listOf({"song.wav"});
  for (const char* typed : {"mp3.", "mp", ""}) {
    SCOPED_TRACE(typed);
    files.selectAll();
    dialogs.clear();
    dialogs.type(typed);
    changeExtensions(services(), files);
    EXPECT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(names(), Names{"song.wav"});
  }
}

TEST_F(RenameCommandsTest, ExtensionComparisonIsCaseSensitive) {
  FolderList& files = listOf({"song.MP3", "tune.mp3"});
  files.selectAll();
  dialogs.type("mp3").answer(Answer::Yes);
  changeExtensions(services(), files);
  EXPECT_EQ(names(), (Names{"song.mp3", "tune.mp3"}));
  // song.MP3 only, through a temporary name: the change is one of case.
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 2u);
  EXPECT_EQ(renames[0].path, folder.file("song.MP3"));
  EXPECT_EQ(renames[1].second, folder.file("song.mp3"));
}

TEST_F(RenameCommandsTest, ExtensionAnsweredNoChangesNothing) {
  FolderList& files = listOf({"song.mp3"});
  files.selectAll();
  dialogs.type("m.3").answer(Answer::No);
  changeExtensions(services(), files);
  EXPECT_EQ(names(), Names{"song.mp3"});
  files.selectAll();
  dialogs.type("m.3").answer(Answer::Yes);
  changeExtensions(services(), files);
  EXPECT_EQ(names(), Names{"song.m.3"});
}

// Single rename --------------------------------------------------------------

/// Makes another folder the working directory while it lives.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path) : m_saved(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingDirectory() { std::filesystem::current_path(m_saved); }

 private:
  std::filesystem::path m_saved;
};

TEST_F(RenameCommandsTest, SingleRenameWithoutCurrentEntryIsAborted) {
  FolderList& files = listOf({"a.txt"});
  renameSingleFile(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 1u);
  expectMessage(0, "Rename Aborted!", Buttons::Ok, Icon::None, "Brindle");
}

TEST_F(RenameCommandsTest, SingleRenameAnsweredNoIsAborted) {
  FolderList& files = listOf({"a.txt"});
  files.setCurrent("a.txt");
  dialogs.answer(Answer::No);
  renameSingleFile(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 2u);
  expectMessage(0, "Rename Now\n\r" + folder.file("a.txt"), Buttons::YesNo, Icon::None, "Rename");
  expectMessage(1, "Rename Aborted!", Buttons::Ok, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"a.txt"});
}

TEST_F(RenameCommandsTest, SingleRenameToAFullPath) {
  TempDir elsewhere;
  FolderList& files = listOf({"a.txt", "b.txt"});
  files.setCurrent("a.txt");
  dialogs.answer(Answer::Yes).type(elsewhere.file("moved.txt"));
  renameSingleFile(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 3u);
  EXPECT_EQ(call(1).kind, DialogCall::Kind::Input);
  EXPECT_EQ(call(1).input.prompt, "Enter New Name For:  a.txt");
  EXPECT_EQ(call(1).input.title, "Rename File");
  EXPECT_EQ(call(1).input.defaultText, folder.file("a.txt"));
  expectMessage(
      2, "Rename Complete:\r\n" + folder.file("a.txt") + "\n\rTO:  " + elsewhere.file("moved.txt"),
      Buttons::Ok, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"b.txt"});
  EXPECT_EQ(namesIn(elsewhere.path()), Names{"moved.txt"});
  EXPECT_EQ(files.rereads, 1);
}

// A bare name stays in the folder being browsed, wherever the process's
// working directory is.
TEST_F(RenameCommandsTest, SingleRenameBareNameStaysInTheBrowsedFolder) {
  TempDir working;
  WorkingDirectory cwd(working.path());
  FolderList& files = listOf({"a.txt"});
  files.setCurrent("a.txt");
  dialogs.answer(Answer::Yes).type("renamed.txt");
  renameSingleFile(services(), files);
  EXPECT_EQ(names(), Names{"renamed.txt"});
  EXPECT_TRUE(namesIn(working.path()).empty());
  EXPECT_EQ(call(2).message.text,
            "Rename Complete:\r\n" + folder.file("a.txt") + "\n\rTO:  renamed.txt");
}

// Cancel at the name prompt renamed nothing: no report claims it did.
TEST_F(RenameCommandsTest, SingleRenameCancelledAtTheNameReportsNothing) {
  FolderList& files = listOf({"a.txt"});
  files.setCurrent("a.txt");
  dialogs.answer(Answer::Yes).type("");
  renameSingleFile(services(), files);
  ASSERT_EQ(dialogs.calls().size(), 2u);
  EXPECT_EQ(call(1).kind, DialogCall::Kind::Input);
  EXPECT_EQ(names(), Names{"a.txt"});
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
  EXPECT_EQ(files.rereads, 0);
}

TEST_F(RenameCommandsTest, SingleRenameOntoAnExistingFileFailsAndStillReports) {
  FolderList& files = listOf({"a.txt", "b.txt"});
  files.setCurrent("a.txt");
  dialogs.answer(Answer::Yes).type("b.txt");
  renameSingleFile(services(), files);
  EXPECT_EQ(call(2).message.text.rfind("Rename Complete:", 0), 0u);
  EXPECT_EQ(TempDir::read(folder.file("b.txt")), "b.txt");
  EXPECT_EQ(TempDir::read(folder.file("a.txt")), "a.txt");
}

// The old path of a name that is not UTF-8 is its exact bytes: accepting the
// shown default never reaches another file with a similar-looking name.
TEST_F(RenameCommandsTest, SingleRenameOfANameThatIsNotUtf8UsesItsBytes) {
  FolderList& files = listOf({"\xE9.txt", "\xE8.txt"});
  files.setCurrent("\xE9.txt");
  dialogs.answer(Answer::Yes).type(platform::fileNameToUtf8(folder.file("\xE9.txt")));
  renameSingleFile(services(), files);
  EXPECT_EQ(names(), (Names{"\xE8.txt", "\xE9.txt"}));
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 1u);
  EXPECT_EQ(renames[0].path, folder.file("\xE9.txt"));
  EXPECT_EQ(renames[0].second, folder.file("\xE9.txt"));
  EXPECT_EQ(call(1).input.defaultText, platform::fileNameToUtf8(folder.file("\xE9.txt")));

  // An edited answer that keeps the stand-in character cannot say which
  // bytes it means: nothing is renamed.
  files.setCurrent("\xE9.txt");
  dialogs.answer(Answer::Yes).type(platform::fileNameToUtf8(folder.file("\xE9-2.txt")));
  renameSingleFile(services(), files);
  EXPECT_EQ(names(), (Names{"\xE8.txt", "\xE9.txt"}));

  // A fresh name works on the file's exact bytes.
  files.setCurrent("\xE9.txt");
  dialogs.answer(Answer::Yes).type("fixed.txt");
  renameSingleFile(services(), files);
  EXPECT_EQ(names(), (Names{"\xE8.txt", "fixed.txt"}));
  EXPECT_EQ(TempDir::read(folder.file("fixed.txt")), "\xE9.txt");
}

TEST(TypedTargetPath, ResolvesAnswers) {
  EXPECT_EQ(typedTargetPath("/music", "a.mp3", "b.mp3"), "/music/b.mp3");
  EXPECT_EQ(typedTargetPath("/music", "a.mp3", "sub/b.mp3"), "/music/sub/b.mp3");
  EXPECT_EQ(typedTargetPath("/music", "a.mp3", "/other/b.mp3"), "/other/b.mp3");
  EXPECT_EQ(typedTargetPath("/", "a.mp3", "b.mp3"), "/b.mp3");
  EXPECT_EQ(typedTargetPath("/m\xFF", "a.mp3", "/m\xEF\xBF\xBD/b.mp3"), "/m\xFF/b.mp3");
  EXPECT_EQ(typedTargetPath("/m", "\xFF", "/m/\xEF\xBF\xBD"), "/m/\xFF");
  EXPECT_EQ(typedTargetPath("/m", "\xFF", "/m/\xEF\xBF\xBD.x"), std::nullopt);
  EXPECT_EQ(typedTargetPath("/m", "a", "\xEF\xBF\xBD.x"), "/m/\xEF\xBF\xBD.x");
}

// Name-box rename ------------------------------------------------------------

TEST_F(RenameCommandsTest, NameBoxDoesNothingWithoutASelection) {
  FolderList& files = listOf({"song.mp3"});
  files.setCurrent("song.mp3");
  EXPECT_EQ(renameFromNameBox(services(), files, "x.mp3"), NameBoxOutcome::NothingSelected);
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(RenameCommandsTest, NameBoxOfBlanksDoesNothing) {
  FolderList& files = listOf({"song.mp3"});
  files.selectAll();
  files.setCurrent("song.mp3");
  EXPECT_EQ(renameFromNameBox(services(), files, "   "), NameBoxOutcome::Blank);
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(RenameCommandsTest, NameBoxRenameAsksAndRenames) {
  FolderList& files = listOf({"song.mp3"});
  files.selectAll();
  files.setCurrent("song.mp3");
  dialogs.answer(Answer::Yes);
  EXPECT_EQ(renameFromNameBox(services(), files, "Song.mp3"), NameBoxOutcome::Renamed);
  expectMessage(0,
                "Rename:\r\n" + folder.file("song.mp3") + "\r\nTo:\r\n" + folder.file("Song.mp3"),
                Buttons::YesNo, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"Song.mp3"});
  EXPECT_EQ(files.rereads, 1);
}

TEST_F(RenameCommandsTest, NameBoxKeepsBlanksAsTyped) {
  FolderList& files = listOf({"song.mp3"});
  files.selectAll();
  files.setCurrent("song.mp3");
  dialogs.answer(Answer::Yes);
  renameFromNameBox(services(), files, " song .mp3");
  EXPECT_EQ(names(), Names{" song .mp3"});
}

TEST_F(RenameCommandsTest, NameBoxDeclinedOrSameName) {
  FolderList& files = listOf({"song.mp3"});
  files.selectAll();
  files.setCurrent("song.mp3");
  dialogs.answer(Answer::No);
  EXPECT_EQ(renameFromNameBox(services(), files, "x.mp3"), NameBoxOutcome::Declined);
  dialogs.answer(Answer::Yes);
  EXPECT_EQ(renameFromNameBox(services(), files, "song.mp3"), NameBoxOutcome::SameName);
  expectMessage(2, "Names must be different!", Buttons::Ok, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"song.mp3"});
}

// A typed name with "/" would move the file into another folder: it is
// refused before the question, as the batch renames refuse it.
TEST_F(RenameCommandsTest, NameBoxRefusesNamesThatAreNoPlainFileName) {
  for (const char* typed : {"../x.mp3", "sub/x.mp3", "..", "."}) {
    SCOPED_TRACE(typed);
    FolderList& files = listOf({"song.mp3"});
    files.selectAll();
    files.setCurrent("song.mp3");
    dialogs.clear();
    EXPECT_EQ(renameFromNameBox(services(), files, typed), NameBoxOutcome::NotPlainName);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    expectMessage(
        0, std::string("The file was not renamed:\r\n") + typed + "\r\nnot a plain file name",
        Buttons::Ok, Icon::Critical, "Brindle");
    EXPECT_EQ(names(), Names{"song.mp3"});
    EXPECT_EQ(TempDir::read(folder.file("song.mp3")), "song.mp3");
    EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
  }
}

// A name-box rename that fails tells the user; the file stays as it was and
// the list is re-read.
TEST_F(RenameCommandsTest, NameBoxRenameThatFailsTellsTheUser) {
  FolderList& files = listOf({"a.mp3", "b.mp3"});
  files.selectAll();
  files.setCurrent("a.mp3");
  dialogs.answer(Answer::Yes);
  EXPECT_EQ(renameFromNameBox(services(), files, "b.mp3"), NameBoxOutcome::Failed);
  ASSERT_EQ(dialogs.calls().size(), 2u);
  EXPECT_EQ(call(1).message.text.rfind("The file was not renamed:\r\n" + folder.file("a.mp3"), 0),
            0u);
  EXPECT_EQ(call(1).message.icon, Icon::Critical);
  EXPECT_EQ(files.rereads, 1);
  EXPECT_EQ(TempDir::read(folder.file("a.mp3")), "a.mp3");
  EXPECT_EQ(TempDir::read(folder.file("b.mp3")), "b.mp3");
}

// Numbered rename ------------------------------------------------------------

using Layout = NumberingOptions::Layout;

TEST_F(RenameCommandsTest, NumberedCommonNames) {
  FolderList& files = listOf({"a.mp3", "b.mp3", "c.wav", "d.txt"});
  files.select({"a.mp3", "b.mp3", "c.wav"});
  dialogs.answer(Answer::Yes);
  const NumberedResult result =
      renameNumbered(services(), files, {Layout::Common, "song", ""}, "01");
  EXPECT_EQ(result.outcome, NumberedResult::Outcome::Done);
  expectMessage(0, "RENAME ALL SELECTED FILES?", Buttons::YesNo, Icon::None,
                "Rename All Selected Files");
  EXPECT_EQ(names(), (Names{"song 01.mp3", "song 02.mp3", "song 03.wav", "d.txt"}));
  EXPECT_EQ(files.rereads, 1);
  EXPECT_TRUE(files.progressValues.empty());
}

TEST_F(RenameCommandsTest, NumberedUnselectedFilesUseNoNumber) {
  FolderList& files = listOf({"a.mp3", "b.mp3", "c.mp3"});
  files.select({"a.mp3", "c.mp3"});
  dialogs.answer(Answer::Yes);
  renameNumbered(services(), files, {Layout::UniqueRight, "", "-"}, "9");
  EXPECT_EQ(names(), (Names{"a-09.mp3", "b.mp3", "c-10.mp3"}));
}

TEST_F(RenameCommandsTest, NumberedStartTextRules) {
  FolderList& files = listOf({"track.mp3"});
  files.selectAll();
  dialogs.answer(Answer::Yes);
  renameNumbered(services(), files, {Layout::UniqueLeft, "", ""}, "letters");
  EXPECT_EQ(names(), Names{"00track.mp3"});
  files.selectAll();
  dialogs.answer(Answer::Yes);
  renameNumbered(services(), files, {Layout::Common, "t", ""}, "001");
  EXPECT_EQ(names(), Names{"t 01.mp3"});
}

TEST_F(RenameCommandsTest, NegativeStartIsRefused) {
  FolderList& files = listOf({"a.mp3"});
  files.selectAll();
  const NumberedResult result = renameNumbered(services(), files, {}, "-3");
  EXPECT_EQ(result.outcome, NumberedResult::Outcome::Refused);
  ASSERT_EQ(dialogs.calls().size(), 1u);
  expectMessage(0, "Error, no numbers", Buttons::Ok, Icon::None, "Brindle");
  EXPECT_EQ(names(), Names{"a.mp3"});
}

TEST_F(RenameCommandsTest, NumberedAnsweredNoIsDeclined) {
  FolderList& files = listOf({"a.mp3"});
  files.selectAll();
  dialogs.answer(Answer::No);
  EXPECT_EQ(renameNumbered(services(), files, {}, "01").outcome, NumberedResult::Outcome::Declined);
  EXPECT_EQ(names(), Names{"a.mp3"});
  EXPECT_EQ(files.rereads, 0);
}

// The number text has its leading "0" at every position of the list, also at
// positions 10 to 99.
TEST_F(RenameCommandsTest, NumberTextHasItsZeroAtEveryListPosition) {
  for (int i = 0; i < 12; ++i) {
    const std::string number = std::to_string(i);
    folder.write((i < 10 ? "f0" : "f") + number + ".mp3");
  }
  FolderList files(folder.path());
  files.select({"f10.mp3", "f11.mp3"});
  dialogs.answer(Answer::Yes);
  renameNumbered(services(), files, {Layout::Common, "song", ""}, "1");
  EXPECT_TRUE(names().count("song 01.mp3"));
  EXPECT_TRUE(names().count("song 02.mp3"));
}

// A start above 32767 is refused; a counter that would pass it stops the run,
// and the renames already done stay.
TEST_F(RenameCommandsTest, NumbersStopAtTheHighestNumber) {
  FolderList& files = listOf({"a.mp3", "b.mp3", "c.mp3"});
  files.selectAll();
  const NumberedResult refused = renameNumbered(services(), files, {}, "32768");
  EXPECT_EQ(refused.outcome, NumberedResult::Outcome::Refused);
  expectMessage(0, "Error, numbers go up to 32767", Buttons::Ok, Icon::None, "Brindle");

  files.selectAll();
  dialogs.answer(Answer::Yes);
  const NumberedResult result =
      renameNumbered(services(), files, {Layout::Common, "s", ""}, "32766");
  EXPECT_EQ(result.beyondHighest, 1);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(names(), (Names{"s 32766.mp3", "s 32767.mp3", "c.mp3"}));
  dialogs.clear();
  reportNumbered(dialogs, result);
  ASSERT_EQ(dialogs.calls().size(), 1u);
  expectMessage(0, "Numbering stopped at 32767: 1 selected file(s) were not renamed.", Buttons::Ok,
                Icon::Critical, "Rename Files");
}

// A failed rename does not stop the run; the user learns at the end how many
// failed.
TEST_F(RenameCommandsTest, NumberedFailuresAreCountedAndReported) {
  FolderList& files = listOf({"a.mp3", "b.mp3", "c.mp3", "x 02.mp3"});
  files.select({"a.mp3", "b.mp3", "c.mp3"});
  dialogs.answer(Answer::Yes);
  const NumberedResult result = renameNumbered(services(), files, {Layout::Common, "x", ""}, "1");
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(names(), (Names{"x 01.mp3", "b.mp3", "x 03.mp3", "x 02.mp3"}));
  EXPECT_EQ(TempDir::read(folder.file("x 02.mp3")), "x 02.mp3");
  dialogs.clear();
  reportNumbered(dialogs, result);
  expectMessage(0, "1 file(s) could not be renamed: the new name is taken or not allowed.",
                Buttons::Ok, Icon::Critical, "Rename Files");
  dialogs.clear();
  reportNumbered(dialogs, {NumberedResult::Outcome::Done, 0, 0});
  EXPECT_TRUE(dialogs.calls().empty());
}

/// A list in the root folder whose one selected entry does not exist, so the
/// rename is attempted and fails without touching the disk.
class RootList : public ui::FileListHost {
 public:
  std::string currentDirectory() const override { return "/"; }
  std::string pathBoxText() const override { return "/"; }
  int entryCount() const override { return 1; }
  std::string entryName(int) const override { return "brindle-test-no-such-file.mp3"; }
  std::vector<bool> selectionFlags() const override { return {true}; }
  std::string currentName() const override { return {}; }
  void setProgressMaximum(int) override {}
  void setProgressValue(int) override {}
  void rereadFileList() override {}
};

TEST_F(RenameCommandsTest, NumberedInTheRootFolderAddsNoSeparator) {
  RootList root;
  dialogs.answer(Answer::Yes);
  const NumberedResult result = renameNumbered(services(), root, {Layout::Common, "s", ""}, "1");
  EXPECT_EQ(result.failed, 1);
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 1u);
  EXPECT_EQ(renames[0].path, "/brindle-test-no-such-file.mp3");
  EXPECT_EQ(renames[0].second, "/s 01.mp3");
}

}  // namespace
}  // namespace brindle::rename
