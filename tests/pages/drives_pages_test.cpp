// The drives and storage pages from collectors over a storage service answering from fields
// (tests/collectors/storage/fake_storage.h): the rows a user reads, their raw quantities for
// the reports, masking, and what an empty or silent source leaves.
#include <gtest/gtest.h>

#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system_info.h"
#include "pages/drives_pages.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "tests/collectors/storage/fake_storage.h"
#include "tests/collectors/storage/sector_builder.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using platform::DeviceQuery;
using platform::Status;
using testing::FakeStorage;

std::shared_ptr<FakeStorage> Machine() {
  auto s = std::make_shared<FakeStorage>();
  s->mountInfo =
      "27 1 8:2 / / rw,relatime - ext4 /dev/sda2 rw\n"
      "44 27 0:60 / /home/shared rw - nfs4 server:/export rw\n";
  platform::BlockDeviceRecord r;
  r.name = "sda";
  r.deviceNumber = "8:0";
  r.sizeSectors = 1953525168;
  r.logicalBlockSize = 512;
  r.physicalBlockSize = 4096;
  r.rotational = true;
  r.transport = "sata";
  r.partitions = {
      {"sda2", "8:2", 2, 2048, 1953523120, {{"ID_FS_TYPE", "ext4"}, {"ID_FS_UUID", "0a1b-2c3d"}}}};
  s->devices = {r};
  s->stats["/"] = FakeStorage::Stats(4096, 1000000, 250000, 300000);
  s->stats["/home/shared"] = platform::Answer<platform::FsStats>::Fail(
      Status::TimedOut, "statvfs /home/shared", "the file system does not answer");
  testing::Sector data;
  data.Le(0, 0x10, 2);
  testing::PutAttribute(data, 0, 5, 0x33, 100, 100, 8);
  testing::Sector thresholds;
  testing::PutThreshold(thresholds, 0, 5, 100);
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] =
      platform::Answer<std::string>::Of(testing::SampleIdentify().str(), "identify");
  s->commands[{"sda", DeviceQuery::kAtaSmartData}] =
      platform::Answer<std::string>::Of(data.str(), "smart");
  s->commands[{"sda", DeviceQuery::kAtaSmartThresholds}] =
      platform::Answer<std::string>::Of(thresholds.str(), "thresholds");
  return s;
}

class DrivesPages : public ::testing::Test {
 protected:
  void SetUp() override { Build(Machine()); }
  void Build(std::shared_ptr<const platform::StorageService> storage) {
    using collectors::TVexa_SystemInfo;
    info = std::make_shared<TVexa_SystemInfo>(
        testing::WithStorage(std::move(storage)),
        std::vector<TVexa_SystemInfo::Factory>{
            [](auto s) { return std::make_shared<collectors::TVexa_Disk>(s); },
            [](auto s) { return std::make_shared<collectors::TVexa_Storage>(s); }});
    info->RefreshData();
  }
  // The advanced storage page of `storage`, its empty sections explained.
  Page StoragePageOf(std::shared_ptr<const platform::StorageService> storage) {
    Build(std::move(storage));
    const FillContext ctx{*info, true, summary};
    Page page = Fresh("harddriveadvinfo");
    FillStoragePage(ctx, page);
    ExplainEmptySections(page);
    return page;
  }
  Page Fresh(std::string_view key) const { return EmptyPage(*FindPageLayout(key)); }
  const TZuSectionItem* Row(const Page& page, int section, const std::string& label) const {
    for (const auto& row : page.Sections()[section].Items)
      if (row.Caption == label) return &row;
    return nullptr;
  }
  std::string Value(const Page& page, int section, const std::string& label) const {
    const auto* row = Row(page, section, label);
    return row ? std::string(TrimText(row->SubItems[0])) : std::string("<none>");
  }

  std::shared_ptr<collectors::TVexa_SystemInfo> info;
  PageSummary summary;
};

