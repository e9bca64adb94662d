#include <gtest/gtest.h>
#include <QApplication>

#include <cstdlib>

// GUI tests run on the offscreen platform unless the caller chose another
// (xvfb-run with QT_QPA_PLATFORM=xcb shows the windows for real).
int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
