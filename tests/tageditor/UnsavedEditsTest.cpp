// The unsaved-edits question: when it is asked, its text, and what each
// answer does with the edits.
#include "tageditor/core/UnsavedEdits.h"

#include <gtest/gtest.h>

#include "platform/testing/ScriptedDialogs.h"

namespace brindle::tageditor {
namespace {

using platform::Answer;
using platform::Buttons;

TagFields withTitle(const std::string& title) {
  TagFields fields;
  fields.txt[kV2Title] = title;
  return fields;
}

TEST(UnsavedEdits, NothingIsAskedWithoutAFileOrWithoutChanges) {
  platform::testing::ScriptedDialogs dialogs;
  UnsavedEdits edits;
  int saves = 0;
  auto save = [&] {
    ++saves;
    return SaveResult::Saved;
  };
  EXPECT_FALSE(edits.changed(withTitle("typed")));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("typed"), save));

  edits.loaded("/music/a.mp3", withTitle("Old"));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("Old"), save));
  edits.saved(withTitle("New"));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("New"), save));
  edits.forget();
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("Other"), save));
  // A cover change counts until the file is saved, loaded again or left.
  edits.coverChanged(true);
  EXPECT_FALSE(edits.changed(withTitle("Other")));
  edits.loaded("/music/a.mp3", withTitle("Old"));
  edits.coverChanged(true);
  EXPECT_TRUE(edits.changed(withTitle("Old")));
  edits.saved(withTitle("Old"));
  EXPECT_FALSE(edits.changed(withTitle("Old")));
  edits.coverChanged(true);
  edits.loaded("/music/b.mp3", withTitle("Old"));
  EXPECT_FALSE(edits.changed(withTitle("Old")));
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(saves, 0);
}

TEST(UnsavedEdits, ChangedFieldsAskAndTheAnswerDecides) {
  struct Row {
    Answer answer;
    SaveResult saveResult;
    bool leaves;
    int saves;
  };
  const Row rows[] = {
      {Answer::Save, SaveResult::Saved, true, 1},
      {Answer::Save, SaveResult::Failed, false, 1},
      {Answer::Discard, SaveResult::Saved, true, 0},
      {Answer::Cancel, SaveResult::Saved, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(platform::testing::answerName(row.answer));
    platform::testing::ScriptedDialogs dialogs;
    dialogs.answer(row.answer);
    UnsavedEdits edits;
    edits.loaded("/music/01 Song.mp3", withTitle("Old"));
    int saves = 0;
    const bool leaves = mayLeaveEdits(dialogs, edits, withTitle("Typed"), [&] {
      ++saves;
      return row.saveResult;
    });
    EXPECT_EQ(leaves, row.leaves);
    EXPECT_EQ(saves, row.saves);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].message.text, "Save changes to 01 Song.mp3?");
    EXPECT_EQ(dialogs.calls()[0].message.buttons, Buttons::SaveDiscardCancel);
  }
}

TEST(UnsavedEdits, NamesShowTheFileWithoutItsFolder) {
  UnsavedEdits edits;
  edits.loaded("/music/a b.mp3", {});
  EXPECT_EQ(edits.fileName(), "a b.mp3");
  EXPECT_EQ(savedNote(edits.fileName()), "Saved a b.mp3");
  edits.loaded("plain.mp3", {});
  EXPECT_EQ(edits.fileName(), "plain.mp3");
  EXPECT_EQ(unsavedQuestion("\xE9.mp3"), "Save changes to \xEF\xBF\xBD.mp3?");
}

}  // namespace
}  // namespace brindle::tageditor
