#include "collectors/system/vsi_memory.h"

#include <limits>

#include "platform/memory_status.h"

namespace tavrin::collectors {
namespace {

int64_t Signed(uint64_t bytes) {
  return bytes > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())
             ? std::numeric_limits<int64_t>::max()
             : static_cast<int64_t>(bytes);
}

}  // namespace

void TVexa_Memory::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  const auto& service = Platform().memory;
  if (!service) {
    Available = false;
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "memory status",
                                           "not recorded in this snapshot");
    return;
  }
  const auto answer = service->Status();
  Source = answer.source;
  Available = answer.ok();
  // A failed read leaves every value at zero rather than keeping an older reading.
  const platform::MemoryStatus s = answer.value_or({});
  PhysicalTotal = Signed(s.physicalTotal);
  PhysicalFree = Signed(s.physicalFree);
  PageFileTotal = Signed(s.swapTotal);
  PageFileFree = Signed(s.swapFree);
  VirtualTotal = Signed(s.virtualTotal);
  VirtualFree = Signed(s.virtualFree);
  MemoryLoad = s.memoryLoad;
  AllocGranularity = s.allocGranularity;
  MinAppAddress = s.minAppAddress;
  MaxAppAddress = s.maxAppAddress;
  PageSize = s.pageSize;
  CommitLimit = Signed(s.commitLimit);
  Committed = Signed(s.committed);
}

}  // namespace tavrin::collectors
