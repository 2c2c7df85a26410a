// The storage service over a sysfs tree built here, its probes under bad conditions (a hung
// file system, a device node that refuses the command, a disk that vanishes while listed),
// and the record-and-replay of the answers that are not file reads.
#include <gtest/gtest.h>

#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <future>

#include "platform/linux/linux_storage.h"
#include "platform/service_hooks.h"
#include "tests/collectors/devices/sysfs_tree.h"

namespace tavrin::platform {
namespace {

using testing::SysfsTree;

constexpr std::string_view kSata =
    "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
constexpr std::string_view kNvme = "/sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0";

// A desktop's disks: a SATA disk with two partitions (udev knows their file systems), an NVMe
// namespace, an optical drive, one attached and one free loop device.
void BuildDisks(const SysfsTree& t) {
  const std::string sda = std::string(kSata) + "/block/sda";
  t.File(sda + "/dev", "8:0\n");
  t.File(sda + "/size", "1953525168\n");
  t.File(sda + "/removable", "0\n");
  t.File(sda + "/ro", "0\n");
  t.File(sda + "/queue/logical_block_size", "512\n");
  t.File(sda + "/queue/physical_block_size", "4096\n");
  t.File(sda + "/queue/rotational", "1\n");
  t.File(std::string(kSata) + "/model", "WDC WD10EZEX-00B\n");
  t.File(std::string(kSata) + "/vendor", "ATA     \n");
  t.File(std::string(kSata) + "/rev", "1A01\n");
  t.File(std::string(kSata) + "/type", "0\n");
  t.File(std::string(kSata) + "/power/runtime_status", "suspended\n");
  t.File(std::string(kSata) + "/scsi_device/0:0:0:0/dev", "");
  t.Link(sda + "/device", std::string(kSata));
  t.File(sda + "/sda2/partition", "2\n");
  t.File(sda + "/sda2/dev", "8:2\n");
  t.File(sda + "/sda2/start", "1050624\n");
  t.File(sda + "/sda2/size", "1952474112\n");
  t.File(sda + "/sda1/partition", "1\n");
  t.File(sda + "/sda1/dev", "8:1\n");
  t.File(sda + "/sda1/start", "2048\n");
  t.File(sda + "/sda1/size", "1048576\n");
  t.Link("/sys/block/sda", sda);
  t.File("/run/udev/data/b8:0",
         "S:disk/by-id/ata-WDC\nE:ID_SERIAL_SHORT=WD-WCC4E1234567\n"
         "E:ID_MODEL=WDC_WD10EZEX-00BN5A0\n");
  t.File("/run/udev/data/b8:2", "E:ID_FS_TYPE=ext4\nE:ID_FS_LABEL=root\nE:ID_FS_UUID=1b2c\n");

  const std::string nvme = std::string(kNvme) + "/nvme0n1";
  t.File(nvme + "/dev", "259:0\n");
  t.File(nvme + "/size", "1000215216\n");
  t.File(nvme + "/queue/rotational", "0\n");
  t.File(std::string(kNvme) + "/model", "Samsung SSD 980 PRO 1TB                 \n");
  t.File(std::string(kNvme) + "/serial", "S5GXNX0R123456      \n");
  t.File(std::string(kNvme) + "/firmware_rev", "5B2QGXA7\n");
  t.Link(nvme + "/device", std::string(kNvme));
  t.Link("/sys/block/nvme0n1", nvme);

  t.File("/sys/devices/virtual/block/loop0/dev", "7:0\n");
  t.File("/sys/devices/virtual/block/loop0/size", "0\n");
  t.Link("/sys/block/loop0", "/sys/devices/virtual/block/loop0");
  t.File("/sys/devices/virtual/block/loop1/dev", "7:1\n");
  t.File("/sys/devices/virtual/block/loop1/size", "1024\n");
  t.File("/sys/devices/virtual/block/loop1/loop/backing_file", "/var/lib/image.raw\n");
  t.Link("/sys/block/loop1", "/sys/devices/virtual/block/loop1");

  const std::string sr = "/sys/devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0";
  t.File(sr + "/block/sr0/dev", "11:0\n");
  t.File(sr + "/block/sr0/removable", "1\n");
  t.File(sr + "/type", "5\n");
  t.File(sr + "/scsi_device/1:0:0:0/dev", "");
  t.Link(sr + "/block/sr0/device", sr);
  t.Link("/sys/block/sr0", sr + "/block/sr0");
}

// The CD-ROM driver's list as the kernel writes it, by hand: two drives, newest column first,
// labels and values separated by tabs.
constexpr const char* kCdromInfo =
    "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n"
    "\n"
    "drive name:\t\tsr1\tsr0\n"
    "drive speed:\t\t8\t24\n"
    "drive # of slots:\t1\t1\n"
    "Can write CD-R:\t\t0\t1\n"
    "Can write CD-RW:\t0\t1\n"
    "Can read DVD:\t\t1\t1\n"
    "Can write DVD-R:\t\t0\t1\n"
    "Can write DVD-RAM:\t0\t0\n"
    "\n";

const BlockDeviceRecord* Named(const std::vector<BlockDeviceRecord>& list, std::string_view n) {
  for (const auto& d : list)
    if (d.name == n) return &d;
  return nullptr;
}

TEST(StorageService, BlockDevicesFromSysfsAndUdev) {
  SysfsTree t;
  BuildDisks(t);
  const FileReader files(t.root());
  auto list = ReadBlockDevices(files);
  ASSERT_TRUE(list) << list.source.Explain();
  std::vector<std::string> names;
  for (const auto& d : *list) names.push_back(d.name);
  // The free loop device is left out, as a slot rather than storage.
  EXPECT_EQ(names, (std::vector<std::string>{"loop1", "nvme0n1", "sda", "sr0"}));

  const auto* sda = Named(*list, "sda");
  EXPECT_EQ(sda->deviceNumber, "8:0");
  EXPECT_EQ(sda->sizeSectors, 1953525168u);
  EXPECT_EQ(sda->physicalBlockSize, 4096u);
  EXPECT_EQ(sda->rotational, true);
  EXPECT_EQ(sda->removable, false);
  EXPECT_EQ(sda->transport, "sata");
  EXPECT_EQ(sda->model, "WDC WD10EZEX-00B");
  EXPECT_EQ(sda->udev.at("ID_SERIAL_SHORT"), "WD-WCC4E1234567");
  ASSERT_TRUE(sda->scsiAddress);
  EXPECT_EQ(sda->scsiAddress->host, 0);
  EXPECT_EQ(sda->runtimeStatus, "suspended");
  ASSERT_EQ(sda->partitions.size(), 2u);
  EXPECT_EQ(sda->partitions[0].name, "sda1");  // by number, not by listing order
  EXPECT_EQ(sda->partitions[1].startSector, 1050624u);
  EXPECT_EQ(sda->partitions[1].udev.at("ID_FS_LABEL"), "root");

  const auto* nvme = Named(*list, "nvme0n1");
  EXPECT_EQ(nvme->transport, "nvme");
  EXPECT_EQ(nvme->serial, "S5GXNX0R123456");
  EXPECT_EQ(nvme->revision, "5B2QGXA7");
  EXPECT_EQ(Named(*list, "sr0")->scsiType, 5);
  EXPECT_EQ(Named(*list, "loop1")->loopBackingFile, "/var/lib/image.raw");
  EXPECT_EQ(Named(*list, "loop1")->transport, "loop");
}

// A reader whose listing still names a disk that is gone by the time it is read.
class VanishingDisk : public FileReader {
 public:
  using FileReader::FileReader;
  Answer<std::vector<std::string>> ListDir(std::string_view path) const override {
    auto a = FileReader::ListDir(path);
    if (path == "/sys/block" && a) a.value->insert(a.value->begin(), "sdb");
    return a;
  }
};

TEST(StorageService, DiskRemovedWhileListedIsLeftOut) {
  SysfsTree t;
  BuildDisks(t);
  const VanishingDisk files(t.root());
  auto list = ReadBlockDevices(files);
  ASSERT_TRUE(list);
  EXPECT_EQ(Named(*list, "sdb"), nullptr);
  EXPECT_NE(Named(*list, "sda"), nullptr);
  // No /sys/block at all (a snapshot from elsewhere): the reason, not an empty success.
  SysfsTree empty;
  EXPECT_EQ(ReadBlockDevices(FileReader(empty.root())).source.status, Status::Missing);
}

TEST(StorageService, OpticalDrivesGetTheirColumnOfTheCdromList) {
  const auto drives = ParseCdromInfo(kCdromInfo);
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives.at("sr0").at("drive speed"), "24");
  EXPECT_EQ(drives.at("sr0").at("Can write CD-R"), "1");
  EXPECT_EQ(drives.at("sr1").at("Can write CD-R"), "0");
  EXPECT_EQ(drives.at("sr1").at("drive # of slots"), "1");
  EXPECT_EQ(drives.at("sr0").count("CD-ROM information, Id"), 0u);  // the title is no row
  // A row cut short names only the drives it has values for.
  const auto cut = ParseCdromInfo("drive name:\tsr1\tsr0\nCan read DVD:\t1\n");
  EXPECT_EQ(cut.at("sr1").at("Can read DVD"), "1");
  EXPECT_EQ(cut.at("sr0").count("Can read DVD"), 0u);
  EXPECT_TRUE(ParseCdromInfo("").empty());

