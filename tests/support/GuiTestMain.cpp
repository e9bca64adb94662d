#include "app/AccessibleFactory.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

// GUI tests run on the offscreen platform unless the caller chose another
// (xvfb-run with QT_QPA_PLATFORM=xcb shows the windows for real).
int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Recovery entries and other per-user data of a test never reach the
  // user's own folders (a test's child process gets its own).
  QTemporaryDir data;
  if (!std::getenv("ORVIK_RECOVER_CHILD")) setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  // As the program does at start-up: the windows of every test are readable.
  InstallAccessibleFactory();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
