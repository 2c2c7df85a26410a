#include "app/window/screenshot_hook.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <iostream>

#include "app/window/main_window.h"

namespace tavrin::window {
namespace {

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// TAVRIN_SCREENSHOT_SELECT picks a node of the shown page's tree (the device tree): the first
// device whose caption contains the text, any device for "first".
void SelectTreeNode(TfrmSysInfo& window, const QString& wanted) {
  for (auto* tree : window.findChildren<QTreeWidget*>()) {
    if (!tree->isVisible() || tree->topLevelItemCount() == 0) continue;
    for (int g = 0; g < tree->topLevelItem(0)->childCount(); ++g) {
      QTreeWidgetItem* group = tree->topLevelItem(0)->child(g);
      for (int d = 0; d < group->childCount(); ++d) {
        QTreeWidgetItem* device = group->child(d);
        if (wanted != QLatin1String("first") &&
            !device->text(0).contains(wanted, Qt::CaseInsensitive))
          continue;
        group->setExpanded(true);
        tree->setCurrentItem(device);
        tree->scrollToItem(device);
        return;
      }
    }
  }
  std::cerr << "tavrin: no tree node " << wanted.toStdString() << " to select\n";
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
  if (const char* wanted = Env("TAVRIN_SCREENSHOT_SELECT")) {
    QTimer::singleShot(200, &window, [&window, text = QString::fromUtf8(wanted)] {
      SelectTreeNode(window, text);
    });
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
