// The file list written, appended and printed: the listings byte for byte,
// the boxes and the Save As dialog as shown, the quiet stop on a failure,
// "Printing Aborted!!", and a listing printed for real into a PDF file.
#include "app/commands/FileListOutput.h"

#include <gmock/gmock.h>

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

#include <brindle/Version.h>
#include <filesystem>

#include "platform/qt/QtPrinter.h"
#include "platform/text/FileNameText.h"
#include "tests/app/FakeFileList.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::DefaultButton;
using platform::Error;
using platform::Icon;
using platform::MessageRequest;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using platform::testing::RecordingPrinter;
using Lines = std::vector<std::string>;

const std::string kRule(59, '_');
// Not valid UTF-8: the listing must still carry these very bytes.
const std::string kLatin1Name = "caf\xe9.txt";

// The listings as pure functions.

TEST(ListOutputTitle, NamesProgramAndVersion) {
  EXPECT_EQ(listOutputTitle(), "Brindle V1.5.2");
  EXPECT_EQ(listOutputTitle(), std::string("Brindle V") + kVersionText);
}

TEST(WithoutMp3, RemovesOnlyTheExactLowerCaseEnding) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"01 Intro.mp3", "01 Intro"},
      {"Song.MP3", "Song.MP3"},
      {"Song.Mp3", "Song.Mp3"},
      {"x.mp3.mp3", "x"},
      {"a.mp3 live.mp3", "a live"},
      {".mp3", ""},
      {"mp3", "mp3"},
      {"notes.txt", "notes.txt"},
      {"", ""},
      // One pass from the left: what the removal joins up stays.
      {".m.mp3p3", ".mp3"},
  };
  for (const auto& [name, expected] : rows) EXPECT_EQ(withoutMp3(name), expected) << name;
}

TEST(PlainListing, AnEmptyDirectory) {
  EXPECT_EQ(plainListing("/music", {}),
            (Lines{"Brindle V1.5.2 Files List", "PATH: /music", " ", "", kRule}));
}

TEST(PlainListing, NamesAsTheyAreWithTheirExtensions) {
  EXPECT_EQ(plainListing("/", {"a.mp3", "b c.TXT"}),
            (Lines{"Brindle V1.5.2 Files List", "PATH: /", " ", "a.mp3", "b c.TXT", "", kRule}));
}

TEST(CoverListing, TitleBlankLineNamesAndEmptyLine) {
  EXPECT_EQ(coverListing("My CD", {"01 Intro.mp3", "02 Song.mp3"}),
            (Lines{"My CD", " ", "01 Intro", "02 Song", ""}));
  EXPECT_EQ(coverListing("", {}), (Lines{"", " ", ""}));
}

TEST(TextFileBytes, EveryLineEndsWithCarriageReturnAndLineFeed) {
  EXPECT_EQ(textFileBytes({"a", " ", "", "_"}), "a\r\n \r\n\r\n_\r\n");
  EXPECT_EQ(textFileBytes({}), "");
}

TEST(ListedNames, EveryEntryInListOrderWhateverIsSelected) {
  FakeFileList list("/d", {"b", "a", "c"});
  list.selected = {false, true, false};
  EXPECT_EQ(listedNames(list), (Lines{"b", "a", "c"}));
}

// Through the main window's menu items.

class FileListOutputTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    browsed.write("b.mp3", "b");
    browsed.write("A.txt", "a");
    browsed.write("Grüße aus Köln.txt", "g");
  }

  void run(const std::string& item) {
    QAction* action = window->menuItem(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
  }
  std::string plainBytes() {
    std::string bytes = "Brindle V1.5.2 Files List\r\nPATH: " + browsed.path() + "\r\n \r\n";
    for (int i = 0; i < window->fileList().listCount(); ++i) {
      bytes += window->fileList().entryName(i) + "\r\n";
    }
    return bytes + "\r\n" + kRule + "\r\n";
  }
  const DialogCall& call(std::size_t index) { return test.dialogs.calls().at(index); }
  static void expectBox(const DialogCall& box, const std::string& text, Buttons buttons, Icon icon,
                        const std::string& title = "Brindle") {
    ASSERT_EQ(box.kind, DialogCall::Kind::Message);
    EXPECT_EQ(box.message.text, text);
    EXPECT_EQ(box.message.buttons, buttons);
    EXPECT_EQ(box.message.icon, icon);
    EXPECT_EQ(box.message.title, title);
  }

  testsupport::TempDir output;
};

