// The rename commands as one table of dialog scripts on a real folder: replies, every box
// shown (text, buttons, icon, title), the names afterwards, the kept counts, the batch recorded.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "history/testing/FakeHistory.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/text/FileNameText.h"
#include "rename/core/RenameCommands.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::testing::DialogCall;
using testing::FolderList;
using testing::namesIn;
using testsupport::TempDir;
using Names = std::set<std::string>;
using Numbers = CharacterEditNumbers;
using Command = std::function<int(RenameServices, FolderList&, Numbers&)>;
using NB = NameBoxOutcome;
using NR = NumberedResult::Outcome;

template <class Outcome>
constexpr int n(Outcome outcome) {
  return static_cast<int>(outcome);
}

/// One line per box: "? prompt | title | default" or "! text | buttons icon | title".
std::string describe(const DialogCall& call) {
  if (call.kind == DialogCall::Kind::Input)
    return "? " + call.input.prompt + " | " + call.input.title + " | " + call.input.defaultText;
  const char* buttons[] = {"Ok", "OkCancel", "YesNo", "SaveDiscardCancel"};
  const char* icons[] = {"", " Critical", " Information"};
  const platform::MessageRequest& m = call.message;
  return "! " + m.text + " | " + buttons[n(m.buttons)] + icons[n(m.icon)] + " | " + m.title;
}

Command caseCommand(CaseKind kind) {
  return [kind](RenameServices s, FolderList& l, Numbers&) { return convertCase(s, l, kind), -1; };
}
Command plain(void (*command)(RenameServices, ui::FileListHost&)) {
  return [command](RenameServices s, FolderList& l, Numbers&) { return command(s, l), -1; };
}
Command counted(void (*command)(RenameServices, ui::FileListHost&, Numbers&)) {
  return [command](RenameServices s, FolderList& l, Numbers& n) { return command(s, l, n), -1; };
}
const Command kLower = caseCommand(CaseKind::Lower), kUpper = caseCommand(CaseKind::Upper),
              kTitle = caseCommand(CaseKind::Title), kChars = plain(removeCharacters),
              kLeft = counted(removeLeftMostCharacters),
              kRight = counted(removeRightMostCharacters),
              kMiddle = counted(removeMiddleMostCharacters), kExt = plain(changeExtensions),
              kSingle = plain(renameSingleFile);
Command nameBox(std::string typed) {
  return [typed](RenameServices s, FolderList& l, Numbers&) {
    return n(renameFromNameBox(s, l, typed));
  };
}
/// The numbered rename and its report, as the dialog's Accept runs them.
Command numbered(std::string name, std::string start,
                 NumberingOptions::Layout layout = NumberingOptions::Layout::Common) {
  return [=](RenameServices s, FolderList& l, Numbers&) {
    const NumberedResult result = renameNumbered(s, l, {layout, name, ""}, start);
    reportNumbered(s.dialogs, result);
    return n(result.outcome);
  };
}

struct Script {
  const char* what;
  Command run;
  std::vector<std::string> files;
  std::string selected;              // "*": all; else names between "|"
  std::vector<std::string> replies;  // "Yes", "No", "OK", "Cancel"; "=text" is typed
  std::vector<std::string> boxes;    // "@": the folder, "%": another folder (with "/")
  Names after;                       // names in the other folder with "%"
  struct Extra {
    std::string current = {};
    int result = -1;  // the NameBoxOutcome or NumberedResult outcome; -1: none
    Numbers numbers = {}, numbersAfter = {};
    int renames = -1, rereads = -1,
        progress = -1;               // rename calls, rereads, progress shown; -1: any
    const char* recorded = nullptr;  // the history's name of the batch
    const char* details = nullptr;   // what the first box lists below its text
    bool full = false;               // the history cannot record
  } x = {};
};

