// Decoding of routing-socket answers: the link, address and route messages of a dump, from the
// raw bytes the kernel sent (or a snapshot kept).
#pragma once

#include <string_view>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// Every link, address and route message of `bytes` (one or more concatenated answers, in host
/// byte order as received). Messages of other types are skipped; a length that runs past the
/// end stops the walk with `truncated` set, keeping what came before.
NetlinkTables ParseNetlinkMessages(std::string_view bytes);

/// Adds `more`'s records to `into`; `complete` stays true only when both were.
void MergeNetlinkTables(NetlinkTables& into, NetlinkTables more);

}  // namespace tavrin::collectors
