#include "collectors/network/vsi_net_resources.h"

#include "collectors/network/share_parse.h"
#include "platform/network.h"

namespace tavrin::collectors {

void TVexa_NetResources::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  Shares.clear();
  Sessions.clear();
  OpenFiles.clear();
  Connections.clear();
  Mounts.clear();
  const auto& net = Platform().network;
  if (!net) {
    NfsSource = SambaSource = MountSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "server enumeration", "not in this source");
    return;
  }
  auto add = [&](const std::vector<NetShareRecord>& shares) {
    for (const auto& s : shares) {
      TNetShare share;
      share.Name = s.name;
      share.Path = s.path;
      share.Comment = s.comment;
      share.Type = s.service;
      share.Permissions = s.clients;
      Shares.push_back(std::move(share));
    }
  };
  auto nfs = net->NfsExports();
  NfsSource = nfs.source;
  if (nfs) add(ParseNfsExports(*nfs));
  auto samba = net->SambaConfig();
  SambaSource = samba.source;
  if (samba) add(ParseSambaShares(*samba));
  auto mounts = net->MountTable();
  MountSource = mounts.source;
  if (mounts) Mounts = ParseNetworkMounts(*mounts);
}

}  // namespace tavrin::collectors
