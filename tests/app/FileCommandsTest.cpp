// The file commands and the list output on a stand-in list, through the window, into a PDF.
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
using Command = void (*)(platform::Platform&, ui::FileListHost&);

const std::string kRule(59, '_');
const std::string kBanner = std::string(kProductName) + " V" + kVersionText;
const std::string kLatin1Name = "caf\xe9.txt";  // not UTF-8: the listing keeps these very bytes
const Answer yes = Answer::Yes, no = Answer::No;

/// Every dialog shown, "|" after each, with `folder` written as "@".
std::string dialogTrace(const platform::testing::ScriptedDialogs& dialogs,
                        const std::string& folder) {
  std::string trace;
  for (const DialogCall& call : dialogs.calls()) {
    std::string line = call.message.text;
    if (call.kind == DialogCall::Kind::SaveAs) {
      EXPECT_EQ(call.saveAs.title, kBanner);
      line = "saveas " + call.saveAs.initialDirectory +
             (call.saveAs.confirmOverwrite ? " confirm" : " append");
    } else if (call.kind == DialogCall::Kind::Input) {
      line = "input " + call.input.prompt;
    }
    if (const auto at = line.find(folder); at != std::string::npos)
      line.replace(at, folder.size(), "@");
    trace += line + "|";
  }
  return trace;
}

struct CommandCase {
  Command command;
  int current;           // -1: none
  const char* selected;  // 'x' selected, '-' not; its length is the list's
  Answer answer;
  const char* failing;  // the name whose deletion fails (any name: the editor fails)
  bool trash;
  std::string expected;  // dialogs, progress steps, files gone, re-reads, editor starts
};

// Edit and delete: questions, deletions, progress steps, the trash, the stop at each failure.
TEST(FileCommands, QuestionsDeletionsProgressAndFailures) {
  const Command cur = deleteCurrentEntry, sel = deleteSelection, edit = editCurrentEntry;
  const std::string ds = "Delete Selected Files?|";
  // clang-format off
  const CommandCase cases[] = {
      {cur, 1, "----", no, "", false, "Delete: @/b|"},
      {cur, 2, "x-x-", yes, "", false, "Delete: @/c|gone c|reread|"},  // only the current
      {cur, -1, "----", yes, "", false, ""},
      {cur, 0, "----", yes, "a", false, "Delete: @/a|"},  // fails quietly
      {cur, 1, "----", yes, "", true, "Delete: @/b|gone b|reread|"},
      {sel, -1, "xxxx", no, "", false, ds},
      {sel, -1, "-x-x", yes, "", false, ds + "max 4|value 1|value 3|value 0|gone b d|reread|"},
      {sel, -1, "----", yes, "", false, ds + "max 4|value 0|reread|"},
      {sel, -1, "", yes, "", false, ds + "value 0|reread|"},  // empty: the maximum kept
      {sel, -1, "xxxx", yes, "b", false, ds + "Error deleting Files!|max 4|value 0|value 1|gone a|"},
      {sel, -1, "x-x-", yes, "", true, ds + "max 4|value 0|value 2|value 0|gone a c|reread|"},
      {edit, 2, "x-x-", yes, "", false, "edit @/c|"},
      {edit, 3, "----", yes, "d", false, "edit @/d|"},  // the editor fails unreported
      {edit, -1, "----", yes, "", false, ""},
  };
  // clang-format on
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.expected);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir folder, trash;
    std::vector<std::string> names{"a", "b", "c", "d"};
    names.resize(std::strlen(c.selected));
    for (const std::string& name : names) folder.write(name, name);
    FakeFileList list(folder.path(), names);
    for (std::size_t i = 0; i < names.size(); ++i) list.selected[i] = c.selected[i] == 'x';
    list.current = c.current;
    if (c.trash) test.shell.setTrashFolder(trash.path());
    if (*c.failing) {
      test.fileSystem.fail(FsOp::Remove, Error{EBUSY, "in use"}, folder.file(c.failing));
      test.shell.setFailure(Error{ENOENT, "no editor"});
    }
    test.dialogs.answer(c.answer);

    c.command(services, list);
    std::string trace = dialogTrace(test.dialogs, folder.path()), gone;
    for (const std::string& step : list.progress) trace += step + "|";
    for (const std::string& name : names) {
      if (std::filesystem::exists(folder.file(name))) continue;
      gone += " " + name;
      EXPECT_EQ(c.trash ? testsupport::TempDir::read(trash.file(name)) : name, name);
    }
    if (!gone.empty()) trace += "gone" + gone + "|";
    for (int i = 0; i < list.rereads; ++i) trace += "reread|";
    for (const std::string& path : test.shell.edited())
      trace += "edit @" + path.substr(folder.path().size()) + "|";
    EXPECT_EQ(trace, c.expected);
    EXPECT_TRUE(!c.trash || test.fileSystem.callsOf(FsOp::Remove).empty());
    EXPECT_LE(list.selectionReads, 1);
  }
  EXPECT_EQ(platform::entryPath("/", "a b.txt"), "/a b.txt");
}

