// Collector of the processor: identification by CPUID, caches, features, model names.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/cpu/cpu_raw.h"
#include "collectors/cpu/cpu_types.h"
#include "platform/processor.h"

namespace tavrin::collectors {

class TVexa_CPU : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_CPU(std::shared_ptr<const platform::Services> services);
  ~TVexa_CPU() override;

  void RefreshData() override;

  // The operating system's view.
  uint16_t Architecture() const { return architecture_; }
  uint8_t CPUCount() const { return cpu_count_; }
  uint8_t CPUPhysicalCount() const { return cpu_physical_count_; }

  const TCPUCache& Cache() const { return *cache_; }
  const TCPUFeatures& Features() const { return *features_; }

  uint8_t CPUIndex() const { return cpu_index_; }
  /// Stores the index only; refresh again to examine that processor.
  void SetCPUIndex(uint8_t index) { cpu_index_ = index; }

  bool CPUIDSupported() const { return cpuid_supported_; }
  TCpuVendor Vendor() const { return vendor_; }
  int32_t CPUType() const { return cpu_type_; }
  int32_t Family() const { return family_; }
  int32_t Model() const { return model_; }
  int32_t Stepping() const { return stepping_; }
  int32_t FamilyEx() const { return family_ex_; }
  int32_t ModelEx() const { return model_ex_; }
  int32_t SteppingEx() const { return stepping_ex_; }
  int32_t Brand() const { return brand_; }
  TIntelBrands IntelBrand() const { return intel_brand_; }
  const std::string& GenericName() const { return generic_name_; }
  const std::string& MarketingName() const { return marketing_name_; }
  const std::string& CPUName() const { return cpu_name_; }
  const std::string& CodeName() const { return code_name_; }
  const std::string& Revision() const { return revision_; }
  const std::string& Technology() const { return technology_; }
  uint32_t Frequency() const { return frequency_; }
  bool FDIVBug() const { return fdiv_bug_; }
  const std::string& SerialNumber() const { return serial_number_; }
  uint8_t APICID() const { return apic_id_; }
  uint8_t LogicalPerPackage() const { return logical_per_package_; }
  uint8_t CorePerPackage() const { return core_per_package_; }
  uint8_t LogicalPerCore() const { return logical_per_core_; }
  uint8_t PhysicalID() const { return physical_id_; }
  uint8_t LogicalID() const { return logical_id_; }

  // Beyond the classic properties: what today's processors describe of themselves.
  /// Every cache from the deterministic cache parameters (leaf 4 / 0x8000001D), or from the
  /// extended leaves on older AMD processors; from sysfs where there is no CPUID.
  const std::vector<CacheLevelInfo>& CacheDetails() const { return cache_details_; }
  const std::vector<IsaExtension>& Extensions() const { return extensions_; }
  /// Cores per type on a hybrid processor (leaf 0x1A); empty otherwise.
  const std::vector<CoreTypeCount>& CoreTypes() const { return core_types_; }
  /// Cores and threads of the examined package, counted from the processors' topology ids
  /// (0 when unknown).
  uint32_t PackageCores() const { return package_cores_; }
  uint32_t PackageThreads() const { return package_threads_; }
  /// 2 when a core of the package runs two threads (simultaneous multithreading is on); 1 when
  /// every core runs one, whatever the HTT bit says; 0 when unknown.
  uint32_t ThreadsPerCore() const { return threads_per_core_; }
  /// The three cache rows of System Devices from CacheDetails(), in KB: level 1 (data and
  /// instruction together), level 2 and level 3 of the examined processor; 0 for none.
  std::array<uint64_t, 3> SystemDevicesCacheKB() const;
  /// Set when the brand string is a generic one a hypervisor passes ("QEMU Virtual CPU",
  /// "Intel(R) Xeon(R) Processor"): who gave it. CPUName then holds the family word only.
  const std::string& GenericNameGiver() const { return generic_name_giver_; }
  /// Long mode (0x80000001 EDX bit 29): the processor runs 64-bit code.
  bool LongMode() const { return (ext_regs_.edx >> 29) & 1; }
  /// The processor serial number feature (leaf 1 EDX bit 18, Pentium III): the serial number
  /// text means something only with it.
  bool HasSerialNumberFeature() const { return (std_regs_.edx >> 18) & 1; }
  /// The raw data the last refresh read.
  const CpuRawRecord& Raw() const { return raw_; }
  /// The hypervisor's name when leaf 1 ECX bit 31 is set ("" on bare metal).
  const std::string& Hypervisor() const { return hypervisor_; }
  bool UnderHypervisor() const { return under_hypervisor_; }
  /// True when CPUName/CodeName/Technology came from the family/model tables while a hypervisor
  /// reports the family and model (it may name another processor than the host's).
  bool NamesFromVirtualSignature() const { return names_from_virtual_signature_; }
  /// The same for CPUName alone: true only when the tables named it, not the brand string.
  bool PopularNameFromVirtualSignature() const { return popular_from_virtual_signature_; }
  /// The vendor text of /proc/cpuinfo where there is no CPUID (ARM implementers and the like).
  const std::string& VendorText() const { return vendor_text_; }
  /// Provenance of the processor data, for --explain.
  const platform::Provenance& Source() const { return source_; }
  /// Provenance of Frequency: why it is 0 when no measurement could be made.
  const platform::Provenance& FrequencySource() const { return frequency_source_; }

