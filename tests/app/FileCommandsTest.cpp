// The file commands over a stand-in list: edit and delete (questions,
// deletions, progress steps, the trash, the stop at each failure) and the
// list written, appended and printed (byte-exact listings, dialogs in order,
// the quiet stop on a failure, "Printing Aborted!!" at each printer step);
// then each command's item wired to the main window's list, a listing of
// names that are not UTF-8, and a listing printed into a PDF file.
#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTest>

#include <brindle/Version.h>
#include <cstring>
#include <filesystem>
#include <optional>

#include "app/commands/FileCommands.h"
#include "app/commands/FileListOutput.h"
#include "app/testing/FakeFileList.h"
#include "platform/qt/QtPrinter.h"
#include "platform/text/FileNameText.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::Error;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using Step = platform::testing::RecordingPrinter::Step;
using Lines = std::vector<std::string>;
using Command = void (*)(platform::Platform&, ui::FileListHost&);

const std::string kRule(59, '_');
const std::string kBanner = std::string(kProductName) + " V" + kVersionText;
// Not valid UTF-8: the listing must still carry these very bytes.
const std::string kLatin1Name = "caf\xe9.txt";

/// Every dialog shown, one line each, with `folder` written as "@".
Lines dialogTrace(const platform::testing::ScriptedDialogs& dialogs, const std::string& folder) {
  Lines trace;
  for (const DialogCall& call : dialogs.calls()) {
    std::string line = call.message.text;
    if (call.kind == DialogCall::Kind::SaveAs) {
      EXPECT_EQ(call.saveAs.title, kBanner);
      line = "saveas " + call.saveAs.initialDirectory +
             (call.saveAs.confirmOverwrite ? " confirm" : " append");
    } else if (call.kind == DialogCall::Kind::Input) {
      line = "input " + call.input.prompt;
    }
    if (const auto at = line.find(folder); at != std::string::npos) {
      line.replace(at, folder.size(), "@");
    }
    trace.push_back(line);
  }
  return trace;
}

