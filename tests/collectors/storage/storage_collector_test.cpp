// The drives and storage collectors over a storage service that answers from fields: mounted
// file systems with their sizes (one network mount not answering), drive letters of a Windows
// snapshot, and disks whose commands answer, are refused or are not understood.
#include <gtest/gtest.h>

#include "collectors/storage/storage_rules.h"
#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "tests/collectors/storage/fake_storage.h"
#include "tests/collectors/storage/sector_builder.h"

namespace tavrin::collectors {
namespace {

using platform::DeviceQuery;
using platform::Status;
using testing::FakeStorage;

constexpr const char* kMounts =
    "22 27 0:21 / /proc rw - proc proc rw\n"
    "27 1 8:2 / / rw,relatime - ext4 /dev/sda2 rw\n"
    "28 27 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
    "44 27 0:60 / /home/shared rw - nfs4 server:/export rw\n";

platform::BlockDeviceRecord Sata() {
  platform::BlockDeviceRecord r;
  r.name = "sda";
  r.deviceNumber = "8:0";
  r.sizeSectors = 1953525168;
  r.logicalBlockSize = 512;
  r.physicalBlockSize = 4096;
  r.rotational = true;
  r.removable = false;
  r.model = "WDC WD10EZEX-00B";  // cut to 16 characters by the SCSI layer
  r.transport = "sata";
  r.scsiAddress = platform::ScsiAddress{2, 0, 0, 0};
  r.udev = {{"ID_SERIAL_SHORT", "WD-WCC4E1234567"}};
  r.partitions = {{"sda1", "8:1", 1, 2048, 1048576, {{"ID_FS_TYPE", "vfat"}}},
                  {"sda2",
                   "8:2",
                   2,
                   1050624,
                   1952474112,
                   {{"ID_FS_TYPE", "ext4"},
                    {"ID_FS_LABEL_ENC", "my\\x20root"},
                    {"ID_FS_UUID", "0a1b2c3d-1111-2222-3333-444455556666"}}}};
  r.source = platform::Provenance::Answered("/sys/block/sda");
  return r;
}

std::shared_ptr<FakeStorage> Machine() {
  auto s = std::make_shared<FakeStorage>();
  s->mountInfo = kMounts;
  s->devices = {Sata()};
  s->stats["/"] = FakeStorage::Stats(4096, 1000000, 250000, 300000);
  s->stats["/boot/efi"] = FakeStorage::Stats(512, 1000, 900, 900, 1530);
  s->stats["/home/shared"] = platform::Answer<platform::FsStats>::Fail(
      Status::TimedOut, "statvfs /home/shared", "the file system does not answer");
  return s;
}

TEST(DiskCollector, MountedFileSystemsAsDrives) {
  TVexa_Disk disk(testing::WithStorage(Machine()));
  disk.RefreshData();
  ASSERT_EQ(disk.Drives().size(), 3u);  // proc is no drive
  EXPECT_TRUE(disk.ByMountPoint());
  EXPECT_EQ(disk.Drive(), "/");
  const TDiskInfo root = disk.Selected();
  EXPECT_EQ(root.FileSystem, "ext4");
  EXPECT_EQ(root.BackingDevice, "sda2");
  EXPECT_EQ(root.MediaType, TMediaType::dtFixed);
  EXPECT_EQ(root.VolumeLabel, "my root");
  EXPECT_EQ(root.SerialNumber, "0a1b2c3d-1111-2222-3333-444455556666");
  EXPECT_EQ(root.Capacity, 4096000000);
  EXPECT_EQ(root.FreeSpace, 1024000000);  // available to users, not the root reserve
  EXPECT_EQ(root.RootFreeClusters, 300000u);
  EXPECT_EQ(root.BytesPerSector, 512u);
  EXPECT_EQ(root.SectorsPerCluster, 8u);
  EXPECT_TRUE(root.FileFlags & fsLongFileNames);
  EXPECT_TRUE(root.FileFlags & fsCaseSensitive);
  EXPECT_TRUE(root.FileFlags & fsPersistentAcls);
  EXPECT_FALSE(root.FileFlags & fsDiskQuotasSupport);  // not mounted with quotas

  disk.SetDrive("/boot/efi");
  const TDiskInfo efi = disk.Selected();
  EXPECT_FALSE(efi.FileFlags & fsCaseSensitive);
  EXPECT_EQ(efi.SectorsPerCluster, 1u);

  disk.SetDrive("/home/shared");
  const TDiskInfo nfs = disk.Selected();
  EXPECT_EQ(nfs.MediaType, TMediaType::dtRemote);
  EXPECT_EQ(nfs.UNCPath, "server:/export");
  EXPECT_FALSE(nfs.MediaPresent);
  EXPECT_EQ(nfs.SizeSource.status, Status::TimedOut);
  EXPECT_EQ(nfs.Capacity, 0);

  disk.SetDrive("/nowhere");
  EXPECT_EQ(disk.Selected().MediaType, TMediaType::dtNotExists);
}

TEST(DiskCollector, DriveLettersOfAWindowsSnapshot) {
  auto s = std::make_shared<FakeStorage>();
  platform::WindowsVolumes w;
  w.driveStrings = std::u16string(u"C:\\\0D:\\\0\0", 9);
  w.systemDrive = "C:";
  platform::WindowsVolume c;
  c.drive = "C:";
  c.driveType = 3;
  c.mediaPresent = true;
  c.sectorsPerCluster = 8;
  c.bytesPerSector = 512;
  c.totalClusters = 1000;
  c.freeClusters = 400;
  c.totalBytes = 4096000;
  c.freeBytes = 1638400;
  c.volumeInfoOk = true;
  c.label = "SYSTEM";
  c.fileSystem = "NTFS";
  c.serial = 0x0C2A3F4B;
  c.volumeFlags = 0x000700FF;
  c.maxComponentLength = 255;
  platform::WindowsVolume d;  // an empty optical drive
  d.drive = "D:";
  d.driveType = 5;
  w.volumes = {c, d};
  s->windows = w;
  TVexa_Disk disk(testing::WithStorage(s));
  disk.RefreshData();
  EXPECT_FALSE(disk.ByMountPoint());
  EXPECT_EQ(disk.AvailableDisks(), "CD");
  EXPECT_EQ(disk.Drive(), "C:");
  const TDiskInfo sys = disk.Selected();
  EXPECT_EQ(sys.SerialNumber, "0C2A-3F4B");
  EXPECT_TRUE(sys.FileFlags & fsLongFileNames);
  EXPECT_TRUE(sys.FileFlags & fsPersistentAcls);
  disk.SetDrive("D:");
  const TDiskInfo cd = disk.Selected();
  EXPECT_EQ(cd.MediaType, TMediaType::dtCDROM);
  EXPECT_FALSE(cd.MediaPresent);
  EXPECT_EQ(cd.Capacity, 0);
  EXPECT_EQ(cd.FileSystem, "");
  // The empty values say why: the pages show this in their place.
  EXPECT_EQ(cd.SizeSource.status, platform::Status::Missing);
  EXPECT_EQ(cd.LabelSource.detail, "no medium in the drive");
  EXPECT_TRUE(sys.SizeSource.ok());
}

TEST(StorageCollector, SataDiskWithIdentifyAndSmart) {
  auto s = Machine();
  testing::Sector data;
  data.Le(0, 0x10, 2);
  testing::PutAttribute(data, 0, 5, 0x33, 100, 100, 0);
  testing::PutAttribute(data, 1, 194, 0x22, 110, 90, 33);
  testing::Sector thresholds;
  testing::PutThreshold(thresholds, 0, 5, 140);  // a threshold above the current value
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] =
      platform::Answer<std::string>::Of(testing::SampleIdentify().str(), "identify");
  s->commands[{"sda", DeviceQuery::kAtaSmartData}] =
      platform::Answer<std::string>::Of(data.str(), "smart");
  s->commands[{"sda", DeviceQuery::kAtaSmartThresholds}] =
      platform::Answer<std::string>::Of(thresholds.str(), "thresholds");
  TVexa_Storage storage(testing::WithStorage(s));
  storage.RefreshData();
  ASSERT_EQ(storage.PhysicalCount(), 1);
  const TDeviceInfo& d = storage.PhysicalDevices()[0];
  EXPECT_EQ(d.Model, "WDC WD10EZEX-00BN5A0");  // the drive's full text beats the SCSI one
  EXPECT_EQ(d.SerialNumber, "WD-WCC4E1234567");
  EXPECT_EQ(d.Revision, "01.01A01");
  EXPECT_EQ(d.BusType, 11u);
  EXPECT_EQ(d.DeviceType, kDeviceTypeDisk);
  EXPECT_EQ(d.Size, 1953525168LL * 512);
  EXPECT_EQ(d.AddressableSectors, 1953525168u);
  EXPECT_EQ(d.HaId, 2);
  EXPECT_TRUE(d.SMARTSupport);
  EXPECT_TRUE(d.SMARTActive);
  EXPECT_EQ(d.Temperature, 33);
  ASSERT_EQ(d.SMARTAttributes.size(), 2u);
  EXPECT_EQ(d.SMARTAttributes[0].status, SmartStatus::kPrefailFailing);
  EXPECT_EQ(d.SMARTAttributes[1].status, SmartStatus::kNoThreshold);
  ASSERT_EQ(d.Layout.size(), 2u);
  EXPECT_EQ(d.Layout[1].MountPoint, "/");
  EXPECT_EQ(d.Layout[1].FileSystem, "ext4");
  EXPECT_EQ(d.Layout[0].MountPoint, "/boot/efi");
  EXPECT_EQ(storage.ScsiGeneric().source.status, Status::Missing);
}

// The power mode decides whether the disk is sent anything else: answers built by hand as the
// drive's Count register (00h standby, 80h idle, FFh active or idle), a refusal, and a disk
// the kernel has already stopped.
TEST(StorageCollector, SleepingDiskIsNotWoken) {
  auto s = Machine();
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] =
      platform::Answer<std::string>::Of(testing::SampleIdentify().str(), "identify");
  testing::Sector data;
  data.Le(0, 0x10, 2);
  testing::PutAttribute(data, 0, 9, 0x32, 99, 99, 1234);
  s->commands[{"sda", DeviceQuery::kAtaSmartData}] =
      platform::Answer<std::string>::Of(data.str(), "smart");
  const auto mode = [&](const char* count) {
    s->commands[{"sda", DeviceQuery::kAtaCheckPowerMode}] =
        platform::Answer<std::string>::Of(std::string(count, 1), "check power mode on sda");
  };
  const auto refresh = [&] {
    s->asked.clear();
    TVexa_Storage storage(testing::WithStorage(s));
    storage.RefreshData();
    return storage.PhysicalDevices().at(0);
  };
  const auto sentSmart = [&] {
    for (const auto& [name, q] : s->asked)
      if (q == DeviceQuery::kAtaSmartData || q == DeviceQuery::kAtaIdentify) return true;
    return false;
  };