TEST(FileListOutput, NamesWithoutMp3RemoveOnlyTheExactLowerCaseEnding) {
  // clang-format off
  const std::pair<const char*, const char*> rows[] = {
      {"01 Intro.mp3", "01 Intro"}, {"Song.MP3", "Song.MP3"}, {"Song.Mp3", "Song.Mp3"}, {"x.mp3.mp3", "x"},
      {"a.mp3 live.mp3", "a live"}, {".mp3", ""}, {"mp3", "mp3"}, {"", ""},
      {".m.mp3p3", ".mp3"},  // one pass from the left: what the removal joins up stays
  };
  // clang-format on
  for (const auto& [name, expected] : rows) EXPECT_EQ(withoutMp3(name), expected) << name;
  EXPECT_EQ(listOutputTitle(), kBanner);
}

struct OutputCase {
  Command run;
  std::vector<std::string> names;
  Answer answer;  // to "Format for Cover?" or "Continue Printing?"
  std::optional<std::string> title;
  bool accepted;                      // the Save As dialog or the printer choice
  std::optional<std::string> before;  // what the target held
  std::optional<Step> failing;        // the printer step that fails; any: the write fails
  std::string dialogs;
  std::optional<std::string> after;  // the target's bytes afterwards
};

// Written, appended, printed: byte-exact listings, dialogs in order, a quiet stop on a write
// failure, "Printing Aborted!!" at each printer step; the list re-read only after a finished
// output.
TEST(FileListOutput, WritingAppendingAndPrintingTheList) {
  const Command write = writeFileListToFile, append = appendFileListToFile, print = printFileList;
  const std::string head = kBanner + " Files List\r\nPATH: /d\r\n \r\n";
  const std::string plain = head + "A.txt\r\nb.mp3\r\n" + kLatin1Name + "\r\n\r\n" + kRule + "\r\n";
  const std::vector<std::string> three{"A.txt", "b.mp3", kLatin1Name},
      mp3s{"01 Intro.mp3", "03 Loud.MP3", "x.mp3.mp3"};
  const std::string cover = " \r\n01 Intro\r\n03 Loud.MP3\r\nx\r\n\r\n",
                    title = "input Title for CD|";
  const std::string w = "saveas /box confirm|Format for Cover?|",
                    done = "Files Printed To:  @/list.txt|";
  const std::string a =
      "Files will be appennded to the end of the file!|saveas /box append|Format for Cover?|";
  const std::string p = "Continue Printing 3 Files?|", aborted = p + "Printing Aborted!!|";
  // clang-format off
  const OutputCase cases[] = {
      {write, three, no, {}, true, "old content, longer than the new one", {}, w + done, plain},
      {append, three, no, {}, true, "kept\r\n", {}, a + done, "kept\r\n" + plain},
      {write, {}, no, {}, true, {}, {}, w + done, head + "\r\n" + kRule + "\r\n"},
      {write, mp3s, yes, "Mix \xc3\xa4", true, {}, {}, w + title + done, "Mix \xc3\xa4\r\n" + cover},
      {append, mp3s, yes, {}, true, "One\r\n", {}, a + title + done, "One\r\n\r\n" + cover},  // no title
      {write, three, no, {}, false, {}, {}, w, {}},
      {append, three, yes, "T", false, {}, {}, a + title, {}},
      {write, three, no, {}, true, {}, Step::PrintLine, w, {}},
      {print, three, no, {}, true, {}, {}, p, {}},
      {print, three, yes, {}, false, {}, {}, p + "Files Printed To Printer:|", {}},  // cancelled, printed
      {print, three, yes, {}, true, {}, Step::SetFontSize, aborted, {}},
      {print, three, yes, {}, true, {}, Step::PrintLine, aborted, {}},
      {print, three, yes, {}, true, {}, Step::EndDocument, aborted, {}},
  };
  // clang-format on
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.dialogs);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir output;
    const std::string target = output.file("list.txt");
    if (c.before) output.write("list.txt", *c.before);
    FakeFileList list("/d", c.names);
    list.pathBox = "/box";
    test.printer.setChoiceAccepted(c.accepted);
    if (c.failing && c.run == print) test.printer.failAt(*c.failing);
    if (c.failing && c.run != print) test.fileSystem.fail(FsOp::WriteFile, {ENOSPC, "full"});
    if (c.run != print) test.dialogs.choose(c.accepted ? target : "");
    test.dialogs.answer(c.answer);
    if (c.title) test.dialogs.type(*c.title);

    c.run(services, list);
    const std::string trace = dialogTrace(test.dialogs, output.path());
    EXPECT_EQ(trace, c.dialogs);
    if (c.after) {
      EXPECT_EQ(testsupport::TempDir::read(target), *c.after);
    } else if (!c.before) {
      EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_EQ(list.rereads, trace.find("Files Printed To") != std::string::npos ? 1 : 0);
    const bool printed = c.run == print && list.rereads == 1;
    ASSERT_EQ(test.printer.documents().size(), printed ? 1u : 0u);
    EXPECT_EQ(printed ? textFileBytes(test.printer.documents()[0]) : plain, plain);
    EXPECT_EQ(printed ? test.printer.fontSize() : 11, 11);
  }
}

