#include "tests/app/MainWindowFixture.h"

#include <QTest>

namespace brindle::app {

MainWindowFixture::MainWindowFixture()
    : test(programFolder.path()), services(test.platform()), help(services) {
  std::string helpFile = "Help file written by the tests.\r\n";
  for (int topic = 0; topic <= 100; ++topic)
    helpFile += "HID:" + std::to_string(topic) + "\r\n" + topicText(topic) + "HIDOVER:\r\n";
  programFolder.write("Brindlehelp.txt", helpFile);
  test.fileSystem.setDrives({"/", browsed.path()});
}

void MainWindowFixture::start() {
  window = std::make_unique<frmmainbrindle>(services, help, browsed.path());
  ASSERT_TRUE(window->startUp());
  window->show();
  test.fileSystem.clearCalls();
}

void MainWindowFixture::clickEntry(int index, Qt::KeyboardModifiers modifiers) {
  const QRect rect = window->fileList().visualRect(window->fileList().model()->index(index, 0));
  QTest::mouseClick(window->fileList().viewport(), Qt::LeftButton, modifiers, rect.center());
}

}  // namespace brindle::app
