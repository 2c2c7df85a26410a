// The logical-drive rules: drive strings, serial texts and file-system flags of a Windows
// volume query, and the mount table with the rule that picks a user's drives.
#include <gtest/gtest.h>

#include "collectors/storage/fs_features.h"
#include "collectors/storage/mount_table.h"
#include "collectors/storage/volume_rules.h"

namespace tavrin::collectors {
namespace {

TEST(VolumeRules, DriveStringsAndSerialText) {
  using namespace std::string_view_literals;
  EXPECT_EQ(AvailableDisksFromDriveStrings(u"A:\\\0C:\\\0d:\\\0\0"sv), "ACD");
  EXPECT_EQ(AvailableDisksFromDriveStrings(u"A:\\\0C:\\\0\0Z:\\\0"sv), "AC");  // ends at 0 0
  EXPECT_EQ(AvailableDisksFromDriveStrings(u""sv), "");
  EXPECT_EQ(VolumeSerialText(0x1C2A3F4B), "1C2A-3F4B");
  EXPECT_EQ(VolumeSerialText(0x000A00B1), "000A-00B1");
}

TEST(VolumeRules, FlagsFromVolumeFlags) {
  // An NTFS volume: case-preserved and -sensitive search, Unicode, ACLs, compression, quotas,
  // sparse files, reparse points, object ids, encryption; 255-character names.
  const TFileFlags ntfs = FileFlagsFromVolume(0x000300FF, 255, false);
  for (TFileFlag f :
       {fsLongFileNames, fsPersistentAcls, fsCaseIsPreserved, fsCaseSensitive,
        fsUnicodeStoredOnDisk, fsFileCompression, fsDiskQuotasSupport, fsSparseFilesSupport,
        fsReparsePointsSupport, fsObjectIDsSupport, fsEncryptedFileSystemSupport})
    EXPECT_TRUE(ntfs & f) << f;
  EXPECT_FALSE(ntfs & fsVolumeIsCompressed);
  EXPECT_TRUE(FileFlagsFromVolume(0x10, 255, true) & fsVolumeIsCompressed);
  // "Volume is compressed" without file compression (a DoubleSpace-style volume).
  EXPECT_EQ(FileFlagsFromVolume(0x8000, 12, true), fsVolumeIsCompressed);
  // FAT: no long names at 12 characters, nothing else.
  EXPECT_EQ(FileFlagsFromVolume(0x6, 12, false), fsCaseIsPreserved | fsUnicodeStoredOnDisk);
  EXPECT_EQ(MediaTypeFromCode(5), TMediaType::dtCDROM);
  EXPECT_EQ(MediaTypeFromCode(7), TMediaType::dtUnknown);
}

// mountinfo lines as a desktop with a container runtime, a USB stick and an NFS home would
// show them (made up, in the kernel's format).
constexpr std::string_view kMountInfo =
    "22 27 0:21 / /proc rw,relatime shared:5 - proc proc rw\n"
    "23 27 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
    "27 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
    "28 27 8:1 / /boot/efi rw,relatime - vfat /dev/sda1 rw,fmask=0077\n"
    "31 23 0:28 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "40 27 7:3 / /snap/core/1 ro,nodev - squashfs /dev/loop3 ro\n"
    "41 27 0:50 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw,lowerdir=a\n"
    "42 27 8:2 /srv/data /data rw - ext4 /dev/sda2 rw\n"
    "43 27 8:17 / /media/user/MY\\040STICK rw,nosuid,nodev - exfat /dev/sdb1 rw,usrquota\n"
    "44 27 0:60 / /home/shared rw - nfs4 server:/export/home rw,vers=4.2\n"
    "45 27 8:2 / /mnt/again rw - ext4 /dev/sda2 rw\n"
    "46 27 8:3 / /broken\n"
    "47 27 x:3 / /bad rw - ext4 /dev/sda3 rw\n";

TEST(MountTable, ParsesFieldsAndEscapes) {
  const auto all = ParseMountInfo(kMountInfo);
  ASSERT_EQ(all.size(), 11u);  // the two malformed lines are skipped
  EXPECT_EQ(all[2].major, 8u);
  EXPECT_EQ(all[2].minor, 2u);
  EXPECT_EQ(all[2].fsType, "ext4");
  EXPECT_EQ(all[2].source, "/dev/sda2");
  EXPECT_EQ(all[2].superOptions, "rw,errors=remount-ro");
  EXPECT_EQ(all[8].mountPoint, "/media/user/MY STICK");
  EXPECT_TRUE(all[8].HasOption("nosuid"));
  EXPECT_TRUE(all[8].HasOption("usrquota"));  // from the file system's options
  EXPECT_FALSE(all[8].HasOption("nosu"));
}

TEST(MountTable, UserDrivesRule) {
  const auto drives = UserDrives(ParseMountInfo(kMountInfo));
  std::vector<std::string> points;
  for (const auto& d : drives) points.push_back(d.mountPoint);
  EXPECT_EQ(points,
            (std::vector<std::string>{"/", "/boot/efi", "/media/user/MY STICK", "/home/shared"}));
  EXPECT_TRUE(IsNetworkFileSystem("nfs4"));
  EXPECT_TRUE(IsNetworkFileSystem("fuse.sshfs"));
  EXPECT_FALSE(IsNetworkFileSystem("fuse"));
}

TEST(FsFeatures, TableSortedAndKnown) {
  for (std::size_t i = 1; i < std::size(kFsFeatures); ++i)
    EXPECT_LT(kFsFeatures[i - 1].type, kFsFeatures[i].type);
  ASSERT_NE(FindFsFeatures("ext4"), nullptr);
  EXPECT_TRUE(FindFsFeatures("ext4")->caseSensitive);
  EXPECT_FALSE(FindFsFeatures("vfat")->caseSensitive);
  EXPECT_EQ(FindFsFeatures("nosuchfs"), nullptr);
}

}  // namespace
}  // namespace tavrin::collectors
