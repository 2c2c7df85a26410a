// One application object and one framework start for every window test.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "session/framework.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Without a display the tests draw offscreen; under xvfb-run DISPLAY is set.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  tavrin::session::InitializeFramework(argc, argv);
  int rc = 0;
  {
    QApplication application(argc, argv);
    rc = RUN_ALL_TESTS();
  }
  tavrin::session::FinalizeFramework();
  return rc;
}