TEST_F(FileListOutputTest, AddWritesThePlainListingByteForByte) {
  start();
  window->fileList().setSelected(1, true);  // the selection does not matter
  const std::string target = output.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");

  ASSERT_EQ(test.dialogs.calls().size(), 3u);
  ASSERT_EQ(call(0).kind, DialogCall::Kind::SaveAs);
  EXPECT_EQ(call(0).saveAs.initialDirectory, browsed.path());
  EXPECT_EQ(call(0).saveAs.title, "Brindle V1.5.2");
  EXPECT_EQ(call(0).saveAs.filter, "*.txt");
  EXPECT_EQ(call(0).saveAs.defaultExtension, "txt");
  EXPECT_TRUE(call(0).saveAs.confirmOverwrite) << "replacing a file must be confirmed";
  expectBox(call(1), "Format for Cover?", Buttons::YesNo, Icon::Information);
  expectBox(call(2), "Files Printed To:  " + target, Buttons::Ok, Icon::None);

  EXPECT_EQ(testsupport::TempDir::read(target),
            "Brindle V1.5.2 Files List\r\nPATH: " + browsed.path() +
                "\r\n \r\nA.txt\r\nb.mp3\r\nGrüße aus Köln.txt\r\n\r\n" + kRule + "\r\n");
  EXPECT_EQ(test.dialogs.pendingSteps(), 0u);
}

TEST_F(FileListOutputTest, AddReplacesWhatTheFileHeld) {
  start();
  const std::string target = output.write("list.txt", "old content that is longer than the new");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  EXPECT_EQ(testsupport::TempDir::read(target), plainBytes());
}

TEST_F(FileListOutputTest, NamesAreWrittenAsTheirExactBytes) {
  browsed.write(kLatin1Name);
  start();
  const std::string target = output.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  const std::string written = testsupport::TempDir::read(target);
  EXPECT_NE(written.find("\r\n" + kLatin1Name + "\r\n"), std::string::npos);
  EXPECT_NE(written.find("\r\nGrüße aus Köln.txt\r\n"), std::string::npos);
  EXPECT_EQ(written, plainBytes());
}

TEST_F(FileListOutputTest, AppendingTwiceGivesTwoListings) {
  start();
  const std::string target = output.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("fileappend");

  ASSERT_EQ(test.dialogs.calls().size(), 4u);
  expectBox(call(0), "Files will be appennded to the end of the file!", Buttons::Ok, Icon::None);
  ASSERT_EQ(call(1).kind, DialogCall::Kind::SaveAs);
  EXPECT_EQ(call(1).saveAs.title, "Brindle V1.5.2");
  EXPECT_EQ(call(1).saveAs.initialDirectory, browsed.path());
  EXPECT_EQ(call(1).saveAs.filter, "*.txt");
  EXPECT_EQ(call(1).saveAs.defaultExtension, "txt");
  EXPECT_FALSE(call(1).saveAs.confirmOverwrite) << "appending replaces nothing";
  expectBox(call(2), "Format for Cover?", Buttons::YesNo, Icon::Information);
  expectBox(call(3), "Files Printed To:  " + target, Buttons::Ok, Icon::None);
  EXPECT_EQ(testsupport::TempDir::read(target), plainBytes());

  test.dialogs.choose(target).answer(Answer::No);
  run("fileappend");
  EXPECT_EQ(testsupport::TempDir::read(target), plainBytes() + plainBytes());
}

TEST_F(FileListOutputTest, AppendKeepsWhatTheFileHeld) {
  start();
  const std::string target = output.write("list.txt", "kept\r\n");
  test.dialogs.choose(target).answer(Answer::No);
  run("fileappend");
  EXPECT_EQ(testsupport::TempDir::read(target), "kept\r\n" + plainBytes());
}

class CoverListingTest : public FileListOutputTest {
 protected:
  void SetUp() override {
    browsed.write("01 Intro.mp3");
    browsed.write("02 Song.mp3");
    browsed.write("03 Loud.MP3");
    browsed.write("x.mp3.mp3");
  }
};

TEST_F(CoverListingTest, AddWritesTitleAndNamesWithoutMp3) {
  start();
  const std::string target = output.file("cover.txt");
  test.dialogs.choose(target).answer(Answer::Yes).type("Summer Mix ä");
  run("addto");
  ASSERT_EQ(test.dialogs.calls().size(), 4u);
  ASSERT_EQ(call(2).kind, DialogCall::Kind::Input);
  EXPECT_EQ(call(2).input.prompt, "Title for CD");
  EXPECT_EQ(call(2).input.title, "Enter Title");
  EXPECT_EQ(call(2).input.defaultText, "");
  expectBox(call(3), "Files Printed To:  " + target, Buttons::Ok, Icon::None);
  EXPECT_EQ(testsupport::TempDir::read(target),
            "Summer Mix ä\r\n \r\n01 Intro\r\n02 Song\r\n03 Loud.MP3\r\nx\r\n\r\n");
}

