// Tests of the test doubles themselves: the fault injection of the recording
// file system, the script of the dialogs and the recording printer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "TemporaryFolder.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/TestPlatform.h"

namespace brindle::platform::testing {
namespace {

using ::testing::ElementsAre;

class RecordingFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.valid());
    ASSERT_TRUE(real.writeFile(folder / "a.txt", "A", WriteMode::Replace).ok());
    ASSERT_TRUE(real.writeFile(folder / "b.txt", "B", WriteMode::Replace).ok());
  }

  brindle::platform::test::TemporaryFolder folder;
  posix::PosixFileSystem real;
  RecordingFileSystem fs{real};
};

TEST_F(RecordingFileSystemTest, PassesCallsThroughAndRecordsThem) {
  ASSERT_TRUE(fs.renameNoReplace(folder / "a.txt", folder / "c.txt").ok());
  EXPECT_TRUE(fs.exists(folder / "c.txt"));
  ASSERT_TRUE(fs.writeFile(folder / "d.txt", "bytes", WriteMode::CreateNew).ok());

  ASSERT_EQ(fs.calls().size(), 3u);
  EXPECT_EQ(fs.calls()[0].op, FsOp::Rename);
  EXPECT_EQ(fs.calls()[0].path, folder / "a.txt");
  EXPECT_EQ(fs.calls()[0].second, folder / "c.txt");
  EXPECT_EQ(fs.calls()[1].op, FsOp::Exists);
  ASSERT_EQ(fs.callsOf(FsOp::WriteFile).size(), 1u);
  EXPECT_EQ(fs.callsOf(FsOp::WriteFile)[0].second, "bytes");
  EXPECT_TRUE(real.exists(folder / "c.txt"));
  fs.clearCalls();
  EXPECT_TRUE(fs.calls().empty());
}

TEST_F(RecordingFileSystemTest, FailsOnlyOnTheGivenPath) {
  fs.fail(FsOp::Remove, Error{EACCES, "denied (scripted)"}, folder / "a.txt");
  Status denied = fs.remove(folder / "a.txt");
  ASSERT_FALSE(denied.ok());
  EXPECT_EQ(denied.error().code, EACCES);
  EXPECT_EQ(denied.error().message, "denied (scripted)");
  EXPECT_TRUE(real.exists(folder / "a.txt")) << "a failed call must not reach the file";

  EXPECT_TRUE(fs.remove(folder / "b.txt").ok());
  EXPECT_FALSE(real.exists(folder / "b.txt"));
  // The fault stays: a second attempt fails again.
  EXPECT_FALSE(fs.remove(folder / "a.txt").ok());
  EXPECT_EQ(fs.callsOf(FsOp::Remove).size(), 3u);

  fs.clearFaults();
  EXPECT_TRUE(fs.remove(folder / "a.txt").ok());
}

TEST_F(RecordingFileSystemTest, FailsTheGivenNumberOfTimes) {
  fs.fail(FsOp::ReadFile, Error{EIO, "flaky"}, std::nullopt, 2);
  EXPECT_FALSE(fs.readFile(folder / "a.txt").ok());
  EXPECT_FALSE(fs.readFile(folder / "b.txt").ok());
  Result<std::string> third = fs.readFile(folder / "a.txt");
  ASSERT_TRUE(third.ok());
  EXPECT_EQ(third.value(), "A");
}

TEST_F(RecordingFileSystemTest, FaultsOfOtherOperationsDoNotInterfere) {
  fs.fail(FsOp::WriteFile, Error{ENOSPC, "full"});
  EXPECT_TRUE(fs.readFile(folder / "a.txt").ok());
  EXPECT_FALSE(fs.writeFile(folder / "a.txt", "new", WriteMode::Replace).ok());
  EXPECT_EQ(real.readFile(folder / "a.txt").value(), "A");
}

TEST_F(RecordingFileSystemTest, FailedExistsReportsAbsence) {
  fs.fail(FsOp::Exists, Error{EIO, "gone"}, folder / "a.txt", 1);
  EXPECT_FALSE(fs.exists(folder / "a.txt"));
  EXPECT_TRUE(fs.exists(folder / "a.txt"));
}

TEST_F(RecordingFileSystemTest, DrivesCanBeReplaced) {
  fs.setDrives({"/", "/media/usb"});
  EXPECT_THAT(fs.drives(), ElementsAre("/", "/media/usb"));
  EXPECT_EQ(fs.callsOf(FsOp::Drives).size(), 1u);
}

/// Requests built field by field (designated initializers would have to name
/// every field to keep the warnings quiet).
MessageRequest box(std::string text, Buttons buttons = Buttons::Ok, std::string title = {}) {
  MessageRequest request;
  request.text = std::move(text);
  request.buttons = buttons;
  request.title = std::move(title);
  return request;
}

InputRequest prompt(std::string text) {
  InputRequest request;
  request.prompt = std::move(text);
  return request;
}

SaveAsRequest saveAsIn(std::string directory, std::string filter) {
  SaveAsRequest request;
  request.initialDirectory = std::move(directory);
  request.filter = std::move(filter);
  return request;
}

