#include "tests/app/MainWindowFixture.h"

#include <QTest>

namespace brindle::app {

MainWindowFixture::MainWindowFixture()
    : test(programFolder.path()), services(test.platform()), help(services) {
  std::string helpFile = "Help file written by the tests.\r\n";
  for (int topic = 0; topic <= 100; ++topic) {
    helpFile +=
        "HID:" + std::to_string(topic) + "\r\nTopic " + std::to_string(topic) + ".\r\nHIDOVER:\r\n";
  }
  programFolder.write("Brindlehelp.txt", helpFile);
  test.fileSystem.setDrives({"/", browsed.path()});
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::start() {
  window = std::make_unique<frmmainbrindle>(services, help, browsed.path());
  ASSERT_TRUE(window->startUp());
  window->show();
  test.fileSystem.clearCalls();
}

std::string MainWindowFixture::topicText(int topic) {
  return "Topic " + std::to_string(topic) + ".\r\n";
}

void MainWindowFixture::clickEntry(int index, Qt::KeyboardModifiers modifiers) {
  ui::FileListBox& list = window->fileList();
  const QRect rect = list.visualRect(list.model()->index(index, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, rect.center());
}

}  // namespace brindle::app
