#include "platform/linux/linux_memory_status.h"

#include <unistd.h>

#include <charconv>
#include <mutex>

#include "base/strings.h"
#include "platform/linux/proc_text.h"

namespace tavrin::platform {
namespace {

constexpr const char* kMeminfo = "/proc/meminfo";
constexpr const char* kAuxv = "/proc/self/auxv";
constexpr const char* kMaps = "/proc/self/maps";
constexpr const char* kStatus = "/proc/self/status";
constexpr const char* kMinAddress = "/proc/sys/vm/mmap_min_addr";

// The address space does not change while the program runs: read once.
struct AddressSpace {
  uint32_t pageSize = 0;
  uint64_t minAddress = 0;
  uint64_t maxAddress = 0;
};

class LinuxMemoryStatus : public MemoryStatusService {
 public:
  LinuxMemoryStatus(std::shared_ptr<const FileReader> files, bool live)
      : files_(std::move(files)), live_(live) {}

  Answer<MemoryStatus> Status() const override {
    auto text = files_->ReadFile(kMeminfo);
    if (!text) return {std::nullopt, text.source};
    const proc::MemInfo info = proc::ParseMemInfo(*text);
    if (!info.memTotal)
      return Answer<MemoryStatus>::Fail(Status::Malformed, kMeminfo, "no MemTotal line");
    MemoryStatus status = proc::MemoryStatusFromMemInfo(info);
    std::call_once(space_once_, [this] { space_ = ReadAddressSpace(); });
    status.pageSize = space_.pageSize;
    status.allocGranularity = space_.pageSize;  // mappings are placed at page boundaries
    status.minAppAddress = space_.minAddress;
    status.maxAppAddress = space_.maxAddress;
    if (space_.maxAddress > space_.minAddress) {
      status.virtualTotal = space_.maxAddress - space_.minAddress + 1;
      status.virtualFree = status.virtualTotal;
      if (auto self = files_->ReadFile(kStatus)) {
        const auto own = proc::ParseProcStatus(*self);
        if (own.vmSize && *own.vmSize < status.virtualTotal)
          status.virtualFree = status.virtualTotal - *own.vmSize;
      }
    }
    return Answer<MemoryStatus>::Of(status, kMeminfo);
  }

 private:
  AddressSpace ReadAddressSpace() const {
    AddressSpace space;
    if (auto aux = files_->ReadFile(kAuxv)) {
      if (auto size = proc::ParseAuxVector(*aux).pageSize)
        space.pageSize = static_cast<uint32_t>(*size);
    }
    if (space.pageSize == 0 && live_) space.pageSize = static_cast<uint32_t>(sysconf(_SC_PAGESIZE));
    if (auto line = files_->ReadLine(kMinAddress)) {
      uint64_t v = 0;
      if (std::from_chars(line->data(), line->data() + line->size(), v).ec == std::errc())
        space.minAddress = v;
    }
    if (auto maps = files_->ReadFile(kMaps)) {
      // The kernel keeps the last page below the top unmapped.
      if (auto top = proc::UserAddressSpaceTop(*maps); top && *top > space.pageSize)
        space.maxAddress = *top - space.pageSize - 1;
    }
    return space;
  }

  std::shared_ptr<const FileReader> files_;
  bool live_;
  mutable std::once_flag space_once_;
  mutable AddressSpace space_;
};

}  // namespace

std::shared_ptr<const MemoryStatusService> MakeLinuxMemoryStatus(
    std::shared_ptr<const FileReader> files, bool live) {
  return std::make_shared<LinuxMemoryStatus>(std::move(files), live);
}

}  // namespace tavrin::platform