struct CommandCase {
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
  const CommandCase cases[] = {
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
  for (const CommandCase& c : cases) {
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

TEST(FileListOutput, NamesWithoutMp3RemoveOnlyTheExactLowerCaseEnding) {
  // clang-format off
  const std::pair<const char*, const char*> rows[] = {
      {"01 Intro.mp3", "01 Intro"}, {"Song.MP3", "Song.MP3"}, {"Song.Mp3", "Song.Mp3"},
      {"x.mp3.mp3", "x"}, {"a.mp3 live.mp3", "a live"}, {".mp3", ""}, {"mp3", "mp3"}, {"", ""},
      {".m.mp3p3", ".mp3"},  // one pass from the left: what the removal joins up stays
  };
  // clang-format on
  for (const auto& [name, expected] : rows) EXPECT_EQ(withoutMp3(name), expected) << name;
  EXPECT_EQ(listOutputTitle(), kBanner);
}

struct OutputCase {
  const char* name;
  Command run;
  Lines names;
  Answer answer;  // to "Format for Cover?" or "Continue Printing?"
  std::optional<std::string> title;
  bool target = true;                 // false: the Save As dialog is cancelled
  std::optional<std::string> before;  // what the target held
  std::optional<Step> failing;        // the printer step that fails; any: the write fails
  Lines dialogs;
  std::optional<std::string> after;  // the target's bytes afterwards
  int rereads = 0;
};

TEST(FileListOutput, WritingAppendingAndPrintingTheList) {
  const Answer yes = Answer::Yes, no = Answer::No;
  const std::string head = kBanner + " Files List\r\nPATH: /d\r\n \r\n";
  const std::string plain = head + "A.txt\r\nb.mp3\r\n" + kLatin1Name + "\r\n\r\n" + kRule + "\r\n";
  const Lines three{"A.txt", "b.mp3", kLatin1Name},
      mp3s{"01 Intro.mp3", "03 Loud.MP3", "x.mp3.mp3"};
  const std::string cover = " \r\n01 Intro\r\n03 Loud.MP3\r\nx\r\n\r\n";
  const std::string appended = "Files will be appennded to the end of the file!";
  // clang-format off
  const OutputCase cases[] = {
      {"write replaces", writeFileListToFile, three, no, {}, true, "old content, longer than the new one", {},
       {"saveas /box confirm", "Format for Cover?", "Files Printed To:  @/list.txt"}, plain, 1},
      {"append keeps", appendFileListToFile, three, no, {}, true, "kept\r\n", {},
       {appended, "saveas /box append", "Format for Cover?", "Files Printed To:  @/list.txt"},
       "kept\r\n" + plain, 1},
      {"empty list", writeFileListToFile, {}, no, {}, true, {}, {},
       {"saveas /box confirm", "Format for Cover?", "Files Printed To:  @/list.txt"},
       head + "\r\n" + kRule + "\r\n", 1},
      {"cover", writeFileListToFile, mp3s, yes, "Mix \xc3\xa4", true, {}, {},
       {"saveas /box confirm", "Format for Cover?", "input Title for CD",
        "Files Printed To:  @/list.txt"}, "Mix \xc3\xa4\r\n" + cover, 1},
      {"cover appended, title cancelled", appendFileListToFile, mp3s, yes, {}, true, "One\r\n", {},
       {appended, "saveas /box append", "Format for Cover?", "input Title for CD",
        "Files Printed To:  @/list.txt"}, "One\r\n\r\n" + cover, 1},
      {"save as cancelled", writeFileListToFile, three, no, {}, false, {}, {},
       {"saveas /box confirm", "Format for Cover?"}, {}, 0},
      {"append cancelled after the title", appendFileListToFile, three, yes, "T", false, {}, {},
       {appended, "saveas /box append", "Format for Cover?", "input Title for CD"},
       {}, 0},
      {"write fails quietly", writeFileListToFile, three, no, {}, true, {}, Step::PrintLine,
       {"saveas /box confirm", "Format for Cover?"}, {}, 0},
      {"print declined", printFileList, three, no, {}, true, {}, {}, {"Continue Printing 3 Files?"}, {}, 0},
      {"print", printFileList, three, yes, {}, true, {}, {},
       {"Continue Printing 3 Files?", "Files Printed To Printer:"}, {}, 1},
      {"font size fails", printFileList, three, yes, {}, true, {}, Step::SetFontSize,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
      {"a line fails", printFileList, three, yes, {}, true, {}, Step::PrintLine,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
      {"the end fails", printFileList, three, yes, {}, true, {}, Step::EndDocument,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
  };
  // clang-format on
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir output;
    const std::string target = output.file("list.txt");
    if (c.before) output.write("list.txt", *c.before);
    FakeFileList list("/d", c.names);
    list.pathBox = "/box";
    test.printer.setChoiceAccepted(c.name != std::string("print"));  // printed even if cancelled
    if (c.failing && c.run == printFileList) test.printer.failAt(*c.failing);
    if (c.failing && c.run != printFileList)
      test.fileSystem.fail(FsOp::WriteFile, {ENOSPC, "full"});
    if (c.run != printFileList) test.dialogs.choose(c.target ? target : "");
    test.dialogs.answer(c.answer);
    if (c.title) test.dialogs.type(*c.title);

    c.run(services, list);
    EXPECT_EQ(dialogTrace(test.dialogs, output.path()), c.dialogs);
    if (c.after) {
      EXPECT_EQ(testsupport::TempDir::read(target), *c.after);
    } else if (!c.before) {
      EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_EQ(list.rereads, c.rereads);
    const bool printed = c.run == printFileList && c.rereads == 1;
    ASSERT_EQ(test.printer.documents().size(), printed ? 1u : 0u);
    EXPECT_EQ(printed ? textFileBytes(test.printer.documents()[0]) : plain, plain);
    EXPECT_EQ(printed ? test.printer.fontSize() : 11, 11);
  }
}

using FileCommandItems = MainWindowFixture;

// Each file command's item (and the Delete key) acts on the window's own
// list: its current entry, selection, path box, progress bar and re-read.
TEST_F(FileCommandItems, RunOnTheWindowsList) {
  struct Row {
    const char* item;  // nullptr: the Delete key
    Lines expected;
  };
  const Row rows[] = {
      {"printer1", {"Continue Printing 4 Files?", "count 4 max 100"}},
      {"addto", {"saveas /box confirm", "Format for Cover?", "count 4 max 100"}},
      {"fileappend",
       {"Files will be appennded to the end of the file!", "saveas /box append",
        "Format for Cover?", "count 4 max 100"}},
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

// Through the window: a folder and names that are not UTF-8 keep their bytes.
TEST_F(FileCommandItems, ListingKeepsTheBytesOfFolderAndNames) {
  const std::string folder = browsed.makeDirectory("caf\xe9");
  browsed.write("caf\xe9/" + kLatin1Name);
  window = std::make_unique<frmmainbrindle>(services, help, folder);
  ASSERT_TRUE(window->startUp());
  testsupport::TempDir output;
  test.dialogs.choose(output.file("list.txt")).answer(Answer::No);
  window->menuItem("addto")->trigger();
  EXPECT_EQ(testsupport::TempDir::read(output.file("list.txt")),
            kBanner + " Files List\r\nPATH: " + folder + "\r\n \r\n" + kLatin1Name + "\r\n\r\n" +
                kRule + "\r\n");
}

// The listing printed for real into a PDF file, read back by pdftotext.
TEST(FileListOutput, PrintsTheListingIntoAPdfFile) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  platform::testing::TestPlatform test;
  testsupport::TempDir output;
  const std::string pdf = output.file("list.pdf");
  platform::qt::QtPrinter printer(nullptr, pdf);
  platform::Platform printing{test.dialogs,       test.fileSystem, printer,     test.shell,
                              test.instanceGuard, test.clock,      test.folder, test.settings};
  FakeFileList list("/music", {"A.txt", "Grüße aus Köln.txt"});
  test.dialogs.answer(Answer::Yes);
  printFileList(printing, list);
  EXPECT_EQ(test.dialogs.messages().back().text, "Files Printed To Printer:");

  QProcess process;
  process.start("pdftotext", {"-enc", "UTF-8", platform::fileNameToText(pdf), "-"});
  ASSERT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0);
  const std::string text = process.readAllStandardOutput().toStdString();
  std::size_t position = 0;
  for (const std::string& line : {kBanner + " Files List", std::string("PATH: /music"),
                                  std::string("A.txt"), std::string("Grüße aus Köln.txt"), kRule}) {
    position = text.find(line, position);
    ASSERT_NE(position, std::string::npos) << "missing or out of order: " << line << "\n" << text;
  }
}

}  // namespace
}  // namespace brindle::app
