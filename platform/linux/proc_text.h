// Parsers of the text (and binary) files the kernel publishes about memory, processors and
// processes. Pure functions over the file contents, so tests feed them inline text.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/memory_status.h"
#include "platform/processes.h"

namespace tavrin::platform::proc {

/// The lines of the memory summary that the memory status needs, in bytes.
struct MemInfo {
  std::optional<uint64_t> memTotal, memFree, memAvailable, buffers, cached;
  std::optional<uint64_t> swapTotal, swapFree, commitLimit, committed;
};
MemInfo ParseMemInfo(std::string_view text);

/// Physical, swap and commit values of the summary; the load is the share of physical memory
/// not available, rounded to the nearest percent. Kernels before 3.14 have no MemAvailable: free
/// plus buffers plus page cache stands in for it.
MemoryStatus MemoryStatusFromMemInfo(const MemInfo& info);

/// Values of the ELF auxiliary vector a program is started with.
struct AuxVector {
  std::optional<uint64_t> pageSize;    ///< AT_PAGESZ
  std::optional<uint64_t> clockTicks;  ///< AT_CLKTCK: units of the kernel's time counters
};
/// `bytes` holds 64-bit (type, value) pairs ending with type 0.
AuxVector ParseAuxVector(std::string_view bytes);

/// The top of the user address space: the end of the highest mapping below the kernel's half
/// (the stack), rounded up to a power of two. Nullopt when no mapping is listed.
std::optional<uint64_t> UserAddressSpaceTop(std::string_view maps);

/// The boot time and the per-processor idle time (idle plus waiting for I/O) of the processor
/// summary, the latter converted from `ticksPerSecond` to 100 ns units.
struct CpuTimes {
  std::optional<int64_t> bootTime;  ///< seconds since 1970
  std::vector<ProcessorIdle> idle;
};
CpuTimes ParseCpuTimes(std::string_view text, uint64_t ticksPerSecond);

/// The fields of a process's one-line status record that the process list uses. The command
/// name sits in parentheses and may itself hold blanks and parentheses: it ends at the last
/// closing parenthesis of the line.
struct ProcStat {
  uint32_t pid = 0;
  std::string comm;
  char state = '?';
  uint32_t parentPid = 0;
  uint64_t flags = 0;
  uint64_t minorFaults = 0, majorFaults = 0;
  uint64_t userTicks = 0, systemTicks = 0;
  int32_t nice = 0;
  int32_t threads = 0;
  uint64_t startTicks = 0;   ///< since boot
  uint64_t virtualSize = 0;  ///< bytes
  uint64_t residentPages = 0;
  bool kernelThread() const { return (flags & 0x00200000u) != 0; }  // PF_KTHREAD
};
std::optional<ProcStat> ParseProcStat(std::string_view text);

/// The lines of a process's status file the process list uses (sizes in bytes).
struct ProcStatus {
  std::string name;
  std::optional<uint32_t> uid;  ///< real user id
  std::vector<uint32_t> groups;
  std::optional<uint64_t> vmPeak, vmSize, vmHwm, vmRss, vmSwap, vmPte;
  std::optional<int32_t> threads;
  std::optional<uint64_t> capPermitted, capEffective;  ///< CapPrm and CapEff, hexadecimal masks
};
ProcStatus ParseProcStatus(std::string_view text);

/// The resident size in pages, the second number of the statm line.
std::optional<uint64_t> ParseStatmResident(std::string_view text);

/// I/O counters: system calls as operations, characters as bytes.
std::optional<ProcessIo> ParseProcIo(std::string_view text);

/// File-backed mappings of a process, one module per file, in order of first address.
std::vector<ProcessModule> ParseModuleMaps(std::string_view maps);

/// The command line: NUL-separated arguments joined by blanks.
std::string ParseCommandLine(std::string_view bytes);

/// Names by numeric id of a passwd- or group-format file (name:x:id:...).
std::map<uint32_t, std::string> ParseAccountNames(std::string_view text);

/// The file name part of a path.
std::string_view FileNamePart(std::string_view path);

/// Module name to file, from the kernel's module dependency list ("kernel/x/y.ko: deps").
/// Names are as the kernel lists them: "-" in file names becomes "_".
std::map<std::string, std::string> ParseModuleFiles(std::string_view modulesDep);

/// The [Unit] and [Service] keys of a unit file the service list shows.
struct UnitFile {
  std::string description;
  std::string execStart;  ///< program path of the first ExecStart, prefixes and quotes removed
  std::string user;
  std::string required;  ///< Requires= units, blank-separated
  std::string type;
};
UnitFile ParseUnitFile(std::string_view text);

}  // namespace tavrin::platform::proc
