// The rules behind the main window's lists, path bar, menus, help file and Undo, without widgets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "history/History.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"
#include "ui/core/ContextHelp.h"
#include "ui/core/FileListing.h"
#include "ui/core/HelpFile.h"
#include "ui/core/Mnemonics.h"
#include "ui/core/PathBar.h"
#include "ui/core/RememberedFolder.h"
#include "ui/history/UndoCommands.h"

namespace brindle::ui {
namespace {

using Names = std::vector<std::string>;
using platform::testing::FsOp;

// Names ignore case (beyond ASCII; ties, non-UTF-8 by bytes); equal sizes/dates keep name order.
TEST(FileListing, SortsNamesSizesAndDatesPathsAndDrives) {
  using enum FileOrder;
  // clang-format off
  const std::pair<Names, Names> rows[] = {
      {{"b.txt", "A.txt", "c.TXT", "a2", "_x", ".hidden", "B"}, {".hidden", "_x", "A.txt", "a2", "B", "b.txt",
                                                                  "c.TXT"}},
      {{"abc", "ABC", "Abc"}, {"ABC", "Abc", "abc"}},
      {{"\xC3\xA9" "b", "z", "\xC3\x89" "a", "a"}, {"a", "z", "\xC3\x89" "a", "\xC3\xA9" "b"}},
      {{"\xFF\xFE", "a", "\xFE", "\xFF\xFE"}, {"a", "\xFE", "\xFF\xFE", "\xFF\xFE"}},
  };
  for (auto [names, expected] : rows) EXPECT_EQ((sortNamesCaseInsensitive(names), names), expected);
  const std::tuple<FileOrder, bool, std::string> orders[] = {{Name, false, "aBcd"}, {Name, true, "dcBa"},
      {Size, false, "Bdac"}, {Size, true, "acdB"}, {Modified, false, "caBd"}, {Modified, true, "Bdac"}};
  for (const auto& [order, descending, expected] : orders) {
    std::vector<ListedFile> files{{"a", {300, 20}}, {"B", {100, 30}}, {"c", {300, 10}}, {"d", {200, 30}}};
    sortListedFiles(files, order, descending);
    EXPECT_EQ(files[0].name + files[1].name + files[2].name + files[3].name, expected) << int(order);
  }
  EXPECT_EQ(sizeText(1023) + sizeText(1536) + sizeText(2960261) + sizeText(1288490189),
            "1023 B1.5 KB2.8 MB1.2 GB");
  EXPECT_EQ(selectionSummary(3, 29) + selectionSummary(1, 1), "3 of 29 files selected1 of 1 file selected");
  EXPECT_EQ(pathAncestors("/home/user"), (Names{"/", "/home", "/home/user"}));
  EXPECT_EQ(pathAncestors("/"), (Names{"/"}));
  const Names drives{"/", "/media", "/media/usb", "/home"};
  EXPECT_EQ((Names{driveOf(drives, "/media/usb/music"), driveOf(drives, "/media/usb2/music"),
                   driveOf(drives, "/homework"), driveOf(drives, "/home"), driveOf({}, "/x")}),
            (Names{"/media/usb", "/media", "/", "/home", "/"}));
  EXPECT_EQ(normalizePath("/a//b/./c/../d/") + normalizePath("/..") + normalizePath(""), "/a/b/d//");
  // clang-format on
  // One free letter per caption, preferably at a word start; the text unchanged.
  const std::pair<QStringList, QStringList> captionRows[] = {
      {{"Edit", "Edit File", "Exit"}, {"&Edit", "Edit &File", "E&xit"}},
      {{"Save", "", "(?)", "Sun"}, {"&Save", "", "(?)", "S&un"}},
      {{"E&xit", "Exit"}, {"E&xit", "&Exit"}},
      {{"ab", "ab", "ab"}, {"&ab", "a&b", "ab"}},
  };
  for (const auto& [captions, marked] : captionRows) {
    EXPECT_EQ(withMnemonics(captions), marked);
    for (qsizetype i = 0; i < marked.size(); ++i)
      EXPECT_EQ(withoutMnemonic(marked[i]), withoutMnemonic(captions[i]));
  }
}

// Files (dot files too) and folders apart; completions; the remembered folder while it is one.
TEST(FileListing, FolderContents) {
  testsupport::TempDir dir;
  for (const char* name : {"Music", "music old", "Mixes"}) dir.makeDirectory(name);
  for (const char* name : {".profile", "Music notes.txt"}) dir.write(name);
  const std::string file = dir.write("b.mp3"), root = dir.path();
  platform::posix::PosixFileSystem fs;
  EXPECT_EQ(readFileList(fs, root).value(), (Names{".profile", "b.mp3", "Music notes.txt"}));
  EXPECT_EQ(readSubdirectories(fs, root).value(), (Names{"Mixes", "Music", "music old"}));
  EXPECT_FALSE(readFileList(fs, dir / "gone").ok());
  // clang-format off
  const std::pair<std::string, Names> completions[] = {
      {root + "/Mu", {root + "/Music"}}, {root + "/M", {root + "/Mixes", root + "/Music"}},
      {root + "/", {root + "/Mixes", root + "/Music", root + "/music old"}},
      {root + "/x", {}}, {root + "/gone/M", {}}, {"Music", {}}, {"", {}},
  };
  const std::pair<std::optional<std::string>, std::string> remembered[] = {
      {std::nullopt, "/given"}, {root, root}, {root + "/gone", "/given"}, {file, "/given"}, {"", "/given"},
  };
  // clang-format on
  for (const auto& [typed, found] : completions) EXPECT_EQ(folderCompletions(fs, typed), found);
  for (const auto& [folder, expected] : remembered) {
    platform::testing::MemorySettings settings;
    if (folder) rememberFolder(settings, *folder);
    EXPECT_EQ(startFolder(settings, fs, "/given"), expected) << folder.value_or("(none)");
  }
}

TEST(HelpFile, ShowsExactlyTheTopicLinesFromTheProgramsFolder) {
  // clang-format off
  const std::tuple<const char*, long, const char*> cases[] = {
      {"HID:20\r\nfirst\r\nsecond\r\nHIDOVER:\r\n", 20, "first\r\nsecond\r\n"},
      {"hid:20\r\ntext\r\nHIDOVER:\r\n", 20, "text\r\n"},                      // lower case opening
      {"HID:20\r\ntext\r\nhidover:\r\nafter\r\n", 20, "text\r\n"},             // lower case closing
      {"HID:20\r\ntext\r\n HIDOVER:\r\nmore\r\nHIDOVER:\r\n", 20, "text\r\n HIDOVER:\r\nmore\r\n"},
      {"HID:20 \r\nwrong\r\nHIDOVER:\r\nHID:20\r\nright\r\nHIDOVER:\r\n", 20, "right\r\n"},
      {"HID:200\r\nwrong\r\nHIDOVER:\r\n", 20, ""},                           // same prefix
      {"HID:0\r\none\r\nHIDOVER:\r\nHID:0\r\ntwo\r\nHIDOVER:\r\n", 0, "one\r\n"},  // first wins
      {"HID:1\r\nx\r\nHIDOVER:\r\n", 2, ""},                                  // missing
      {"HID:3\r\na\r\nb", 3, "a\r\nb\r\n"},                                   // no closing line
      {"HID:4\r\nHIDOVER:\r\n", 4, ""},
      {"intro\r\nHID:5\r\nx\r\nHIDOVER:\r\ntail\r\n", 5, "x\r\n"},
      {"HID:6\r\n\r\nx\r\n\r\nHIDOVER:\r\n", 6, "\r\nx\r\n\r\n"},
      {"HID:8\nx\ny\nHIDOVER:\n", 8, "x\r\ny\r\n"},
  };
  // clang-format on
  for (const auto& [file, topic, shown] : cases)
    EXPECT_EQ(findHelpTopic(file, helpTopicKey(topic)), shown) << file;
  EXPECT_EQ(latin1ToUtf8("caf\xE9 \xFF"), "caf\xC3\xA9 \xC3\xBF");
  // ShowHelpTopic: from the program's folder, 8-bit decoded; normal pointer: nothing; help mode off
  // first.
  testsupport::TempDir folder;
  folder.write("Brindlehelp.txt", "HID:20\r\nLower case.\r\nHIDOVER:\r\nHID:21\r\nT\xE9st\r\n");
  platform::testing::TestPlatform test(folder.path());
  platform::Platform services = test.platform();
  ContextHelp help{services};
  std::vector<int> pointers;
  HelpMode window, other([&](int shape) { pointers.push_back(shape); }), removed;
  for (HelpMode* mode : {&window, &other, &removed}) {
    help.addWindow(*mode);
    mode->toggle();
  }
  help.removeWindow(removed);
  test.dialogs.setObserver([&](const auto&) { pointers.push_back(window.pointerShape()); });
  const auto shown = [&](long topic, int pointer) {
    test.dialogs.clear();
    help.ShowHelpTopic(topic, "Brindlehelp.txt", pointer);
    return test.dialogs.calls().empty() ? "(none)" : test.dialogs.messages().at(0).text;
  };
  EXPECT_EQ(shown(20, kNormalPointer), "(none)");
  EXPECT_TRUE(window.isOn());
  EXPECT_EQ(shown(20, kHelpPointer), "Lower case.\r\n");
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::ReadFile).at(0).path, folder.file("Brindlehelp.txt"));
  EXPECT_EQ(test.dialogs.messages().at(0).title, "Help!");
  EXPECT_EQ(pointers, (std::vector<int>{kHelpPointer, kNormalPointer, kNormalPointer}));
  EXPECT_FALSE(window.isOn());
  EXPECT_TRUE(removed.isOn());
  EXPECT_FALSE(help.handledAsHelp(window, 20));
  EXPECT_EQ(shown(21, kHelpPointer), "T\xC3\xA9st\r\n");
  test.fileSystem.fail(FsOp::ReadFile, {13, "Cannot open: Permission denied"});
  EXPECT_NE(shown(20, kHelpPointer).find("help file"), std::string::npos);
  EXPECT_EQ(test.dialogs.messages().at(0).icon, platform::Icon::Critical);
}