  /// Register blocks kept for the cache and feature decoders.
  const platform::CpuidRegisters& StandardRegisters() const { return std_regs_; }
  const platform::CpuidRegisters& ExtendedRegisters() const { return ext_regs_; }
  const platform::CpuidRegisters& PowerRegisters() const { return power_regs_; }
  const uint8_t (&DescriptorSlots() const)[16] { return descriptor_slots_; }

 private:
  void ClearValues();
  /// The one read of the platform: every leaf of every processor, the system record, the
  /// kernel's record.
  void ReadRaw(const platform::ProcessorService& cpu);
  /// Everything below works from raw_ alone.
  void Decode();
  void Identify(const CpuidLeaves& leaves);
  void ApplyTopology();
  void DecodeCaches(const CpuidLeaves& leaves);
  void DecodeFeatures(const CpuidLeaves& leaves);
  void DecodeModern(const CpuidLeaves& leaves);
  void MeasureFrequency(const platform::ProcessorService& cpu);
  void ApplyNames();
  void ApplyCodeNameTables();
  void FillFromKernel();
  void FillFromRegistry();

  std::unique_ptr<TCPUCache> cache_;
  std::unique_ptr<TCPUFeatures> features_;
  uint16_t architecture_ = 0;
  uint16_t os_level_ = 0;
  uint16_t os_revision_ = 0;
  uint8_t cpu_count_ = 1;
  uint8_t cpu_physical_count_ = 1;
  uint8_t cpu_index_ = 0;
  bool cpuid_supported_ = false;
  TCpuVendor vendor_ = TCpuVendor::cvNone;
  int32_t cpu_type_ = 0, family_ = 0, model_ = 0, stepping_ = 0;
  int32_t family_ex_ = 0, model_ex_ = 0, stepping_ex_ = 0, brand_ = 0;
  TIntelBrands intel_brand_ = 0;
  std::string generic_name_, marketing_name_, cpu_name_, code_name_, revision_, technology_;
  uint32_t frequency_ = 0;
  bool fdiv_bug_ = false;
  std::string serial_number_;
  uint8_t apic_id_ = 0, logical_per_package_ = 0, core_per_package_ = 0, logical_per_core_ = 0;
  uint8_t physical_id_ = 0, logical_id_ = 0;
  platform::CpuidRegisters std_regs_, ext_regs_, power_regs_;
  uint8_t descriptor_slots_[16] = {};
  std::vector<CacheLevelInfo> cache_details_;
  std::vector<IsaExtension> extensions_;
  std::vector<CoreTypeCount> core_types_;
  uint32_t package_cores_ = 0, package_threads_ = 0, threads_per_core_ = 0;
  uint32_t leaf4_cores_ = 0;
  std::string generic_name_giver_;
  CpuRawRecord raw_;
  std::string hypervisor_;
  bool under_hypervisor_ = false;
  bool names_from_virtual_signature_ = false;
  bool popular_from_virtual_signature_ = false;
  std::string vendor_text_;
  platform::Provenance source_;
  platform::Provenance frequency_source_;
};

}  // namespace tavrin::collectors
