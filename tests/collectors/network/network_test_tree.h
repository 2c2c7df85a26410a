// A captured Linux tree for the network tests, and routing-socket sources that fail.
#pragma once

#include <memory>

#include "platform/network.h"
#include "platform/services.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {

/// A routing socket a sandbox keeps closed.
class FailingNetlink : public platform::NetlinkSource {
 public:
  platform::Answer<std::string> Dump(platform::NetlinkDump) const override;
};

/// Two interfaces (lo, eth0 on a PCI device), the fallback's kernel tables, a resolver that
/// points at the local stub, a NetworkManager lease, and sshd listening on port 22.
void WriteTree(const TempDir& dir);

/// The test services over `dir` with a network service reading the dumps from `netlink`.
std::shared_ptr<const platform::Services> TreeServices(
    const TempDir& dir, std::shared_ptr<const platform::NetlinkSource> netlink);

}  // namespace tavrin::testing