// clang-format off
constexpr const char *kNow = "! Rename Files Now? | OkCancel Critical | Brindle",
    *kCount = "? Enter Number of Characters to Remove | Brindle | ",
    *kStart = "? Enter Starting Place From Left to Right | Brindle | ",
    *kExtPrompt = "? Enter Extension to Rename all Selected Files To.  Don't Use the (.)period. | Brindle | ",
    *kExtQuestion = "! RENAME ALL FILES? | YesNo | Rename All Selected File Extensions",
    *kAborted = "! Rename Aborted! | Ok | Brindle",
    *kNumbered = "! RENAME ALL SELECTED FILES? | YesNo | Rename All Selected Files",
    *kLowerQ = "! Rename all Selected Files To Lower Case? | YesNo | Rename All Files",
    *kUpperQ = "! RENAME ALL SELECTED FILES TO UPPER CASE? | YesNo | Rename All Selected Files",
    *kFind = "? Enter Character to Replace | Brindle | ", *kWith = "? enter New Character | Brindle | ",
    *kAsk = "! Rename Now\n\r@a.txt | YesNo | Rename",
    *kName = "? Enter New Name For:  a.txt | Rename File | @a.txt",
    *kAskE9 = "! Rename Now\n\r@\xE9.txt | YesNo | Rename",
    *kNameE9 = "? Enter New Name For:  \xE9.txt | Rename File | @\xE9.txt";