  SysfsTree t;
  BuildDisks(t);
  auto without = ReadBlockDevices(FileReader(t.root()));
  ASSERT_TRUE(without);
  EXPECT_TRUE(Named(*without, "sr0")->cdromInfo.empty());
  EXPECT_EQ(Named(*without, "sr0")->cdromInfoSource.status, Status::Missing);
  t.File("/proc/sys/dev/cdrom/info", kCdromInfo);
  auto with = ReadBlockDevices(FileReader(t.root()));
  ASSERT_TRUE(with);
  EXPECT_EQ(Named(*with, "sr0")->cdromInfo.at("Can write DVD-R"), "1");
  EXPECT_TRUE(Named(*with, "sr0")->cdromInfoSource.ok());
  EXPECT_TRUE(Named(*with, "sda")->cdromInfo.empty());  // only optical drives look it up
}

TEST(StorageService, ScsiGenericCount) {
  SysfsTree t;
  auto none = ReadScsiGenericCount(FileReader(t.root()));
  EXPECT_EQ(none.source.status, Status::Missing);
  EXPECT_NE(none.source.detail.find("SCSI generic"), std::string::npos);
  t.File("/sys/class/scsi_generic/sg0/dev", "21:0\n");
  t.File("/sys/class/scsi_generic/sg1/dev", "21:1\n");
  EXPECT_EQ(ReadScsiGenericCount(FileReader(t.root())).value, 2u);
}

// The SCSI devices by address, with what the kernel copied from their INQUIRY data; an entry
// whose name is no address is skipped, and an unreadable attribute stays empty.
TEST(StorageService, ScsiDevicesFromTheKernelsList) {
  SysfsTree t;
  const auto none = ReadScsiDevices(FileReader(t.root()));
  EXPECT_EQ(none.source.status, Status::Missing);
  EXPECT_EQ(none.source.detail, "the kernel's SCSI layer is not loaded");
  std::filesystem::create_directories(t.root() / "sys/class/scsi_device");
  const auto empty = ReadScsiDevices(FileReader(t.root()));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  BuildDisks(t);  // 0:0:0:0 a SATA disk, 1:0:0:0 an optical drive
  const std::string sr = "/sys/devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0";
  t.File(sr + "/vendor", "HL-DT-ST\n");
  t.File(sr + "/model", "DVDRAM GH24NSD1 \n");
  t.File(sr + "/rev", "LG00\n");
  t.File(sr + "/state", "running\n");
  t.File(std::string(kSata) + "/state", "running\n");
  t.Link("/sys/class/scsi_device/1:0:0:0/device", sr);
  t.Link("/sys/class/scsi_device/0:0:0:0/device", std::string(kSata));
  t.Link("/sys/class/scsi_device/10:0:2:1/device", sr);  // sorted by number, not by text
  std::filesystem::create_directories(t.root() / "sys/class/scsi_device/bogus");
  // A device unplugged after the listing: its link leads nowhere, and it is left out.
  t.Link("/sys/class/scsi_device/3:0:0:0/device", "/sys/devices/gone/3:0:0:0");
  const auto list = ReadScsiDevices(FileReader(t.root()));
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 3u);
  const ScsiDeviceRecord& disk = (*list)[0];
  EXPECT_EQ(disk.host, 0);
  EXPECT_EQ(disk.type, 0);
  EXPECT_EQ(disk.vendor, "ATA");
  EXPECT_EQ(disk.model, "WDC WD10EZEX-00B");
  EXPECT_EQ(disk.revision, "1A01");
  EXPECT_EQ(disk.state, "running");
  const ScsiDeviceRecord& dvd = (*list)[1];
  EXPECT_EQ(dvd.host, 1);
  EXPECT_EQ(dvd.type, 5);
  EXPECT_EQ(dvd.model, "DVDRAM GH24NSD1");
  EXPECT_EQ((*list)[2].host, 10);
  EXPECT_EQ((*list)[2].target, 2);
  EXPECT_EQ((*list)[2].lun, 1);
  EXPECT_TRUE(dvd.source.ok());
}

