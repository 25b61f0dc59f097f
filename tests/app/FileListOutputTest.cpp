// The file list written, appended and printed over a stand-in list: the
// listings byte for byte, the dialogs in order, the quiet stop on a failure,
// "Printing Aborted!!" at each printer step, and a listing printed for real
// into a PDF file read back by a second program.
#include "app/commands/FileListOutput.h"

#include <QAction>
#include <QProcess>
#include <QStandardPaths>

#include <brindle/Version.h>
#include <filesystem>
#include <optional>

#include "platform/qt/QtPrinter.h"
#include "platform/text/FileNameText.h"
#include "tests/app/FakeFileList.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using Step = platform::testing::RecordingPrinter::Step;
using Lines = std::vector<std::string>;

const std::string kRule(59, '_');
const std::string kBanner = std::string(kProductName) + " V" + kVersionText;
// Not valid UTF-8: the listing must still carry these very bytes.
const std::string kLatin1Name = "caf\xe9.txt";

TEST(FileListOutput, NamesWithoutMp3RemoveOnlyTheExactLowerCaseEnding) {
  const std::pair<const char*, const char*> rows[] = {
      {"01 Intro.mp3", "01 Intro"},
      {"Song.MP3", "Song.MP3"},
      {"Song.Mp3", "Song.Mp3"},
      {"x.mp3.mp3", "x"},
      {"a.mp3 live.mp3", "a live"},
      {".mp3", ""},
      {"mp3", "mp3"},
      {"", ""},
      {".m.mp3p3", ".mp3"},  // one pass from the left: what the removal joins up stays
  };
  for (const auto& [name, expected] : rows) EXPECT_EQ(withoutMp3(name), expected) << name;
  EXPECT_EQ(listOutputTitle(), kBanner);
}

enum class Run { Write, Append, Print };

