// The Device manager page from a device list: groups, captions, the details rows and their
// sections, and the live machine compared with lspci.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "collectors/system_info.h"
#include "pages/device_tree.h"
#include "pages/page_layouts.h"
#include "platform/linux/live_services.h"
#include "platform/recorded/recorded_devices.h"
#include "platform/service_hooks.h"
#include "report/device_tree_text.h"
#include "tests/support/row_context.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

// A device list made of registry values: class, names and driver per device.
class ListOf : public platform::DeviceService {
 public:
  explicit ListOf(std::vector<platform::DeviceInstanceValues> all) : all_(std::move(all)) {}
  platform::Answer<std::vector<platform::DeviceInstanceRef>> Instances() const override {
    std::vector<platform::DeviceInstanceRef> refs;
    for (const auto& v : all_) refs.push_back(v.ref);
    return platform::Answer<std::vector<platform::DeviceInstanceRef>>::Of(refs, "test");
  }
  platform::Answer<platform::DeviceInstanceValues> Instance(
      const platform::DeviceInstanceRef& ref) const override {
    for (const auto& v : all_)
      if (v.ref == ref) return platform::Answer<platform::DeviceInstanceValues>::Of(v, "test");
    return platform::Answer<platform::DeviceInstanceValues>::Fail(platform::Status::Missing,
                                                                  "test");
  }
  platform::Answer<platform::DeviceClassValues> ClassKey(std::string_view) const override {
    return platform::Answer<platform::DeviceClassValues>::Fail(platform::Status::Missing, "test");
  }
  platform::Answer<platform::DeviceDriverValues> DriverKey(std::string_view) const override {
    return platform::Answer<platform::DeviceDriverValues>::Fail(platform::Status::Missing, "t");
  }
  platform::Answer<platform::DeviceServiceValues> ServiceKey(std::string_view) const override {
    return platform::Answer<platform::DeviceServiceValues>::Fail(platform::Status::Missing, "t");
  }
  platform::Answer<std::string> IdEntries(platform::IdDatabase,
                                          const platform::IdKeys&) const override {
    return platform::Answer<std::string>::Fail(platform::Status::Missing, "test");
  }

 private:
  std::vector<platform::DeviceInstanceValues> all_;
};

platform::DeviceInstanceValues Dev(std::string instance, std::string cls, std::string desc,
                                   std::string driver = {}) {
  platform::DeviceInstanceValues v;
  v.ref = {"ROOT", "X", std::move(instance)};
  v.present = true;
  v.className = std::move(cls);
  v.deviceDesc = std::move(desc);
  v.driver = std::move(driver);
  return v;
}

std::unique_ptr<collectors::TVexa_Devices> Devices(
    std::vector<platform::DeviceInstanceValues> all) {
  auto services =
      std::const_pointer_cast<platform::Services>(testing::MakeTestServices("/nonexistent"));
  services->devices = std::make_shared<ListOf>(std::move(all));
  auto devices = std::make_unique<collectors::TVexa_Devices>(services);
  devices->RefreshData();
  return devices;
}

Page DetailsPage() {
  const PageLayout* layout = FindPageLayout("devicesinfo");
  std::vector<Section> sections;
  for (const auto& s : layout->sections)
    sections.push_back({std::string(s.caption), s.imageIndex, {}, {}});
  return Page("devicesinfo", std::string(layout->listName), sections);
}

TEST(DevicePage, TreeGroupsRunsOfEqualCodesAndSortsThem) {
  // Two classes the table does not know (both code 24) follow each other: one group, named
  // after the first of them.
  auto devices = Devices({Dev("1", "Sensor", "b sensor"), Dev("2", "Sensor", "a sensor"),
                          Dev("3", "SoftwareDevice", "tool"), Dev("4", "Net", "card", "e1000"),
                          Dev("5", "AudioEndpoint", "speakers")});
  const DeviceTreeNode root = BuildDeviceTree(*devices, "box");
  EXPECT_EQ(root.caption, "box");
  ASSERT_EQ(root.children.size(), 3u);
  // Groups sorted by caption: "AudioEndpoint", "Net", "Sensor" (holding the software device).
  EXPECT_EQ(root.children[0].caption, "AudioEndpoint");
  EXPECT_EQ(root.children[1].caption, "Net");
  EXPECT_EQ(root.children[1].image, kDeviceClassImages[21]);
  EXPECT_EQ(root.children[1].children[0].driver, "e1000");
  const DeviceTreeNode& sensors = root.children[2];
  EXPECT_EQ(sensors.caption, "Sensor");
  ASSERT_EQ(sensors.children.size(), 3u);
  EXPECT_EQ(sensors.children[0].caption, "a sensor");
  EXPECT_EQ(sensors.children[2].caption, "tool");
  EXPECT_GE(sensors.children[0].deviceIndex, 0);

  // No devices: only the root.
  EXPECT_TRUE(BuildDeviceTree(*Devices({}), "box").children.empty());
}

