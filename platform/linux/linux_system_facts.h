// System facts of the running Linux machine: account, host name, kernel release.
#pragma once

#include "platform/system_facts.h"

namespace tavrin::platform {

class LinuxSystemFacts : public SystemFacts {
 public:
  Answer<std::string> UserName() const override;
  Answer<std::string> UserId() const override;
  Answer<std::string> ComputerName() const override;
  Answer<std::string> ProgramPath() const override;
  Answer<OsVersion> OsVersionRecord() const override;
};

/// "6.1.0-18-amd64" -> 6, 1, 0 and "-18-amd64". Missing numbers stay 0.
OsVersion ParseKernelRelease(std::string_view release);

}  // namespace tavrin::platform