  mode("\x00");
  TDeviceInfo d = refresh();
  EXPECT_EQ(s->asked.size(), 1u);  // the power mode, nothing after it
  EXPECT_EQ(d.PowerMode, AtaPowerMode::kStandby);
  EXPECT_TRUE(d.LeftAsleep);
  EXPECT_FALSE(d.Smart);
  EXPECT_EQ(d.SmartSource.status, Status::NotSupported);
  EXPECT_NE(d.SmartSource.detail.find("standby"), std::string::npos);
  EXPECT_EQ(d.Model, "WDC WD10EZEX-00B");  // the kernel's record still names the disk

  for (const char* awake : {"\xFF", "\x80"}) {
    mode(awake);
    d = refresh();
    EXPECT_TRUE(sentSmart());
    EXPECT_FALSE(d.LeftAsleep);
    ASSERT_TRUE(d.Smart);
    EXPECT_EQ(d.Smart->powerOnHours, 1234u);
  }
  EXPECT_EQ(d.PowerMode, AtaPowerMode::kIdle);

  // A bridge that refuses the command: the mode is unknown and the disk is read as before.
  s->commands[{"sda", DeviceQuery::kAtaCheckPowerMode}] = platform::Answer<std::string>::Fail(
      Status::NotSupported, "check power mode on sda", "the device does not take this command");
  d = refresh();
  EXPECT_FALSE(d.PowerMode);
  EXPECT_EQ(d.PowerSource.status, Status::NotSupported);
  EXPECT_TRUE(d.Smart);

