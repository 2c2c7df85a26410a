// What runs on the machine: processes with their threads and modules, kernel modules (the
// drivers), service units, top-level desktop windows, and the idle time of each processor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

struct ProcessModule {
  std::string name;  ///< file name
  std::string path;
  uint64_t size = 0;  ///< bytes mapped from the file
  uint64_t base = 0;  ///< lowest address it is mapped at
};

struct ProcessThread {
  uint32_t ownerPid = 0;
  uint32_t threadId = 0;
  int32_t basePriority = 0;
  int32_t currentPriority = 0;
};

/// Memory counters in bytes (fault count in faults).
struct ProcessMemory {
  uint64_t peakVirtualSize = 0, virtualSize = 0, pageFaultCount = 0;
  uint64_t peakWorkingSet = 0, workingSet = 0;
  uint64_t quotaPeakPagedPool = 0, quotaPagedPool = 0;
  uint64_t quotaPeakNonPagedPool = 0, quotaNonPagedPool = 0;
  uint64_t pageFileUsage = 0, peakPageFileUsage = 0;
};

struct ProcessIo {
  uint64_t readOperations = 0, writeOperations = 0, otherOperations = 0;
  uint64_t readBytes = 0, writeBytes = 0, otherBytes = 0;
};

struct ProcessGroup {
  std::string id;  ///< numeric group id in text form
  std::string name;
};

struct ProcessRecord {
  uint32_t pid = 0;
  uint32_t parentPid = 0;
  std::string name;       ///< executable file name (the kernel's command name when unknown)
  std::string imageName;  ///< full path of the executable; empty when it cannot be read
  std::string commandLine;
  std::string userName;  ///< owner's account name, else the numeric id
  std::optional<uint32_t> userId;
  char state = '?';  ///< R running, S sleeping, Z zombie ...
  bool kernelThread = false;
  int32_t priority = 0;  ///< nice value
  int32_t threadCount = 0;
  std::optional<int32_t> handleCount;  ///< open file descriptors, when readable
  int64_t createTime = 0;              ///< 100 ns units since 1970-01-01 UTC; 0 when not known
  int64_t userTime = 0;                ///< 100 ns units
  int64_t kernelTime = 0;
  std::optional<ProcessMemory> memory;
  std::optional<ProcessIo> io;
  std::vector<ProcessModule> modules;
  std::vector<ProcessThread> threads;
  std::vector<ProcessGroup> groups;
  /// The process's capability sets (bit n is capability n), the privileges of a Linux process.
  std::optional<uint64_t> capabilitiesPermitted, capabilitiesEffective;
  /// What could not be read for this process and why ("io: Permission denied").
  std::vector<std::string> unreadable;
};

/// A kernel module: the drivers of this system.
struct DriverRecord {
  std::string name;
  std::string file;  ///< the module file, when known
  std::string version;
  std::string state;      ///< "live", "coming", "going", or "built-in"
  int32_t loadCount = 0;  ///< references held on it
  uint64_t size = 0;      ///< bytes of its core section
};

/// Current state of a service, in the numbering the pages use.
enum class ServiceState : int32_t {
  kUnknown = -1,
  kStopped = 1,
  kStartPending = 2,
  kStopPending = 3,
  kRunning = 4,
  kContinuePending = 5,
  kPausePending = 6,
  kPaused = 7,
};

/// How a service starts.
enum class ServiceStart : int32_t {
  kBoot = 0,
  kSystem = 1,
  kAutomatic = 2,
  kManual = 3,
  kDisabled = 4
};

struct ServiceRecord {
  std::string name;         ///< unit name ("cron.service")
  std::string displayName;  ///< its description
  std::string imageName;    ///< program it starts, without quotes
  std::string objectName;   ///< account it runs as
  std::string group;
  std::string dependOnService;  ///< units it requires, separated by one blank
  ServiceStart startup = ServiceStart::kManual;
  ServiceState status = ServiceState::kUnknown;
  uint32_t processId = 0;  ///< its main process while it runs
  int32_t type = 4;        ///< 4 own process, 5 shared process (the pages' numbering)
};

struct WindowRecord {
  uint64_t id = 0;
  std::string title;
};

/// Cumulative idle time of one online processor.
struct ProcessorIdle {
  uint32_t processor = 0;  ///< the kernel's processor number
  int64_t idle = 0;        ///< 100 ns units since boot
};

class ProcessService {
 public:
  virtual ~ProcessService() = default;
  virtual Answer<std::vector<ProcessRecord>> Processes() const = 0;
  virtual Answer<std::vector<DriverRecord>> Drivers() const = 0;
  virtual Answer<std::vector<ServiceRecord>> Services() const = 0;
  virtual Answer<std::vector<WindowRecord>> Windows() const = 0;
  /// Idle time of every online processor, in processor order. Only the machine we run on
  /// answers: a recording has no clock to sample.
  virtual Answer<std::vector<ProcessorIdle>> IdleTimes() const = 0;
};

}  // namespace tavrin::platform
