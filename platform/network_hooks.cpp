// Where the network service plugs into the live, recorded and recording service sets. Every
// file it reads goes through the set's file reader, so only the routing-socket dumps need a
// recorded form of their own (network.json).
#include "platform/network.h"
#include "platform/network_netlink_json.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxNetwork(Services& services) {
  services.network = MakeLinuxNetworkService(services.files, MakeKernelNetlinkSource());
}

void LoadRecordedNetwork(const std::filesystem::path& dir, Services& services,
                         std::vector<std::string>& warnings) {
  // A Windows snapshot has neither network.json nor the captured Linux files: its network
  // facts come from its registry, so the service stays null.
  auto netlink = LoadRecordedNetlink(dir, warnings);
  if (!netlink) return;
  services.network = MakeLinuxNetworkService(services.files, std::move(netlink));
}

void RecordNetwork(const Services& live, Services& recording, ServiceRecordings& recordings) {
  if (!live.network) {
    recording.network = nullptr;
    return;
  }
  recording.network = MakeLinuxNetworkService(recording.files,
                                              RecordNetlink(MakeKernelNetlinkSource(), recordings));
}

}  // namespace tavrin::platform
