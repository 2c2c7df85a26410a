// Decoding of what this machine shares (the NFS export table, Samba's share sections) and of
// the network file systems in the mount table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// Export lines "path client(options) ...", with "\" line continuations and "#" comments.
std::vector<NetShareRecord> ParseNfsExports(std::string_view text);

/// Every section of a Samba configuration but [global], with its "path" and "comment".
std::vector<NetShareRecord> ParseSambaShares(std::string_view text);

/// What the [global] section of a Samba configuration says of NetBIOS name resolution.
struct SambaNameService {
  bool netbiosDisabled = false;  ///< "disable netbios"
  /// A WINS server to ask: "wins server" names one, or "wins support" makes this machine one.
  bool winsServer = false;
  /// "name resolve order" in lower case; Samba's default order when the file sets none.
  std::vector<std::string> resolveOrder;
};
SambaNameService ParseSambaNameService(std::string_view text);

/// The NetBIOS node type that name resolution amounts to, as a node-type code: WINS only is
/// peer-to-peer (2), broadcasts only broadcast (1), WINS before broadcasts hybrid (8),
/// broadcasts before WINS mixed (4); 0 when NetBIOS names are not resolved at all. Asking WINS
/// counts only when there is a server to ask.
uint32_t NetBiosNodeCode(const SambaNameService& service);

/// The mount table's entries of network file systems (NFS, SMB/CIFS, SSHFS, Ceph, ...), with
/// the table's octal escapes ("\040" for a blank) undone.
std::vector<NetMountRecord> ParseNetworkMounts(std::string_view text);

}  // namespace tavrin::collectors
