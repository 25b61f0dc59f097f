// The edit and delete commands: their questions, what they delete, how they
// stop on a failure, and the editor started with the path as one argument.
// Run through the main window's menu items and keys, and against a stand-in
// list where the exact progress steps matter.
#include "app/commands/FileCommands.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <filesystem>

#include "tests/app/FakeFileList.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Error;
using platform::Icon;
using platform::MessageRequest;
using platform::testing::FsOp;
using Paths = std::vector<std::string>;

const std::string kTrickyName = "a b; rm -rf x $(y) 'q' \"d\" *.txt";

class FileCommandsTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) browsed.write(name, name);
  }

  void run(const std::string& item) {
    QAction* action = window->menuItem(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
  }
  bool exists(const std::string& name) { return std::filesystem::exists(browsed.file(name)); }
  Paths removed() {
    Paths paths;
    for (const auto& call : test.fileSystem.callsOf(FsOp::Remove)) paths.push_back(call.path);
    return paths;
  }
  static void expectBox(const MessageRequest& box, const std::string& text, Buttons buttons,
                        Icon icon, const std::string& title) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, buttons);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.title, title);
  }
};

// Delete the current entry.

TEST_F(FileCommandsTest, DeleteDeclinedKeepsTheFile) {
  start();
  clickEntry(1);
  test.dialogs.answer(Answer::No);
  run("delete");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  expectBox(test.dialogs.messages()[0], "Delete: " + browsed.file("b.txt"), Buttons::YesNo,
            Icon::None, "Delete");
  EXPECT_TRUE(removed().empty());
  EXPECT_TRUE(exists("b.txt"));
  EXPECT_EQ(window->fileList().listCount(), 4);
}

TEST_F(FileCommandsTest, DeleteAcceptedDeletesOnlyTheCurrentEntryAndRereads) {
  start();
  clickEntry(0);
  clickEntry(2, Qt::ControlModifier);  // two selected, c.txt current
  test.dialogs.answer(Answer::Yes);
  run("delete");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Delete: " + browsed.file("c.txt"));
  EXPECT_EQ(removed(), Paths{browsed.file("c.txt")});
  EXPECT_FALSE(exists("c.txt"));
  EXPECT_TRUE(exists("a.txt"));
  EXPECT_EQ(window->fileList().listCount(), 3);
  EXPECT_EQ(window->countBox().text(), "3");
}

TEST_F(FileCommandsTest, DeleteKeyWithSeveralSelectedDeletesTheCurrentEntryOnly) {
  start();
  clickEntry(3);
  clickEntry(1, Qt::ControlModifier);
  test.dialogs.answer(Answer::Yes);
  QTest::keyClick(&window->fileList(), Qt::Key_Delete);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Delete: " + browsed.file("b.txt"));
  EXPECT_EQ(removed(), Paths{browsed.file("b.txt")});
  EXPECT_TRUE(exists("d.txt"));
  EXPECT_EQ(window->countBox().text(), "3");
}

TEST_F(FileCommandsTest, DeleteWithoutACurrentEntryDoesNothing) {
  start();
  ASSERT_EQ(window->fileList().listIndex(), -1);
  run("delete");
  QTest::keyClick(&window->fileList(), Qt::Key_Delete);
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_TRUE(test.fileSystem.calls().empty());
}

TEST_F(FileCommandsTest, AFailingDeleteStopsQuietlyWithoutReread) {
  start();
  clickEntry(0);
  browsed.write("new.txt");
  test.fileSystem.fail(FsOp::Remove, Error{EACCES, "denied"});
  test.dialogs.answer(Answer::Yes);
  run("delete");
  EXPECT_EQ(test.dialogs.messages().size(), 1u) << "only the question, no failure message";
  EXPECT_EQ(removed(), Paths{browsed.file("a.txt")});
  EXPECT_TRUE(exists("a.txt"));
  EXPECT_EQ(window->fileList().listCount(), 4) << "the list must not be re-read";
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::ListDirectory).empty());
}

TEST_F(FileCommandsTest, DeletingAFileThatIsAlreadyGoneIsQuiet) {
  start();
  clickEntry(3);
  std::filesystem::remove(browsed.file("d.txt"));
  test.dialogs.answer(Answer::Yes);
  run("delete");
  EXPECT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(window->fileList().listCount(), 4);
}

