// The pages of the window that show more than their sectioned list: each wraps the list in a
// widget of its own (the device tree, live monitors, charts).
#pragma once

#include <string_view>

class QWidget;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class SectionListView;

/// The widget that shows the page `categoryKey`: the list itself for most pages, else the
/// page's own widget holding the list.
QWidget* MakePageWidget(std::string_view categoryKey, gather::TGetFunctionsClass& controller,
                        SectionListView* list, QWidget* parent);

}  // namespace tavrin::window
