// The network service of a Linux machine: every file through the file reader (so a snapshot's
// captured tree answers the same questions) and the routing-socket dumps from their source.
#include <charconv>
#include <string_view>
#include <unordered_set>

#include "base/strings.h"
#include "platform/file_reader.h"
#include "platform/network.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kNetClass = "/sys/class/net/";

std::string LastPathPart(std::string_view link) {
  const auto slash = link.rfind('/');
  return std::string(slash == std::string_view::npos ? link : link.substr(slash + 1));
}

template <class T>
std::optional<T> Number(std::string_view text, int base = 10) {
  text = base::Trim(text);
  if (base == 16 && base::StartsWith(text, "0x")) text.remove_prefix(2);
  T v{};
  auto r = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

class LinuxNetworkService : public NetworkService {
 public:
  LinuxNetworkService(std::shared_ptr<const FileReader> files,
                      std::shared_ptr<const NetlinkSource> netlink)
      : files_(std::move(files)), netlink_(std::move(netlink)) {}

  Answer<std::string> Netlink(NetlinkDump what) const override {
    if (!netlink_)
      return Answer<std::string>::Fail(Status::NotSupported, "routing socket",
                                       "not in this source");
    return netlink_->Dump(what);
  }

  Answer<std::vector<std::string>> InterfaceNames() const override {
    return files_->ListDir(kNetClass);
  }

  Answer<InterfaceFacts> Interface(const std::string& name) const override {
    const std::string dir = std::string(kNetClass) + name;
    auto present = files_->ReadFile(dir + "/ifindex", 64);
    if (!present) return {std::nullopt, present.source};
    InterfaceFacts f;
    f.name = name;
    f.path = dir;
    f.index = Number<int32_t>(*present);
    auto speed = files_->ReadLine(dir + "/speed");
    f.speedSource = speed.source;
    if (speed) {
      auto mbps = Number<int64_t>(*speed);
      // -1 (or 0xFFFFFFFF) is the driver saying it does not know.
      if (mbps && *mbps > 0 && *mbps != 0xFFFFFFFF)
        f.speedMbps = mbps;
      else
        f.speedSource = Provenance::Failure(Status::Missing, dir + "/speed", "unknown speed");
    }
    if (auto device = files_->ReadLink(dir + "/device")) {
      f.busDevice = LastPathPart(*device);
      if (auto bus = files_->ReadLink(dir + "/device/subsystem"))
        f.busSubsystem = LastPathPart(*bus);
    }
    f.wireless =
        files_->ListDir(dir + "/wireless").ok() || files_->ReadLink(dir + "/phy80211").ok();
    if (auto uevent = files_->ReadFile(dir + "/uevent", 4096)) {
      for (std::string_view line : base::SplitLines(*uevent))
        if (base::StartsWith(line, "DEVTYPE=")) f.devType = std::string(line.substr(8));
    }
    if (auto v = files_->ReadLine(dir + "/type")) f.hardwareType = Number<uint16_t>(*v);
    if (auto v = files_->ReadLine(dir + "/mtu")) f.mtu = Number<uint32_t>(*v);
    if (auto v = files_->ReadLine(dir + "/flags")) f.flags = Number<uint32_t>(*v, 16);
    if (auto v = files_->ReadLine(dir + "/operstate")) f.operState = *v;
    if (auto v = files_->ReadLine(dir + "/address")) f.hardwareAddress = *v;
    return Answer<InterfaceFacts>::Of(std::move(f), dir);
  }

  Answer<std::string> KernelTable(KernelNetTable table) const override {
    return files_->ReadFile(TablePath(table));
  }

  Answer<std::string> Resolver(ResolverFile file) const override {
    return files_->ReadFile(file == ResolverFile::System ? "/etc/resolv.conf"
                                                         : "/run/systemd/resolve/resolv.conf");
  }
  Answer<std::string> HostsFile() const override { return files_->ReadFile("/etc/hosts"); }
  Answer<std::string> HostName() const override {
    return files_->ReadLine("/proc/sys/kernel/hostname");
  }
  Answer<bool> IpForwarding() const override {
    auto v = files_->ReadLine("/proc/sys/net/ipv4/ip_forward");
    if (!v) return {std::nullopt, v.source};
    return Answer<bool>::Of(*v != "0", v.source.source);
  }

  Answer<std::vector<LeaseFile>> DhcpLeases() const override {
    std::vector<LeaseFile> out;
    auto add = [&](LeaseClient client, const std::string& path, std::string hint) {
      if (auto text = files_->ReadFile(path, 1 << 20))
        out.push_back({client, path, std::move(hint), std::move(*text)});
    };
    for (std::string_view dir : {"/var/lib/dhcp/", "/var/lib/dhclient/"})
      if (auto names = files_->ListDir(dir))
        for (const auto& n : *names)
          if (n.find(".lease") != std::string::npos)
            add(LeaseClient::Dhclient, std::string(dir) + n, "");
    if (auto names = files_->ListDir("/run/systemd/netif/leases/"))
      for (const auto& n : *names) add(LeaseClient::Networkd, "/run/systemd/netif/leases/" + n, n);
    if (auto names = files_->ListDir("/var/lib/NetworkManager/")) {
      for (const auto& n : *names) {
        // "internal-<uuid>-<interface>.lease", "dhclient-<uuid>-<interface>.lease"
        if (!n.ends_with(".lease")) continue;
        const std::string stem = n.substr(0, n.size() - 6);
        const auto dash = stem.rfind('-');
        const std::string iface = dash == std::string::npos ? "" : stem.substr(dash + 1);
        if (n.starts_with("internal-"))
          add(LeaseClient::NetworkManagerInternal, "/var/lib/NetworkManager/" + n, iface);
        else if (n.starts_with("dhclient-"))
          add(LeaseClient::Dhclient, "/var/lib/NetworkManager/" + n, iface);
      }
    }
    return Answer<std::vector<LeaseFile>>::Of(std::move(out), "DHCP client lease folders");
  }

  Answer<std::string> NfsExports() const override {
    auto main = files_->ReadFile("/etc/exports");
    std::string text = main.value_or("");
    if (auto extra = files_->ListDir("/etc/exports.d"))
      for (const auto& n : *extra)
        if (n.ends_with(".exports"))
          if (auto more = files_->ReadFile("/etc/exports.d/" + n)) text += "\n" + *more;
    if (!main && text.empty()) return main;
    return Answer<std::string>::Of(std::move(text), "/etc/exports");
  }
  Answer<std::string> SambaConfig() const override {
    return files_->ReadFile("/etc/samba/smb.conf");
  }
  Answer<std::string> MountTable() const override { return files_->ReadFile("/proc/mounts"); }

  Answer<std::vector<SocketProcess>> SocketOwners(
      const std::vector<uint64_t>& inodes) const override {
    std::vector<SocketProcess> out;
    auto pids = files_->ListDir("/proc");
    if (!pids) return {std::nullopt, pids.source};
    std::unordered_set<uint64_t> wanted(inodes.begin(), inodes.end());
    wanted.erase(0);
    for (const auto& pid : *pids) {
      if (wanted.empty()) break;
      auto number = Number<int32_t>(pid);
      if (!number) continue;
      const std::string fdDir = "/proc/" + pid + "/fd";
      auto fds = files_->ListDir(fdDir);
      if (!fds) continue;  // another user's process: not ours to look into
      std::string command;
      for (const auto& fd : *fds) {
        auto target = files_->ReadLink(fdDir + "/" + fd);
        // The kernel may list a process's descriptors yet refuse to say what they are (a
        // process we may not trace); it decides that per process, so one refusal answers
        // for every other descriptor of it.
        if (!target && target.source.status == Status::PermissionDenied) break;
        if (!target || !target->starts_with("socket:[") || !target->ends_with("]")) continue;
        auto inode = Number<uint64_t>(std::string_view(*target).substr(8, target->size() - 9));
        if (!inode || wanted.erase(*inode) == 0) continue;
        if (command.empty()) command = files_->ReadLine("/proc/" + pid + "/comm").value_or("?");
        out.push_back({*inode, *number, command});
        if (wanted.empty()) break;
      }
    }
    return Answer<std::vector<SocketProcess>>::Of(std::move(out), "/proc/<pid>/fd");
  }

 private:
  static std::string TablePath(KernelNetTable table) {
    switch (table) {
      case KernelNetTable::Tcp:
        return "/proc/net/tcp";
      case KernelNetTable::Tcp6:
        return "/proc/net/tcp6";
      case KernelNetTable::Udp:
        return "/proc/net/udp";
      case KernelNetTable::Udp6:
        return "/proc/net/udp6";
      case KernelNetTable::Protocols:
        return "/proc/net/protocols";
      case KernelNetTable::Inet6Addresses:
        return "/proc/net/if_inet6";
      case KernelNetTable::Ipv4Routes:
        return "/proc/net/route";
      case KernelNetTable::Ipv6Routes:
        return "/proc/net/ipv6_route";
      case KernelNetTable::Ipv4Trie:
        return "/proc/net/fib_trie";
    }
    return {};
  }

  std::shared_ptr<const FileReader> files_;
  std::shared_ptr<const NetlinkSource> netlink_;
};

}  // namespace

std::shared_ptr<const NetworkService> MakeLinuxNetworkService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const NetlinkSource> netlink) {
  return std::make_shared<LinuxNetworkService>(std::move(files), std::move(netlink));
}

}  // namespace tavrin::platform