TEST(DevicePage, DetailsRowsAndTheirSections) {
  auto devices = Devices({Dev("1", "Net", "card")});
  Page page = DetailsPage();
  testing::RowContext easy(false), advanced(true);
  FillDeviceDetails(easy, *devices, 0, page);
  const auto& s = page.Sections();
  ASSERT_FALSE(s[devices_section::kGeneral].Items.empty());
  EXPECT_EQ(s[devices_section::kGeneral].Items[0].SubItems[0], " card");
  // No driver or service values: those sections stay empty (the view hides them).
  EXPECT_TRUE(s[devices_section::kDriver].Items.empty());
  EXPECT_TRUE(s[devices_section::kService].Items.empty());
  const auto rows = s[devices_section::kGeneral].Items.size();
  // Device ID 0 is shown in the advanced mode: 0 is not empty.
  FillDeviceDetails(advanced, *devices, 0, page);
  EXPECT_EQ(page.Sections()[devices_section::kGeneral].Items.size(), rows + 2);
  // An index outside the list leaves the rows alone; the root shows its caption only.
  FillDeviceDetails(advanced, *devices, 7, page);
  EXPECT_EQ(page.Sections()[devices_section::kGeneral].Items.size(), rows + 2);
  FillNodeText(page, "box");
  ASSERT_EQ(page.RowCount(), 1u);
  EXPECT_EQ(page.Sections()[0].Items[0].Caption, "box");
}

// A device whose driver failed to start: marked in the tree, the reason in its properties,
// and both in the text the window copies.
TEST(DevicePage, FailedProbeIsMarkedAndExplained) {
  auto failed = Dev("1", "", "");
  failed.model.emplace();
  failed.model->subsystem = "pci";
  failed.model->vendorId = 0x1B36;
  failed.model->deviceId = 0x000D;
  failed.model->classCode = 0x0C0330;
  failed.model->problem = platform::DeviceProblem::ProbeFailed;
  failed.model->probeDriver = "xhci_hcd";
  failed.model->probeError = -12;
  auto devices = Devices({failed, Dev("2", "Net", "card", "e1000")});
  const DeviceTreeNode root = BuildDeviceTree(*devices, "box");
  ASSERT_EQ(root.children.size(), 2u);
  const DeviceTreeNode& usb = root.children[1];  // after "Net"
  ASSERT_EQ(usb.children.size(), 1u);
  EXPECT_TRUE(usb.children[0].problem);
  EXPECT_FALSE(root.children[0].children[0].problem);

  Page page = DetailsPage();
  testing::RowContext easy(false);
  FillDeviceDetails(easy, *devices, usb.children[0].deviceIndex, page);
  std::string problem;
  for (const auto& row : page.Sections()[devices_section::kGeneral].Items)
    if (row.Caption == lbl::S_HARD_PROBLEM) problem = row.SubItems[0];
  EXPECT_EQ(problem,
            " The driver xhci_hcd could not start this device (error -12: Cannot allocate memory)");

  const std::string tree = report::DeviceTreeText(root);
  EXPECT_EQ(tree.substr(0, 4), "box\n");
  EXPECT_NE(tree.find("\n  Net\n    card  [e1000]\n"), std::string::npos) << tree;
  EXPECT_NE(tree.find("    PCI device 1b36:000d  (!)\n"), std::string::npos) << tree;
  // The copied properties leave out the sections the page hides when empty.
  const std::string details = report::DeviceDetailsText(page);
  EXPECT_NE(details.find("\tThe driver xhci_hcd"), std::string::npos) << details;
  EXPECT_EQ(details.find("Service"), std::string::npos) << details;
}

