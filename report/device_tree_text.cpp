#include "report/device_tree_text.h"

#include <algorithm>

#include "report/clipboard_table.h"

namespace tavrin::report {
namespace {

void TreeLines(const pages::DeviceTreeNode& node, std::size_t depth, std::string& text) {
  text += std::string(depth * 2, ' ') + node.caption;
  if (node.deviceIndex >= 0) {
    if (!node.driver.empty()) text += "  [" + node.driver + "]";
    if (node.problem) text += "  (!)";
  }
  text += "\n";
  for (const auto& child : node.children) TreeLines(child, depth + 1, text);
}

}  // namespace

std::string DeviceTreeText(const pages::DeviceTreeNode& node) {
  std::string text;
  TreeLines(node, 0, text);
  return text;
}

std::string DeviceDetailsText(const pages::Page& details) {
  pages::Page shown = details;
  auto& sections = shown.Sections();
  sections.erase(std::remove_if(sections.begin(), sections.end(),
                                [](const pages::Section& s) { return s.Items.empty(); }),
                 sections.end());
  return PageTableText(shown);
}

}  // namespace tavrin::report
