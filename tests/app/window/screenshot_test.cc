// Screenshots of the window after a gathering of this machine, for a person to look at:
// the introduction and the general page in easy mode, the introduction and the processor
// details in advanced mode. They are written to the build folder's "screenshots".
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "app/window/main_window.h"
#include "gather/controller.h"
#include "platform/linux/live_services.h"

namespace tavrin::window {
namespace {

void Save(TfrmSysInfo& window, const QString& name) {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const QString folder = QStringLiteral(TAVRIN_BUILD_DIR "/screenshots");
  QDir().mkpath(folder);
  const QPixmap shot = window.grab();
  ASSERT_FALSE(shot.isNull());
  ASSERT_TRUE(shot.save(folder + "/" + name + ".png")) << name.toStdString();
}

TEST(WindowScreenshots, IntroductionAndPagesInBothModes) {
  auto services = std::make_shared<const platform::Services>(platform::MakeLiveServices());
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(std::make_shared<collectors::TVexa_SystemInfo>(services));
  controller.SetCollectorTimeLimit(std::chrono::seconds(20));
  TfrmSysInfo window(controller);
  window.SetAutoGather(false);
  window.resize(1000, 700);
  window.show();
  controller.SetInProgress(false);
  ASSERT_TRUE(controller.GatherWithProgress());
  window.UpdateActions();

  Save(window, "easy-introduction");
  window.Action("act_si_generalinfo")->trigger();
  EXPECT_EQ(window.ActivePageIndex(), 1);
  Save(window, "easy-general");

  window.Action("actSwitchModes")->trigger();
  Save(window, "advanced-introduction");
  window.Action("act_si_cpuadvinfo")->trigger();
  EXPECT_EQ(window.ActivePageIndex(), 4);
  Save(window, "advanced-processor");
  window.close();
}

}  // namespace
}  // namespace tavrin::window