  // Stopped by the kernel: even asking the power mode would wake it.
  s->devices[0].runtimeStatus = "suspended";
  d = refresh();
  EXPECT_TRUE(s->asked.empty());
  EXPECT_EQ(d.PowerMode, AtaPowerMode::kSuspended);
  EXPECT_TRUE(d.LeftAsleep);
}

TEST(StorageCollector, PowerModeValues) {
  EXPECT_EQ(DecodeAtaPowerMode(0x00), AtaPowerMode::kStandby);
  EXPECT_EQ(DecodeAtaPowerMode(0x01), AtaPowerMode::kStandby);
  EXPECT_EQ(DecodeAtaPowerMode(0x40), AtaPowerMode::kStandby);
  EXPECT_EQ(DecodeAtaPowerMode(0x41), AtaPowerMode::kActiveOrIdle);
  EXPECT_EQ(DecodeAtaPowerMode(0x83), AtaPowerMode::kIdle);
  EXPECT_EQ(DecodeAtaPowerMode(0x84), AtaPowerMode::kUnknown);
  EXPECT_FALSE(Asleep(AtaPowerMode::kUnknown));  // an unknown mode does not stop the reading
}

// Capabilities from the kernel's column ("Can write CD-R" ...) and the udev helper's
// properties, hand-written for a DVD writer and a BD reader.
TEST(StorageCollector, OpticalCapabilities) {
  const std::map<std::string, std::string> dvdWriter = {
      {"drive speed", "24"}, {"Can write CD-R", "1"},  {"Can write CD-RW", "1"},
      {"Can read DVD", "1"}, {"Can write DVD-R", "1"}, {"Can write DVD-RAM", "0"}};
  OpticalCapabilities c = DecodeOpticalCapabilities(dvdWriter, {});
  EXPECT_EQ(c.readsCd, true);
  EXPECT_EQ(c.writesCdRw, true);
  EXPECT_EQ(c.writesDvdRam, false);
  EXPECT_EQ(c.readsBd, std::nullopt);  // the kernel's list cannot tell
  EXPECT_EQ(c.speed, 24u);
  // The udev helper ran: BD properties it set are yes, the ones it left out are no; the kernel
  // wins where both tell.
  const std::map<std::string, std::string> udev = {
      {"ID_CDROM", "1"}, {"ID_CDROM_BD", "1"}, {"ID_CDROM_DVD_RAM", "1"}};
  c = DecodeOpticalCapabilities(dvdWriter, udev);
  EXPECT_EQ(c.readsBd, true);
  EXPECT_EQ(c.writesBdR, false);
  EXPECT_EQ(c.writesDvdRam, false);
  // Neither source: nothing known, and the record says why.
  EXPECT_FALSE(DecodeOpticalCapabilities({}, {}).known());
  EXPECT_FALSE(DecodeOpticalCapabilities({{"drive speed", "x"}}, {}).speed);

  auto s = std::make_shared<FakeStorage>();
  platform::BlockDeviceRecord sr;
  sr.name = "sr0";
  sr.scsiType = 5;
  sr.transport = "sata";
  sr.cdromInfo = dvdWriter;
  sr.cdromInfoSource = platform::Provenance::Answered("cdrom list");
  platform::BlockDeviceRecord bare = sr;
  bare.name = "sr1";
  bare.cdromInfo.clear();
  bare.cdromInfoSource = platform::Provenance::Failure(Status::Missing, "cdrom list", "gone");
  s->devices = {sr, bare};
  TVexa_Storage storage(testing::WithStorage(s));
  storage.RefreshData();
  ASSERT_EQ(storage.PhysicalCount(), 2);
  ASSERT_TRUE(storage.PhysicalDevices()[0].Optical);
  EXPECT_EQ(storage.PhysicalDevices()[0].Optical->writesDvdR, true);
  EXPECT_FALSE(storage.PhysicalDevices()[1].Optical);
  EXPECT_EQ(storage.PhysicalDevices()[1].OpticalSource.detail, "gone");
  for (const auto& [name, q] : s->asked)  // optical drives are not asked their power mode
    EXPECT_NE(q, DeviceQuery::kAtaCheckPowerMode) << name;
}

