// libFuzzer target: the SMBIOS entry point parser and the dump-file layout around it. Every
// anchor kind is parsed at each of the first offsets, the search runs over the whole input,
// and the input as a dump file is split into entry point and table, served by the recorded
// firmware service and composed back, and the composed dump is split again.
#include <cstddef>
#include <cstdint>
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
      // Composing and splitting again must be safe. That the table comes back unchanged is
      // not checked yet: a damaged legacy "_DMI_" entry point does not round-trip (the input
      // is kept as fuzz/corpus/smbios_entry/legacy_dmi_round_trip), an open finding.
      const std::string dump = ComposeSmbiosDump(*routes.tables.value);
      (void)SplitSmbiosDump(dump);
    }
  }
  return 0;
}
