// The operating-system facts of a Linux machine: files read through the file service, the
// rest from system calls of the running machine.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/os_environment.h"
#include "platform/os_facts.h"
#include "platform/system_facts.h"

namespace tavrin::platform {

/// How the facts that Linux answers by system call are had.
enum class LinuxCalls {
  Live,      ///< uname, the user database, statx of this machine
  FilesOnly  ///< only what `files` holds (/proc/sys/kernel, /etc/passwd): a captured tree
};

/// `environment` gives HOME, TMPDIR, TZ and the XDG variables; `system` the account name
/// when the user database is read from files.
std::shared_ptr<const OsFacts> MakeLinuxOsFacts(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const EnvironmentSource> environment,
    std::shared_ptr<const SystemFacts> system, LinuxCalls calls);

}  // namespace tavrin::platform