TEST(StorageCollector, RefusedCommandsKeepTheKernelRecord) {
  auto s = Machine();
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] = platform::Answer<std::string>::Fail(
      Status::PermissionDenied, "ATA pass-through on sda", "needs root");
  platform::BlockDeviceRecord vda;
  vda.name = "vda";
  vda.deviceNumber = "254:0";
  vda.transport = "virtio";
  vda.sizeSectors = 2048;
  vda.logicalBlockSize = 512;
  vda.serial = "overlayblk";
  platform::BlockDeviceRecord zram;
  zram.name = "zram0";
  zram.transport = "ram";
  s->devices.push_back(vda);
  s->devices.push_back(zram);
  TVexa_Storage storage(testing::WithStorage(s));
  storage.RefreshData();
  ASSERT_EQ(storage.PhysicalCount(), 3);
  const TDeviceInfo& sda = storage.PhysicalDevices()[0];
  EXPECT_EQ(sda.Model, "WDC WD10EZEX-00B");
  EXPECT_EQ(sda.SerialNumber, "WD-WCC4E1234567");
  EXPECT_EQ(sda.IdentifySource.status, Status::PermissionDenied);
  EXPECT_EQ(sda.SmartSource.status, Status::PermissionDenied);
  EXPECT_FALSE(sda.SMARTSupport);
  const TDeviceInfo& v = storage.PhysicalDevices()[1];
  EXPECT_EQ(v.SerialNumber, "overlayblk");
  EXPECT_EQ(v.Size, 2048 * 512);
  EXPECT_EQ(v.IdentifySource.status, Status::NotSupported);
  EXPECT_EQ(storage.PhysicalDevices()[2].IdentifySource.status, Status::NotSupported);

  // A garbage IDENTIFY answer (an unprintable model) adds nothing and reads no S.M.A.R.T..
  testing::Sector junk = testing::SampleIdentify();
  junk.Byte(2 * 27, 0x01);
  s->commands[{"sda", DeviceQuery::kAtaIdentify}] =
      platform::Answer<std::string>::Of(junk.str(), "identify");
  storage.RefreshData();
  EXPECT_EQ(storage.PhysicalDevices()[0].Model, "WDC WD10EZEX-00B");
  EXPECT_EQ(storage.PhysicalDevices()[0].Cylinders, 0u);
}

