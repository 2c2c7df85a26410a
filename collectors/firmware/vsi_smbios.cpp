#include "collectors/firmware/vsi_smbios.h"

#include <cctype>
#include <charconv>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
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
  DmiId = {};
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
  const auto* ep = &tables.entry;
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
  table_reader_.StartAddress = 0;
  table_reader_.SetData(tables.table);
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
  using platform::DmiField;
  DmiId = platform::MachineFactsOf(Platform())->DmiId();
  if (!DmiId) {
    helpers::DebugLog("SMBIOS: no tables (" + TableSource.Explain() +
                      "), no DMI id record: " + DmiId.source.Explain());
    return;
  }
  FromDmiId = true;
  const auto& dmi = *DmiId;
  BIOSVendor = dmi.Text(DmiField::BiosVendor);
  BIOSVersion = dmi.Text(DmiField::BiosVersion);
  BIOSDate = dmi.Text(DmiField::BiosDate);
  SystemManufacturer = dmi.Text(DmiField::SystemVendor);
  SystemProductName = dmi.Text(DmiField::ProductName);
  SystemVersion = dmi.Text(DmiField::ProductVersion);
  SystemSerial = dmi.Text(DmiField::ProductSerial);
  SystemSKU = dmi.Text(DmiField::ProductSku);
  SystemFamily = dmi.Text(DmiField::ProductFamily);
  SystemModel =
      smbios::MachineModelText(SystemManufacturer, SystemProductName, SystemVersion, SystemFamily);
  // The kernel's form already; the raw form is its digits.
  SystemUUIDText = dmi.Text(DmiField::ProductUuid);
  for (char c : SystemUUIDText)
    if (std::isxdigit(static_cast<unsigned char>(c)))
      SystemUUID += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  MainBoardManufacturer = dmi.Text(DmiField::BoardVendor);
  MainBoardModel = dmi.Text(DmiField::BoardName);
  MainBoardVersion = dmi.Text(DmiField::BoardVersion);
  MainBoardSerial = dmi.Text(DmiField::BoardSerial);
  MainBoardAssetTag = dmi.Text(DmiField::BoardAssetTag);
  ChassisManufacturer = dmi.Text(DmiField::ChassisVendor);
  ChassisVersion = dmi.Text(DmiField::ChassisVersion);
  ChassisSerial = dmi.Text(DmiField::ChassisSerial);
  ChassisAssetTag = dmi.Text(DmiField::ChassisAssetTag);
  int type = 0;
  const auto type_text = dmi.Text(DmiField::ChassisType);
  std::from_chars(type_text.data(), type_text.data() + type_text.size(), type);
  ChassisTypeCode = static_cast<uint8_t>(type & 0x7F);
  const int model = ChassisTypeCode - 1;
  if (model >= 0 && static_cast<std::size_t>(model) < smbios::ChassisNames().size())
    ChassisModel = static_cast<TSMBIOS_Chassis>(model);
  helpers::DebugLog("SMBIOS: tables out of reach (" + TableSource.Explain() + "); values " +
                    DmiId.source.Explain());
}

Provenance TVexa_SMBIOS::ValueSource(platform::DmiField field) const {
  if (TableSource.ok()) return TableSource;
  if (!FromDmiId)
    return Provenance::Failure(TableSource.status, "firmware tables",
                               "no route answered; " + DmiId.source.Explain());
  const auto& answer = (*DmiId)[field];
  // A field the firmware does not fill is simply absent; the record as a whole answered.
  if (answer.ok() || answer.source.status == Status::Missing) return DmiId.source;
  return answer.source;
}

bool TVexa_SMBIOS::DmiIdNeedsRoot() const {
  if (!DmiId) return false;
  for (const auto& field : DmiId->fields)
    if (field.source.status == Status::PermissionDenied) return true;
  return false;
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