TEST(StorageProbes, HungFileSystemTimesOut) {
  auto release = std::make_shared<std::promise<void>>();
  std::shared_future<void> gate = release->get_future().share();
  auto probes = MakeLiveStorageProbes(
      {std::chrono::milliseconds(50), std::chrono::milliseconds(80)},
      [gate](const char*, struct statvfs*) {
        gate.wait();  // a server that never answers, until the test lets it go
        return -1;
      });
  const auto start = std::chrono::steady_clock::now();
  auto a = probes->Stat("/home/shared", true);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(a.source.status, Status::TimedOut);
  EXPECT_EQ(a.source.source, "statvfs /home/shared");
  release->set_value();
}

TEST(StorageProbes, StatFailuresKeepTheirReason) {
  auto failing = [](int err) {
    return MakeLiveStorageProbes({}, [err](const char*, struct statvfs*) {
      errno = err;
      return -1;
    });
  };
  EXPECT_EQ(failing(EACCES)->Stat("/x", false).source.status, Status::PermissionDenied);
  EXPECT_EQ(failing(ENOENT)->Stat("/x", false).source.status, Status::Missing);
  auto live = MakeLiveStorageProbes()->Stat("/", false);
  ASSERT_TRUE(live) << live.source.Explain();
  EXPECT_GT(live->blocks, 0u);
  EXPECT_GT(live->fragmentSize, 0u);
}

