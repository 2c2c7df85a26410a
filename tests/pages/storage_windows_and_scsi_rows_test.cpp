// The storage and drives pages of a Windows machine whose devices answer device controls (a
// fake control service answering by control code), with its bus names and drive letters; and
// the Linux storage page's list of SCSI devices, each empty case with its reason.
#include <gtest/gtest.h>

#include <map>

#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/storage/windows_storage_structs.h"
#include "collectors/system_info.h"
#include "pages/drives_pages.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "platform/device_control.h"
#include "tests/collectors/storage/fake_storage.h"
#include "tests/collectors/storage/sector_builder.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using platform::ControlReply;
using testing::FakeStorage;
using testing::Sector;
namespace ctl = collectors::control;

// Answers each device's controls by code, whatever the input; other devices do not open.
class FakeControls : public platform::DeviceControlService {
 public:
  std::map<std::string, std::map<uint32_t, std::string>> devices;

  ControlReply Open(const std::string& device) const override {
    ControlReply r;
    r.ok = devices.count(device) > 0;
    r.error = r.ok ? 0 : 2;
    return r;
  }
  ControlReply Control(const std::string& device, uint32_t code, std::string_view) const override {
    ControlReply r = Open(device);
    if (!r.ok) return r;
    const auto& controls = devices.at(device);
    auto it = controls.find(code);
    if (it == controls.end()) {
      r.ok = false;
      r.error = 1;
      return r;
    }
    r.output = it->second;
    return r;
  }
};

// STORAGE_DEVICE_DESCRIPTOR with a product text and a bus type.
std::string Descriptor(const std::string& product, uint32_t busType) {
  Sector d(128);
  d.Le(16, 40, 4).Text(40, product.size(), product).Byte(40 + product.size(), 0).Le(28, busType, 4);
  return d.str();
}

std::string MediaTypes(uint32_t deviceType) {
  Sector m(312);
  m.Le(0, deviceType, 4);
  return m.str();
}

class WindowsStoragePages : public ::testing::Test {
 protected:
  void SetUp() override {
    auto controls = std::make_shared<FakeControls>();
    Sector layout(8 + 32);
    layout.Le(0, 1, 4).Le(8, 1048576, 8).Le(16, 500107862016, 8).Le(28, 1, 4).Byte(32, 7);
    layout.Byte(34, 1);
    Sector extents(32);
    extents.Le(0, 1, 4).Le(16, 1048576, 8).Le(24, 500107862016, 8);
    Sector page(8 + 28);
    page.Byte(8, 0x2A).Byte(10, 0x01);  // reads CD-R, writes nothing
    Sector passThrough(92);
    passThrough.Le(0, 56, 2).Le(12, page.bytes().size(), 4).Le(24, 92, 8);
    controls->devices["\\\\.\\PhysicalDrive0"] = {
        {ctl::kStorageQueryProperty, Descriptor("Samsung SSD 860 EVO", 11)},
        {ctl::kGetMediaTypesEx, MediaTypes(7)},
        {ctl::kGetDriveLayout, layout.str()}};
    controls->devices["\\\\.\\Cdrom0"] = {
        {ctl::kStorageQueryProperty, Descriptor("DVD-ROM DH16NS10", 0x11)},
        {ctl::kScsiPassThrough, passThrough.str() + page.str()}};
    controls->devices["\\\\.\\C:"] = {
        {ctl::kStorageQueryProperty, Descriptor("Samsung SSD 860 EVO", 11)},
        {ctl::kGetMediaTypesEx, MediaTypes(7)},
        {ctl::kGetVolumeDiskExtents, extents.str()}};
    auto storage = std::make_shared<FakeStorage>();
    platform::WindowsVolumes letters;
    letters.driveStrings = std::u16string(u"C:\\\0", 4) + u'\0';
    letters.systemDrive = "C:";
    platform::WindowsVolume c;
    c.drive = "C:";
    c.driveType = 3;
    c.mediaPresent = true;
    c.totalBytes = 500107862016;
    letters.volumes = {c};
    storage->windows = letters;
    auto services = std::const_pointer_cast<platform::Services>(testing::WithStorage(storage));
    services->deviceControl = controls;
    using collectors::TVexa_SystemInfo;
    info = std::make_shared<TVexa_SystemInfo>(
        services, std::vector<TVexa_SystemInfo::Factory>{
                      [](auto s) { return std::make_shared<collectors::TVexa_Disk>(s); },
                      [](auto s) { return std::make_shared<collectors::TVexa_Storage>(s); }});
    info->RefreshData();
  }
  Page Fresh(std::string_view key) const { return EmptyPage(*FindPageLayout(key)); }
  std::string Value(const Page& page, int section, const std::string& label) const {
    for (const auto& row : page.Sections()[section].Items)
      if (row.Caption == label) return std::string(TrimText(row.SubItems[0]));
    return "<none>";
  }

  std::shared_ptr<collectors::TVexa_SystemInfo> info;
  PageSummary summary;
};

