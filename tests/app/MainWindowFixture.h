// A main window over a temporary folder, every platform service a test double, and a help file
// whose topic n reads "Topic n.".
#pragma once

#include <gtest/gtest.h>

#include "app/frmmainbrindle.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"

namespace brindle::app {

class MainWindowFixture : public ::testing::Test {
 protected:
  MainWindowFixture();
  void start();  ///< Creates the window and runs its start-up; files must exist before.
  static std::string topicText(int topic) { return "Topic " + std::to_string(topic) + ".\r\n"; }
  void clickEntry(int index, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

  testsupport::TempDir programFolder, browsed;
  platform::testing::TestPlatform test;
  platform::Platform services;
  ui::ContextHelp help;
  std::unique_ptr<frmmainbrindle> window;
};

}  // namespace brindle::app
