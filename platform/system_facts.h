// Facts about the running system that every collector may need: who is logged on, the
// machine's name, and the operating system's version record.
#pragma once

#include <cstdint>
#include <string>

#include "platform/provenance.h"

namespace tavrin::platform {

/// Platform identifiers of the version record. Windows uses 0 to 2; Linux gets its own value
/// so that nothing written for Windows versions mistakes it for one.
enum class OsPlatform : uint32_t { Win32s = 0, Windows9x = 1, WindowsNT = 2, Linux = 0x100 };

/// The run time's record of the running operating system version (OSVERSIONINFO on Windows;
/// on Linux the kernel release split into its numbers).
struct OsVersion {
  OsPlatform platform = OsPlatform::WindowsNT;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string csd;  ///< service-pack text on Windows; the rest of the kernel release on Linux

  bool operator==(const OsVersion&) const = default;
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  virtual Answer<std::string> UserName() const = 0;      ///< logged-on user's account name
  virtual Answer<std::string> UserId() const = 0;        ///< SID text on Windows, "uid 1000" on Linux
  virtual Answer<std::string> ComputerName() const = 0;  ///< host name
  virtual Answer<std::string> ProgramPath() const = 0;   ///< the program file that gathered
  virtual Answer<OsVersion> OsVersionRecord() const = 0;
};

}  // namespace tavrin::platform
