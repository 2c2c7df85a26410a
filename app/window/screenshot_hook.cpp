#include "app/window/screenshot_hook.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "app/window/main_window.h"

namespace tavrin::window {
namespace {

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

}  // namespace

bool ArmScreenshot(TfrmSysInfo& window) {
  if (!Env("TAVRIN_SCREENSHOT")) return false;
  window.SetRememberSettings(false);
  window.resize(1366, 740);
  return true;
}

void ScreenshotAfterGathering(TfrmSysInfo& window) {
  const char* file = Env("TAVRIN_SCREENSHOT");
  if (!file) return;
  if (const char* page = Env("TAVRIN_SCREENSHOT_PAGE")) {
    if (QAction* action = window.Action(QStringLiteral("act_si_") + QString::fromUtf8(page))) {
      action->trigger();
    } else {
      std::cerr << "tavrin: no page " << page << " in this mode\n";
    }
  }
  const char* delay = Env("TAVRIN_SCREENSHOT_DELAY_MS");
  QTimer::singleShot(delay ? std::atoi(delay) : 1500, &window,
                     [&window, path = QString::fromUtf8(file)] {
                       if (!window.grab().save(path))
                         std::cerr << "tavrin: cannot save " << path.toStdString() << '\n';
                       QApplication::quit();
                     });
}

}  // namespace tavrin::window
