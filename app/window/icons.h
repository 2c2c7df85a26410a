// Icons of the window: the desktop's icon theme first, the Breeze icons built into the
// program when the theme has none of that name.
#pragma once

#include <QIcon>
#include <string_view>

namespace tavrin::window {

/// Icon by its freedesktop name ("view-refresh").
QIcon ThemedIcon(const char* name);
/// The icon of a category, by the category's title image index.
QIcon CategoryIcon(int titleImageIndex);
/// The program's own window icon.
QIcon ProgramIcon();

}  // namespace tavrin::window
