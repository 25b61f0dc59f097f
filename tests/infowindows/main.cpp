// Test entry point: the widget tests need one QApplication for the whole run.
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  // The test registration also runs the program (to list the cases) without
  // the environment of the test run, so default to the offscreen platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Closing the last test window must not end the event loop of later tests.
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
