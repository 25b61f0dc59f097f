// The numbered rename dialog's remembered choices: stored and read back
// exactly, and nothing from values that are missing or no longer readable.
#include "rename/core/RememberedNumbering.h"

#include <gtest/gtest.h>

#include "platform/testing/Recorders.h"

namespace brindle::rename {
namespace {

TEST(RememberedNumbering, ChoicesComeBackAsTheyWereStored) {
  using Layout = NumberingOptions::Layout;
  for (Layout layout : {Layout::Common, Layout::UniqueLeft, Layout::UniqueRight}) {
    platform::testing::MemorySettings settings;
    NumberingChoices choices;
    choices.options.layout = layout;
    choices.options.commonName = "Caf\xC3\xA9 \xFF";
    choices.options.divider = " - ";
    choices.startText = "007";
    rememberNumbering(settings, choices);
    EXPECT_EQ(rememberedNumbering(settings), choices);
  }
}

TEST(RememberedNumbering, NothingStoredOrUnreadableGivesNothing) {
  platform::testing::MemorySettings settings;
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
  settings.setValue("numberedRename/layout", "sideways");
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
}

}  // namespace
}  // namespace brindle::rename