TEST(StorageCollector, NvmeHealthLog) {
  auto s = std::make_shared<FakeStorage>();
  platform::BlockDeviceRecord n;
  n.name = "nvme0n1";
  n.transport = "nvme";
  n.sizeSectors = 1000;
  s->devices = {n};
  testing::Sector id(4096);
  id.Text(4, 20, "SN1").Text(24, 40, "Fast SSD").Text(64, 8, "FW1");
  testing::Sector log(512);
  log.Le(1, 300, 2).Byte(5, 7).Le(144, 3, 16);
  s->commands[{"nvme0n1", DeviceQuery::kNvmeIdentifyController}] =
      platform::Answer<std::string>::Of(id.str(), "identify");
  s->commands[{"nvme0n1", DeviceQuery::kNvmeHealthLog}] =
      platform::Answer<std::string>::Of(log.str(), "log");
  TVexa_Storage storage(testing::WithStorage(s));
  storage.RefreshData();
  const TDeviceInfo& d = storage.PhysicalDevices()[0];
  EXPECT_EQ(d.Model, "Fast SSD");
  EXPECT_EQ(d.BusType, 17u);
  EXPECT_EQ(d.Temperature, 27);
  ASSERT_TRUE(d.Nvme);
  EXPECT_EQ(d.Nvme->percentageUsed, 7);
  EXPECT_EQ(d.Nvme->unsafeShutdowns, 3u);
}

