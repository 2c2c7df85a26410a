#include "tests/collectors/network/network_test_tree.h"

#include <filesystem>

namespace tavrin::testing {

platform::Answer<std::string> FailingNetlink::Dump(platform::NetlinkDump) const {
  return platform::Answer<std::string>::Fail(platform::Status::PermissionDenied,
                                             "routing socket (netlink)", "Operation not permitted");
}

void WriteTree(const TempDir& dir) {
  dir.Write("sys/class/net/lo/ifindex", "1\n");
  dir.Write("sys/class/net/lo/type", "772\n");
  dir.Write("sys/class/net/lo/flags", "0x9\n");
  dir.Write("sys/class/net/lo/mtu", "65536\n");
  dir.Write("sys/class/net/lo/operstate", "unknown\n");
  dir.Write("sys/class/net/lo/address", "00:00:00:00:00:00\n");
  dir.Write("sys/class/net/eth0/ifindex", "2\n");
  dir.Write("sys/class/net/eth0/type", "1\n");
  dir.Write("sys/class/net/eth0/flags", "0x1003\n");
  dir.Write("sys/class/net/eth0/mtu", "1500\n");
  dir.Write("sys/class/net/eth0/operstate", "up\n");
  dir.Write("sys/class/net/eth0/address", "52:54:00:12:34:56\n");
  dir.Write("sys/class/net/eth0/speed", "1000\n");
  dir.Write("sys/devices/pci0000:00/0000:00:03.0/uevent", "DRIVER=virtio-pci\n");
  std::filesystem::create_directories(dir.path() / "sys/bus/pci");
  std::filesystem::create_directory_symlink("../../../devices/pci0000:00/0000:00:03.0",
                                            dir.path() / "sys/class/net/eth0/device");
  std::filesystem::create_directory_symlink(
      "../../../bus/pci", dir.path() / "sys/devices/pci0000:00/0000:00:03.0/subsystem");
  dir.Write("proc/net/if_inet6", "fe80000000000000505400fffe123456 02 40 20 80     eth0\n");
  dir.Write("proc/net/route",
            "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
            "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
            "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n");
  dir.Write("proc/net/fib_trie",
            "Local:\n  |-- 127.0.0.1\n     /32 host LOCAL\n"
            "  |-- 192.168.0.5\n     /32 host LOCAL\n");
  dir.Write("proc/net/tcp",
            "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
            "timeout inode\n   0: 00000000:0016 00000000:0000 0A 00000000:00000000 00:00000000 "
            "00000000     0        0 777 1 0000000000000000 100 0 0 10 0\n");
  dir.Write("proc/net/protocols", "protocol  size sockets\nTCP 2432 5\nUDP 1024 2\n");
  dir.Write("proc/42/comm", "sshd\n");
  std::filesystem::create_directories(dir.path() / "proc/42/fd");
  std::filesystem::create_symlink("socket:[777]", dir.path() / "proc/42/fd/3");
  std::filesystem::create_symlink("/dev/null", dir.path() / "proc/42/fd/0");
  dir.Write("proc/sys/kernel/hostname", "box\n");
  dir.Write("proc/sys/net/ipv4/ip_forward", "1\n");
  dir.Write("etc/hosts", "127.0.0.1 localhost\n127.0.1.1 box.example.org box\n");
  dir.Write("etc/resolv.conf", "nameserver 127.0.0.53\nsearch example.org\n");
  dir.Write("run/systemd/resolve/resolv.conf",
            "nameserver 192.168.0.1\nnameserver 9.9.9.9\nsearch example.org\n");
  dir.Write("var/lib/NetworkManager/internal-1234-eth0.lease",
            "ADDRESS=192.168.0.5\nSERVER_ADDRESS=192.168.0.1\n");
}

std::shared_ptr<const platform::Services> TreeServices(
    const TempDir& dir, std::shared_ptr<const platform::NetlinkSource> netlink) {
  auto services = std::make_shared<platform::Services>(*MakeTestServices(dir.path()));
  services->network = platform::MakeLinuxNetworkService(services->files, std::move(netlink));
  return services;
}

}  // namespace tavrin::testing