// Delete the selection.

// With a desktop trash, both deletions move the files there with every byte,
// so they can be restored; nothing is removed for good.
TEST_F(FileCommandsTest, DeletedFilesGoToTheTrash) {
  struct Row {
    const char* item;
    std::vector<int> selected;
    Paths trashedNames;
  };
  const Row rows[] = {
      {"delete", {1}, {"b.txt"}},
      {"deletefile", {0, 2}, {"a.txt", "c.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.item);
    testsupport::TempDir trash;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) browsed.write(name, name);
    start();
    test.shell.setTrashFolder(trash.path());
    test.fileSystem.clearCalls();
    test.dialogs.clear();
    clickEntry(row.selected.front());
    for (std::size_t i = 1; i < row.selected.size(); ++i) {
      clickEntry(row.selected[i], Qt::ControlModifier);
    }
    test.dialogs.answer(Answer::Yes);
    run(row.item);
    EXPECT_TRUE(removed().empty()) << "nothing may be deleted for good";
    for (const std::string& name : row.trashedNames) {
      EXPECT_FALSE(exists(name)) << name;
      EXPECT_EQ(testsupport::TempDir::read(trash.file(name)), name);
    }
    EXPECT_EQ(window->fileList().listCount(), 4 - static_cast<int>(row.trashedNames.size()));
  }
}

TEST_F(FileCommandsTest, DeleteSelectionDeclinedKeepsEveryFile) {
  start();
  window->fileList().selectAllEntries();
  test.dialogs.answer(Answer::No);
  run("deletefile");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  expectBox(test.dialogs.messages()[0], "Delete Selected Files?", Buttons::YesNo, Icon::Critical,
            "Brindle");
  EXPECT_TRUE(removed().empty());
  EXPECT_EQ(window->fileList().listCount(), 4);
}

TEST_F(FileCommandsTest, DeleteSelectionDeletesTheSelectedFilesAndRereads) {
  start();
  clickEntry(0);
  clickEntry(2, Qt::ControlModifier);
  clickEntry(3, Qt::ControlModifier);
  std::vector<int> values;
  QObject::connect(&window->progressBar(), &QProgressBar::valueChanged,
                   [&](int value) { values.push_back(value); });
  test.dialogs.answer(Answer::Yes);
  run("deletefile");
  EXPECT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(removed(),
            (Paths{browsed.file("a.txt"), browsed.file("c.txt"), browsed.file("d.txt")}));
  EXPECT_TRUE(exists("b.txt"));
  EXPECT_EQ(window->fileList().listCount(), 1);
  EXPECT_EQ(window->countBox().text(), "1");
  EXPECT_EQ(window->progressBar().maximum(), 4);
  EXPECT_EQ(values, (std::vector<int>{2, 3, 0}));
  EXPECT_EQ(window->progressBar().value(), 0);
}

TEST_F(FileCommandsTest, DeleteSelectionWithNothingSelectedStillAsksAndRereads) {
  start();
  browsed.write("new.txt");
  test.dialogs.answer(Answer::Yes);
  run("deletefile");
  EXPECT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_TRUE(removed().empty());
  EXPECT_EQ(window->fileList().listCount(), 5);
  EXPECT_EQ(window->countBox().text(), "5");
}

TEST_F(FileCommandsTest, AFailingDeletionInTheSelectionStopsWithAMessage) {
  start();
  window->fileList().selectAllEntries();
  test.fileSystem.fail(FsOp::Remove, Error{EBUSY, "in use"}, browsed.file("b.txt"));
  test.dialogs.answer(Answer::Yes);
  run("deletefile");
  ASSERT_EQ(test.dialogs.messages().size(), 2u);
  expectBox(test.dialogs.messages()[1], "Error deleting Files!", Buttons::Ok, Icon::None,
            "Brindle");
  EXPECT_EQ(removed(), (Paths{browsed.file("a.txt"), browsed.file("b.txt")}));
  EXPECT_FALSE(exists("a.txt"));
  EXPECT_TRUE(exists("b.txt"));
  EXPECT_TRUE(exists("c.txt"));
  EXPECT_TRUE(exists("d.txt"));
  EXPECT_EQ(window->fileList().listCount(), 4) << "the list must not be re-read";
}

TEST(DeleteSelection, WalksTheSelectionOnceWithTheProgressBar) {
  platform::testing::TestPlatform test;
  platform::Platform services = test.platform();
  testsupport::TempDir folder;
  for (const char* name : {"0", "1", "2", "3", "4"}) folder.write(name);
  FakeFileList list(folder.path(), {"0", "1", "2", "3", "4"});
  list.selected = {false, true, false, false, true};
  test.dialogs.answer(Answer::Yes);
  deleteSelection(services, list);
  EXPECT_EQ(list.selectionReads, 1);
  EXPECT_EQ(list.progress, (std::vector<std::string>{"max 5", "value 1", "value 4", "value 0"}));
  EXPECT_EQ(list.rereads, 1);
  EXPECT_TRUE(std::filesystem::exists(folder.file("0")));
  EXPECT_FALSE(std::filesystem::exists(folder.file("1")));
  EXPECT_FALSE(std::filesystem::exists(folder.file("4")));
}

TEST(DeleteSelection, AnEmptyListLeavesTheProgressBarsMaximumAlone) {
  platform::testing::TestPlatform test;
  platform::Platform services = test.platform();
  FakeFileList list("/nowhere", {});
  test.dialogs.answer(Answer::Yes);
  deleteSelection(services, list);
  EXPECT_EQ(list.progress, (std::vector<std::string>{"value 0"}));
  EXPECT_EQ(list.rereads, 1);
  EXPECT_TRUE(test.fileSystem.calls().empty());
}

// Edit in the text editor.

TEST_F(FileCommandsTest, EditStartsTheEditorWithThePathAsOneArgument) {
  browsed.write(kTrickyName);
  start();
  int tricky = -1;
  for (int i = 0; i < window->fileList().listCount(); ++i) {
    if (window->fileList().entryName(i) == kTrickyName) tricky = i;
  }
  ASSERT_GE(tricky, 0);
  clickEntry(0);
  clickEntry(tricky, Qt::ControlModifier);  // two selected, the tricky name current
  ASSERT_EQ(window->fileList().currentName(), kTrickyName);
  run("notepad");
  run("editfile");
  const std::string path = browsed.path() + "/" + kTrickyName;
  EXPECT_EQ(test.shell.edited(), (Paths{path, path}));
  EXPECT_TRUE(test.shell.opened().empty());
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_TRUE(test.fileSystem.calls().empty()) << "editing touches no file itself";
}

TEST_F(FileCommandsTest, AnEditorThatCannotStartGoesUnreported) {
  start();
  clickEntry(2);
  test.shell.setFailure(Error{ENOENT, "no editor"});
  run("notepad");
  run("editfile");
  EXPECT_EQ(test.shell.edited(), (Paths{browsed.file("c.txt"), browsed.file("c.txt")}));
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(FileCommandsTest, EditWithoutACurrentEntryStartsNoEditor) {
  start();
  run("notepad");
  run("editfile");
  EXPECT_TRUE(test.shell.edited().empty());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST(EditCurrentEntry, AFileInTheRootGetsOneSeparator) {
  platform::testing::TestPlatform test;
  platform::Platform services = test.platform();
  FakeFileList list("/", {"a b.txt"});
  list.current = 0;
  editCurrentEntry(services, list);
  EXPECT_EQ(test.shell.edited(), Paths{"/a b.txt"});
}

// Help mode still wins over every command.

TEST_F(FileCommandsTest, InHelpModeTheCommandsOnlyShowTheirTopics) {
  start();
  clickEntry(0);
  window->fileList().selectAllEntries();
  const std::vector<std::pair<std::string, int>> items = {
      {"printer1", 5}, {"fileappend", 6}, {"addto", 7},      {"notepad", 8},
      {"delete", 9},   {"editfile", 13},  {"deletefile", 14}};
  for (const auto& [item, topic] : items) {
    test.dialogs.clear();
    window->helpMode().toggle();
    run(item);
    ASSERT_EQ(test.dialogs.calls().size(), 1u) << item;
    EXPECT_EQ(test.dialogs.messages()[0].title, "Help!");
    EXPECT_EQ(test.dialogs.messages()[0].text, topicText(topic));
  }
  EXPECT_TRUE(test.shell.edited().empty());
  EXPECT_TRUE(removed().empty());
  EXPECT_TRUE(test.printer.documents().empty());
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::WriteFile).empty());
}

}  // namespace
}  // namespace brindle::app
