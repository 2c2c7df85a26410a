#include "cli/device_page_text.h"

#include "cli/terminal_text.h"
#include "collectors/system_info.h"
#include "pages/device_tree.h"
#include "pages/markup.h"
#include "pages/page_layouts.h"
#include "report/device_tree_text.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::cli {
namespace {

// What the list was read from, and why a side source gave nothing: the names fall back to the
// ids without the id files, and problems go unseen without the kernel log.
std::string SourceLines(const collectors::TVexa_Devices& devices) {
  std::string text = "  Sources:\n";
  auto line = [&text](std::string_view what, const platform::Provenance& p, std::string_view lost) {
    if (p.source.empty()) {  // not asked: the list had nothing to look up there
      text += "    " + std::string(what) + ": not read\n";
      return;
    }
    text += "    " + std::string(what) + ": " + p.Explain();
    if (!p.ok() && !lost.empty()) text += "; " + std::string(lost);
    text += "\n";
  };
  line("device database", devices.Source, "");
  line("udev properties", devices.UdevSource, "");
  line("kernel log", devices.KernelLogSource, "failed driver probes are not seen");
  line("pci.ids", devices.PciIdsSource, "PCI names fall back to the ids");
  line("usb.ids", devices.UsbIdsSource,
       "USB names fall back to what the devices say, or their ids");
  return text;
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
  text += report::DeviceTreeText(root);
  // A tree left bare by the time limit says so, not that the machine has no devices.
  if (auto limit = ctx.info.AbandonedAfter(devices.Name()))
    text += "  (" +
            FormatText(lbl::S_EMPTY_TIMED_OUT, {devices.Name(), std::to_string(limit->count())}) +
            ")\n";
  if (devices.DeviceCount() == 0 && options.explain)
    text += "  (no devices: " + devices.Source.Explain() + ")\n";
  if (options.explain) text += SourceLines(devices);
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
