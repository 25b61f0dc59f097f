// Access keys of menu captions: one per caption, none taken twice in a menu,
// the shown text unchanged.
#include "ui/core/Mnemonics.h"

#include <gtest/gtest.h>

namespace brindle::ui {
namespace {

TEST(Mnemonics, EachCaptionGetsAFreeLetterPreferablyAtAWordStart) {
  struct Row {
    QStringList captions;
    QStringList marked;
  };
  const Row rows[] = {
      {{"Options", "Window", "Help"}, {"&Options", "&Window", "&Help"}},
      {{"Rename All Files", "Rename Single File", "Remove Left Most"},
       {"&Rename All Files", "Rename &Single File", "Remove &Left Most"}},
      {{"Edit", "Edit File", "Exit"}, {"&Edit", "Edit &File", "E&xit"}},
      {{"Save", "", "(?)", "Sun"}, {"&Save", "", "(?)", "S&un"}},
      {{"E&xit", "Exit"}, {"E&xit", "&Exit"}},
      {{"ab", "ab", "ab"}, {"&ab", "a&b", "ab"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.captions.join(u'|').toStdString());
    const QStringList marked = withMnemonics(row.captions);
    EXPECT_EQ(marked, row.marked);
    for (qsizetype i = 0; i < marked.size(); ++i) {
      EXPECT_EQ(withoutMnemonic(marked[i]), withoutMnemonic(row.captions[i]));
    }
  }
}

}  // namespace
}  // namespace brindle::ui