TEST_F(DrivesPages, DriveRowsForTheRootFileSystem) {
  const FillContext ctx{*info, true, summary};
  Page page = Fresh("harddriveinfo");
  FillDrivesPage(ctx, page);
  using namespace drives_section;
  EXPECT_EQ(Value(page, kVolume, lbl::S_DISK_LETTER), "/");
  EXPECT_EQ(Value(page, kVolume, lbl::S_DISK_VOLUME), "Fixed");
  const auto* serial = Row(page, kVolume, lbl::S_DISK_SERIAL);
  ASSERT_TRUE(serial);
  EXPECT_TRUE(serial->sensitive);
  const auto* total = Row(page, kVolume, lbl::S_DISK_TOTALBYTES);
  ASSERT_TRUE(total);
  EXPECT_EQ(total->quantity, Quantity::Of(4096000000u, QuantityUnit::kBytes));
  EXPECT_EQ(Row(page, kVolume, lbl::S_DISK_BYTESUSED)->quantity,
            Quantity::Of(3072000000u, QuantityUnit::kBytes));
  EXPECT_EQ(Value(page, kFileSystem, lbl::S_DISK_LFN), lbl::S_YES);
  EXPECT_EQ(Row(page, kFileSystem, lbl::S_DISK_LFN)->ImageIndex, 0);
  EXPECT_EQ(Row(page, kFileSystem, lbl::S_DISK_FC)->ImageIndex, 1);
  EXPECT_EQ(Value(page, kLogical, lbl::S_DISK_CLUSTERS), "1000000");
  EXPECT_EQ(Value(page, kLogical, lbl::S_DISK_USEDCLUSTERS), "750000");
  EXPECT_EQ(Value(page, kLogical, lbl::S_DISK_BPC), "4096");
  EXPECT_EQ(Value(page, kLogical, lbl::S_DISK_SPC), "8");
  EXPECT_EQ(Value(page, kPhysical, lbl::S_DISK_TOTALSECTORS), "8000000");

  const auto& disk = info->Disk();
  const auto choices = DriveChoices(disk);
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].caption, "Fixed (/)");
  EXPECT_EQ(choices[1].caption, "Remote (/home/shared)");
  EXPECT_EQ(choices[0].image, 1);
  const DriveSummary sum = SummaryOf(disk.Selected());
  EXPECT_TRUE(sum.known);
  EXPECT_EQ(sum.usedBytes, 3072000000u);
  EXPECT_EQ(sum.fileSystem, "ext4");
}

TEST_F(DrivesPages, SilentNetworkMountShowsNotAnswering) {
  const FillContext ctx{*info, true, summary};
  Page page = Fresh("harddriveinfo");
  FillDriveDetails(ctx, "/home/shared", page);
  using namespace drives_section;
  EXPECT_EQ(Value(page, kVolume, lbl::S_DISK_VOLUME), "Remote");
  EXPECT_NE(Value(page, kVolume, lbl::S_DISK_TOTALBYTES).find("does not answer"),
            std::string::npos);
  EXPECT_EQ(Row(page, kVolume, lbl::S_DISK_BYTESFREE), nullptr);
  EXPECT_EQ(Row(page, kLogical, lbl::S_DISK_CLUSTERS), nullptr);
  EXPECT_FALSE(SummaryOf(info->Disk().Drives()[1]).known);
}

TEST_F(DrivesPages, StorageRowsWithSmartStatus) {
  const FillContext ctx{*info, true, summary};
  Page page = Fresh("harddriveadvinfo");
  FillStoragePage(ctx, page);
  using namespace storage_section;
  EXPECT_EQ(Value(page, kGeneral, lbl::S_IDE_MODEL), "WDC WD10EZEX-00BN5A0");
  EXPECT_TRUE(Row(page, kGeneral, lbl::S_IDE_SERIAL)->sensitive);
  EXPECT_EQ(Value(page, kGeneral, lbl::S_IDE_DEVICETYPE_HARD), "SATA" + lbl::S_COUNT_HARD_DRIVE);
  EXPECT_EQ(Value(page, kGeneral, lbl::S_IDE_STANDARDS),
            "ACS-3" + lbl::S_COUNT_ATA_VERSION + " 10");
  EXPECT_EQ(Value(page, kGeometry, lbl::S_IDE_ADDRSECTORS), "1953525168");
  EXPECT_EQ(Value(page, kSmart, lbl::S_IDE_SMART_SUPP), lbl::S_YES);
  const std::string attribute = "05 Reallocated Sectors Count:";
  ASSERT_TRUE(Row(page, kSmart, attribute));
  EXPECT_NE(Value(page, kSmart, attribute).find(lbl::S_SMART_PREFAIL_FAILING), std::string::npos);
  EXPECT_EQ(Row(page, kSmart, attribute)->ImageIndex, 1);
  EXPECT_EQ(Value(page, kPartitions, "Partition sda2:").find("ext4"), 0u);
  EXPECT_NE(Value(page, kPartitions, "Partition sda2:").find("/"), std::string::npos);
  const auto choices = StorageChoices(info->Storage());
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].caption, "WDC WD10EZEX-00BN5A0 (sda)");
}