using FileCommandItems = MainWindowFixture;

// Each file command's item (and the Delete key) acts on the window's own list: current entry,
// selection, path box, progress bar and re-read.
TEST_F(FileCommandItems, RunOnTheWindowsList) {
  const std::string ask = "Format for Cover?|count 4 max 100";
  // clang-format off
  const std::pair<const char*, std::string> rows[] = {
      {"printer1", "Continue Printing 4 Files?|count 4 max 100"},
      {"addto", "saveas /box confirm|" + ask},
      {"fileappend", "Files will be appennded to the end of the file!|saveas /box append|" + ask},
      {"delete", "Delete: @/c.txt|count 3 max 100"},
      {"", "Delete: @/c.txt|count 3 max 100"},  // the Delete key
      {"deletefile", "Delete Selected Files?|count 2 max 4"},
      {"notepad", "edit @/c.txt|count 4 max 100"},
      {"editfile", "edit @/c.txt|count 4 max 100"},
  };
  // clang-format on
  for (const auto& [item, expected] : rows) {
    SCOPED_TRACE(item);
    const std::string name = item;
    test.dialogs.clear();
    for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt"}) browsed.write(file, file);
    start();
    window->pathBox().setText("/box");
    clickEntry(0);
    clickEntry(2, Qt::ControlModifier);  // two selected, c.txt current
    if (name.starts_with("delete") || name.empty()) test.dialogs.answer(Answer::Yes);
    if (name == "addto" || name == "fileappend") test.dialogs.choose("");
    const std::size_t editsBefore = test.shell.edited().size();
    if (name.empty()) {
      QTest::keyClick(&window->fileList(), Qt::Key_Delete);
    } else {
      window->menuItem(name)->trigger();
    }
    std::string trace = dialogTrace(test.dialogs, browsed.path());
    for (std::size_t i = editsBefore; i < test.shell.edited().size(); ++i)
      trace += "edit @" + test.shell.edited()[i].substr(browsed.path().size()) + "|";
    trace += "count " + window->countBox().text().toStdString() + " max " +
             std::to_string(window->progressBar().maximum());
    EXPECT_EQ(trace, expected);
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
  std::size_t at = 0;
  for (const std::string& line : {kBanner + " Files List", std::string("PATH: /music"),
                                  std::string("A.txt"), std::string("Grüße aus Köln.txt"), kRule}) {
    at = text.find(line, at);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << text;
  }
}

}  // namespace
}  // namespace brindle::app
