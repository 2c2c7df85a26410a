// Collector of the SMBIOS (DMI) data: finds the entry point and the structure table through the
// firmware service, walks the table into an index and decodes it. When the tables are out of
// reach it fills what the kernel exports of them (the machine facts' DMI id record), and keeps
// the reasons.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/firmware/smbios_records.h"
#include "collectors/firmware/smbios_table.h"
#include "collectors/firmware/vsi_dma.h"
#include "platform/machine_facts.h"

namespace tavrin::collectors {

class TVexa_SMBIOS : public collectors::TVexa_VSIC_Component, public SmbiosValues {
 public:
  explicit TVexa_SMBIOS(std::shared_ptr<const platform::Services> services);

  /// true: read this machine's tables; false: decode the bytes already placed in TableReader().
  bool ReadLocalMemory = true;

  uint64_t SMBIOSAddress = 0;  ///< position of the entry point, 0 when none was found
  uint8_t MajorVersion = 0, MinorVersion = 0;
  std::string VersionText;
  uint64_t StructureTableAddress = 0;
  uint32_t StructureTableLength = 0;
  uint16_t StructureCount = 0;  ///< as the entry point says; 0xFFFF when unknown
  std::vector<smbios::StructureEntry> Index;
  smbios::WalkStop WalkEnd = smbios::WalkStop::EndOfData;

  /// Where the decoded values came from, or why there were none.
  platform::Provenance TableSource;
  /// Every firmware route tried, in order, with its outcome.
  std::vector<platform::Provenance> Routes;
  /// Set when the values came from the kernel's DMI id export because the tables were out of
  /// reach.
  bool FromDmiId = false;
  /// The DMI id record, read only when the tables were out of reach; each field keeps its own
  /// provenance (serial numbers and the UUID need root).
  platform::Answer<platform::DmiIdRecord> DmiId;

  /// Where a value of the BIOS, system, board or chassis records came from: the tables, or
  /// the DMI id field it was filled from (with that field's reason when it was unreadable).
  platform::Provenance ValueSource(platform::DmiField field) const;
  /// Whether a DMI id field exists but could not be read for want of rights.
  bool DmiIdNeedsRoot() const;

  void RefreshData() override;

  /// The first structure of `type` at or after position `start` of the index.
  std::optional<smbios::StructureEntry> FindStructure(uint8_t type, std::size_t start = 0) const;
  std::size_t StructureCountOf(uint8_t type) const;
  std::string GetStructureString(uint32_t address, uint8_t length, uint8_t number) const;

  TVexa_DMA& AreaReader() { return area_reader_; }
  TVexa_DMA& TableReader() { return table_reader_; }
  const TVexa_DMA& TableReader() const { return table_reader_; }

 private:
  void Reset();
  void ReadTables();
  void WalkAndDecode();
  void FillFromDmiId();

  TVexa_DMA area_reader_;
  TVexa_DMA table_reader_;
};

}  // namespace tavrin::collectors
