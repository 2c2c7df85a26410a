#include "app/window/page_widgets.h"

#include "app/window/device_tree_page.h"
#include "app/window/memory_page.h"
#include "app/window/performance_page.h"
#include "app/window/section_list_view.h"
#include "app/window/storage_pages.h"

namespace tavrin::window {
namespace {

using PageMaker = QWidget* (*)(gather::TGetFunctionsClass&, SectionListView*, QWidget*);

struct PageWidgetRow {
  std::string_view key;
  PageMaker make;
};

// One row per page with a widget of its own.
constexpr PageWidgetRow kPageWidgets[] = {
    {"devicesinfo", MakeDeviceTreePage},   {"memoryinfo", MakeMemoryPage},
    {"performinfo", MakePerformancePage},  {"harddriveinfo", MakeDrivesPage},
    {"harddriveadvinfo", MakeStoragePage},
};

}  // namespace

QWidget* MakePageWidget(std::string_view categoryKey, gather::TGetFunctionsClass& controller,
                        SectionListView* list, QWidget* parent) {
  for (const PageWidgetRow& row : kPageWidgets)
    if (row.key == categoryKey) return row.make(controller, list, parent);
  return list;
}

}  // namespace tavrin::window