TEST_F(CoverListingTest, AnEmptyTitleGivesAnEmptyFirstLine) {
  start();
  const std::string target = output.file("cover.txt");
  test.dialogs.choose(target).answer(Answer::Yes);  // the title box cancelled
  run("addto");
  EXPECT_EQ(testsupport::TempDir::read(target),
            "\r\n \r\n01 Intro\r\n02 Song\r\n03 Loud.MP3\r\nx\r\n\r\n");
}

TEST_F(CoverListingTest, AppendingTwiceGivesTwoCovers) {
  start();
  const std::string target = output.file("cover.txt");
  test.dialogs.choose(target).answer(Answer::Yes).type("One");
  run("fileappend");
  test.dialogs.choose(target).answer(Answer::Yes).type("Two");
  run("fileappend");
  const std::string names = " \r\n01 Intro\r\n02 Song\r\n03 Loud.MP3\r\nx\r\n\r\n";
  EXPECT_EQ(testsupport::TempDir::read(target), "One\r\n" + names + "Two\r\n" + names);
}

TEST_F(FileListOutputTest, AnEmptyDirectoryListsBannerPathBlankEmptyLineAndRule) {
  testsupport::TempDir empty;
  window = std::make_unique<frmmainbrindle>(services, help, empty.path());
  ASSERT_TRUE(window->startUp());
  const std::string target = output.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  EXPECT_EQ(
      testsupport::TempDir::read(target),
      "Brindle V1.5.2 Files List\r\nPATH: " + empty.path() + "\r\n \r\n\r\n" + kRule + "\r\n");
}

TEST_F(FileListOutputTest, TheSaveAsDialogStartsInThePathBox) {
  start();
  window->pathBox().setText(QString::fromStdString(output.path()));
  test.dialogs.choose("").answer(Answer::No);
  run("addto");
  ASSERT_EQ(call(0).kind, DialogCall::Kind::SaveAs);
  EXPECT_EQ(call(0).saveAs.initialDirectory, output.path());
}

TEST_F(FileListOutputTest, AFolderNameThatIsNotUtf8KeepsItsBytes) {
  const std::string folder = browsed.makeDirectory("caf\xe9");
  browsed.write("caf\xe9/" + kLatin1Name);
  window = std::make_unique<frmmainbrindle>(services, help, folder);
  ASSERT_TRUE(window->startUp());
  ASSERT_EQ(window->currentDirectory(), folder);
  const std::string target = output.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  ASSERT_EQ(call(0).kind, DialogCall::Kind::SaveAs);
  EXPECT_EQ(call(0).saveAs.initialDirectory, folder);
  EXPECT_EQ(testsupport::TempDir::read(target), "Brindle V1.5.2 Files List\r\nPATH: " + folder +
                                                    "\r\n \r\n" + kLatin1Name + "\r\n\r\n" + kRule +
                                                    "\r\n");
}

TEST_F(FileListOutputTest, ACancelledSaveAsWritesNothingAfterTheQuestions) {
  start();
  browsed.write("new.txt");
  for (const char* item : {"addto", "fileappend"}) {
    for (Answer cover : {Answer::No, Answer::Yes}) {
      test.dialogs.clear();
      test.dialogs.choose("").answer(cover);
      if (cover == Answer::Yes) test.dialogs.type("Title");
      run(item);
      const std::size_t questions = std::string(item) == "fileappend" ? 1 : 0;
      ASSERT_EQ(test.dialogs.calls().size(), questions + (cover == Answer::Yes ? 3u : 2u));
      expectBox(call(questions + 1), "Format for Cover?", Buttons::YesNo, Icon::Information);
      EXPECT_EQ(test.dialogs.pendingSteps(), 0u);
      for (const MessageRequest& box : test.dialogs.messages()) {
        EXPECT_EQ(box.text.find("Files Printed To"), std::string::npos) << item;
      }
    }
  }
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::WriteFile).empty());
  EXPECT_TRUE(std::filesystem::is_empty(output.path()));
  EXPECT_EQ(window->fileList().listCount(), 3) << "the list must not be re-read";
}

TEST_F(FileListOutputTest, AFailingWriteStopsQuietly) {
  start();
  browsed.write("new.txt");
  const std::string target = output.file("list.txt");
  test.fileSystem.fail(FsOp::WriteFile, Error{ENOSPC, "disk full"});
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  EXPECT_EQ(test.dialogs.calls().size(), 2u) << "no message after the question";
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::WriteFile).size(), 1u);
  EXPECT_EQ(window->fileList().listCount(), 3) << "the list must not be re-read";
}

