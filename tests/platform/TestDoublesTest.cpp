// What other tests rely on the doubles for and would not notice broken: a scripted fault hits
// only its path and count without reaching the file, and unscripted prompts are counted.
#include <gtest/gtest.h>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::testing {
namespace {

TEST(RecordingFileSystem, FailsOnlyTheGivenPathAndCountWithoutReachingTheFile) {
  testsupport::TempDir folder;
  posix::PosixFileSystem real;
  RecordingFileSystem fs{real};
  const std::string a = folder.write("a.txt", "A"), b = folder.write("b.txt", "B");
  fs.fail(FsOp::Remove, Error{EACCES, "denied (scripted)"}, a, 2);
  EXPECT_FALSE(fs.remove(a).ok() || fs.remove(a).ok());
  EXPECT_TRUE(real.exists(a)) << "a failed call must not reach the file";
  EXPECT_TRUE(fs.remove(b).ok() && fs.remove(a).ok());
  EXPECT_EQ(folder.names(), std::vector<std::string>{});
  ASSERT_EQ(fs.callsOf(FsOp::Remove).size(), 4u);
  EXPECT_EQ(fs.callsOf(FsOp::Remove)[2].path, b);
}

TEST(ScriptedDialogs, CountsUnscriptedPromptsAndKeepsStepsForQuestions) {
  ScriptedDialogs dialogs;
  dialogs.type("for an input box").answer(Answer::Yes);
  EXPECT_EQ(dialogs.message("Done."), Answer::Ok) << "an OK box takes no step";
  EXPECT_EQ(dialogs.message("Sure?", Buttons::YesNo), Answer::No) << "a typed step is no answer";
  EXPECT_EQ(dialogs.saveAs(SaveAsRequest{}), "");
  EXPECT_EQ(dialogs.unscriptedPrompts(), 2u);
  EXPECT_EQ(dialogs.input(InputRequest{}), "for an input box");
  EXPECT_EQ(dialogs.message("Sure?", Buttons::YesNo), Answer::Yes);
  EXPECT_EQ(dialogs.input(InputRequest{}), "");
  EXPECT_EQ(dialogs.unscriptedPrompts(), 3u);
  EXPECT_EQ(dialogs.pendingSteps(), 0u);
}

}  // namespace
}  // namespace brindle::platform::testing
