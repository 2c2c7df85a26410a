// Collector of physical, swap and virtual memory status.
#pragma once

#include <cstdint>

#include "collectors/collector.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

class TVexa_Memory : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Memory(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Memory", "Memory", std::move(services)) {}

  /// Reads the memory status again; cheap enough for a live display's timer.
  void RefreshData() override;

  // Bytes, as the memory status gives them. The page file of the properties below is the swap
  // space on Linux.
  int64_t PhysicalTotal = 0;
  int64_t PhysicalFree = 0;
  int64_t PageFileTotal = 0;
  int64_t PageFileFree = 0;
  int64_t VirtualTotal = 0;
  int64_t VirtualFree = 0;
  uint32_t MemoryLoad = 0;  ///< percent
  uint32_t AllocGranularity = 0;
  uint64_t MinAppAddress = 0;
  uint64_t MaxAppAddress = 0;
  uint32_t PageSize = 0;
  /// The commit charge: what may be committed, and what is.
  int64_t CommitLimit = 0;
  int64_t Committed = 0;
  /// Whether the last refresh had a memory status, and where it came from or why not.
  bool Available = false;
  platform::Provenance Source;
};

}  // namespace tavrin::collectors
