// The Device manager page: the device tree and the details list of the selected device.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <system_error>

#include "base/strings.h"
#include "collectors/system_info.h"
#include "pages/device_tree.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TDevice;

using base::Lower;

void SortChildren(DeviceTreeNode& node) {
  std::stable_sort(node.children.begin(), node.children.end(),
                   [](const DeviceTreeNode& a, const DeviceTreeNode& b) {
                     return Lower(a.caption) < Lower(b.caption);
                   });
}

bool Windows7(const collectors::TVexa_Devices& devices) {
  const auto& os = devices.OsVersionSnapshot();
  return os.platform == platform::OsPlatform::WindowsNT && os.major == 6 && os.minor == 1;
}

std::string Range(uint64_t start, uint64_t end) {
  char text[64];
  std::snprintf(text, sizeof text, "%08" PRIX64 " - %08" PRIX64, start, end);
  return text;
}

// "The driver e1000e could not start this device (error -12: Cannot allocate memory)".
std::string ProbeFailureText(const TDevice& d) {
  std::string error = std::to_string(d.ProbeError);
  if (d.ProbeError < 0) error += ": " + std::generic_category().message(-d.ProbeError);
  return FormatText(lbl::S_HARD_PROBLEM_PROBE_FAILED, {d.ProbeDriver, error});
}

}  // namespace

std::string DeviceDescriptionText(const TDevice& d, bool windows7) {
  if (d.Description == d.Name) return {};
  return windows7 ? d.Name : d.Description;
}

DeviceTreeNode BuildDeviceTree(const collectors::TVexa_Devices& devices,
                               std::string_view computerName) {
  DeviceTreeNode root;
  root.caption = std::string(computerName);
  root.image = 0;
  const bool windows7 = Windows7(devices);
  DeviceTreeNode* group = nullptr;
  int group_code = -1;
  const auto& list = devices.List();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const TDevice& d = list[i];
    if (!group || d.DeviceClass != group_code) {
      DeviceTreeNode g;
      g.caption = !TrimText(d.ClassDesc).empty() ? d.ClassDesc : d.ClassName;
      g.image = kDeviceClassImages[std::min<std::size_t>(d.DeviceClass, 38)];
      if (group) SortChildren(*group);
      root.children.push_back(std::move(g));
      group = &root.children.back();
      group_code = d.DeviceClass;
    }
    DeviceTreeNode node;
    node.caption = d.FriendlyName;
    if (TrimText(node.caption).empty()) node.caption = DeviceDescriptionText(d, windows7);
    if (node.caption.empty()) node.caption = d.Name;
    node.image = group->image;
    node.deviceIndex = static_cast<int>(i);
    node.problem = d.Problem != platform::DeviceProblem::None;
    node.driver = d.Driver;
    group->children.push_back(std::move(node));
  }
  if (group) SortChildren(*group);
  SortChildren(root);
  return root;
}

void FillNodeText(Page& page, std::string_view caption) {
  page.ClearItems();
  // Added directly: the caption is shown even when it is blank, like the selection it names.
  TZuSectionItem item;
  item.Caption = std::string(caption);
  page.Sections()[devices_section::kGeneral].Items.push_back(std::move(item));
}

