#include "collectors/storage/mount_table.h"

#include <algorithm>
#include <array>
#include <set>
#include <utility>

namespace tavrin::collectors {
namespace {

std::string Unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() &&
        std::all_of(s.begin() + i + 1, s.begin() + i + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out.push_back(
          static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> f;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) f.push_back(line.substr(start, i - start));
  }
  return f;
}

bool ParseNumber(std::string_view s, uint32_t& v) {
  if (s.empty() || s.size() > 9) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  return true;
}

}  // namespace

bool MountEntry::HasOption(std::string_view option) const {
  for (const std::string* list : {&mountOptions, &superOptions}) {
    std::string_view rest(*list);
    while (!rest.empty()) {
      const auto comma = rest.find(',');
      if (rest.substr(0, comma) == option) return true;
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  return false;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> entries;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    const auto f = Fields(line);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() < 10 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3) continue;
    MountEntry e;
    const auto colon = f[2].find(':');
    if (colon == std::string_view::npos || !ParseNumber(f[2].substr(0, colon), e.major) ||
        !ParseNumber(f[2].substr(colon + 1), e.minor))
      continue;
    e.root = Unescape(f[3]);
    e.mountPoint = Unescape(f[4]);
    e.mountOptions = std::string(f[5]);
    e.fsType = Unescape(dash[1]);
    e.source = Unescape(dash[2]);
    e.superOptions = dash + 3 < f.end() ? std::string(dash[3]) : std::string();
    entries.push_back(std::move(e));
  }
  return entries;
}

bool IsNetworkFileSystem(std::string_view t) {
  static constexpr std::array<std::string_view, 14> kNetwork = {
      "nfs", "nfs4", "cifs",      "smb3",       "smbfs",       "ncpfs",       "9p",
      "afs", "ceph", "glusterfs", "fuse.sshfs", "fuse.davfs2", "fuse.rclone", "davfs"};
  return std::find(kNetwork.begin(), kNetwork.end(), t) != kNetwork.end();
}

std::vector<MountEntry> UserDrives(const std::vector<MountEntry>& all) {
  std::vector<MountEntry> drives;
  std::set<std::pair<uint32_t, uint32_t>> seen;
  for (const MountEntry& e : all) {
    const bool network = IsNetworkFileSystem(e.fsType);
    if (!network) {
      if (e.major == 0) continue;  // no block device: proc, sysfs, tmpfs, overlay, fuse ...
      // Packaged applications' images: many small read-only loop mounts nobody stores on.
      if (e.fsType == "squashfs") continue;
      if (e.root != "/") continue;  // a bind mount of a directory repeats its file system
      if (!seen.insert({e.major, e.minor}).second) continue;
    }
    drives.push_back(e);
  }
  return drives;
}

}  // namespace tavrin::collectors