const Script kScripts[] = {
    {"lower", kLower, {"my SONG.Mp3"}, "*", {"Yes"}, {kLowerQ}, {"my song.mp3"},
     {.renames = 2, .rereads = 1, .progress = 1, .recorded = "Convert All to Lowercase"}},
    {"upper", kUpper, {"my SONG.Mp3"}, "*", {"Yes"}, {kUpperQ}, {"MY SONG.MP3"},
     {.recorded = "Convert All to Uppercase"}},
    {"title", kTitle, {"my SONG.Mp3"}, "*", {"Yes"},
     {"! Rename All Selected To Title Case? | YesNo | Convert All Selected Files"}, {"My Song.mp3"},
     {.recorded = "Convert to Title Case"}},
    {"lower answered No", kLower, {"Song.MP3"}, "*", {"No"}, {kLowerQ}, {"Song.MP3"},
     {.rereads = 0, .progress = 0}},
    {"upper, a clash", kUpper, {"a.mp3", "B.mp3", "b.MP3"}, "*", {"No"}, {kUpperQ},
     {"a.mp3", "B.mp3", "b.MP3"},
     {.details = "2 files to rename, 1 not renamed (marked):\na.mp3 -> A.MP3\nB.mp3 -> B.MP3\nb.MP3 -> B.MP3  [not renamed: an earlier file of the batch gets this name]\n"}},
    {"lower, not recorded", kLower, {"SONG.mp3"}, "*", {"Yes"},
     {kLowerQ, "! No file was renamed: the history could not record the batch: the history is full | Ok Critical | Convert All to Lowercase"},
     {"SONG.mp3"}, {.renames = 0, .full = true}},
    {"replace", kChars, {"my_song_01.mp3", "other_file.txt"}, "my_song_01.mp3", {"=_", "= ", "OK"},
     {kFind, kWith, kNow}, {"my song 01.mp3", "other_file.txt"},
     {.progress = 1, .recorded = "Remove Characters From Filenames"}},
    {"replace cancelled", kChars, {"Banana.txt"}, "*", {"=a", "=", "Cancel"}, {kFind, kWith, kNow},
     {"Banana.txt"}, {.renames = 0}},
    {"replace, prompts cancelled", kChars, {"Banana.txt"}, "*", {"OK"}, {kFind, kWith, kNow}, {"Banana.txt"}},
    {"left 3", kLeft, {"01 Song.mp3"}, "*", {"=3", "OK"}, {kCount, kNow}, {"Song.mp3"},
     {.numbersAfter = {3, 0}, .recorded = "Remove Left Most"}},
    {"right 2", kRight, {"Song01.mp3", "xxOne.mp3"}, "Song01.mp3", {"=2", "OK"}, {kCount, kNow},
     {"Song.mp3", "xxOne.mp3"}, {.numbersAfter = {2, 0}, .recorded = "Remove Right Most"}},
    {"kept count", kLeft, {"xxOne.mp3"}, "*", {"=", "OK"}, {kCount, kNow}, {"One.mp3"},
     {.numbers = {2, 0}, .numbersAfter = {2, 0}}},
    {"middle", kMiddle, {"abXYcdXY.txt"}, "*", {"=3", "=2", "OK"}, {kStart, kCount, kNow}, {"abcd.txt"},
     {.numbers = {7, 7}, .numbersAfter = {2, 3}, .recorded = "Remove Middle Most"}},
    {"middle resets", kMiddle, {"abXYcdXY.txt"}, "*", {"=", "=", "OK"}, {kStart, kCount, kNow},
     {"abXYcdXY.txt"}, {.numbers = {3, 5}, .numbersAfter = {0, 0}}},
    {"ext", kExt, {"song.mp3", "my.song.mp3", "README", "keep.mp3"}, "song.mp3|my.song.mp3|README",
     {"=wav", "Yes"}, {kExtPrompt, kExtQuestion}, {"song.wav", "my.wav", "wav", "keep.mp3"},
     {.rereads = 1, .progress = 0, .recorded = "Rename All Extension(s)"}},
    {"ext with a period", kExt, {"song.wav"}, "*", {"=.mp3"},
     {kExtPrompt, "! No period needed! | Ok | Brindle"}, {"song.wav"}},
    {"ext too short", kExt, {"song.wav"}, "*", {"=mp"}, {kExtPrompt}, {"song.wav"}},
    {"single, no current entry", kSingle, {"a.txt"}, "", {}, {kAborted}, {"a.txt"}},
    {"single answered No", kSingle, {"a.txt"}, "", {"No"}, {kAsk, kAborted}, {"a.txt"}, {.current = "a.txt"}},
    {"single to a full path", kSingle, {"a.txt", "b.txt"}, "", {"Yes", "=%moved.txt"},
     {kAsk, kName, "! Rename Complete:\r\n@a.txt\n\rTO:  %moved.txt | Ok | Brindle"}, {"b.txt", "%moved.txt"},
     {.current = "a.txt", .rereads = 1, .recorded = "Rename Single File"}},
    {"single, bare name", kSingle, {"a.txt"}, "", {"Yes", "=renamed.txt"},
     {kAsk, kName, "! Rename Complete:\r\n@a.txt\n\rTO:  renamed.txt | Ok | Brindle"}, {"renamed.txt"},
     {.current = "a.txt"}},
    {"single cancelled at the name", kSingle, {"a.txt"}, "", {"Yes", "="}, {kAsk, kName}, {"a.txt"},
     {.current = "a.txt", .renames = 0, .rereads = 0}},
    {"single onto an existing file", kSingle, {"a.txt", "b.txt"}, "", {"Yes", "=b.txt"},
     {kAsk, kName, "! Rename Complete:\r\n@a.txt\n\rTO:  b.txt | Ok | Brindle"}, {"a.txt", "b.txt"},
     {.current = "a.txt"}},
    {"single, edited stand-in", kSingle, {"\xE9.txt", "\xE8.txt"}, "", {"Yes", "=@\xE9-2.txt"},
     {kAskE9, kNameE9, "! Rename Complete:\r\n@\xE9.txt\n\rTO:  @\xE9-2.txt | Ok | Brindle"},
     {"\xE8.txt", "\xE9.txt"}, {.current = "\xE9.txt", .renames = 0}},
    {"name box, nothing selected", nameBox("x.mp3"), {"song.mp3"}, "", {}, {}, {"song.mp3"},
     {.current = "song.mp3", .result = n(NB::NothingSelected)}},
    {"name box of blanks", nameBox("   "), {"song.mp3"}, "*", {}, {}, {"song.mp3"},
     {.current = "song.mp3", .result = n(NB::Blank)}},
    {"name box", nameBox("Song.mp3"), {"song.mp3"}, "*", {"Yes"},
     {"! Rename:\r\n@song.mp3\r\nTo:\r\n@Song.mp3 | YesNo | Brindle"}, {"Song.mp3"},
     {.current = "song.mp3", .result = n(NB::Renamed), .rereads = 1, .recorded = "Save Edited"}},
    {"name box keeps blanks", nameBox(" song .mp3"), {"song.mp3"}, "*", {"Yes"},
     {"! Rename:\r\n@song.mp3\r\nTo:\r\n@ song .mp3 | YesNo | Brindle"}, {" song .mp3"},
     {.current = "song.mp3"}},
    {"name box declined", nameBox("x.mp3"), {"song.mp3"}, "*", {"No"},
     {"! Rename:\r\n@song.mp3\r\nTo:\r\n@x.mp3 | YesNo | Brindle"}, {"song.mp3"},
     {.current = "song.mp3", .result = n(NB::Declined)}},
    {"name box, same name", nameBox("song.mp3"), {"song.mp3"}, "*", {"Yes"},
     {"! Rename:\r\n@song.mp3\r\nTo:\r\n@song.mp3 | YesNo | Brindle", "! Names must be different! | Ok | Brindle"},
     {"song.mp3"}, {.current = "song.mp3", .result = n(NB::SameName)}},
    {"name box, into a folder", nameBox("sub/x.mp3"), {"song.mp3"}, "*", {},
     {"! The file was not renamed:\r\nsub/x.mp3\r\nnot a plain file name | Ok Critical | Brindle"},
     {"song.mp3"}, {.current = "song.mp3", .result = n(NB::NotPlainName), .renames = 0}},
    {"name box, taken", nameBox("b.mp3"), {"a.mp3", "b.mp3"}, "*", {"Yes"},
     {"! Rename:\r\n@a.mp3\r\nTo:\r\n@b.mp3 | YesNo | Brindle", "! The file was not renamed:\r\n@a.mp3\r\nCannot rename \"@a.mp3\": File exists | Ok Critical | Brindle"},
     {"a.mp3", "b.mp3"}, {.current = "a.mp3", .result = n(NB::Failed), .rereads = 1}},
    {"numbered", numbered("song", "01"), {"a.mp3", "b.mp3", "c.wav", "d.txt"}, "a.mp3|b.mp3|c.wav", {"Yes"},
     {kNumbered}, {"song 01.mp3", "song 02.mp3", "song 03.wav", "d.txt"},
     {.result = n(NR::Done), .rereads = 1, .progress = 0, .recorded = "Rename All Files"}},
    {"numbered, letters start at 0", numbered("", "letters", NumberingOptions::Layout::UniqueLeft), {"track.mp3"}, "*",
     {"Yes"}, {kNumbered}, {"00track.mp3"}},
    {"numbered, negative", numbered("t", "-3"), {"a.mp3"}, "*", {}, {"! Error, no numbers | Ok | Brindle"},
     {"a.mp3"}, {.result = n(NR::Refused)}},
    {"numbered, beyond the highest", numbered("t", "32768"), {"a.mp3"}, "*", {},
     {"! Error, numbers go up to 32767 | Ok | Brindle"}, {"a.mp3"}},
    {"numbered answered No", numbered("t", "1"), {"a.mp3"}, "*", {"No"}, {kNumbered}, {"a.mp3"},
     {.result = n(NR::Declined), .rereads = 0}},
    {"numbers stop at 32767", numbered("s", "32767"), {"a.mp3", "b.mp3"}, "*", {"Yes"},
     {kNumbered, "! Numbering stopped at 32767: 1 selected file(s) were not renamed. | Ok Critical | Rename Files"},
     {"s 32767.mp3", "b.mp3"}},
    {"numbered, a failure", numbered("x", "1"), {"a.mp3", "b.mp3", "c.mp3", "x 02.mp3"}, "a.mp3|b.mp3|c.mp3",
     {"Yes"},
     {kNumbered, "! 1 file(s) could not be renamed: the new name is taken or not allowed. | Ok Critical | Rename Files"},
     {"x 01.mp3", "b.mp3", "x 03.mp3", "x 02.mp3"}},
};
// clang-format on