TEST_F(WindowsStoragePages, StoragePageUsesWindowsBusNamesAndLetters) {
  const FillContext ctx{*info, true, summary};
  const auto choices = StorageChoices(info->Storage());
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].caption, "SAMSUNG SSD 860 EVO");  // the model alone, upper case
  EXPECT_EQ(choices[0].image, 1);
  EXPECT_EQ(choices[1].image, 2);

  using namespace storage_section;
  Page disk = Fresh("harddriveadvinfo");
  FillStorageDeviceDetails(ctx, 0, disk);
  EXPECT_EQ(Value(disk, kGeneral, lbl::S_IDE_DEVICETYPE_HARD), "SATA" + lbl::S_COUNT_HARD_DRIVE);
  EXPECT_EQ(Value(disk, kGeneral, lbl::S_IDE_DEVICE_NAME), "\\\\.\\PhysicalDrive0");
  EXPECT_EQ(Value(disk, kGeneral, lbl::S_IDE_SG_DEVICES), "<none>");  // no ASPI list recorded
  EXPECT_EQ(Value(disk, kGeneral, lbl::S_IDE_SCSI_DEVICES), "<none>");
  EXPECT_NE(Value(disk, kPartitions, FormatText(lbl::S_IDE_PARTITION, {"1"})).find("C:"),
            std::string::npos);

  Page dvd = Fresh("harddriveadvinfo");
  FillStorageDeviceDetails(ctx, 1, dvd);
  EXPECT_EQ(Value(dvd, kGeneral, lbl::S_IDE_DEVICETYPE_CD).rfind("Unknown (0x11) device,", 0), 0u);
  EXPECT_EQ(Value(dvd, kProperties, lbl::S_CD_READS_CDR), lbl::S_YES);
  EXPECT_EQ(Value(dvd, kProperties, lbl::S_CD_WRITES_CDR), lbl::S_NO);
}

TEST_F(WindowsStoragePages, DrivesPageShowsTheDeviceBehindALetter) {
  const FillContext ctx{*info, true, summary};
  Page page = Fresh("harddriveinfo");
  FillDriveDetails(ctx, "C:", page);
  using namespace drives_section;
  EXPECT_EQ(Value(page, kVolume, lbl::S_DISK_LETTER), "C:");
  EXPECT_EQ(Value(page, kPhysical, lbl::S_IDE_MODEL), "Samsung SSD 860 EVO");
  EXPECT_EQ(Value(page, kPhysical, lbl::S_IDE_DEVICETYPE_HARD), "SATA" + lbl::S_COUNT_HARD_DRIVE);
  EXPECT_EQ(Value(page, kPhysical, FormatText(lbl::S_IDE_PARTITION, {"1"})),
            "Samsung SSD 860 EVO (\\\\.\\PhysicalDrive0)");
}

// The Linux page: each SCSI device by address, and why the list is empty when it is.
class ScsiDeviceRows : public ::testing::Test {
 protected:
  Page StoragePage(std::shared_ptr<FakeStorage> s) {
    platform::BlockDeviceRecord r;
    r.name = "sda";
    r.transport = "sata";
    s->devices = {r};
    using collectors::TVexa_SystemInfo;
    info = std::make_shared<TVexa_SystemInfo>(
        testing::WithStorage(s), std::vector<TVexa_SystemInfo::Factory>{[](auto sv) {
          return std::make_shared<collectors::TVexa_Storage>(sv);
        }});
    info->RefreshData();
    const FillContext ctx{*info, true, summary};
    Page page = EmptyPage(*FindPageLayout("harddriveadvinfo"));
    FillStorageDeviceDetails(ctx, 0, page);
    return page;
  }
  const TZuSectionItem* Row(const Page& page, const std::string& label) const {
    for (const auto& row : page.Sections()[storage_section::kGeneral].Items)
      if (row.Caption == label) return &row;
    return nullptr;
  }
  std::shared_ptr<collectors::TVexa_SystemInfo> info;
  PageSummary summary;
};

TEST_F(ScsiDeviceRows, EachDeviceWithTypeAndInquiryTexts) {
  auto s = std::make_shared<FakeStorage>();
  platform::ScsiDeviceRecord disk;
  disk.host = 2;
  disk.channel = 0;
  disk.target = 1;
  disk.lun = 0;
  disk.type = 0;
  disk.vendor = "ATA";
  disk.model = "WDC WD10EZEX-00B";
  disk.revision = "1A01";
  disk.state = "running";
  platform::ScsiDeviceRecord changer = disk;
  changer.target = 4;
  changer.type = 8;
  changer.vendor = changer.revision = changer.state = "";
  changer.model = "Autoloader";
  s->scsi = platform::Answer<std::vector<platform::ScsiDeviceRecord>>::Of({disk, changer},
                                                                          "/sys/class/scsi_device");
  const Page page = StoragePage(s);
  const auto* first = Row(page, FormatText(lbl::S_IDE_SCSI_DEVICE, {"2:0:1:0"}));
  ASSERT_TRUE(first);
  EXPECT_EQ(TrimText(first->SubItems[0]), "disk: ATA WDC WD10EZEX-00B 1A01 (running)");
  const auto* second = Row(page, FormatText(lbl::S_IDE_SCSI_DEVICE, {"2:0:4:0"}));
  ASSERT_TRUE(second);
  EXPECT_EQ(TrimText(second->SubItems[0]), "medium changer: Autoloader");
}

TEST_F(ScsiDeviceRows, EmptyListsSayWhy) {
  auto s = std::make_shared<FakeStorage>();
  s->scsi =
      platform::Answer<std::vector<platform::ScsiDeviceRecord>>::Of({}, "/sys/class/scsi_device");
  const Page page = StoragePage(s);
  bool said = false;
  for (const auto& m : page.Sections()[storage_section::kGeneral].missing)
    said |= m.label == lbl::S_IDE_SCSI_DEVICES &&
            m.reason.find("knows no SCSI devices") != std::string::npos;
  EXPECT_TRUE(said);

  s->scsi = platform::Answer<std::vector<platform::ScsiDeviceRecord>>::Fail(
      platform::Status::PermissionDenied, "/sys/class/scsi_device", "Permission denied");
  const Page refused = StoragePage(s);
  said = false;
  for (const auto& m : refused.Sections()[storage_section::kGeneral].missing)
    said |= m.label == lbl::S_IDE_SCSI_DEVICES &&
            m.reason.find("permission denied") != std::string::npos;
  EXPECT_TRUE(said);
}

}  // namespace
}  // namespace tavrin::pages