TEST(StorageRules, SizeAndBusNames) {
  TDeviceInfo d;
  d.Cylinders = 1000;
  d.Heads = 16;
  d.SectorsPerTrack = 63;
  d.AddressableSectors = 1008000;  // below 16,515,072: the geometry counts
  EXPECT_EQ(SizeFromIdentify(d), 1000LL * 16 * 63 * 512);
  d.AddressableSectors = 0xFC0000;
  EXPECT_EQ(SizeFromIdentify(d), 0xFC0000LL * 512);
  EXPECT_EQ(BusTypeName(11), "SATA");
  EXPECT_EQ(BusTypeName(0), "Unknown (0x0)");
  EXPECT_EQ(BusTypeName(17), "Unknown (0x11)");
  EXPECT_EQ(TransportName("nvme"), "NVMe");
}

// Only transports with an ATA drive (or a SAT bridge) behind them are sent ATA commands; a
// paravirtual disk, a memory card or a mapped volume is not asked at all.
TEST(StorageRules, CommandSetByTransport) {
  TDeviceInfo d;
  for (const char* ata : {"sata", "ata", "usb", "scsi", "sas"}) {
    d.Transport = ata;
    EXPECT_EQ(CommandSetOf(d), CommandSet::kAta) << ata;
  }
  d.Transport = "nvme";
  EXPECT_EQ(CommandSetOf(d), CommandSet::kNvme);
  for (const char* none : {"virtio", "xen", "mmc", "md", "dm", "loop", "ram", "", "iscsi"}) {
    d.Transport = none;
    EXPECT_EQ(CommandSetOf(d), CommandSet::kNone) << none;
  }
}

TEST(StorageCollector, VirtioDiskIsSentNoCommands) {
  auto s = std::make_shared<FakeStorage>();
  platform::BlockDeviceRecord r;
  r.name = "vda";
  r.deviceNumber = "253:0";
  r.sizeSectors = 2048;
  r.transport = "virtio";
  s->devices = {r};
  r.name = "mmcblk0";
  r.transport = "mmc";
  s->devices.push_back(r);
  TVexa_Storage storage(testing::WithStorage(s));
  storage.RefreshData();
  ASSERT_EQ(storage.PhysicalCount(), 2);
  EXPECT_TRUE(s->asked.empty());
  const TDeviceInfo& vda = storage.PhysicalDevices()[0];
  EXPECT_EQ(vda.IdentifySource.status, Status::NotSupported);
  EXPECT_EQ(vda.IdentifySource.detail, "a virtio device answers no drive commands");
  EXPECT_EQ(storage.PhysicalDevices()[1].SmartSource.detail,
            "a MMC/SD device answers no drive commands");
}

TEST(StorageCollector, NoServiceSaysSo) {
  auto services = testing::WithStorage(nullptr);
  TVexa_Storage storage(services);
  storage.RefreshData();
  EXPECT_EQ(storage.PhysicalCount(), 0);
  EXPECT_EQ(storage.ListSource().status, Status::NotSupported);
  TVexa_Disk disk(services);
  disk.RefreshData();
  EXPECT_TRUE(disk.Drives().empty());
  EXPECT_EQ(disk.ListSource().status, Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::collectors
