#include "collectors/cpu/cpu_features.h"

#include <iterator>

namespace tavrin::collectors {
namespace {

enum SetMask : uint8_t { kSet1 = 1, kSet2 = 2, kSet3 = 4, kSet4 = 8, kSet5 = 16 };

struct FeatureRow {
  uint8_t bit;
  const char* name;
  const char* description;
  int vendor;
  uint8_t sets;
};

constexpr FeatureRow kFeatures[] = {
#define TAVRIN_CPU_FEATURE(bit, name, description, vendor, sets) \
  {bit, name, description, vendor, static_cast<uint8_t>(sets)},
#include "collectors/cpu/cpu_feature_table.inc"
#undef TAVRIN_CPU_FEATURE
};

enum IsaRegister { kL1Ecx, kL1Edx, kL7B, kL7C, kL7D, kL71A, kXsave1A, kE1C, kE1D };

struct IsaRow {
  IsaRegister reg;
  uint8_t bit;
  const char* name;
  const char* description;
};

constexpr IsaRow kIsa[] = {
#define TAVRIN_ISA(reg, bit, name, description) {reg, bit, name, description},
#include "collectors/cpu/cpu_isa_table.inc"
#undef TAVRIN_ISA
};

}  // namespace

int FeatureVendorClass(TCpuVendor vendor) {
  switch (vendor) {
    case TCpuVendor::cvIntel:
      return 1;
    case TCpuVendor::cvAmd:
      return 2;
    case TCpuVendor::cvCyrix:
      return 3;
    default:
      return 0;
  }
}

TCPUFeatureSet DecodeFeatureSet(int set, TCpuVendor vendor, const FeatureRegisters& regs) {
  TCPUFeatureSet result;
  auto& list = result.Records();
  const uint8_t mask = static_cast<uint8_t>(1u << (set - 1));
  for (const auto& row : kFeatures)
    if (row.vendor == 0 && (row.sets & mask))
      list.push_back({row.bit, row.name, row.description, static_cast<uint8_t>(set), false});
  // Vendor rows replace the common record of their bit. Every row is common, so for vendor
  // class 0 this rewrites each record from the first row of its bit (set 3 bit 30 thereby
  // becomes a second "3DNOW+").
  const int vendor_class = FeatureVendorClass(vendor);
  for (const auto& row : kFeatures) {
    if (row.vendor != vendor_class || !(row.sets & mask)) continue;
    TCPUFeature record{row.bit, row.name, row.description, static_cast<uint8_t>(set), false};
    bool replaced = false;
    for (auto& r : list)
      if (r.bit == row.bit) {
        r = record;
        replaced = true;
        break;
      }
    if (!replaced) list.push_back(record);
  }
  uint32_t reg = 0;
  switch (set) {
    case 1:
      reg = regs.standard.edx;
      break;
    case 2:
      reg = regs.standard.ecx;
      break;
    case 3:
      reg = regs.extended.edx;
      break;
    case 4:
      reg = regs.extended.ecx;
      break;
    case 5:
      reg = regs.power.edx;
      break;
  }
  for (auto& r : list) r.available = (reg >> r.bit) & 1;
  return result;
}

std::vector<IsaExtension> DecodeExtensions(const ExtensionRegisters& regs) {
  std::vector<IsaExtension> out;
  for (const auto& row : kIsa) {
    uint32_t reg = 0;
    switch (row.reg) {
      case kL1Ecx:
        reg = regs.leaf1.ecx;
        break;
      case kL1Edx:
        reg = regs.leaf1.edx;
        break;
      case kL7B:
        reg = regs.leaf7_0.ebx;
        break;
      case kL7C:
        reg = regs.leaf7_0.ecx;
        break;
      case kL7D:
        reg = regs.leaf7_0.edx;
        break;
      case kL71A:
        reg = regs.leaf7_1.eax;
        break;
      case kXsave1A:
        reg = regs.leaf0xD_1.eax;
        break;
      case kE1C:
        reg = regs.ext1.ecx;
        break;
      case kE1D:
        reg = regs.ext1.edx;
        break;
    }
    out.push_back({row.name, row.description, static_cast<bool>((reg >> row.bit) & 1)});
  }
  return out;
}

}  // namespace tavrin::collectors
