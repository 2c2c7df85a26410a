// The table of mounted file systems as the kernel lists it (mountinfo lines), and the rule
// that picks the ones a user thinks of as drives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

struct MountEntry {
  uint32_t major = 0, minor = 0;  ///< device number; major 0 for file systems without a device
  std::string root;               ///< the directory of the file system mounted (bind mounts)
  std::string mountPoint;
  std::string mountOptions;  ///< per-mount: "rw,nosuid,relatime"
  std::string fsType;        ///< "ext4", "nfs4", "fuse.sshfs"
  std::string source;        ///< a device node, or "server:/export"
  std::string superOptions;  ///< per-file-system: "rw,errors=remount-ro"

  bool HasOption(std::string_view option) const;
};

/// Parses mountinfo text; lines that do not have the fields are skipped. Octal escapes in
/// paths ("\040" for a blank) are decoded.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

/// File systems reached over a network: they can stop answering, so they are asked under a
/// time limit and shown as remote drives.
bool IsNetworkFileSystem(std::string_view fsType);

/// The drives a user cares about: file systems backed by a block device, and network file
/// systems. Left out: file systems without a device (proc, sysfs, cgroup, tmpfs, devpts ...),
/// the overlay layers of containers, read-only squashfs images of packaged applications,
/// bind mounts of a subdirectory, and a device mounted a second time (the first mount
/// stands for it). Order is the table's.
std::vector<MountEntry> UserDrives(const std::vector<MountEntry>& all);

}  // namespace tavrin::collectors