// Caption: newest undoable batch; undo told in one message, is itself newest; refusals said; rows.
TEST(UndoCommands, UndoesTheNewestOrAChosenBatchAndSaysWhyNot) {
  testsupport::TempDir folder;
  auto store = std::move(history::openHistory(":memory:").value());
  platform::posix::PosixFileSystem fs;
  platform::testing::ScriptedDialogs dialogs;
  const auto renamed = [&](const std::string& command, const std::string& from,
                           const std::string& to,
                           history::BatchState state = history::BatchState::Done) {
    folder.write(from, from);
    const history::BatchId id =
        store->beginBatch(command, {}, {{folder.path(), from, "", to}}).value();
    std::filesystem::rename(folder / from, folder / to);
    EXPECT_TRUE(store->closeBatch(id, state).ok());
    return id;
  };
  const auto menu = [&](history::History* h) {
    const UndoMenuState state = undoMenuState(h);
    return state.caption + (state.enabled ? " (on)" : "");
  };
  const auto said = [&] {
    std::string all;
    for (const auto& box : dialogs.messages())
      all += box.text + (box.icon == platform::Icon::Critical ? "!|" : "|");
    dialogs.clear();
    return all;
  };
  EXPECT_EQ(menu(nullptr) + "|" + menu(store.get()), "Undo|Undo");
  EXPECT_FALSE(undoNewestBatch(nullptr, fs, dialogs) || undoNewestBatch(store.get(), fs, dialogs));
  EXPECT_EQ(said(), "Nothing to undo|Nothing to undo|");
  const history::BatchId first = renamed("Convert All to Lowercase", "A.mp3", "a.mp3");
  const history::BatchId newest = renamed("Convert All to Uppercase", "B.mp3", "B.MP3");
  ASSERT_TRUE(store->beginBatch("Save", {}, {}).ok());
  EXPECT_EQ(menu(store.get()), "Undo Convert All to Uppercase (on)");
  ASSERT_TRUE(undoNewestBatch(store.get(), fs, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.mp3") &&
              std::filesystem::exists(folder / "a.mp3"));
  EXPECT_EQ(said(), "undid batch " + std::to_string(newest) +
                        ": 1 file(s) restored\n  restored: " + (folder / "B.mp3") + "|");
  EXPECT_EQ(menu(store.get()), "Undo Undo Convert All to Uppercase (on)");
  ASSERT_TRUE(undoNewestBatch(store.get(), fs, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.MP3"));
  ASSERT_TRUE(undoChosenBatch(*store, fs, dialogs, first));
  ASSERT_FALSE(undoChosenBatch(*store, fs, dialogs, first));
  const std::string told = said();
  EXPECT_TRUE(told.find("|Cannot undo: ") != std::string::npos && told.ends_with("!|")) << told;
  EXPECT_TRUE(std::filesystem::exists(folder / "A.mp3"));
  // The rows: newest first, with local time, command, file count, state and whether undoable.
  renamed("stopped", "s", "s2", history::BatchState::Stopped);
  renamed("recovered", "r", "r2", history::BatchState::Recovered);
  renamed("undone", "u", "u2", history::BatchState::Undone);
  ASSERT_TRUE(store->beginBatch("open", {}, {{folder.path(), "x", "", "y"}}).ok());
  std::string rows;
  const auto listed = historyRows(*store);
  for (const HistoryRow& row : listed.value()) {
    rows += row.command + " " + row.state + " " + std::to_string(row.fileCount) +
            (row.undoable ? " u" : "") + (row.time.size() == 19 ? "|" : " (time?)|");
  }
  // clang-format off
  EXPECT_EQ(rows, "open open 1|undone undone 1|recovered recovered 1 u|stopped stopped 1 u|"
                  "Undo Convert All to Lowercase done 1 u|Undo Undo Convert All to Uppercase done 1 u|"
                  "Undo Convert All to Uppercase undone 1|Save open 0|Convert All to Uppercase undone 1|"
                  "Convert All to Lowercase undone 1|");
  // clang-format on
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  const std::string utc = localTimeText(1796594980);
  ::setenv("TZ", "UTC-2", 1);
  ::tzset();
  EXPECT_EQ(utc + "|" + localTimeText(1796594980) + "|" + localTimeText(-7200),
            "2026-12-06 22:09:40|2026-12-07 00:09:40|1970-01-01 00:00:00");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace brindle::ui