struct Case {
  const char* name;
  Run run;
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
  const Case cases[] = {
      {"write replaces", Run::Write, three, no, {}, true, "old content, longer than the new one", {},
       {"saveas /box confirm", "Format for Cover?", "Files Printed To:  @"}, plain, 1},
      {"append keeps", Run::Append, three, no, {}, true, "kept\r\n", {},
       {appended, "saveas /box append", "Format for Cover?", "Files Printed To:  @"},
       "kept\r\n" + plain, 1},
      {"empty list", Run::Write, {}, no, {}, true, {}, {},
       {"saveas /box confirm", "Format for Cover?", "Files Printed To:  @"},
       head + "\r\n" + kRule + "\r\n", 1},
      {"cover", Run::Write, mp3s, yes, "Mix \xc3\xa4", true, {}, {},
       {"saveas /box confirm", "Format for Cover?", "input Title for CD",
        "Files Printed To:  @"}, "Mix \xc3\xa4\r\n" + cover, 1},
      {"cover appended, title cancelled", Run::Append, mp3s, yes, {}, true, "One\r\n", {},
       {appended, "saveas /box append", "Format for Cover?", "input Title for CD",
        "Files Printed To:  @"}, "One\r\n\r\n" + cover, 1},
      {"save as cancelled", Run::Write, three, no, {}, false, {}, {},
       {"saveas /box confirm", "Format for Cover?"}, {}, 0},
      {"append cancelled after the title", Run::Append, three, yes, "T", false, {}, {},
       {appended, "saveas /box append", "Format for Cover?", "input Title for CD"},
       {}, 0},
      {"write fails quietly", Run::Write, three, no, {}, true, {}, Step::PrintLine,
       {"saveas /box confirm", "Format for Cover?"}, {}, 0},
      {"print declined", Run::Print, three, no, {}, true, {}, {}, {"Continue Printing 3 Files?"}, {}, 0},
      {"print", Run::Print, three, yes, {}, true, {}, {},
       {"Continue Printing 3 Files?", "Files Printed To Printer:"}, {}, 1},
      {"font size fails", Run::Print, three, yes, {}, true, {}, Step::SetFontSize,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
      {"a line fails", Run::Print, three, yes, {}, true, {}, Step::PrintLine,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
      {"the end fails", Run::Print, three, yes, {}, true, {}, Step::EndDocument,
       {"Continue Printing 3 Files?", "Printing Aborted!!"}, {}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir output;
    const std::string target = output.file("list.txt");
    if (c.before) output.write("list.txt", *c.before);
    FakeFileList list("/d", c.names);
    list.pathBox = "/box";
    test.printer.setChoiceAccepted(c.name != std::string("print"));  // printed even if cancelled
    if (c.failing && c.run == Run::Print) test.printer.failAt(*c.failing);
    if (c.failing && c.run != Run::Print) test.fileSystem.fail(FsOp::WriteFile, {ENOSPC, "full"});
    if (c.run != Run::Print) test.dialogs.choose(c.target ? target : "");
    test.dialogs.answer(c.answer);
    if (c.title) test.dialogs.type(*c.title);

    (c.run == Run::Print    ? printFileList
     : c.run == Run::Append ? appendFileListToFile
                            : writeFileListToFile)(services, list);
    Lines dialogs;
    for (const DialogCall& call : test.dialogs.calls()) {
      if (call.kind == DialogCall::Kind::SaveAs) {
        EXPECT_EQ(call.saveAs.title, kBanner);
        dialogs.push_back("saveas " + call.saveAs.initialDirectory +
                          (call.saveAs.confirmOverwrite ? " confirm" : " append"));
      } else if (call.kind == DialogCall::Kind::Input) {
        dialogs.push_back("input " + call.input.prompt);
      } else {
        const std::string& text = call.message.text;
        dialogs.push_back(text.ends_with(target) ? text.substr(0, text.size() - target.size()) + "@"
                                                 : text);
      }
    }
    EXPECT_EQ(dialogs, c.dialogs);
    if (c.after) {
      EXPECT_EQ(testsupport::TempDir::read(target), *c.after);
    } else if (!c.before) {
      EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_EQ(list.rereads, c.rereads);
    const bool printed = c.run == Run::Print && c.rereads == 1;
    ASSERT_EQ(test.printer.documents().size(), printed ? 1u : 0u);
    if (printed) {
      EXPECT_EQ(test.printer.documents()[0], (Lines{kBanner + " Files List", "PATH: /d", " ",
                                                    "A.txt", "b.mp3", kLatin1Name, "", kRule}));
      EXPECT_EQ(test.printer.fontSize(), 11);
    }
  }
}

// Through the window: a folder and names that are not UTF-8 keep their bytes.
using FileListOutputWindow = MainWindowFixture;

TEST_F(FileListOutputWindow, ListingKeepsTheBytesOfFolderAndNames) {
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

/// The text of a PDF file as pdftotext extracts it, or nothing.
std::optional<std::string> pdfText(const std::string& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                              platform::fileNameToText(pdf), QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    return std::nullopt;
  }
  return process.readAllStandardOutput().toStdString();
}

TEST_F(FileListOutputWindow, PrintsTheListingIntoAPdfFile) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  browsed.write("A.txt");
  browsed.write("Grüße aus Köln.txt");
  testsupport::TempDir output;
  const std::string pdf = output.file("list.pdf");
  platform::qt::QtPrinter printer(nullptr, pdf);
  platform::Platform printing{test.dialogs,       test.fileSystem, printer,     test.shell,
                              test.instanceGuard, test.clock,      test.folder, test.settings};
  window = std::make_unique<frmmainbrindle>(printing, help, browsed.path());
  ASSERT_TRUE(window->startUp());
  test.dialogs.answer(Answer::Yes);
  window->menuItem("printer1")->trigger();
  EXPECT_EQ(test.dialogs.messages().back().text, "Files Printed To Printer:");

  std::optional<std::string> text = pdfText(pdf);
  ASSERT_TRUE(text.has_value()) << "pdftotext could not read " << pdf;
  std::size_t position = 0;
  for (const std::string& line : {kBanner + " Files List", "PATH: " + browsed.path(),
                                  std::string("A.txt"), std::string("Grüße aus Köln.txt"), kRule}) {
    const std::size_t found = text->find(line, position);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << *text;
    position = found + line.size();
  }
}

}  // namespace
}  // namespace brindle::app
