// The list of renames shown with a batch's question: one line per selected
// entry, refusals marked with their reason, long lists cut with a count.
#include "rename/core/BatchPreview.h"

#include <gtest/gtest.h>

namespace brindle::rename {
namespace {

PlannedRename entry(int index, std::string oldName, RuleResult rule) {
  return {index, std::move(oldName), std::move(rule)};
}

TEST(BatchPreview, ListsEveryEntryAndMarksRefusals) {
  BatchPlan plan;
  plan.entryCount = 5;
  plan.entries = {
      entry(0, "a.mp3", RuleResult::renameTo("a.mp3", "A.MP3")),
      entry(1, "B.MP3", RuleResult::unchanged()),
      entry(2, "c.mp3", RuleResult::refused("A.MP3", kNameTakenByEarlierEntry)),
      entry(4, "\xE9.mp3", RuleResult::renameTo("\xE9.mp3", "x/y.mp3")),
  };
  plan.entries[3].rule = RuleResult::refused("x/y.mp3", "not a plain file name");
  EXPECT_EQ(previewText(plan),
            "1 file to rename, 2 not renamed (marked):\n"
            "a.mp3 -> A.MP3\n"
            "B.MP3 (unchanged)\n"
            "c.mp3 -> A.MP3  [not renamed: an earlier file of the batch gets this name]\n"
            "\xEF\xBF\xBD.mp3 -> x/y.mp3  [not renamed: not a plain file name]\n");
}

TEST(BatchPreview, ALongListIsCutWithACount) {
  BatchPlan plan;
  for (int i = 0; i < 5; ++i) {
    const std::string name = std::to_string(i) + ".txt";
    plan.entries.push_back(entry(i, name, RuleResult::renameTo(name, "n" + name)));
  }
  EXPECT_EQ(previewText(plan, 2),
            "5 files to rename:\n"
            "0.txt -> n0.txt\n"
            "1.txt -> n1.txt\n"
            "... and 3 more\n");
}

}  // namespace
}  // namespace brindle::rename