TEST(StorageProbes, RefusedCommandsSayWhy) {
  EXPECT_EQ(DeviceCommandFailure(EPERM, "x").status, Status::PermissionDenied);
  EXPECT_EQ(DeviceCommandFailure(EACCES, "x").status, Status::PermissionDenied);
  EXPECT_NE(DeviceCommandFailure(EACCES, "x").detail.find(::geteuid() == 0 ? "root" : "disk group"),
            std::string::npos);
  EXPECT_EQ(DeviceCommandFailure(ENOTTY, "x").status, Status::NotSupported);
  EXPECT_EQ(DeviceCommandFailure(EINVAL, "x").status, Status::NotSupported);
  EXPECT_EQ(DeviceCommandFailure(ENODEV, "x").status, Status::Missing);
  // A real node that takes neither command: /dev/null refuses SG_IO and the NVMe ioctl.
  auto probes = MakeLiveStorageProbes();
  for (DeviceQuery q : {DeviceQuery::kAtaIdentify, DeviceQuery::kNvmeHealthLog}) {
    auto a = probes->Command("null", q);
    EXPECT_FALSE(a);
    EXPECT_EQ(a.source.status, Status::NotSupported) << a.source.Explain();
  }
  EXPECT_EQ(probes->Command("../etc/passwd", DeviceQuery::kAtaIdentify).source.status,
            Status::Missing);
  EXPECT_EQ(probes->Command("no-such-disk", DeviceQuery::kAtaIdentify).source.status,
            Status::Missing);
}

// Sense data as a SAT layer returns it for CHECK POWER MODE with CK_COND set, built by hand
// from the descriptor and fixed formats (SPC-5 4.4, SAT-4 12.2.2.6).
TEST(StorageProbes, PowerModeFromTheReturnedRegisters) {
  // Descriptor format: 72h, RECOVERED ERROR, ASC/ASCQ 00h/1Dh, then the ATA Status Return
  // descriptor (09h, length 0Ch) with Count = 00h (standby) and status 50h.
  std::vector<uint8_t> desc = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 0x0C, 0x00,
                               0x00, 0x00, 0x00, 0,    0, 0, 0, 0,  0,    0x40, 0x50};
  EXPECT_EQ(AtaCountFromSense(desc), 0x00);
  desc[13] = 0xFF;  // active or idle
  EXPECT_EQ(AtaCountFromSense(desc), 0xFF);
  // Another descriptor first: the status return is found after it.
  std::vector<uint8_t> two = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 18, 0x00, 0x02, 0xAA, 0xBB};
  two.insert(two.end(), desc.begin() + 8, desc.end());
  EXPECT_EQ(AtaCountFromSense(two), 0xFF);
  // A truncated descriptor (the length byte promises more than was written) gives nothing.
  EXPECT_EQ(AtaCountFromSense(std::span(desc).first(16)), std::nullopt);

  // Fixed format: ERROR, STATUS, DEVICE, COUNT in bytes 3 to 6, flagged by ASC/ASCQ 00h/1Dh.
  std::vector<uint8_t> fixed(18, 0);
  fixed[0] = 0x70;
  fixed[2] = 0x01;
  fixed[4] = 0x50;
  fixed[6] = 0x80;  // idle
  fixed[7] = 10;
  fixed[13] = 0x1D;
  EXPECT_EQ(AtaCountFromSense(fixed), 0x80);
  fixed[13] = 0x00;  // plain sense without the registers: byte 6 means nothing
  EXPECT_EQ(AtaCountFromSense(fixed), std::nullopt);
  EXPECT_EQ(AtaCountFromSense({}), std::nullopt);
}