TEST_F(DrivesPages, RefusedCommandLeavesReasons) {
  auto s = Machine();
  s->commands.clear();
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] = platform::Answer<std::string>::Fail(
      Status::PermissionDenied, "ATA pass-through on sda", "needs root");
  Page page = StoragePageOf(s);
  using namespace storage_section;
  EXPECT_EQ(Row(page, kSmart, lbl::S_IDE_SMART_SUPP), nullptr);  // unknown, not "No"
  EXPECT_NE(EmptySectionReason(page.Sections()[kSmart]).find("needs root"), std::string::npos);
  EXPECT_EQ(Row(page, kGeometry, lbl::S_IDE_CYLS), nullptr);
  bool cylindersMissing = false;
  for (const auto& m : page.Sections()[kGeometry].missing)
    cylindersMissing |= m.label == lbl::S_IDE_CYLS && m.reason.find("root") != std::string::npos;
  EXPECT_TRUE(cylindersMissing);
}

TEST_F(DrivesPages, DiskInStandbySaysItWasNotWoken) {
  auto s = Machine();
  s->commands[{"sda", DeviceQuery::kAtaCheckPowerMode}] =
      platform::Answer<std::string>::Of(std::string(1, '\0'), "check power mode on sda");
  Page page = StoragePageOf(s);
  using namespace storage_section;
  EXPECT_EQ(Value(page, kProperties, lbl::S_IDE_POWER_MODE), lbl::S_IDE_POWER_STANDBY);
  EXPECT_EQ(EmptySectionReason(page.Sections()[kSmart]),
            FormatText(lbl::S_SMART_ASLEEP, {lbl::S_IDE_POWER_STANDBY}));
  EXPECT_EQ(Value(page, kGeneral, lbl::S_IDE_DEVICE_NAME), "sda");  // the kernel's rows stay
}

TEST_F(DrivesPages, OpticalDriveCapabilities) {
  auto s = Machine();
  platform::BlockDeviceRecord sr;
  sr.name = "sr0";
  sr.scsiType = 5;
  sr.cdromInfo = {{"Can read DVD", "1"}, {"Can write CD-R", "0"}};
  sr.cdromInfoSource = platform::Provenance::Answered("cdrom list");
  s->devices.push_back(sr);
  Build(s);
  const FillContext ctx{*info, true, summary};
  Page page = Fresh("harddriveadvinfo");
  FillStorageDeviceDetails(ctx, 1, page);
  using namespace storage_section;
  EXPECT_EQ(Value(page, kProperties, lbl::S_CD_READS_DVD), lbl::S_YES);
  EXPECT_EQ(Value(page, kProperties, lbl::S_CD_WRITES_CDR), lbl::S_NO);
  EXPECT_EQ(Row(page, kProperties, lbl::S_CD_WRITES_CDR)->ImageIndex, 1);
  EXPECT_EQ(Row(page, kProperties, lbl::S_CD_READS_BD), nullptr);  // not known, not "No"
  // The disk has no such rows.
  Page disk = Fresh("harddriveadvinfo");
  FillStorageDeviceDetails(ctx, 0, disk);
  EXPECT_EQ(Row(disk, kProperties, lbl::S_CD_READS_CD), nullptr);
}

TEST_F(DrivesPages, NoStorageServiceExplainsEverySection) {
  Build(nullptr);
  const FillContext ctx{*info, false, summary};
  Page drives = Fresh("harddriveinfo");
  FillDrivesPage(ctx, drives);
  ExplainEmptySections(drives);
  for (const auto& s : drives.Sections()) EXPECT_FALSE(EmptySectionReason(s).empty());
  Page storage = Fresh("harddriveadvinfo");
  FillStoragePage(ctx, storage);
  ExplainEmptySections(storage);
  for (const auto& s : storage.Sections())
    EXPECT_NE(EmptySectionReason(s).find("no storage data"), std::string::npos) << s.Caption;
}

}  // namespace
}  // namespace tavrin::pages
