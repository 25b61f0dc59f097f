// The edit and delete commands over a stand-in list (questions, deletions,
// progress steps, the stop at a failure), and every file command's menu item
// or key wired to the main window's list.
#include "app/commands/FileCommands.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <cstring>
#include <filesystem>

#include "tests/app/FakeFileList.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::Error;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using Lines = std::vector<std::string>;
using Command = void (*)(platform::Platform&, ui::FileListHost&);

/// Every dialog shown, one line each, with `folder` written as "@".
Lines dialogTrace(const platform::testing::ScriptedDialogs& dialogs, const std::string& folder) {
  Lines trace;
  for (const DialogCall& call : dialogs.calls()) {
    std::string line = call.kind == DialogCall::Kind::SaveAs
                           ? "saveas " + call.saveAs.initialDirectory
                           : call.message.text;
    if (const auto at = line.find(folder); at != std::string::npos)
      line.replace(at, folder.size(), "@");
    trace.push_back(line);
  }
  return trace;
}

struct Case {
  const char* name;
  Command command;
  int current;           // -1: none
  const char* selected;  // 'x' selected, '-' not; its length is the list's
  Answer answer;
  const char* failing;  // the name whose deletion fails (any name: the editor fails)
  bool trash;
  Lines expected;  // dialogs, progress steps, files gone, re-reads, editor starts
};

TEST(FileCommands, QuestionsDeletionsProgressAndFailures) {
  const Answer yes = Answer::Yes, no = Answer::No;
  // clang-format off
  const Case cases[] = {
      {"current declined", deleteCurrentEntry, 1, "----", no, nullptr, false, {"Delete: @/b"}},
      {"only the current, though two selected", deleteCurrentEntry, 2, "x-x-", yes, nullptr, false,
       {"Delete: @/c", "gone c", "reread"}},
      {"no current entry", deleteCurrentEntry, -1, "----", yes, nullptr, false, {}},
      {"current fails quietly", deleteCurrentEntry, 0, "----", yes, "a", false, {"Delete: @/a"}},
      {"current into the trash", deleteCurrentEntry, 1, "----", yes, nullptr, true,
       {"Delete: @/b", "gone b", "reread"}},
      {"selection declined", deleteSelection, -1, "xxxx", no, nullptr, false,
       {"Delete Selected Files?"}},
      {"selection", deleteSelection, -1, "-x-x", yes, nullptr, false,
       {"Delete Selected Files?", "max 4", "value 1", "value 3", "value 0", "gone b d", "reread"}},
      {"nothing selected", deleteSelection, -1, "----", yes, nullptr, false,
       {"Delete Selected Files?", "max 4", "value 0", "reread"}},
      {"empty list keeps the maximum", deleteSelection, -1, "", yes, nullptr, false,
       {"Delete Selected Files?", "value 0", "reread"}},
      {"selection stops at a failure", deleteSelection, -1, "xxxx", yes, "b", false,
       {"Delete Selected Files?", "Error deleting Files!", "max 4", "value 0", "value 1", "gone a"}},
      {"selection into the trash", deleteSelection, -1, "x-x-", yes, nullptr, true,
       {"Delete Selected Files?", "max 4", "value 0", "value 2", "value 0", "gone a c", "reread"}},
      {"edit", editCurrentEntry, 2, "x-x-", yes, nullptr, false, {"edit @/c"}},
      {"editor fails unreported", editCurrentEntry, 3, "----", yes, "d", false, {"edit @/d"}},
      {"edit without current entry", editCurrentEntry, -1, "----", yes, nullptr, false, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir folder, trash;
    Lines names{"a", "b", "c", "d"};
    names.resize(std::strlen(c.selected));
    for (const std::string& name : names) folder.write(name, name);
    FakeFileList list(folder.path(), names);
    for (std::size_t i = 0; i < names.size(); ++i) list.selected[i] = c.selected[i] == 'x';
    list.current = c.current;
    if (c.trash) test.shell.setTrashFolder(trash.path());
    if (c.failing) {
      test.fileSystem.fail(FsOp::Remove, Error{EBUSY, "in use"}, folder.file(c.failing));
      test.shell.setFailure(Error{ENOENT, "no editor"});
    }
    test.dialogs.answer(c.answer);

    c.command(services, list);
    Lines trace = dialogTrace(test.dialogs, folder.path());
    trace.insert(trace.end(), list.progress.begin(), list.progress.end());
    std::string gone;
    for (const std::string& name : names) {
      if (std::filesystem::exists(folder.file(name))) continue;
      gone += " " + name;
      EXPECT_EQ(c.trash ? testsupport::TempDir::read(trash.file(name)) : name, name);
    }
    if (!gone.empty()) trace.push_back("gone" + gone);
    trace.insert(trace.end(), static_cast<std::size_t>(list.rereads), "reread");
    for (const std::string& path : test.shell.edited()) {
      trace.push_back("edit @" + path.substr(folder.path().size()));
    }
    EXPECT_EQ(trace, c.expected);
    EXPECT_TRUE(!c.trash || test.fileSystem.callsOf(FsOp::Remove).empty());
    EXPECT_LE(list.selectionReads, 1);
  }
  EXPECT_EQ(platform::entryPath("/", "a b.txt"), "/a b.txt");
}

// Each file command's item (and the Delete key) acts on the window's own
// list: its current entry, selection, path box, progress bar and re-read.
using FileCommandItems = MainWindowFixture;

TEST_F(FileCommandItems, RunOnTheWindowsList) {
  struct Row {
    const char* item;  // nullptr: the Delete key
    Lines expected;
  };
  const Row rows[] = {
      {"printer1", {"Continue Printing 4 Files?", "count 4 max 100"}},
      {"addto", {"saveas /box", "Format for Cover?", "count 4 max 100"}},
      {"fileappend",
       {"Files will be appennded to the end of the file!", "saveas /box", "Format for Cover?",
        "count 4 max 100"}},
      {"delete", {"Delete: @/c.txt", "count 3 max 100"}},
      {nullptr, {"Delete: @/c.txt", "count 3 max 100"}},
      {"deletefile", {"Delete Selected Files?", "count 2 max 4"}},
      {"notepad", {"edit @/c.txt", "count 4 max 100"}},
      {"editfile", {"edit @/c.txt", "count 4 max 100"}},
  };
  for (const Row& row : rows) {
    const std::string item = row.item ? row.item : "Delete key";
    SCOPED_TRACE(item);
    test.dialogs.clear();
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) browsed.write(name, name);
    start();
    window->pathBox().setText("/box");
    clickEntry(0);
    clickEntry(2, Qt::ControlModifier);  // two selected, c.txt current
    if (item.starts_with("delete") || !row.item) test.dialogs.answer(Answer::Yes);
    if (item == "addto" || item == "fileappend") test.dialogs.choose("");
    const std::size_t editsBefore = test.shell.edited().size();
    if (row.item) {
      window->menuItem(row.item)->trigger();
    } else {
      QTest::keyClick(&window->fileList(), Qt::Key_Delete);
    }
    Lines trace = dialogTrace(test.dialogs, browsed.path());
    for (std::size_t i = editsBefore; i < test.shell.edited().size(); ++i) {
      trace.push_back("edit @" + test.shell.edited()[i].substr(browsed.path().size()));
    }
    trace.push_back("count " + window->countBox().text().toStdString() + " max " +
                    std::to_string(window->progressBar().maximum()));
    EXPECT_EQ(trace, row.expected);
    window.reset();
  }
}

}  // namespace
}  // namespace brindle::app
