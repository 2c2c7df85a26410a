// What a Linux file system type can do, as plain data: the counterpart of the capability
// flags a volume query reports elsewhere. From the kernel's documentation of each file system
// (Documentation/filesystems/) and the file systems' own manuals.
#pragma once

#include <string_view>

namespace tavrin::collectors {

struct FsFeatures {
  std::string_view type;
  bool caseSensitive;  ///< names differing only in case are different files
  bool caseIsPreserved;
  bool unicodeNames;  ///< names are stored as Unicode (UTF-8 or UTF-16) on disk
  bool permissions;   ///< keeps owners, modes and ACLs with each file
  bool compression;   ///< can compress file data transparently
  bool encryption;    ///< per-directory encryption (fscrypt) or native encryption
  bool objectIds;
  bool reparsePoints;
  bool sparseFiles;
  bool quotas;  ///< can enforce quotas when mounted with them
};

// Sorted by type; a test checks the order. Unknown types answer every question with "no".
inline constexpr FsFeatures kFsFeatures[] = {
    // type         case  keep  uni   perm  comp  enc   oid   rep   sparse quota
    {"9p", true, true, true, true, false, false, false, false, false, false},
    {"btrfs", true, true, true, true, true, false, false, false, true, true},
    {"ceph", true, true, true, true, false, true, false, false, true, true},
    {"cifs", false, true, true, true, false, false, false, false, true, false},
    {"exfat", false, true, true, false, false, false, false, false, false, false},
    {"ext2", true, true, true, true, false, false, false, false, true, true},
    {"ext3", true, true, true, true, false, false, false, false, true, true},
    {"ext4", true, true, true, true, false, true, false, false, true, true},
    {"f2fs", true, true, true, true, true, true, false, false, true, true},
    {"fuse.sshfs", true, true, true, true, false, false, false, false, false, false},
    {"hfsplus", false, true, true, true, false, false, false, false, false, false},
    {"iso9660", true, true, false, false, false, false, false, false, false, false},
    {"jfs", true, true, true, true, false, false, false, false, true, true},
    {"msdos", false, false, false, false, false, false, false, false, false, false},
    {"nfs", true, true, true, true, false, false, false, false, true, true},
    {"nfs4", true, true, true, true, false, false, false, false, true, true},
    {"ntfs", false, true, true, true, true, true, true, true, true, true},
    {"ntfs3", false, true, true, true, true, false, true, true, true, false},
    {"smb3", false, true, true, true, false, false, false, false, true, false},
    {"udf", true, true, true, true, false, false, false, false, false, false},
    {"vfat", false, true, true, false, false, false, false, false, false, false},
    {"xfs", true, true, true, true, false, false, false, false, true, true},
    {"zfs", true, true, true, true, true, true, false, false, true, true},
};

/// The features of `type`; nullptr for a type the table does not know.
inline const FsFeatures* FindFsFeatures(std::string_view type) {
  for (const FsFeatures& f : kFsFeatures)
    if (f.type == type) return &f;
  return nullptr;
}

}  // namespace tavrin::collectors
