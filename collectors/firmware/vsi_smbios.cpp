#include "collectors/firmware/vsi_smbios.h"

#include <cctype>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_entry_point.h"
#include "collectors/firmware/smbios_names.h"
#include "helpers/debug_log.h"
#include "platform/firmware.h"

namespace tavrin::collectors {

using platform::Provenance;
using platform::Status;

TVexa_SMBIOS::TVexa_SMBIOS(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_SMBIOS", "SMBIOS", services),
      area_reader_(services),
      table_reader_(services) {}

void TVexa_SMBIOS::Reset() {
  static_cast<SmbiosValues&>(*this) = SmbiosValues{};
  Index.clear();
  WalkEnd = smbios::WalkStop::EndOfData;
  Routes.clear();
  DmiIdUnreadable.clear();
  DmiIdSource = {};
  FromDmiId = false;
}

void TVexa_SMBIOS::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  Reset();
  if (!ReadLocalMemory) {
    // Bytes placed in the table reader by the caller: the whole buffer is the table.
    SMBIOSAddress = 0;
    StructureTableAddress = 0;
    StructureCount = 0xFFFF;
    StructureTableLength = static_cast<uint32_t>(table_reader_.Data().size());
    TableSource = Provenance::Answered("supplied table");
    WalkAndDecode();
    return;
  }
  SMBIOSAddress = 0;
  MajorVersion = MinorVersion = 0;
  VersionText.clear();
  StructureTableAddress = 0;
  StructureTableLength = 0;
  StructureCount = 0;
  table_reader_.SetData({});
  ReadTables();
  if (TableSource.ok()) {
    WalkAndDecode();
  } else {
    FillFromDmiId();
  }
}

void TVexa_SMBIOS::ReadTables() {
  const auto& firmware = Platform().firmware;
  if (!firmware) {
    TableSource = Provenance::Failure(Status::NotSupported, "firmware tables",
                                      "this source has no firmware service");
    return;
  }
  auto routes = firmware->ReadSmbios();
  Routes = routes.tried;
  for (const auto& route : Routes) helpers::DebugLog("SMBIOS route " + route.Explain());
  if (!routes.tables) {
    TableSource = routes.tables.source;
    return;
  }
  const auto& tables = *routes.tables;
  const auto ep = smbios::FindEntryPoint(tables.entryPoint);
  if (!ep) {
    TableSource = Provenance::Failure(Status::Malformed, routes.tables.source.source,
                                      "no entry point with a valid checksum");
    helpers::DebugLog("SMBIOS: " + TableSource.Explain());
    return;
  }
  SMBIOSAddress = ep->position;
  MajorVersion = ep->major;
  MinorVersion = ep->minor;
  VersionText = ep->VersionText();
  StructureTableAddress = ep->tableAddress;
  StructureTableLength = ep->tableLength;
  StructureCount = ep->structureCount;
  if (ep->tableAddress == 0) {
    TableSource = Provenance::Failure(Status::Malformed, routes.tables.source.source,
                                      "the entry point names no table");
    return;
  }
  // A 2.x table is exactly as long as the entry point says; more bytes are not part of it.
  std::string table = tables.table;
  if (ep->kind != smbios::EntryPointKind::Smbios3 && table.size() > ep->tableLength)
    table.resize(ep->tableLength);
  table_reader_.StartAddress = 0;
  table_reader_.SetData(std::move(table));
  TableSource = routes.tables.source;
  helpers::DebugLog("SMBIOS " + VersionText + " tables " + TableSource.Explain());
}

void TVexa_SMBIOS::WalkAndDecode() {
  const std::string_view table = table_reader_.Data();
  auto walk = smbios::WalkStructures(table);
  Index = std::move(walk.index);
  WalkEnd = walk.stop;
  if (walk.stop != smbios::WalkStop::EndOfTable && walk.stop != smbios::WalkStop::EndOfData)
    helpers::DebugLog("SMBIOS table walk ended early: " +
                      std::string(smbios::WalkStopName(walk.stop)));
  static_cast<SmbiosValues&>(*this) =
      smbios::DecodeSmbios(table, Index, {MajorVersion, MinorVersion});
}

void TVexa_SMBIOS::FillFromDmiId() {
  auto dmi = platform::ReadDmiIdRecord(*Platform().files);
  DmiIdSource = dmi.source;
  if (!dmi) {
    helpers::DebugLog("SMBIOS: no tables (" + TableSource.Explain() + "), no " +
                      dmi.source.Explain());
    return;
  }
  FromDmiId = true;
  DmiIdUnreadable = dmi->unreadable;
  BIOSVendor = dmi->biosVendor;
  BIOSVersion = dmi->biosVersion;
  BIOSDate = dmi->biosDate;
  SystemManufacturer = dmi->systemVendor;
  SystemModel = dmi->productName;
  SystemVersion = dmi->productVersion;
  SystemSerial = dmi->productSerial;
  // Same form as the table's UUID: 32 lower-case digits.
  for (char c : dmi->productUuid)
    if (std::isxdigit(static_cast<unsigned char>(c)))
      SystemUUID += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  MainBoardManufacturer = dmi->boardVendor;
  MainBoardModel = dmi->boardName;
  MainBoardVersion = dmi->boardVersion;
  MainBoardSerial = dmi->boardSerial;
  MainBoardAssetTag = dmi->boardAssetTag;
  ChassisManufacturer = dmi->chassisVendor;
  ChassisVersion = dmi->chassisVersion;
  ChassisSerial = dmi->chassisSerial;
  ChassisAssetTag = dmi->chassisAssetTag;
  const int model = (dmi->chassisType & 0x7F) - 1;
  if (model >= 0 && static_cast<std::size_t>(model) < smbios::ChassisNames().size())
    ChassisModel = static_cast<TSMBIOS_Chassis>(model);
  helpers::DebugLog("SMBIOS: tables out of reach (" + TableSource.Explain() + "); values " +
                    dmi.source.Explain());
}

std::optional<smbios::StructureEntry> TVexa_SMBIOS::FindStructure(uint8_t type,
                                                                  std::size_t start) const {
  auto at = smbios::FindStructure(Index, type, start);
  if (!at) return std::nullopt;
  return Index[*at];
}

std::size_t TVexa_SMBIOS::StructureCountOf(uint8_t type) const {
  return smbios::CountStructures(Index, type);
}

std::string TVexa_SMBIOS::GetStructureString(uint32_t address, uint8_t length,
                                             uint8_t number) const {
  return smbios::GetStructureString(table_reader_.Data(), address, length, number);
}

}  // namespace tavrin::collectors
