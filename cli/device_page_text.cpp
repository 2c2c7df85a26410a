#include "cli/device_page_text.h"

#include "cli/terminal_text.h"
#include "collectors/system_info.h"
#include "pages/device_tree.h"
#include "pages/markup.h"
#include "pages/page_layouts.h"
#include "text/label_wording.h"

namespace tavrin::cli {
namespace {

void TreeLines(const pages::DeviceTreeNode& node, int depth, std::string& text) {
  text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + node.caption;
  if (node.deviceIndex >= 0) {
    if (!node.driver.empty()) text += "  [" + node.driver + "]";
    if (node.problem) text += "  (!)";
  }
  text += "\n";
  for (const auto& child : node.children) TreeLines(child, depth + 1, text);
}

void Devices(const pages::DeviceTreeNode& node, std::vector<const pages::DeviceTreeNode*>& out) {
  if (node.deviceIndex >= 0) out.push_back(&node);
  for (const auto& child : node.children) Devices(child, out);
}

}  // namespace

std::string DevicePageText(const pages::TSICategory& category, const pages::FillContext& ctx,
                           const PageTextOptions& options) {
  const auto& devices = ctx.info.Devices();
  std::string text =
      "=== " + *category.caption + " ===\n" + pages::StripMarkup(*category.description) + "\n\n";
  const pages::DeviceTreeNode root =
      pages::BuildDeviceTree(devices, pages::DeviceTreeComputerName(ctx));
  TreeLines(root, 0, text);
  if (devices.DeviceCount() == 0 && options.explain)
    text += "  (no devices: " + devices.Source.Explain() + ")\n";
  text += "\n";
  if (!ctx.advanced) return TerminalText(text);

  const pages::PageLayout* layout = pages::FindPageLayout(category.key);
  if (!layout) return TerminalText(text);
  std::vector<pages::Section> sections;
  for (const auto& s : layout->sections)
    sections.push_back({std::string(s.caption), s.imageIndex, {}, {}});
  pages::Page details(std::string(category.key), std::string(layout->listName), sections);
  std::vector<const pages::DeviceTreeNode*> nodes;
  Devices(root, nodes);
  for (const auto* node : nodes) {
    pages::FillDeviceDetails(ctx, devices, node->deviceIndex, details);
    text += "--- " + node->caption + " ---\n";
    for (const pages::Section& section : details.Sections()) {
      if (section.Items.empty()) continue;  // empty sections are hidden, as in the window
      text += "  " + std::string(text::SectionCaptionText(section.Caption)) + "\n";
      for (const auto& row : section.Items) {
        const std::string value = row.SubItems.empty() ? std::string() : row.SubItems[0];
        std::string label = row.Caption;
        if (label.size() < 28) label.insert(0, 28 - label.size(), ' ');
        text += "  " + label + "  " + value + "\n";
      }
    }
    text += "\n";
  }
  return TerminalText(text);
}

}  // namespace tavrin::cli