void FillDeviceDetails(const FillContext& ctx, const collectors::TVexa_Devices& devices, int index,
                       Page& page) {
  if (index < 0 || index >= devices.DeviceCount()) return;
  const TDevice d = devices.Devices(index);
  page.ClearItems();
  const bool linux_model = d.FromDeviceModel;
  auto add = [&](int section, const std::string& label, const std::string& value, bool advanced) {
    AddItem(ctx, page, section, label, value, "", advanced);
  };
  using namespace devices_section;
  add(kGeneral, lbl::S_HARD_DEVICE, d.Name, false);
  add(kGeneral, lbl::S_HARD_DESC, DeviceDescriptionText(d, Windows7(devices)), false);
  add(kGeneral, lbl::S_HARD_GROUPNAME, d.ClassName, false);
  add(kGeneral, lbl::S_HARD_GROUPDESC, d.ClassDesc, false);
  add(kGeneral, lbl::S_HARD_VENDOR, d.Manufacturer, false);
  add(kGeneral, lbl::S_HARD_DEVICE_ID, std::to_string(d.DeviceID), true);
  add(kGeneral, lbl::S_HARD_VENDOR_ID, std::to_string(d.VendorID), true);
  if (d.Problem == platform::DeviceProblem::NoDriver)
    add(kGeneral, lbl::S_HARD_PROBLEM, lbl::S_HARD_PROBLEM_NO_DRIVER, false);
  if (d.Problem == platform::DeviceProblem::ProbeDeferred)
    add(kGeneral, lbl::S_HARD_PROBLEM, lbl::S_HARD_PROBLEM_DEFERRED, false);
  if (d.Problem == platform::DeviceProblem::ProbeFailed)
    add(kGeneral, lbl::S_HARD_PROBLEM, ProbeFailureText(d), false);

  add(kDriver, lbl::S_HARD_DRIVER, d.DriverProvider, false);
  add(kDriver, lbl::S_HARD_DRIVER_DATE, d.DriverDate, false);
  add(kDriver, lbl::S_HARD_DRIVER_VERSION, d.DriverVersion, false);
  // On Linux the driver is the kernel driver bound to the device, the fact a user looks for.
  if (linux_model) {
    add(kDriver, lbl::S_HARD_KERNEL_DRIVER, d.Driver, false);
  } else {
    add(kDriver, lbl::S_HARD_DRIVER_GUID, d.Driver, true);
  }

  add(kService, lbl::S_HARD_SERVICE, d.ServiceName, false);
  add(kService, lbl::S_HARD_SERVICEGROUP, d.ServiceGroup, false);
  add(kService, linux_model ? lbl::S_HARD_KERNEL_MODULE : lbl::S_HARD_SERVICEID, d.Service, false);

  add(kAdvanced, lbl::S_HARD_DEVICE_GUID, d.GUID, false);
  add(kAdvanced, lbl::S_HARD_DEVICE_LOCATION, d.Location, false);
  add(kAdvanced, lbl::S_HARD_HARDID, d.HardwareID, false);
  add(kAdvanced, lbl::S_HARD_PARAMS, d.DeviceParam, false);
  add(kAdvanced, lbl::S_HARD_INFORMATION, d.InfPath, false);
  add(kAdvanced, linux_model ? lbl::S_HARD_DEVICE_PATH : lbl::S_HARD_REGKEY, d.RegKey, false);
  if (linux_model) {
    add(kAdvanced, lbl::S_HARD_DEVICE_NODE, d.SymbolicLink, false);
    for (const auto& r : d.Resources) {
      using Kind = platform::DeviceResource::Kind;
      switch (r.kind) {
        case Kind::Io:
          add(kAdvanced, lbl::S_HARD_IO_RANGE, Range(r.start, r.end), false);
          break;
        case Kind::Memory:
          add(kAdvanced, lbl::S_HARD_MEMORY_RANGE, Range(r.start, r.end), false);
          break;
        case Kind::Irq:
          add(kAdvanced, lbl::S_HARD_IRQ, std::to_string(r.start), false);
          break;
        case Kind::Dma:
          add(kAdvanced, lbl::S_HARD_DMA, std::to_string(r.start), false);
          break;
      }
    }
  }
}

std::string DeviceTreeComputerName(const FillContext& ctx) {
  const std::string& name = ctx.info.Machine().MachineName;
  return TrimText(name).empty() ? std::string("Computer") : name;
}

// The page's list shows the selected device; before any selection the root is selected.
void FillDevicesPage(const FillContext& ctx, Page& page) {
  if (page.Sections().size() != static_cast<std::size_t>(devices_section::kCount)) return;
  FillNodeText(page, DeviceTreeComputerName(ctx));
}

}  // namespace tavrin::pages
