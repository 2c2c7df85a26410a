// Collector of the network resources of this machine: the folders it shares, and (beyond the
// server's own lists) the file systems of other machines it has mounted.
#pragma once

#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/network/network_types.h"

namespace tavrin::collectors {

struct TNetShare {
  std::string Name, Comment, Type, Permissions;
  int32_t MaxUserCount = -1, CurUserCount = 0;
  std::string SecurityDesc, Path, Password;
};
struct TNetSession {
  std::string Name, Username, Type, Transport;
  uint32_t ConnTime = 0, IdleTime = 0, Files = 0;
  bool Guest = false;
};
struct TNetOpenFile {
  std::string Name, Username, Sharename;
  uint32_t Locks = 0, Mode = 0, ID = 0;
};
struct TNetConnection {
  std::string Name, Username;
  uint32_t ID = 0, Type = 0, Time = 0, Files = 0, Users = 0;
};

class TVexa_NetResources : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_NetResources(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_NetResources", "Resources", std::move(services)) {}

  void RefreshData() override;

  std::vector<TNetShare> Shares;
  std::vector<TNetSession> Sessions;
  std::vector<TNetOpenFile> OpenFiles;
  std::vector<TNetConnection> Connections;
  /// Network file systems mounted here (NFS, SMB, SSHFS ...).
  std::vector<NetMountRecord> Mounts;

  /// Where each source came from, or why it could not be read.
  platform::Provenance NfsSource, SambaSource, MountSource;
};

}  // namespace tavrin::collectors
