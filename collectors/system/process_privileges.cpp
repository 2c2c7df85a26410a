#include "collectors/system/process_privileges.h"

#include <array>

namespace tavrin::collectors {
namespace {

struct Capability {
  const char* name;
  const char* allows;
};

// In the kernel's numbering (bit n of the capability sets is capability n).
constexpr std::array<Capability, 41> kCapabilities{{
    {"CAP_CHOWN", "Change the owner and group of files"},
    {"CAP_DAC_OVERRIDE", "Bypass file read, write and execute permission checks"},
    {"CAP_DAC_READ_SEARCH", "Bypass file read and directory search permission checks"},
    {"CAP_FOWNER", "Act as the owner of any file"},
    {"CAP_FSETID", "Keep set-user-ID and set-group-ID bits when files change"},
    {"CAP_KILL", "Send signals to any process"},
    {"CAP_SETGID", "Change group identities"},
    {"CAP_SETUID", "Change user identities"},
    {"CAP_SETPCAP", "Change capability sets"},
    {"CAP_LINUX_IMMUTABLE", "Set the immutable and append-only file attributes"},
    {"CAP_NET_BIND_SERVICE", "Bind to network ports below 1024"},
    {"CAP_NET_BROADCAST", "Broadcast and listen to multicast"},
    {"CAP_NET_ADMIN", "Administer network interfaces, routes and firewalls"},
    {"CAP_NET_RAW", "Use raw and packet sockets"},
    {"CAP_IPC_LOCK", "Lock memory"},
    {"CAP_IPC_OWNER", "Bypass permission checks on shared memory and queues"},
    {"CAP_SYS_MODULE", "Load and unload kernel modules"},
    {"CAP_SYS_RAWIO", "Access devices and I/O ports directly"},
    {"CAP_SYS_CHROOT", "Change the root directory"},
    {"CAP_SYS_PTRACE", "Trace and inspect any process"},
    {"CAP_SYS_PACCT", "Switch process accounting on and off"},
    {"CAP_SYS_ADMIN", "Perform system administration"},
    {"CAP_SYS_BOOT", "Restart the system"},
    {"CAP_SYS_NICE", "Raise priorities and change scheduling"},
    {"CAP_SYS_RESOURCE", "Override resource limits"},
    {"CAP_SYS_TIME", "Set the system clock"},
    {"CAP_SYS_TTY_CONFIG", "Configure terminals"},
    {"CAP_MKNOD", "Create device files"},
    {"CAP_LEASE", "Take leases on any file"},
    {"CAP_AUDIT_WRITE", "Write to the audit log"},
    {"CAP_AUDIT_CONTROL", "Configure auditing"},
    {"CAP_SETFCAP", "Set file capabilities"},
    {"CAP_MAC_OVERRIDE", "Bypass mandatory access control"},
    {"CAP_MAC_ADMIN", "Configure mandatory access control"},
    {"CAP_SYSLOG", "Read and clear the kernel log"},
    {"CAP_WAKE_ALARM", "Set alarms that wake the system"},
    {"CAP_BLOCK_SUSPEND", "Keep the system from suspending"},
    {"CAP_AUDIT_READ", "Read the audit log"},
    {"CAP_PERFMON", "Use performance monitoring"},
    {"CAP_BPF", "Load BPF programs"},
    {"CAP_CHECKPOINT_RESTORE", "Checkpoint and restore processes"},
}};

}  // namespace

std::vector<TPrivilegeRecord> ProcessPrivileges(const platform::ProcessRecord& process) {
  std::vector<TPrivilegeRecord> out;
  if (!process.capabilitiesPermitted) return out;
  const uint64_t permitted = *process.capabilitiesPermitted;
  // Effective capabilities are permitted ones; a set read alone still counts.
  const uint64_t effective = process.capabilitiesEffective.value_or(0);
  for (unsigned bit = 0; bit < 64; ++bit) {
    const uint64_t mask = uint64_t{1} << bit;
    if (((permitted | effective) & mask) == 0) continue;
    TPrivilegeRecord r;
    if (bit < kCapabilities.size()) {
      r.Name = kCapabilities[bit].name;
      r.DisplayName = kCapabilities[bit].allows;
    } else {
      r.Name = "CAP_" + std::to_string(bit);
      r.DisplayName = "A capability newer than this program";
    }
    r.Attributes = (effective & mask) ? kPrivilegeEnabled : 0;
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace tavrin::collectors
