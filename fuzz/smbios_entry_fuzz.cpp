// libFuzzer target: the SMBIOS entry point parser and the dump-file layout around it. Every
// anchor kind is parsed at each of the first offsets, the search runs over the whole input,
// and the input as a dump file is split into entry point and table, served by the recorded
// firmware service and composed back; a composed dump must split again to the same table and
// entry point.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/firmware.h"
#include "platform/recorded/recorded_firmware.h"
#include "platform/smbios_entry_point.h"

using namespace tavrin::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (std::size_t p = 0; p < 0x20 && p < size; ++p)
    if (auto ep = ParseEntryPointAt(bytes, p)) {
      (void)ep->VersionText();
      (void)CutStructureTable(*ep, std::string(bytes));
    }
  (void)FindEntryPoint(bytes);

  (void)SmbiosDumpProblem(bytes);
  std::string why;
  if (auto service = LoadFirmwareDump(bytes, "fuzz.bin", why)) {
    const FirmwareRoutes routes = service->ReadSmbios();
    if (routes.tables) {
      const SmbiosTables& tables = *routes.tables.value;
      const std::string dump = ComposeSmbiosDump(tables);
      const auto again = SplitSmbiosDump(dump);
      if (!again || again->table != tables.table || again->entry.kind != tables.entry.kind ||
          again->entry.VersionText() != tables.entry.VersionText() ||
          again->entry.tableLength != tables.entry.tableLength ||
          again->entry.structureCount != tables.entry.structureCount)
        abort();
    }
  }
  return 0;
}