// Fixed answers standing in for the machine while a recording is made.
class FixedProbes : public StorageProbes {
 public:
  Answer<FsStats> Stat(const std::string& mountPoint, bool) const override {
    if (mountPoint == "/hung")
      return Answer<FsStats>::Fail(Status::TimedOut, "statvfs /hung", "no");
    FsStats s;
    s.fragmentSize = 4096;
    s.blocks = 1000;
    s.blocksAvailable = 250;
    return Answer<FsStats>::Of(s, "statvfs " + mountPoint);
  }
  Answer<std::string> Command(const std::string& name, DeviceQuery q) const override {
    if (q == DeviceQuery::kAtaSmartData)
      return Answer<std::string>::Fail(Status::PermissionDenied, "smart " + name, "root");
    if (q == DeviceQuery::kAtaCheckPowerMode)
      return Answer<std::string>::Of(std::string(1, '\0'), "power " + name);
    return Answer<std::string>::Of(std::string("\x00\xFF\x10", 3) + name, "identify " + name);
  }
};

TEST(StorageRecording, AnswersReplayAsRecorded) {
  SysfsTree tree;
  auto files = std::make_shared<FileReader>(tree.root());
  ServiceRecordings recordings;
  auto recording = RecordStorageProbes(files, std::make_shared<FixedProbes>(), recordings);
  ASSERT_EQ(recordings.size(), 1u);
  const auto stat = recording->FileSystemStats("/", false);
  const auto hung = recording->FileSystemStats("/hung", true);
  const auto id = recording->DeviceCommand("sda", DeviceQuery::kAtaIdentify);
  const auto smart = recording->DeviceCommand("sda", DeviceQuery::kAtaSmartData);
  const auto power = recording->DeviceCommand("sda", DeviceQuery::kAtaCheckPowerMode);
  testing::TempDir snapshot;
  std::string error;
  ASSERT_TRUE(recordings[0]->Finish(snapshot.path(), &error)) << error;

  Services replay;
  replay.files = files;
  std::vector<std::string> warnings;
  LoadRecordedStorage(snapshot.path(), replay, warnings);
  EXPECT_TRUE(warnings.empty());
  ASSERT_TRUE(replay.storage);
  const auto s2 = replay.storage->FileSystemStats("/", false);
  ASSERT_TRUE(s2);
  EXPECT_EQ(s2->blocks, stat->blocks);
  EXPECT_EQ(s2->blocksAvailable, 250u);
  EXPECT_EQ(replay.storage->FileSystemStats("/hung", true).source.status, Status::TimedOut);
  EXPECT_EQ(replay.storage->DeviceCommand("sda", DeviceQuery::kAtaIdentify).value, id.value);
  const auto smart2 = replay.storage->DeviceCommand("sda", DeviceQuery::kAtaSmartData);
  EXPECT_EQ(smart2.source.status, Status::PermissionDenied);
  EXPECT_EQ(smart2.source.detail, smart.source.detail);
  // The one-byte power mode answer, a zero byte, survives the text form of the file.
  const auto power2 = replay.storage->DeviceCommand("sda", DeviceQuery::kAtaCheckPowerMode);
  ASSERT_TRUE(power2) << power2.source.Explain();
  EXPECT_EQ(*power2, *power.value);
  EXPECT_EQ(power2->size(), 1u);
  EXPECT_EQ(replay.storage->DeviceCommand("sdb", DeviceQuery::kAtaCheckPowerMode).source.status,
            Status::NotSupported);
  // What was never asked answers "not recorded" rather than pretending.
  EXPECT_EQ(replay.storage->FileSystemStats("/other", false).source.status, Status::NotSupported);
  EXPECT_EQ(replay.storage->WindowsVolumeAnswers().source.status, Status::NotSupported);
  (void)hung;
}

TEST(StorageRecording, BrokenStorageFileWarns) {
  testing::TempDir snapshot;
  snapshot.Write("storage.json", "{not json");
  Services replay;
  replay.files = std::make_shared<FileReader>(snapshot.path());
  std::vector<std::string> warnings;
  LoadRecordedStorage(snapshot.path(), replay, warnings);
  EXPECT_EQ(warnings.size(), 1u);
  ASSERT_TRUE(replay.storage);
  EXPECT_FALSE(replay.storage->FileSystemStats("/", false));
}

}  // namespace
}  // namespace tavrin::platform
