// Vendor model tables: family, model, stepping and a few facts in; popular name, code name,
// revision and process technology out. Pure functions of their inputs.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "collectors/cpu/cpu_types.h"

namespace tavrin::collectors {

struct ModelInputs {
  int family = 0, model = 0, stepping = 0, cpuType = 0, brand = 0;
  TIntelBrands intelBrand = 0;
  int familyEx = 0, modelEx = 0;
  uint16_t architecture = 0;
  int corePerPackage = 1, physicalCount = 1;
  uint32_t frequency = 0;
  std::string marketingName;
  int l2KB = 0, l3KB = 0;
  const TCPUFeatures* features = nullptr;

  /// Availability of feature bit `bit` of set `set` (1..5), looked up by bit.
  bool Feature(int set, int bit) const;
};

struct ModelNames {
  std::string name, code, revision, technology;
  bool operator==(const ModelNames&) const = default;
};

/// The vendor's routine; nothing for cvNone and cvUnknown.
ModelNames LookupModel(TCpuVendor vendor, const ModelInputs& in);

ModelNames IntelModel(const ModelInputs& in);
ModelNames AmdModel(const ModelInputs& in);
ModelNames CyrixModel(const ModelInputs& in);
ModelNames IdtModel(const ModelInputs& in);
ModelNames SmallVendorModel(TCpuVendor vendor, const ModelInputs& in);

/// The text of the first pair whose key is `stepping`, or "".
std::string ByStepping(int stepping, std::initializer_list<std::pair<int, const char*>> rows);

}  // namespace tavrin::collectors
