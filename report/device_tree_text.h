// The Device manager page as clipboard text: the device tree indented, and the properties of
// the selected device without the sections the page hides when they are empty.
#pragma once

#include <string>

#include "pages/device_tree.h"
#include "pages/page_model.h"

namespace tavrin::report {

/// `node` and everything below it, two blanks of indent per level; a device ends in its
/// driver in brackets, and "(!)" when it needs attention.
std::string DeviceTreeText(const pages::DeviceTreeNode& node);

/// The details list as a table (as "Copy all" writes a page), leaving out empty sections.
std::string DeviceDetailsText(const pages::Page& details);

}  // namespace tavrin::report