TEST(ScriptedDialogs, AnswersInScriptOrder) {
  ScriptedDialogs dialogs;
  dialogs.answer(Answer::Yes).type("typed text").choose("/tmp/chosen.txt");

  EXPECT_EQ(dialogs.message(box("Sure?", Buttons::YesNo)), Answer::Yes);
  EXPECT_EQ(dialogs.input(prompt("Name:")), "typed text");
  EXPECT_EQ(dialogs.saveAs(saveAsIn("/tmp", "*.txt")), "/tmp/chosen.txt");
  EXPECT_EQ(dialogs.pendingSteps(), 0u);
  EXPECT_EQ(dialogs.unscriptedPrompts(), 0u);

  ASSERT_EQ(dialogs.calls().size(), 3u);
  EXPECT_EQ(dialogs.calls()[0].kind, DialogCall::Kind::Message);
  EXPECT_EQ(dialogs.calls()[0].reply, "Yes");
  EXPECT_EQ(dialogs.calls()[1].input.prompt, "Name:");
  EXPECT_EQ(dialogs.calls()[2].saveAs.filter, "*.txt");
}

TEST(ScriptedDialogs, InformingBoxesNeedNoScript) {
  ScriptedDialogs dialogs;
  dialogs.answer(Answer::Cancel);
  EXPECT_EQ(dialogs.message(box("Done.")), Answer::Ok);
  EXPECT_EQ(dialogs.pendingSteps(), 1u) << "an OK box must not use up the scripted answer";
  EXPECT_EQ(dialogs.message(box("Go on?", Buttons::OkCancel)), Answer::Cancel);
  EXPECT_EQ(dialogs.unscriptedPrompts(), 0u);
}

TEST(ScriptedDialogs, CountsUnscriptedPrompts) {
  ScriptedDialogs dialogs;
  dialogs.type("for an input box");
  // The question finds an input step at the front: it is unscripted.
  EXPECT_EQ(dialogs.message(box("Delete?", Buttons::YesNo)), Answer::No);
  EXPECT_EQ(dialogs.message(box("Go on?", Buttons::OkCancel)), Answer::Cancel);
  EXPECT_EQ(dialogs.saveAs(SaveAsRequest{}), "");
  EXPECT_EQ(dialogs.unscriptedPrompts(), 3u);
  EXPECT_EQ(dialogs.pendingSteps(), 1u);
  EXPECT_EQ(dialogs.input(InputRequest{}), "for an input box");
  EXPECT_EQ(dialogs.input(InputRequest{}), "");
  EXPECT_EQ(dialogs.unscriptedPrompts(), 4u);
}

TEST(ScriptedDialogs, FillsInTheProgramTitle) {
  ScriptedDialogs dialogs;
  dialogs.message(box("Hello"));
  dialogs.message(box("Hello", Buttons::Ok, "Own title"));
  dialogs.input(prompt("Name:"));
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[0].title, "Brindle");
  EXPECT_EQ(dialogs.messages()[1].title, "Own title");
  EXPECT_EQ(dialogs.calls()[2].input.title, "Brindle");
}

TEST(ScriptedDialogs, ObserverSeesEachBoxBeforeTheAnswer) {
  ScriptedDialogs dialogs;
  std::vector<std::string> seen;
  dialogs.setObserver([&](const DialogCall& call) { seen.push_back(call.message.text); });
  dialogs.message(box("one"));
  dialogs.message(box("two"));
  EXPECT_THAT(seen, ElementsAre("one", "two"));
}

TEST(RecordingPrinter, RecordsDocumentsAndFailsAtTheChosenStep) {
  RecordingPrinter printer;
  EXPECT_TRUE(printer.choosePrinter());
  ASSERT_TRUE(printer.setFontSize(12).ok());
  ASSERT_TRUE(printer.printLine("first").ok());
  ASSERT_TRUE(printer.printLine("second").ok());
  ASSERT_TRUE(printer.endDocument().ok());
  EXPECT_EQ(printer.fontSize(), 12);
  ASSERT_EQ(printer.documents().size(), 1u);
  EXPECT_THAT(printer.documents()[0], ElementsAre("first", "second"));
  EXPECT_TRUE(printer.lines().empty());

  printer.failAt(RecordingPrinter::Step::PrintLine);
  EXPECT_FALSE(printer.printLine("third").ok());
  EXPECT_TRUE(printer.lines().empty());

  printer.failAt(RecordingPrinter::Step::ChoosePrinter);
  EXPECT_FALSE(printer.choosePrinter());
  EXPECT_EQ(printer.choosePrinterCalls(), 2);
}

TEST(TestPlatform, BundlesTheDoubles) {
  TestPlatform test("/opt/brindle");
  Platform platform = test.platform();
  EXPECT_EQ(&platform.dialogs, &test.dialogs);
  EXPECT_EQ(&platform.fileSystem, &test.fileSystem);
  EXPECT_EQ(platform.programFolder.path(), "/opt/brindle");
  EXPECT_FALSE(platform.instanceGuard.anotherInstanceRunning());
}

}  // namespace
}  // namespace brindle::platform::testing
