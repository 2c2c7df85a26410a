// The privileges of a process. A Linux process holds capabilities rather than token
// privileges: each one it may use is a privilege record, enabled when it is in force now.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace tavrin::collectors {

/// The attribute of a privilege that is in force (the token's "enabled" flag).
inline constexpr uint32_t kPrivilegeEnabled = 2;

struct TPrivilegeRecord {
  std::string Name;         ///< "CAP_NET_ADMIN"; "CAP_45" for one newer than this table
  std::string DisplayName;  ///< what it allows, in words
  uint32_t Attributes = 0;  ///< kPrivilegeEnabled when effective, 0 when only permitted
};

/// One record per permitted capability, in capability order; none when the sets are unknown.
std::vector<TPrivilegeRecord> ProcessPrivileges(const platform::ProcessRecord& process);

}  // namespace tavrin::collectors
