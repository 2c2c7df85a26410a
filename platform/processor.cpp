// Processor-service helpers shared by every source: leaf lookup in a dump, reading every leaf
// of a live processor, and the processor key of a Windows registry.
#include "platform/processor.h"

#include <algorithm>

#include "platform/registry.h"

namespace tavrin::platform {
namespace {

// Leaves whose answer depends on the sub-leaf (Intel SDM Vol. 2A, CPUID, "leaves that use ECX as
// input"; AMD APM Vol. 3, Appendix E): an unrecorded sub-leaf of these is empty, not sub-leaf 0.
bool HasSubleaves(uint32_t leaf) {
  switch (leaf) {
    case 0x4:
    case 0x7:
    case 0xB:
    case 0xD:
    case 0xF:
    case 0x10:
    case 0x12:
    case 0x14:
    case 0x17:
    case 0x18:
    case 0x1D:
    case 0x1F:
    case 0x20:
    case 0x23:
    case 0x24:
    case 0x8000001D:
    case 0x80000020:
    case 0x80000026:
      return true;
    default:
      return false;
  }
}

// Sub-leaves are read until the leaf says there are no more, with a bound against processors
// that never say so.
constexpr uint32_t kMaxSubleaves = 64;

bool CacheSubleafEnds(const CpuidRegisters& r) {
  return (r.eax & 0x1F) == 0;
}
bool TopologySubleafEnds(const CpuidRegisters& r, uint32_t subleaf) {
  return subleaf > 0 && ((r.ecx >> 8) & 0xFF) == 0;
}

void ReadRange(const ProcessorService& cpu, uint32_t base, LogicalCpuDump& out) {
  const auto head = cpu.ExecuteCPUID(base, 0);
  if (base != 0 && (head.eax & 0xFFFF0000u) != base) return;  // range absent
  const uint32_t max = std::min(head.eax, base + 0xFFu);
  for (uint32_t leaf = base; leaf <= max; ++leaf) {
    switch (leaf) {
      case 0x4:
      case 0x8000001D:
        for (uint32_t sl = 0; sl < kMaxSubleaves; ++sl) {
          const auto r = cpu.ExecuteCPUID(leaf, sl);
          out.push_back({leaf, sl, r});
          if (CacheSubleafEnds(r)) break;
        }
        break;
      case 0xB:
      case 0x1F:
        for (uint32_t sl = 0; sl < kMaxSubleaves; ++sl) {
          const auto r = cpu.ExecuteCPUID(leaf, sl);
          out.push_back({leaf, sl, r});
          if (TopologySubleafEnds(r, sl)) break;
        }
        break;
      case 0x7: {
        const auto r = cpu.ExecuteCPUID(leaf, 0);
        out.push_back({leaf, 0, r});
        for (uint32_t sl = 1; sl <= std::min(r.eax, kMaxSubleaves); ++sl)
          out.push_back({leaf, sl, cpu.ExecuteCPUID(leaf, sl)});
        break;
      }
      case 0xD:
        for (uint32_t sl = 0; sl < kMaxSubleaves; ++sl)
          out.push_back({leaf, sl, cpu.ExecuteCPUID(leaf, sl)});
        break;
      default:
        out.push_back({leaf, 0, cpu.ExecuteCPUID(leaf, 0)});
    }
  }
}

}  // namespace

CpuidRegisters LookupLeaf(const LogicalCpuDump& cpu, uint32_t leaf, uint32_t subleaf) {
  const CpuidEntry* only = nullptr;
  int count = 0;
  for (const auto& e : cpu) {
    if (e.leaf != leaf) continue;
    if (e.subleaf == subleaf) return e.regs;
    only = &e;
    ++count;
  }
  if (count == 1 && only->subleaf == 0 && !HasSubleaves(leaf)) return only->regs;
  return {};
}

LogicalCpuDump ReadEveryLeaf(const ProcessorService& cpu) {
  LogicalCpuDump out;
  if (!cpu.IsCPUIDAvailable()) return out;
  ReadRange(cpu, 0, out);
  for (uint32_t base : {0x40000000u, 0x80000000u, 0x80860000u, 0xC0000000u})
    ReadRange(cpu, base, out);
  return out;
}

Answer<RegistryProcessorRecord> ReadProcessorRegistryRecord(const Registry& registry,
                                                            unsigned index) {
  const std::string key =
      "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\" + std::to_string(index);
  RegistryProcessorRecord record;
  bool any = false;
  auto text = [&](const char* name, std::string& out) {
    auto v = registry.ReadValue(RegRoot::LocalMachine, key, name);
    if (!v) return;
    if (auto s = v->AsString()) {
      out = *s;
      any = true;
    }
  };
  text("VendorIdentifier", record.vendorIdentifier);
  text("Identifier", record.identifier);
  text("ProcessorNameString", record.processorNameString);
  if (!any)
    return Answer<RegistryProcessorRecord>::Fail(Status::Missing, "HKLM\\" + key,
                                                 "the processor key holds no values");
  return Answer<RegistryProcessorRecord>::Of(std::move(record), "HKLM\\" + key);
}

}  // namespace tavrin::platform