TEST(RenameCommandScripts, EveryScriptShowsItsBoxesAndLeavesItsNames) {
  TempDir other;
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(other.path());  // a bare name never lands here
  for (const Script& s : kScripts) {
    SCOPED_TRACE(s.what);
    TempDir folder;
    const auto expand = [&](std::string text) {
      std::string result;
      for (char c : text)
        result += c == '@'   ? folder.path() + "/"
                  : c == '%' ? other.path() + "/"
                             : std::string(1, c);
      return platform::fileNameToUtf8(result);
    };
    for (const std::string& name : s.files) folder.write(name, name);
    FolderList list(folder.path());
    if (s.selected == "*") list.selectAll();
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1)
      list.select({s.selected.substr(at, (end = s.selected.find('|', at)) - at)});
    list.setCurrent(s.x.current);
    platform::testing::ScriptedDialogs dialogs;
    for (const std::string& reply : s.replies) {
      if (reply.starts_with('=')) dialogs.type(expand(reply.substr(1)));
      for (platform::Answer answer : {platform::Answer::Yes, platform::Answer::No,
                                      platform::Answer::Ok, platform::Answer::Cancel})
        if (reply == platform::testing::answerName(answer)) dialogs.answer(answer);
    }
    platform::posix::PosixFileSystem real;
    platform::testing::RecordingFileSystem fileSystem{real};
    history::testing::FakeHistory history;
    history.refuseNext = s.x.full;
    Numbers numbers = s.x.numbers;

    const int result = s.run({dialogs, fileSystem, &history}, list, numbers);

    std::vector<std::string> boxes, expected;
    for (const DialogCall& call : dialogs.calls()) boxes.push_back(describe(call));
    for (const std::string& box : s.boxes) expected.push_back(expand(box));
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(dialogs.pendingSteps(), 0u);
    Names after = namesIn(folder.path()), contents;
    for (const std::string& name : after) contents.insert(TempDir::read(folder.file(name)));
    for (const std::string& name : namesIn(other.path())) {
      after.insert("%" + name);
      contents.insert(TempDir::read(other.file(name)));
      std::filesystem::remove(other.file(name));
    }
    EXPECT_EQ(after, s.after);
    EXPECT_EQ(contents, Names(s.files.begin(), s.files.end()));  // no file lost or replaced
    const auto checked = [](int expected, int actual) { return expected < 0 ? expected : actual; };
    const int renames =
        static_cast<int>(fileSystem.callsOf(platform::testing::FsOp::Rename).size());
    EXPECT_EQ(std::vector({checked(s.x.result, result), int{numbers.count}, int{numbers.start},
                           checked(s.x.renames, renames), checked(s.x.rereads, list.rereads),
                           checked(s.x.progress, !list.progressMaximums.empty())}),
              std::vector({s.x.result, int{s.x.numbersAfter.count}, int{s.x.numbersAfter.start},
                           s.x.renames, s.x.rereads, s.x.progress}));
    EXPECT_TRUE(!s.x.details || dialogs.calls().at(0).message.details == s.x.details);
    if (s.x.recorded) {
      ASSERT_EQ(history.recorded().size(), 1u);
      EXPECT_EQ(history.recorded()[0].summary.command, s.x.recorded);
      EXPECT_EQ(history.recorded()[0].summary.state, history::BatchState::Done);
    }
  }
  std::filesystem::current_path(working);
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

}  // namespace
}  // namespace brindle::rename