// Every PCI device lspci lists appears once, with its ids, names and driver.
TEST(DevicePage, EveryPciDeviceOfLspciAppearsOnceWithItsDriver) {
  FILE* pipe = ::popen("lspci -nn -k -D 2>/dev/null", "r");
  std::string out;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  if (pipe) ::pclose(pipe);
  if (out.empty()) GTEST_SKIP() << "lspci is not installed (make test installs pciutils)";

  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_Devices devices(services);
  devices.RefreshData();
  std::map<std::string, const collectors::TDevice*> by_slot;
  for (const auto& d : devices.List())
    if (d.HardwareID.rfind("PCI\\", 0) == 0) {
      EXPECT_TRUE(by_slot.emplace(d.InstanceKey, &d).second) << d.InstanceKey << " twice";
    }
  std::size_t listed = 0;
  std::string slot;
  for (std::size_t at = 0; at < out.size();) {
    const auto end = out.find('\n', at);
    const std::string line = out.substr(at, end - at);
    at = end == std::string::npos ? out.size() : end + 1;
    if (!line.empty() && line[0] != '\t') {
      slot = line.substr(0, line.find(' '));
      ++listed;
      auto it = by_slot.find(slot);
      ASSERT_NE(it, by_slot.end()) << line;
      const collectors::TDevice& d = *it->second;
      char ids[16];
      std::snprintf(ids, sizeof ids, "[%04x:%04x]", d.VendorID, d.DeviceID);
      EXPECT_NE(line.find(ids), std::string::npos) << line;
      // lspci prints "<vendor> <device> [vvvv:dddd]", or "Device dddd" for an unnamed one.
      EXPECT_NE(line.find(": " + d.Manufacturer + " "), std::string::npos) << line;
      if (line.find(" Device " + std::string(ids)) == std::string::npos) {
        EXPECT_NE(line.find(d.Description + " [" + std::string(ids + 1, 9)), std::string::npos)
            << line;
      }
    } else if (line.rfind("\tKernel driver in use: ", 0) == 0) {
      EXPECT_EQ(by_slot[slot]->Driver, line.substr(23)) << slot;
    }
  }
  EXPECT_EQ(listed, by_slot.size());
}

// What --record wrote of this machine's devices replays to the same list.
TEST(DevicePage, RecordedDevicesReplayToTheSameTree) {
  auto live = std::make_shared<platform::Services>(platform::MakeLiveServices());
  std::unique_ptr<platform::ServiceRecording> recording;
  auto recording_services = std::make_shared<platform::Services>(*live);
  recording_services->devices = platform::RecordDevices(live->devices, recording);
  collectors::TVexa_Devices recorded(recording_services);
  recorded.RefreshData();
  testing::TempDir dir;
  std::string error;
  ASSERT_TRUE(recording->Finish(dir.path(), &error)) << error;

  std::vector<std::string> warnings;
  auto replay_services = std::make_shared<platform::Services>(*live);
  replay_services->live = false;
  replay_services->devices = platform::LoadRecordedDevices(dir.path(), nullptr, warnings);
  ASSERT_NE(replay_services->devices, nullptr);
  EXPECT_TRUE(warnings.empty());
  collectors::TVexa_Devices replayed(replay_services);
  replayed.RefreshData();
  ASSERT_EQ(replayed.DeviceCount(), recorded.DeviceCount());
  for (int i = 0; i < recorded.DeviceCount(); ++i) {
    const auto a = recorded.Devices(i), b = replayed.Devices(i);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.HardwareID, b.HardwareID);
    EXPECT_EQ(a.Driver, b.Driver);
    EXPECT_EQ(a.Resources, b.Resources);
    EXPECT_EQ(a.Problem, b.Problem);
  }
  // Small: only what the list asked for, the id files cut to the vendors it has.
  EXPECT_LT(std::filesystem::file_size(dir.path() / "devices" / "devices.json"), 200u * 1024);
}

}  // namespace
}  // namespace tavrin::pages
