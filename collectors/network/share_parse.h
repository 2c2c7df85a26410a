// Decoding of what this machine shares (the NFS export table, Samba's share sections) and of
// the network file systems in the mount table.
#pragma once

#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// Export lines "path client(options) ...", with "\" line continuations and "#" comments.
std::vector<NetShareRecord> ParseNfsExports(std::string_view text);

/// Every section of a Samba configuration but [global], with its "path" and "comment".
std::vector<NetShareRecord> ParseSambaShares(std::string_view text);

/// The mount table's entries of network file systems (NFS, SMB/CIFS, SSHFS, Ceph, ...), with
/// the table's octal escapes ("\040" for a blank) undone.
std::vector<NetMountRecord> ParseNetworkMounts(std::string_view text);

}  // namespace tavrin::collectors