TEST_F(FileListOutputTest, ATargetInTheListedFolderAppearsAfterTheReread) {
  start();
  const std::string target = browsed.file("list.txt");
  test.dialogs.choose(target).answer(Answer::No);
  run("addto");
  EXPECT_EQ(window->fileList().listCount(), 4);
  EXPECT_EQ(window->countBox().text(), "4");
  // The listing holds the entries as they were when it was made.
  EXPECT_EQ(testsupport::TempDir::read(target).find("list.txt"), std::string::npos);
}

// Printing.

TEST_F(FileListOutputTest, PrintAsksWithTheWholeListsCount) {
  start();
  window->fileList().setSelected(0, true);
  test.dialogs.answer(Answer::No);
  run("printer1");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  const MessageRequest box = test.dialogs.messages().at(0);
  EXPECT_EQ(box.text, "Continue Printing 3 Files?");
  EXPECT_EQ(box.buttons, Buttons::YesNo);
  EXPECT_EQ(box.icon, Icon::Critical);
  EXPECT_EQ(box.title, "Print Files!");
  EXPECT_EQ(box.defaultButton, DefaultButton::Second);
  EXPECT_EQ(box.helpFile, "DEMO.HLP");
  EXPECT_EQ(box.helpContext, 1000);
  EXPECT_EQ(test.printer.choosePrinterCalls(), 0);
  EXPECT_TRUE(test.printer.documents().empty());
}

TEST_F(FileListOutputTest, PrintSendsThePlainListingIn11Points) {
  start();
  browsed.write("new.txt");
  test.dialogs.answer(Answer::Yes);
  run("printer1");
  EXPECT_EQ(test.printer.choosePrinterCalls(), 1);
  EXPECT_EQ(test.printer.fontSize(), 11);
  ASSERT_EQ(test.printer.documents().size(), 1u);
  EXPECT_EQ(test.printer.documents()[0],
            (Lines{"Brindle V1.5.2 Files List", "PATH: " + browsed.path(), " ", "A.txt", "b.mp3",
                   "Grüße aus Köln.txt", "", kRule}));
  ASSERT_EQ(test.dialogs.messages().size(), 2u);
  expectBox(call(1), "Files Printed To Printer:", Buttons::Ok, Icon::None);
  EXPECT_EQ(window->fileList().listCount(), 4) << "the list is re-read";
}

TEST_F(FileListOutputTest, ACancelledPrinterChoiceStillPrints) {
  start();
  test.printer.setChoiceAccepted(false);
  test.dialogs.answer(Answer::Yes);
  run("printer1");
  EXPECT_EQ(test.printer.documents().size(), 1u);
  EXPECT_EQ(test.dialogs.messages().back().text, "Files Printed To Printer:");
}

class PrintFailureTest : public FileListOutputTest,
                         public ::testing::WithParamInterface<RecordingPrinter::Step> {};

TEST_P(PrintFailureTest, ShowsPrintingAborted) {
  start();
  browsed.write("new.txt");
  test.printer.failAt(GetParam());
  test.dialogs.answer(Answer::Yes);
  run("printer1");
  ASSERT_EQ(test.dialogs.messages().size(), 2u);
  expectBox(call(1), "Printing Aborted!!", Buttons::Ok, Icon::None);
  EXPECT_TRUE(test.printer.documents().empty());
  EXPECT_EQ(window->fileList().listCount(), 3) << "the list must not be re-read";
}

INSTANTIATE_TEST_SUITE_P(EveryStep, PrintFailureTest,
                         ::testing::Values(RecordingPrinter::Step::SetFontSize,
                                           RecordingPrinter::Step::PrintLine,
                                           RecordingPrinter::Step::EndDocument));

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

TEST_F(FileListOutputTest, PrintsTheListingIntoAPdfFile) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  const std::string pdf = output.file("list.pdf");
  platform::qt::QtPrinter printer(nullptr, pdf);
  platform::Platform printing{test.dialogs,       test.fileSystem, printer,     test.shell,
                              test.instanceGuard, test.clock,      test.folder, test.settings};
  window = std::make_unique<frmmainbrindle>(printing, help, browsed.path());
  ASSERT_TRUE(window->startUp());
  test.dialogs.answer(Answer::Yes);
  run("printer1");
  ASSERT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_EQ(test.dialogs.messages()[1].text, "Files Printed To Printer:");

  std::optional<std::string> text = pdfText(pdf);
  ASSERT_TRUE(text.has_value()) << "pdftotext could not read " << pdf;
  std::size_t position = 0;
  for (const std::string& line :
       {std::string("Brindle V1.5.2 Files List"), "PATH: " + browsed.path(), std::string("A.txt"),
        std::string("b.mp3"), std::string("Grüße aus Köln.txt"), kRule}) {
    const std::size_t found = text->find(line, position);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << *text;
    position = found + line.size();
  }
}

}  // namespace
}  // namespace brindle::app
