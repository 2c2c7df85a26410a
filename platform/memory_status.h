// The memory status of the machine: physical memory, swap, commit charge and the address space
// a program gets, in bytes, as the kernel reports them.
#pragma once

#include <cstdint>

#include "platform/provenance.h"

namespace tavrin::platform {

struct MemoryStatus {
  uint64_t physicalTotal = 0;  ///< memory the kernel manages
  uint64_t physicalFree = 0;   ///< what programs can still get without swapping
  uint64_t swapTotal = 0;
  uint64_t swapFree = 0;
  uint64_t commitLimit = 0;   ///< what may be committed before allocations fail (strict mode)
  uint64_t committed = 0;     ///< what is committed now
  uint64_t virtualTotal = 0;  ///< user address space of a program
  uint64_t virtualFree = 0;   ///< of that, not yet reserved by this program
  uint32_t memoryLoad = 0;    ///< percent of physical memory in use, 0 to 100
  uint32_t pageSize = 0;
  uint32_t allocGranularity = 0;  ///< smallest unit a mapping is placed at
  uint64_t minAppAddress = 0;
  uint64_t maxAppAddress = 0;
};

class MemoryStatusService {
 public:
  virtual ~MemoryStatusService() = default;
  /// Cheap enough for a live display to ask ten times a second.
  virtual Answer<MemoryStatus> Status() const = 0;
};

}  // namespace tavrin::platform
