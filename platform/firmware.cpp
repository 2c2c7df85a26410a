#include "platform/firmware.h"

namespace tavrin::platform {

std::optional<SmbiosTables> MakeSmbiosTables(std::string entryPoint, std::string table,
                                             uint64_t tableAddress) {
  auto entry = ParseEntryPointAt(entryPoint);
  if (!entry) return std::nullopt;
  entryPoint.resize(std::min(entryPoint.size(), entry->entryLength));
  SmbiosTables tables;
  tables.table = CutStructureTable(*entry, std::move(table));
  tables.entryPoint = std::move(entryPoint);
  tables.tableAddress = tableAddress;
  tables.entry = *entry;
  return tables;
}

}  // namespace tavrin::platform
